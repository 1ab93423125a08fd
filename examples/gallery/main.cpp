// lumo-gallery: the showcase and host application of liblumo.so.

#include "Gallery.h"
#include "GalleryWindow.h"
#include "MailSink.h"
#include "Splash.h"

#include "pages/GalleryPage.h"

#include <lumo/QxSnapWidget.h>
#include <lumo/QxSplashScreen.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

namespace {

struct Options
{
    QCommandLineOption about { QStringLiteral("about"),
                               QStringLiteral("Print the library's build stamp and exit.") };
    QCommandLineOption snapshotAll {
        QStringLiteral("snapshot-all"),
        QStringLiteral("Render every page to a PNG file in <dir> and exit."), QStringLiteral("dir")
    };
    QCommandLineOption mailSink {
        QStringLiteral("mail-sink"),
        QStringLiteral("Start a local SMTP server (aiosmtpd) on a free loopback port "
                       "for the Mail page.")
    };
    QCommandLineOption page { QStringLiteral("page"), QStringLiteral("Open the page <name>."),
                              QStringLiteral("name") };
    QCommandLineOption package { QStringLiteral("package"),
                                 QStringLiteral("Load the library from <file>."),
                                 QStringLiteral("file") };
};

void describe(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(
            QStringLiteral("The gallery of the lumo widget library: one page per area, "
                           "every widget working."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({ options.about, options.snapshotAll, options.mailSink, options.page,
                        options.package });
}

int printAbout(const QString &packageFile)
{
    LumoPackage package;
    QTextStream out(stdout);
    if (!package.load(packageFile)) {
        QTextStream(stderr) << "lumo-gallery: " << package.errorString() << Qt::endl;
        return 1;
    }
    out << "package: " << package.fileName() << Qt::endl;
    for (const LumoPackage::Entry &entry : package.entries())
        out << entry.first << ": " << entry.second << Qt::endl;
    return 0;
}

// lumo loads its own translation as the application starts; Qt's is the host's.
void installTranslations(QCoreApplication &app)
{
    auto *qt = new QTranslator(&app);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#else
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
    if (qt->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        app.installTranslator(qt);
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    QCommandLineParser parser;
    describe(parser, options);
    const bool parsed = parser.parse(arguments);

    // Everything that needs no window also runs without a display.
    if (!parsed || parser.isSet(options.about) || parser.isSet(QStringLiteral("help"))
        || parser.isSet(QStringLiteral("version"))) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("lumo-gallery"));
        QCoreApplication::setApplicationVersion(QStringLiteral(LUMO_GALLERY_VERSION));
        if (!parsed) {
            std::fprintf(stderr, "lumo-gallery: %s\n", qPrintable(parser.errorText()));
            return 2;
        }
        if (parser.isSet(QStringLiteral("help")))
            parser.showHelp(0);
        if (parser.isSet(QStringLiteral("version")))
            parser.showVersion();
        return printAbout(parser.value(options.package));
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumo-gallery"));
    QApplication::setApplicationVersion(QStringLiteral(LUMO_GALLERY_VERSION));
    installTranslations(app);

    Gallery gallery(parser.value(options.package));
    if (!gallery.package().errorString().isEmpty())
        std::fprintf(stderr, "lumo-gallery: %s\n", qPrintable(gallery.package().errorString()));

    // The splash stays up while the pages are built (the web view takes a
    // moment) and steps aside by itself when the main window appears.
    QxSplashScreen *splash = showSplash(gallery.package().version());
    QApplication::processEvents();
    const bool snapshots = parser.isSet(options.snapshotAll);
    const QString snapshotDir = parser.value(options.snapshotAll);
    QTextStream report(stdout);
    if (snapshots && QDir().mkpath(snapshotDir))
        QxSnapWidget::snapWidget(
                splash, QDir(snapshotDir).filePath(QStringLiteral("00-splash.png")), report);

    gallery.buildPages();
    GalleryWindow *window = gallery.window();
    window->resize(1100, 760);

    if (parser.isSet(options.mailSink)) {
        QObject::connect(gallery.mailSink(), &MailSink::failed, [](const QString &reason) {
            std::fprintf(stderr, "lumo-gallery: %s\n", qPrintable(reason));
        });
        gallery.mailSink()->start();
    }
    if (parser.isSet(options.page)) {
        GalleryPage *page = window->page(parser.value(options.page));
        if (!page) {
            QStringList names;
            for (GalleryPage *known : window->pages())
                names << known->name();
            std::fprintf(stderr, "lumo-gallery: no page called %s; the pages: %s\n",
                         qPrintable(parser.value(options.page)), qPrintable(names.join(", ")));
            return 2;
        }
        window->showPage(page);
    }

    window->show();
    splash->scheduleDeletion();
    if (snapshots) {
        const QStringList written = gallery.snapshotAll(snapshotDir, report);
        return written.size() == window->pages().size() ? 0 : 1;
    }
    return app.exec();
}
