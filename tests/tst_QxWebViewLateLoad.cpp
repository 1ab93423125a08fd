// A host that creates its QApplication first and only then loads lumo, inside
// a plugin of its own, gets a working web view. Neither lumo nor Qt's web
// engine may be linked into this program: both must come with the plugin.

#include <QtTest>

#include <QLibrary>

#include <dlfcn.h>

#include <cmath>
#include <memory>

class tst_QxWebViewLateLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstViewPaintsAndZooms();
};

void tst_QxWebViewLateLoad::initTestCase()
{
    QVERIFY(QCoreApplication::instance());
    QVERIFY2(!dlopen(LUMO_LIBRARY_FILE, RTLD_NOW | RTLD_NOLOAD), "liblumo.so is linked in");
}

void tst_QxWebViewLateLoad::firstViewPaintsAndZooms()
{
    QLibrary plugin(QStringLiteral(WEBVIEW_PLUGIN_FILE));
    QVERIFY2(plugin.load(), qPrintable(plugin.errorString()));
    using Create = QWidget *(*)(const char *html);
    const auto create = reinterpret_cast<Create>(plugin.resolve("createWebView"));
    QVERIFY(create);

    const std::unique_ptr<QWidget> view(
            create("<html><body style='margin: 0; background: #33aa66'></body></html>"));
    QCOMPARE(view->metaObject()->className(), "QxWebView");
    view->resize(300, 200);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    const QPoint centre = view->rect().center();
    QTRY_COMPARE_WITH_TIMEOUT(view->grab().toImage().pixel(centre), QRgb(0xff33aa66), 20000);

    QVERIFY(QMetaObject::invokeMethod(view.get(), "zoomIn"));
    QVERIFY(std::abs(view->property("zoomFactor").toReal() - 1.1) < 1e-6);
}

int main(int argc, char *argv[])
{
    // Chromium, under Qt WebEngine, refuses to start as root with its sandbox
    // on; the test loads only its own page.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    tst_QxWebViewLateLoad test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_QxWebViewLateLoad.moc"
