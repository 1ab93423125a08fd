#include "QxWebView.h"

#include "QxQtCompat.h"

#include <QShortcut>
#include <QWheelEvent>

QxWebView::QxWebView(QWidget *parent)
    : QWebView(parent)
{
    new QShortcut(QKeySequence::ZoomIn, this, SLOT(zoomIn()), nullptr, Qt::WindowShortcut);
    new QShortcut(QKeySequence::ZoomOut, this, SLOT(zoomOut()), nullptr, Qt::WindowShortcut);
}

QxWebView::~QxWebView() = default;

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
