// A plugin built on lumo, as a host application loads one: after it has
// created its QApplication (tst_QxWebViewLateLoad.cpp).

#include <lumo/QxWebView.h>

extern "C" Q_DECL_EXPORT QWidget *createWebView(const char *html)
{
    auto *view = new QxWebView;
    view->setHtml(QString::fromUtf8(html));
    return view;
}
