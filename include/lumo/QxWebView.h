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
/// With Qt 6 a host that loads lumo after creating its QApplication (as a
/// plugin) need not set Qt::AA_ShareOpenGLContexts: the first view shares an
/// OpenGL context for Qt WebEngine itself.
class LUMO_EXPORT QxWebView : public QxWebViewBase
{
    Q_OBJECT
public:
    /// Creates the two zoom shortcuts, owned by the view.
    explicit QxWebView(QWidget *parent = nullptr);
    ~QxWebView() override;

public Q_SLOTS:
    /// Multiplies the zoom factor by 1.1.
    void zoomIn();
    /// Multiplies the zoom factor by 0.9.
    void zoomOut();

protected:
    /// With a modifier held, one zoom step per event in the wheel's direction;
    /// then the web view's own handling in every case.
    void wheelEvent(QWheelEvent *event) override;
};
