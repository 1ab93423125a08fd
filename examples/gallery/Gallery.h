#pragma once

#include "LumoPackage.h"

#include <QObject>
#include <QStringList>

#include <memory>

class GalleryWindow;
class MailSink;
class QTextStream;

/// The whole gallery: the library loaded as a package, the main window with
/// one page per area of the library, and the local mail sink.
class Gallery : public QObject
{
    Q_OBJECT
public:
    /// Loads the library from \a packageFile (empty: the usual places).
    explicit Gallery(const QString &packageFile = QString(), QObject *parent = nullptr);
    ~Gallery() override;

    /// Builds every page into the window (once).
    void buildPages();

    const LumoPackage &package() const { return m_package; }
    GalleryWindow *window() const { return m_window.get(); }
    /// The local SMTP server of the Mail page; not started until asked.
    MailSink *mailSink() const { return m_mailSink; }

    /// Shows every page in turn and writes it to \a directory as "NN-name.png",
    /// each once it is settled (or after \a pageTimeoutMs). Report lines go to
    /// \a report. Returns the files written; a page that could not be written
    /// is missing from the list.
    QStringList snapshotAll(const QString &directory, QTextStream &report,
                            int pageTimeoutMs = 20000);

private:
    LumoPackage m_package;
    MailSink *m_mailSink;
    std::unique_ptr<GalleryWindow> m_window;
};
