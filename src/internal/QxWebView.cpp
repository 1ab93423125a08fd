#include "QxWebView.h"

#include "QxQtCompat.h"

#include <QShortcut>
#include <QWheelEvent>

QxWebView::QxWebView(QWidget *parent)
    : QWebView(parent)
{
    new QShortcut(QKeySequence::ZoomIn, this, SLOT(zoomIn()), nullptr, Qt::WindowShortcut);
    new QShortcut(QKeySequence::ZoomOut, this, SLOT(zoomOut()), nullptr, Qt::WindowShortcut);
    // Browsers' key back to no zoom; Qt has no standard sequence for it.
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+0"), QKeySequence::PortableText), this,
                  SLOT(resetZoom()), nullptr, Qt::WindowShortcut);
    // QtWebKit keeps the factor of its frame across loads; restoring it costs
    // nothing and holds should a page be replaced.
    connect(this, &QWebView::loadFinished, this, &QxWebView::restoreZoomFactor);
}

QxWebView::~QxWebView() = default;

qreal QxWebView::zoomFactor() const
{
    return keptZoomFactor;
}

void QxWebView::setZoomFactor(qreal factor)
{
    if (!(factor > 0) || !qIsFinite(factor))
        return;
    QWebView::setZoomFactor(factor);
    if (factor == keptZoomFactor)
        return;
    keptZoomFactor = factor;
    Q_EMIT zoomFactorChanged(factor);
}

void QxWebView::restoreZoomFactor()
{
    if (QWebView::zoomFactor() != qreal(float(keptZoomFactor)))
        QWebView::setZoomFactor(keptZoomFactor);
}

void QxWebView::resetZoom()
{
    setZoomFactor(1.0);
}

void QxWebView::zoomIn()
{
    setZoomFactor(zoomFactor() * 1.1);
}

void QxWebView::zoomOut()
{
    setZoomFactor(zoomFactor() * 0.9);
}

void QxWebView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() != Qt::NoModifier) {
        const int delta = QxQtCompat::wheelDelta(event);
        if (delta > 0)
            zoomIn();
        else if (delta < 0)
            zoomOut();
    }
    QWebView::wheelEvent(event);
}
