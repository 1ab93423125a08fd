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
    explicit GalleryPage(const QString &title, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    /// A short, file-name friendly name ("numbers"), used by --page and by snapshots.
    QString name() const;

    /// Puts the page into the state its snapshot shows. The default is ready at once.
    virtual void prepareSnapshot();

signals:
    void snapshotReady();

private:
    QString m_title;
};
