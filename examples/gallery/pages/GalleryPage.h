#pragma once

#include <QWidget>

/// One page of the gallery: a titled widget that shows one area of the library.
///
/// Pages that need time before they look finished (a web page loading, a mail
/// on its way) override prepareSnapshot() and emit snapshotReady() once they are
/// settled; --snapshot-all waits for that signal before it takes the picture.
class GalleryPage : public QWidget
{
    Q_OBJECT
public:
    /// \a name is short, untranslated and file-name friendly ("numbers"): --page
    /// and the snapshots use it. \a title is what the page list shows.
    GalleryPage(const QString &name, const QString &title, QWidget *parent = nullptr);

    QString name() const { return m_name; }
    QString title() const { return m_title; }

    /// Puts the page into the state its snapshot shows. The default is ready at once.
    virtual void prepareSnapshot();

signals:
    void snapshotReady();

private:
    QString m_name;
    QString m_title;
};
