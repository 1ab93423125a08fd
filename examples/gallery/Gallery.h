#pragma once

#include "LumoPackage.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class GalleryWindow;
class MailSink;
class QCoreApplication;
class QTextStream;

/// The whole gallery: the library loaded as a package, the main window with
/// one page per area of the library, and the local mail sink.
class Gallery : public QObject
{
    Q_OBJECT
public:
    /// What lumo-gallery's command line asks for once it has a window.
    struct Options
    {
        QString packageFile; ///< --package: the library file; empty: the usual places
        std::optional<QString> page; ///< --page: the name of the page shown first
        bool mailSink = false; ///< --mail-sink: start the local SMTP server
        bool snapshots = false; ///< --snapshot-all: write every page to snapshotDir, then exit
        QString snapshotDir;
    };

    /// Parses the command line into \a options. What needs no window, --help,
    /// --version, --about and a command line that does not parse, is done here
    /// on a QCoreApplication of its own, so without a display, and its exit code
    /// is returned; otherwise nothing is.
    static std::optional<int> parseCommandLine(int argc, char **argv, Options &options);

    /// Installs Qt's own translation for the locale: the host's part, since
    /// lumo loads its translation by itself.
    static void installQtTranslation(QCoreApplication &app);

    /// Loads the library from \a packageFile (empty: the usual places).
    explicit Gallery(const QString &packageFile = QString(), QObject *parent = nullptr);
    ~Gallery() override;

    /// Builds every page into the window (once).
    void buildPages();

    /// Shows the splash while the pages are built, then the window as
    /// \a options ask. With --snapshot-all it writes the pictures and returns
    /// the exit code, as it does for an unknown page; otherwise the window is
    /// up and nothing is returned: the event loop takes over.
    std::optional<int> start(const Options &options);

    /// Opens the page called \a name; for an unknown name, lists the pages on
    /// standard error and returns false.
    bool showPage(const QString &name);

    /// Starts the local mail sink, its failures reported on standard error.
    void startMailSink();

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
