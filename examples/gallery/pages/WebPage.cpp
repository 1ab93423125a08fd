#include "WebPage.h"

#include <lumo/QxVariantAnimation.h>
#include <lumo/QxWebView.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
namespace {

// Every pixel in one colour: nothing of the page painted yet.
bool isBlank(const QImage &image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    if (pixels.isNull())
        return true;
    const QRgb first = pixels.pixel(0, 0);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (line[x] != first)
                return false;
        }
    }
    return true;
}

} // namespace
#endif

WebPage::WebPage(QWidget *parent)
    : GalleryPage(QStringLiteral("web"), tr("Web"), parent)
    , m_view(new QxWebView(nullptr))
    , m_animation(new QxVariantAnimation(this))
    , m_zoom(new QLabel)
{
    auto *layout = new QVBoxLayout(this);
    auto *controls = new QHBoxLayout;
    auto *zoomOut = new QPushButton(tr("Zoom out"));
    zoomOut->setObjectName(QStringLiteral("zoomOut"));
    auto *zoomIn = new QPushButton(tr("Zoom in"));
    zoomIn->setObjectName(QStringLiteral("zoomIn"));
    auto *animate = new QPushButton(tr("Animate to 150 %"));
    animate->setObjectName(QStringLiteral("animateZoom"));
    auto *reset = new QPushButton(tr("100 %"));
    reset->setObjectName(QStringLiteral("resetZoom"));
    m_zoom->setObjectName(QStringLiteral("zoomReadout"));
    controls->addWidget(zoomOut);
    controls->addWidget(zoomIn);
    controls->addWidget(reset);
    controls->addWidget(animate);
    controls->addWidget(m_zoom, 1);
    layout->addLayout(controls);
    m_view->setObjectName(QStringLiteral("helpView"));
    layout->addWidget(m_view, 1);

    connect(zoomIn, &QPushButton::clicked, m_view, &QxWebView::zoomIn);
    connect(zoomOut, &QPushButton::clicked, m_view, &QxWebView::zoomOut);
    for (QPushButton *button : { zoomIn, zoomOut })
        connect(button, &QPushButton::clicked, this, &WebPage::showZoom);
    connect(reset, &QPushButton::clicked, this, [this] {
        m_animation->stop();
        m_view->setZoomFactor(1.0);
        showZoom();
    });

    // QxVariantAnimation does nothing with its values itself: the page follows
    // them through valueChanged().
    m_animation->setDuration(600);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_view->setZoomFactor(value.toReal());
        showZoom();
    });
    connect(animate, &QPushButton::clicked, this, [this] {
        m_animation->stop();
        m_animation->setStartValue(m_view->zoomFactor());
        m_animation->setEndValue(1.5);
        m_animation->start();
    });

    // Wheel and key zooms happen inside the view; the readout follows them.
    m_view->installEventFilter(this);
    for (QShortcut *shortcut : m_view->findChildren<QShortcut *>())
        connect(shortcut, &QShortcut::activated, this, &WebPage::showZoom);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt WebEngine paints a page in its own process, frames after it has
    // loaded: the page is ready once a frame with something on it is painted
    // (or after ten seconds without one, so that a snapshot never waits for ever).
    auto *paintCheck = new QTimer(this);
    paintCheck->setInterval(50);
    connect(paintCheck, &QTimer::timeout, this, [this, paintCheck, checks = 0]() mutable {
        if (isBlank(m_view->grab().toImage()) && ++checks < 200)
            return;
        checks = 0;
        paintCheck->stop();
        settle();
    });
    connect(m_view, &QxWebView::loadFinished, this, [this, paintCheck](bool ok) {
        m_loaded = ok;
        // A user's wheel goes to the widget inside the view that shows the page.
        if (QWidget *engine = m_view->focusProxy())
            engine->installEventFilter(this);
        if (ok)
            paintCheck->start();
        else
            settle();
    });
#else
    connect(m_view, &QxWebView::loadFinished, this, [this](bool ok) {
        m_loaded = ok;
        settle();
    });
#endif
}

void WebPage::settle()
{
    m_settled = true;
    emit loaded(m_loaded);
}

void WebPage::showEvent(QShowEvent *event)
{
    // WebKit starts its engine with the first page it loads: not before the
    // page is wanted, which keeps the gallery's start (and its splash) quick.
    if (!m_requested) {
        m_requested = true;
        m_view->setUrl(QUrl(QStringLiteral("qrc:/gallery/help.html")));
        showZoom();
    }
    GalleryPage::showEvent(event);
}

void WebPage::prepareSnapshot()
{
    if (m_settled) {
        GalleryPage::prepareSnapshot();
        return;
    }
    auto *waiting = new QObject(this);
    connect(this, &WebPage::loaded, waiting, [this, waiting] {
        waiting->deleteLater();
        disconnect(this, nullptr, waiting, nullptr);
        emit snapshotReady();
    });
}

bool WebPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && (watched == m_view || watched == m_view->focusProxy()))
        QTimer::singleShot(0, this, &WebPage::showZoom);
    return GalleryPage::eventFilter(watched, event);
}

void WebPage::showZoom()
{
    m_zoom->setText(tr("Zoom factor %1 (Ctrl/Shift + wheel, Ctrl + +/-)")
                            .arg(m_view->zoomFactor(), 0, 'f', 3));
}
