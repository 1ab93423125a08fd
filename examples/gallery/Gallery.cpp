#include "Gallery.h"

#include "GalleryWindow.h"
#include "MailSink.h"

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

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

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
