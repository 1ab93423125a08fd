#include "ToolsPage.h"

#include "GalleryWindow.h"
#include "Splash.h"

#include <lumo/QxHelpers.h>
#include <lumo/QxObjectConnectionsTracker.h>
#include <lumo/QxSnapWidget.h>
#include <lumo/QxSplashScreen.h>
#include <lumo/QxUniqueFilename.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The receiver of the tracker demo: counts the calls of its slots.
class CallCounter : public QLabel
{
    Q_OBJECT
public:
    CallCounter()
    {
        setObjectName(QStringLiteral("callCounter"));
        setText(ToolsPage::tr("Calls received: 0"));
    }

public slots:
    void ping() { note(QStringLiteral("ping()")); }
    void sliderMoved(int value) { note(QStringLiteral("sliderMoved(%1)").arg(value)); }
    void toggled(bool on) { note(QStringLiteral("toggled(%1)").arg(on ? "true" : "false")); }

private:
    void note(const QString &call)
    {
        ++m_calls;
        setText(ToolsPage::tr("Calls received: %1, last: %2").arg(m_calls).arg(call));
    }

    int m_calls = 0;
};

} // namespace

ToolsPage::ToolsPage(GalleryWindow *window, const QString &version, QWidget *parent)
    : GalleryPage(QStringLiteral("tools"), tr("Tools"), parent)
    , m_window(window)
    , m_version(version)
    , m_target(new QComboBox)
    , m_folder(new QLineEdit)
    , m_before(new QLineEdit)
    , m_after(new QLineEdit)
    , m_log(new QPlainTextEdit)
{
    auto *layout = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    layout->addLayout(columns, 1);
    columns->addWidget(createPageToolsGroup(), 1);
    columns->addWidget(createTrackerGroup(), 1);

    m_log->setObjectName(QStringLiteral("log"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(500);
    layout->addWidget(new QLabel(tr("Log")));
    layout->addWidget(m_log);
}

// Snapshot and replacement, both over a page of the gallery.
QGroupBox *ToolsPage::createPageToolsGroup()
{
    auto *group = new QGroupBox(tr("A page of the gallery"));
    auto *form = new QFormLayout(group);
    m_target->setObjectName(QStringLiteral("targetPage"));
    form->addRow(tr("Page"), m_target);
    m_folder->setObjectName(QStringLiteral("snapshotFolder"));
    m_folder->setText(QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
                              .filePath(QStringLiteral("lumo-gallery")));
    form->addRow(tr("Snapshot folder"), m_folder);
    auto *snap = new QPushButton(tr("Snapshot (QxSnapWidget, QxUniqueFilename)"));
    snap->setObjectName(QStringLiteral("snapshot"));
    form->addRow(snap);
    m_before->setObjectName(QStringLiteral("replaceBefore"));
    m_before->setText(tr("Zoom"));
    m_after->setObjectName(QStringLiteral("replaceAfter"));
    m_after->setText(tr("Magnify"));
    form->addRow(tr("Replace"), m_before);
    form->addRow(tr("by"), m_after);
    auto *replaceButton = new QPushButton(tr("Replace in page (QxHelpers)"));
    replaceButton->setObjectName(QStringLiteral("replace"));
    form->addRow(replaceButton);
    auto *splash = new QPushButton(tr("Show the splash screen for 2 s (QxSplashScreen)"));
    splash->setObjectName(QStringLiteral("showSplash"));
    form->addRow(splash);

    connect(snap, &QPushButton::clicked, this, [this] {
        if (GalleryPage *page = targetPage())
            snapshot(page);
    });
    connect(replaceButton, &QPushButton::clicked, this, [this] {
        if (GalleryPage *page = targetPage())
            replace(page, m_before->text(), m_after->text());
    });
    connect(splash, &QPushButton::clicked, this, [this] {
        QxSplashScreen *screen = showSplash(m_version);
        QTimer::singleShot(2000, screen, &QxSplashScreen::scheduleDeletion);
    });
    return group;
}

// Connections made through a tracker, and all cut in one call.
QGroupBox *ToolsPage::createTrackerGroup()
{
    auto *group = new QGroupBox(tr("Connections (QxObjectConnectionsTracker)"));
    auto *layout = new QVBoxLayout(group);
    auto *counter = new CallCounter;
    auto *tracker = new QxObjectConnectionsTracker(counter);
    auto *ping = new QPushButton(tr("Ping"));
    ping->setObjectName(QStringLiteral("ping"));
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QStringLiteral("trackedSlider"));
    auto *check = new QCheckBox(tr("Toggle me"));
    check->setObjectName(QStringLiteral("trackedCheckBox"));
    auto *connectAll = new QPushButton(tr("Connect the three through the tracker"));
    connectAll->setObjectName(QStringLiteral("connectAll"));
    auto *cutAll = new QPushButton(tr("Cut every tracked connection"));
    cutAll->setObjectName(QStringLiteral("cutAll"));
    layout->addWidget(ping);
    layout->addWidget(slider);
    layout->addWidget(check);
    layout->addWidget(counter);
    layout->addWidget(connectAll);
    layout->addWidget(cutAll);
    layout->addStretch();

    connect(connectAll, &QPushButton::clicked, this, [this, tracker, ping, slider, check] {
        // The tracker records its connections as the coded texts that SIGNAL()
        // and SLOT() write: it offers no pointer-to-member form.
        tracker->connect(ping, QStringLiteral(SIGNAL(clicked())), QStringLiteral(SLOT(ping())));
        tracker->connect(slider, QStringLiteral(SIGNAL(sliderMoved(int))),
                         QStringLiteral(SLOT(sliderMoved(int))));
        tracker->connect(check, QStringLiteral(SIGNAL(toggled(bool))),
                         QStringLiteral(SLOT(toggled(bool))));
        QTextStream(&m_logText) << tr("Tracker: connected clicked(), sliderMoved(int) and "
                                      "toggled(bool) to the counter")
                                << '\n';
        flushLog();
    });
    connect(cutAll, &QPushButton::clicked, this, [this, tracker] {
        tracker->disconnectFromAllSignals();
        QTextStream(&m_logText) << tr("Tracker: every recorded connection cut") << '\n';
        flushLog();
    });
    return group;
}

void ToolsPage::prepareSnapshot()
{
    auto click = [this](const char *name) {
        if (auto *button = findChild<QAbstractButton *>(QLatin1String(name)))
            button->click();
    };
    click("connectAll");
    click("ping");
    click("trackedCheckBox");
    click("cutAll");
    click("ping");
    QTextStream(&m_logText) << tr("Pinged once more after the cut: the counter stayed put") << '\n';
    flushLog();
    GalleryPage::prepareSnapshot();
}

void ToolsPage::showEvent(QShowEvent *event)
{
    const QString current = m_target->currentText();
    m_target->clear();
    for (GalleryPage *page : m_window->pages())
        m_target->addItem(page->title(), page->name());
    const int index = m_target->findText(current);
    m_target->setCurrentIndex(index >= 0 ? index : 0);
    GalleryPage::showEvent(event);
}

GalleryPage *ToolsPage::targetPage() const
{
    return m_window->page(m_target->currentData().toString());
}

QString ToolsPage::snapshot(GalleryPage *page)
{
    const QDir folder(m_folder->text());
    if (!QDir().mkpath(folder.absolutePath())) {
        QTextStream(&m_logText) << tr("Cannot create the folder %1").arg(folder.absolutePath())
                                << '\n';
        flushLog();
        return QString();
    }
    const QString file = QxUniqueFilename::uniqueFilename(
            folder.filePath(page->name() + QStringLiteral(".png")));
    const int before = m_logText.size();
    QTextStream report(&m_logText);
    QxSnapWidget::snapWidget(page, file, report);
    if (m_logText.size() == before)
        report << tr("No snapshot: %1 could not be written").arg(file) << '\n';
    flushLog();
    return file;
}

void ToolsPage::replace(GalleryPage *page, const QString &before, const QString &after)
{
    // An empty search text would match between every two characters.
    if (before.isEmpty()) {
        QTextStream(&m_logText) << tr("Nothing to replace: the search text is empty") << '\n';
    } else {
        QxHelpers::replaceStringInWidget(page, before, after);
        QTextStream(&m_logText)
                << tr("Replaced \"%1\" by \"%2\" in the page %3").arg(before, after, page->title())
                << '\n';
    }
    flushLog();
}

void ToolsPage::flushLog()
{
    if (m_logText.endsWith(QLatin1Char('\n')))
        m_logText.chop(1);
    if (!m_logText.isEmpty())
        m_log->appendPlainText(m_logText);
    m_logText.clear();
}

#include "ToolsPage.moc"
