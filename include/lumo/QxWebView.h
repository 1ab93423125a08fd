#pragma once

#include <QWebView>

#include "lumo_export.h"

/// A QWebView that zooms with the platform's standard zoom shortcuts
/// (QKeySequence::ZoomIn / ZoomOut, active anywhere in the view's window) and
/// with the mouse wheel while any keyboard modifier is held.
///
/// Each step multiplies the zoom factor by 1.1 (in) or 0.9 (out), without
/// limits; the two steps are not inverse (in then out gives 0.99). Wheel events
/// still reach QWebView, zooming or not.
class LUMO_EXPORT QxWebView : public QWebView
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
    /// then QWebView's own handling in every case.
    void wheelEvent(QWheelEvent *event) override;
};
