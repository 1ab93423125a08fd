#pragma once

#include "GalleryPage.h"

class QLabel;
class QxVariantAnimation;
class QxWebView;

/// The library's help in a QxWebView, zoomable by keys, wheel and buttons,
/// back to 100 % with Ctrl+0, with an animated zoom driven by
/// QxVariantAnimation.
class WebPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit WebPage(QWidget *parent = nullptr);

    QxWebView *view() const { return m_view; }
    bool isLoaded() const { return m_loaded; }

    /// Ready once the help page has loaded and is painted (or failed to load).
    void prepareSnapshot() override;

signals:
    /// The help page has loaded and is painted (\a ok), or failed to load.
    void loaded(bool ok);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showZoom();
    void settle();

    QxWebView *m_view;
    QxVariantAnimation *m_animation;
    QLabel *m_zoom;
    bool m_loaded = false;
    bool m_settled = false;
    bool m_requested = false;
};
