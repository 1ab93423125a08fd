// QxWebView on Qt WebEngine (Qt 6); internal/QxWebView.cpp is the QtWebKit one.

#include "QxWebView.h"

#include "QxQtCompat.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QShortcut>
#include <QWheelEvent>

// Exported by Qt GUI but declared only in its private headers. Qt WebEngine's
// own start-up installs its shared context with it.
void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace {

// The zoom factors Qt WebEngine accepts; it ignores a factor outside them.
constexpr qreal minimumZoomFactor = 0.25;
constexpr qreal maximumZoomFactor = 5.0;

// Qt WebEngine renders through an OpenGL context shared with the
// application's. When its library is loaded before the QApplication is
// created, it installs that context itself; a host that loads lumo as a plugin
// after creating its QApplication crashes on the first web view instead.
// Install the context as Qt WebEngine would have. Even when no OpenGL context
// can be created (a platform without OpenGL), the installed one makes Qt
// WebEngine fall back to software rendering instead of crashing.
QWidget *shareOpenGLContexts(QWidget *parent)
{
    if (!QOpenGLContext::globalShareContext()) {
        auto *context = new QOpenGLContext(QCoreApplication::instance());
        context->create();
        qt_gl_set_global_share_context(context);
        // Qt warns that the attribute belongs before the QApplication; set now
        // it still tells Qt WebEngine to share the context installed above.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }
    return parent;
}

// Set while QxWebView hands a wheel event on to the engine's widget: that
// event has made its zoom step already.
int forwardingWheel = 0;

void zoomStep(QxWebView *view, const QWheelEvent *event)
{
    if (event->modifiers() == Qt::NoModifier)
        return;
    const int delta = QxQtCompat::wheelDelta(event);
    if (delta > 0)
        view->zoomIn();
    else if (delta < 0)
        view->zoomOut();
}

// Qt WebEngine zooms by itself on Control+wheel, by 0.1 per notch: the copy
// that reaches the page carries no Control, so that a notch zooms only once.
// The page still sees the wheel and scrolls as without a modifier.
void forwardWithoutControl(QWidget *engine, QWheelEvent *event, const QPointF &position)
{
    QWheelEvent copy(position, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                     event->buttons(), event->modifiers() & ~Qt::ControlModifier, event->phase(),
                     event->inverted(), event->source(), event->pointingDevice());
    copy.setTimestamp(event->timestamp());
    ++forwardingWheel;
    QCoreApplication::sendEvent(engine, &copy);
    --forwardingWheel;
    // Unused, the copy went up the parents by itself (back through the view,
    // without a second zoom step): the original stops here.
    event->accept();
}

// Real wheel events go to the widget under the pointer: the widget that Qt
// WebEngine creates inside the view for the page, not the view.
class EngineWheelFilter : public QObject
{
public:
    explicit EngineWheelFilter(QxWebView *view)
        : QObject(view)
        , m_view(view)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_view) {
            if (event->type() == QEvent::ChildAdded) {
                QObject *child = static_cast<QChildEvent *>(event)->child();
                if (child->isWidgetType())
                    child->installEventFilter(this);
            }
            return false;
        }
        if (event->type() != QEvent::Wheel || forwardingWheel)
            return false;
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() == Qt::NoModifier)
            return false;
        zoomStep(m_view, wheel);
        forwardWithoutControl(static_cast<QWidget *>(watched), wheel, wheel->position());
        return true;
    }

private:
    QxWebView *m_view;
};

} // namespace

QxWebView::QxWebView(QWidget *parent)
    : QWebEngineView(shareOpenGLContexts(parent))
{
    new QShortcut(QKeySequence::ZoomIn, this, SLOT(zoomIn()), nullptr, Qt::WindowShortcut);
    new QShortcut(QKeySequence::ZoomOut, this, SLOT(zoomOut()), nullptr, Qt::WindowShortcut);
    // Browsers' key back to no zoom; Qt has no standard sequence for it.
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+0"), QKeySequence::PortableText), this,
                  SLOT(resetZoom()), nullptr, Qt::WindowShortcut);
    // Chromium, under Qt WebEngine, zooms per site; whether Qt WebEngine
    // carries a page's factor over to another site depends on its version.
    // The view puts its factor back itself as soon as the URL changes, and
    // once more when the page has loaded.
    connect(this, &QWebEngineView::urlChanged, this, &QxWebView::restoreZoomFactor);
    connect(this, &QWebEngineView::loadFinished, this, &QxWebView::restoreZoomFactor);
    auto *filter = new EngineWheelFilter(this);
    installEventFilter(filter);
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->installEventFilter(filter);
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
    factor = qBound(minimumZoomFactor, factor, maximumZoomFactor);
    QWebEngineView::setZoomFactor(factor);
    if (factor == keptZoomFactor)
        return;
    keptZoomFactor = factor;
    Q_EMIT zoomFactorChanged(factor);
}

void QxWebView::restoreZoomFactor()
{
    if (QWebEngineView::zoomFactor() != keptZoomFactor)
        QWebEngineView::setZoomFactor(keptZoomFactor);
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
    // A copy handed to the engine's widget comes back here when the page did
    // not use it: its zoom step is made, it goes on up the parents.
    if (forwardingWheel) {
        QWebEngineView::wheelEvent(event);
        return;
    }
    zoomStep(this, event);
    QWidget *engine = focusProxy();
    if (!engine) {
        QWebEngineView::wheelEvent(event);
        return;
    }
    forwardWithoutControl(engine, event, engine->mapFrom(this, event->position()));
}
