#include "Gallery.h"

#include "GalleryWindow.h"
#include "MailSink.h"
#include "Splash.h"

#include "pages/AboutPage.h"
#include "pages/GalleryPage.h"
#include "pages/LayoutsPage.h"
#include "pages/MailPage.h"
#include "pages/NumbersPage.h"
#include "pages/SlidersPage.h"
#include "pages/TextPage.h"
#include "pages/ToolsPage.h"
#ifdef LUMO_WITH_WEBVIEW
#include "pages/WebPage.h"
#endif

#include <lumo/QxSnapWidget.h>
#include <lumo/QxSplashScreen.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

std::optional<int> Gallery::parseCommandLine(int argc, char **argv, Options &options)
{
    QCoreApplication::setApplicationName(QStringLiteral("lumo-gallery"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMO_GALLERY_VERSION));

    const QCommandLineOption about { QStringLiteral("about"),
                                     QStringLiteral("Print the library's build stamp and exit.") };
    const QCommandLineOption snapshotAll {
        QStringLiteral("snapshot-all"),
        QStringLiteral("Render every page to a PNG file in <dir> and exit."), QStringLiteral("dir")
    };
    const QCommandLineOption mailSink {
        QStringLiteral("mail-sink"),
        QStringLiteral("Start a local SMTP server (aiosmtpd) on a free loopback port "
                       "for the Mail page.")
    };
    const QCommandLineOption page { QStringLiteral("page"), QStringLiteral("Open the page <name>."),
                                    QStringLiteral("name") };
    const QCommandLineOption package { QStringLiteral("package"),
                                       QStringLiteral("Load the library from <file>."),
                                       QStringLiteral("file") };
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("The gallery of the lumo widget library: one page per area, "
                           "every widget working."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({ about, snapshotAll, mailSink, page, package });

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(arguments);
    if (parsed && !parser.isSet(about) && !parser.isSet(help) && !parser.isSet(version)) {
        options.packageFile = parser.value(package);
        if (parser.isSet(page))
            options.page = parser.value(page);
        options.mailSink = parser.isSet(mailSink);
        options.snapshots = parser.isSet(snapshotAll);
        options.snapshotDir = parser.value(snapshotAll);
        return std::nullopt;
    }

    QCoreApplication app(argc, argv);
    if (!parsed) {
        std::fprintf(stderr, "lumo-gallery: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    return LumoPackage::printStamp(parser.value(package));
}

void Gallery::installQtTranslation(QCoreApplication &app)
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

Gallery::Gallery(const QString &packageFile, QObject *parent)
    : QObject(parent)
    , m_mailSink(new MailSink(this))
    , m_window(new GalleryWindow)
{
    // The pages live in a static library: its resources need pulling in.
    Q_INIT_RESOURCE(gallery);
    m_package.load(packageFile);
}

void Gallery::buildPages()
{
    if (!m_window->pages().isEmpty())
        return;
    m_window->addPage(new AboutPage(m_package));
    m_window->addPage(new NumbersPage);
    m_window->addPage(new SlidersPage);
    m_window->addPage(new MailPage(m_mailSink));
    m_window->addPage(new TextPage);
    m_window->addPage(new LayoutsPage);
#ifdef LUMO_WITH_WEBVIEW
    m_window->addPage(new WebPage);
#endif
    m_window->addPage(new ToolsPage(m_window.get(), m_package.version()));
}

Gallery::~Gallery() = default;

std::optional<int> Gallery::start(const Options &options)
{
    if (!m_package.errorString().isEmpty())
        std::fprintf(stderr, "lumo-gallery: %s\n", qPrintable(m_package.errorString()));

    // The splash stays up while the pages are built (the web view takes a
    // moment) and steps aside by itself when the main window appears.
    QxSplashScreen *splash = showSplash(m_package.version());
    QApplication::processEvents();
    QTextStream report(stdout);
    if (options.snapshots && QDir().mkpath(options.snapshotDir))
        QxSnapWidget::snapWidget(
                splash, QDir(options.snapshotDir).filePath(QStringLiteral("00-splash.png")),
                report);

    buildPages();
    m_window->resize(1100, 760);
    if (options.mailSink)
        startMailSink();
    if (options.page && !showPage(*options.page))
        return 2;

    m_window->show();
    splash->scheduleDeletion();
    if (options.snapshots) {
        const QStringList written = snapshotAll(options.snapshotDir, report);
        return written.size() == m_window->pages().size() ? 0 : 1;
    }
    return std::nullopt;
}

bool Gallery::showPage(const QString &name)
{
    GalleryPage *page = m_window->page(name);
    if (!page) {
        QStringList names;
        for (GalleryPage *known : m_window->pages())
            names << known->name();
        std::fprintf(stderr, "lumo-gallery: no page called %s; the pages: %s\n", qPrintable(name),
                     qPrintable(names.join(", ")));
        return false;
    }
    m_window->showPage(page);
    return true;
}

void Gallery::startMailSink()
{
    connect(m_mailSink, &MailSink::failed, this, [](const QString &reason) {
        std::fprintf(stderr, "lumo-gallery: %s\n", qPrintable(reason));
    });
    m_mailSink->start();
}

QStringList Gallery::snapshotAll(const QString &directory, QTextStream &report, int pageTimeoutMs)
{
    QStringList written;
    if (!QDir().mkpath(directory)) {
        report << tr("cannot create %1").arg(directory) << Qt::endl;
        return written;
    }
    const QList<GalleryPage *> pages = m_window->pages();
    for (int i = 0; i < pages.size(); ++i) {
        GalleryPage *page = pages.at(i);
        m_window->showPage(page);

        QEventLoop loop;
        bool ready = false;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        const QMetaObject::Connection readiness
                = connect(page, &GalleryPage::snapshotReady, &loop, [&ready, &loop] {
                      ready = true;
                      loop.quit();
                  });
        timeout.start(pageTimeoutMs);
        page->prepareSnapshot();
        if (!ready)
            loop.exec();
        disconnect(readiness);
        if (!ready)
            report << tr("page %1 did not settle in time").arg(page->title()) << Qt::endl;
        QApplication::processEvents();

        const QString file = QDir(directory).filePath(
                QStringLiteral("%1-%2.png").arg(i + 1, 2, 10, QLatin1Char('0')).arg(page->name()));
        QString line;
        QTextStream lineStream(&line);
        QxSnapWidget::snapWidget(m_window.get(), file, lineStream);
        if (!line.isEmpty()) {
            report << line;
            report.flush();
            written << file;
        }
    }
    return written;
}
