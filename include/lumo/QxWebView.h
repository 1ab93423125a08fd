#pragma once

#include <QtGlobal>
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QWebEngineView>
#else
#include <QWebView>
#endif

#include "lumo_export.h"

/// The Qt web view that QxWebView builds on: QWebView (QtWebKit) with Qt 5,
/// QWebEngineView (Qt WebEngine) with Qt 6.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
using QxWebViewBase = QWebEngineView;
#else
using QxWebViewBase = QWebView;
#endif

/// A web view that zooms with the platform's standard zoom shortcuts
/// (QKeySequence::ZoomIn / ZoomOut, active anywhere in the view's window) and
/// with the mouse wheel while any keyboard modifier is held.
///
/// Each step multiplies the zoom factor by 1.1 (in) or 0.9 (out); the two
/// steps are not inverse (in then out gives 0.99). With QtWebKit (Qt 5) there
/// is no limit. Qt WebEngine (Qt 6) accepts only factors from 0.25 to 5, so
/// there a step stops at that limit. One wheel notch makes one step, and the
/// wheel event still reaches the page, zooming or not.
///
/// Control+0 (in the view's window, like the zoom keys) and resetZoom() go
/// back to factor 1. The view keeps its factor across page loads, to other
/// sites too, whatever the engine does with zoom on navigation; every change
/// of it emits zoomFactorChanged().
///
/// With Qt 6 a host that loads lumo after creating its QApplication (as a
/// plugin) need not set Qt::AA_ShareOpenGLContexts: the first view shares an
/// OpenGL context for Qt WebEngine itself.
class LUMO_EXPORT QxWebView : public QxWebViewBase
{
    Q_OBJECT
    /// The view's zoom factor, kept across page loads; 1 is no zoom.
    Q_PROPERTY(qreal zoomFactor READ zoomFactor WRITE setZoomFactor NOTIFY zoomFactorChanged)
public:
    /// Creates the zoom shortcuts, owned by the view.
    explicit QxWebView(QWidget *parent = nullptr);
    ~QxWebView() override;

    /// The zoom factor the view shows its pages at, whatever page is loaded.
    qreal zoomFactor() const;
    /// Zooms to \a factor and keeps it for the pages loaded later; emits
    /// zoomFactorChanged() when the factor changes. With Qt WebEngine the
    /// factor is bounded to 0.25 .. 5. A factor that is not a positive,
    /// finite number is ignored. Calls through the base class's
    /// setZoomFactor() bypass the view: use this one.
    void setZoomFactor(qreal factor);

Q_SIGNALS:
    /// The zoom factor became \a factor: by a zoom key or wheel step,
    /// resetZoom() or setZoomFactor(). Emitted once per change.
    void zoomFactorChanged(qreal factor);

public Q_SLOTS:
    /// Multiplies the zoom factor by 1.1.
    void zoomIn();
    /// Multiplies the zoom factor by 0.9.
    void zoomOut();
    /// Back to zoom factor 1, as Control+0 does.
    void resetZoom();

protected:
    /// With a modifier held, one zoom step per event in the wheel's direction;
    /// then the web view's own handling in every case.
    void wheelEvent(QWheelEvent *event) override;

private:
    // Puts the kept factor back on a page that the engine reset.
    void restoreZoomFactor();

    qreal keptZoomFactor = 1.0;
};
