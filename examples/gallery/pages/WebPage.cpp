#include "WebPage.h"

#include <lumo/QxVariantAnimation.h>
#include <lumo/QxWebView.h>

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
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
    connect(reset, &QPushButton::clicked, m_animation, &QAbstractAnimation::stop);
    connect(reset, &QPushButton::clicked, m_view, &QxWebView::resetZoom);
    // Buttons, keys, wheel and animation alike: the readout follows the view.
    connect(m_view, &QxWebView::zoomFactorChanged, this, &WebPage::showZoom);

    // QxVariantAnimation does nothing with its values itself: the page follows
    // them through valueChanged().
    m_animation->setDuration(600);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { m_view->setZoomFactor(value.toReal()); });
    connect(animate, &QPushButton::clicked, this, [this] {
        m_animation->stop();
        m_animation->setStartValue(m_view->zoomFactor());
        m_animation->setEndValue(1.5);
        m_animation->start();
    });

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

void WebPage::showZoom()
{
    m_zoom->setText(tr("Zoom factor %1 (Ctrl/Shift + wheel, Ctrl + +/-, Ctrl + 0)")
                            .arg(m_view->zoomFactor(), 0, 'f', 3));
}
