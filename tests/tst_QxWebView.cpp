#include <lumo/QxWebView.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <QShortcut>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVBoxLayout>
#include <QtTest>
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#include <QWebFrame>
#endif

#include <cmath>
#include <memory>
#include <optional>

namespace {

// A tall local page in one colour that counts the wheel events reaching it:
// sideways ones (the tests' probes) apart from the others.
constexpr char page[] = "<html><body style='height: 5000px; margin: 0; background: #33aa66'>"
                        "<script>var wheels = 0; var probes = 0;"
                        "document.addEventListener('mousewheel', function(e) {"
                        " if (e.wheelDeltaX && !e.wheelDeltaY) probes++; else wheels++; });"
                        "</script></body></html>";
constexpr QRgb pageColor = 0xff33aa66;

// QtWebKit keeps the zoom factor in single precision.
bool near(qreal actual, qreal expected)
{
    return std::abs(actual - expected) <= 1e-6 * expected;
}

// The factor that zoom steps reach: Qt WebEngine accepts factors from 0.25 to
// 5 only, QtWebKit any.
qreal reachable(qreal factor)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return qBound(0.25, factor, 5.0);
#else
    return factor;
#endif
}

// Serves the page to every request, over HTTP on 127.0.0.1: pages of two
// sites (127.0.0.1 and localhost) for the engine, which zooms per site.
class PageServer : public QObject
{
public:
    PageServer()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
                        return;
                    socket->readAll();
                    const QByteArray body(page);
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                                  "Content-Length: "
                                  + QByteArray::number(body.size())
                                  + "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    bool listen() { return server.listen(QHostAddress::LocalHost); }
    QUrl url(const char *host) const
    {
        return QUrl(
                QStringLiteral("http://%1:%2/").arg(QLatin1String(host)).arg(server.serverPort()));
    }

private:
    QTcpServer server;
};

} // namespace

class tst_QxWebView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shortcuts();
    void zoomSteps_data();
    void zoomSteps();
    void wheel_data();
    void wheel();
    void zoomKeysAnywhereInWindow_data();
    void zoomKeysAnywhereInWindow();
    void resetZoom_data();
    void resetZoom();
    void zoomFactorChangedOncePerChange_data();
    void zoomFactorChangedOncePerChange();
    void zoomKeptAcrossLoads_data();
    void zoomKeptAcrossLoads();

private:
    QVariant evaluate(const QString &script) const;
    QRgb centrePixel() const;
    bool load(const QUrl &url);
    qreal engineZoomFactor() const;

    QWidget *window = nullptr;
    QxWebView *view = nullptr;
    QLineEdit *field = nullptr;
};

void tst_QxWebView::init()
{
    window = new QWidget;
    QVBoxLayout *layout = new QVBoxLayout(window);
    field = new QLineEdit(window);
    view = new QxWebView(window);
    layout->addWidget(field);
    layout->addWidget(view);
    window->resize(400, 300);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QSignalSpy loaded(view, &QxWebView::loadFinished);
    view->setHtml(QString::fromLatin1(page));
    QVERIFY(loaded.count() == 1 || loaded.wait(20000));
    QCOMPARE(loaded.last().at(0).toBool(), true);
    // Qt WebEngine paints the page some time after it has loaded; a wheel
    // before the first frame may find no page under the pointer.
    QTRY_COMPARE_WITH_TIMEOUT(centrePixel(), pageColor, 20000);
    // A painted frame does not yet mean that the page takes input: under load
    // Qt WebEngine's renderer drops wheels that come before its input handling
    // is set up. Sideways wheels go to the page until one arrives; the page
    // counts them apart, so a late one changes no test's count.
    const QPoint global = view->mapToGlobal(view->rect().center());
    QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QWidget *receiver = QApplication::widgetAt(global);
                if (receiver != view && !view->isAncestorOf(receiver))
                    return false;
                QWheelEvent probe(receiver->mapFromGlobal(global), global, QPoint(),
                                  QPoint(-120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                                  false);
                QApplication::sendEvent(receiver, &probe);
                return QTest::qWaitFor(
                        [this] { return evaluate(QStringLiteral("probes")).toInt() > 0; }, 1000);
            }(),
            30000);
    QCOMPARE(evaluate(QStringLiteral("window.scrollTo(0, 0); wheels")).toInt(), 0);
    QVERIFY(near(view->zoomFactor(), 1.0));
}

void tst_QxWebView::cleanup()
{
    delete window;
    window = nullptr;
}

QVariant tst_QxWebView::evaluate(const QString &script) const
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // The script runs in the page's own process; the answer comes later. The
    // callback may outlive this call when the page does not answer in time.
    auto answer = std::make_shared<std::optional<QVariant>>();
    view->page()->runJavaScript(script, [answer](const QVariant &value) { *answer = value; });
    if (!QTest::qWaitFor([&answer] { return answer->has_value(); }, 10000))
        return QStringLiteral("no answer from the page");
    return **answer;
#else
    return view->page()->mainFrame()->evaluateJavaScript(script);
#endif
}

bool tst_QxWebView::load(const QUrl &url)
{
    QSignalSpy loaded(view, &QxWebView::loadFinished);
    view->load(url);
    return (loaded.count() == 1 || loaded.wait(20000)) && loaded.last().at(0).toBool();
}

// The factor the engine itself renders at, past the view's own account.
qreal tst_QxWebView::engineZoomFactor() const
{
    return static_cast<const QxWebViewBase *>(view)->zoomFactor();
}

QRgb tst_QxWebView::centrePixel() const
{
    return view->grab().toImage().pixel(view->rect().center());
}

void tst_QxWebView::shortcuts()
{
    const QList<QShortcut *> shortcuts = view->findChildren<QShortcut *>();
    QCOMPARE(shortcuts.size(), 3);
    QCOMPARE(shortcuts.at(0)->key(), QKeySequence(QKeySequence::ZoomIn));
    QCOMPARE(shortcuts.at(1)->key(), QKeySequence(QKeySequence::ZoomOut));
    QCOMPARE(shortcuts.at(2)->key(), QKeySequence(QStringLiteral("Ctrl+0")));
    for (const QShortcut *shortcut : shortcuts) {
        QCOMPARE(shortcut->parent(), view);
        QCOMPARE(shortcut->context(), Qt::WindowShortcut);
    }
}

void tst_QxWebView::zoomSteps_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<qreal>("factor");

    // clang-format off
    QTest::newRow("in") << "+" << 1.1;
    QTest::newRow("out") << "-" << 0.9;
    QTest::newRow("in then out is not inverse") << "+-" << 0.99;
    QTest::newRow("ten out") << "----------" << std::pow(0.9, 10);
    QTest::newRow("twenty in: upper limit only with WebEngine") << QString(20, '+') << reachable(std::pow(1.1, 20));
    QTest::newRow("twenty out: lower limit only with WebEngine") << QString(20, '-') << reachable(std::pow(0.9, 20));
    QTest::newRow("back from the upper limit") << QString(20, '+') + '-' << reachable(std::pow(1.1, 20)) * 0.9;
    // clang-format on
}

void tst_QxWebView::zoomSteps()
{
    QFETCH(QString, steps);
    QFETCH(qreal, factor);
    for (const QChar step : steps) {
        if (step == '+')
            view->zoomIn();
        else
            view->zoomOut();
    }
    QVERIFY2(near(view->zoomFactor(), factor), qPrintable(QString::number(view->zoomFactor())));
}

void tst_QxWebView::wheel_data()
{
    QTest::addColumn<bool>("underPointer");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("delta");
    QTest::addColumn<qreal>("factor");

    // Sent to the view, as an application may, and to the widget under the
    // pointer, as a user's wheel is: with Qt WebEngine a widget inside the view.
    for (const bool underPointer : { false, true }) {
        const char *target = underPointer ? "under pointer" : "view";
        // clang-format off
        QTest::addRow("%s: no modifier: scroll only", target) << underPointer << int(Qt::NoModifier) << -120 << 1.0;
        QTest::addRow("%s: Control up", target) << underPointer << int(Qt::ControlModifier) << 120 << 1.1;
        QTest::addRow("%s: Control down", target) << underPointer << int(Qt::ControlModifier) << -120 << 0.9;
        QTest::addRow("%s: Shift up", target) << underPointer << int(Qt::ShiftModifier) << 120 << 1.1;
        QTest::addRow("%s: Alt down", target) << underPointer << int(Qt::AltModifier) << -120 << 0.9;
        QTest::addRow("%s: Meta up", target) << underPointer << int(Qt::MetaModifier) << 120 << 1.1;
        QTest::addRow("%s: Control and Shift up", target) << underPointer << int(Qt::ControlModifier | Qt::ShiftModifier) << 120 << 1.1;
        QTest::addRow("%s: large delta: one step", target) << underPointer << int(Qt::ControlModifier) << 960 << 1.1;
        QTest::addRow("%s: fine delta: one step", target) << underPointer << int(Qt::ControlModifier) << -15 << 0.9;
        // clang-format on
    }
}

void tst_QxWebView::wheel()
{
    QFETCH(bool, underPointer);
    QFETCH(int, modifiers);
    QFETCH(int, delta);
    QFETCH(qreal, factor);

    const QPoint global = view->mapToGlobal(view->rect().center());
    QWidget *receiver = underPointer ? QApplication::widgetAt(global) : view;
    QVERIFY(receiver == view || view->isAncestorOf(receiver));
    const QPoint position = receiver->mapFromGlobal(global);
    QWheelEvent event(position, global, QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
    QApplication::sendEvent(receiver, &event);

    QTRY_COMPARE(evaluate(QStringLiteral("wheels")).toInt(), 1);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Qt WebEngine's own Control+wheel zoom would come after the page has
    // seen the wheel; the page renders at the view's factor and no other.
    QTRY_VERIFY(near(evaluate(QStringLiteral("window.devicePixelRatio")).toReal(), factor));
#endif
    QVERIFY2(near(view->zoomFactor(), factor), qPrintable(QString::number(view->zoomFactor())));
}

void tst_QxWebView::zoomKeysAnywhereInWindow_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("focusInView");
    QTest::addColumn<qreal>("factor");

    // clang-format off
    QTest::newRow("zoom in, focus in field") << QKeySequence(QKeySequence::ZoomIn) << false << 1.1;
    QTest::newRow("zoom out, focus in field") << QKeySequence(QKeySequence::ZoomOut) << false << 0.9;
    QTest::newRow("zoom in, focus in view") << QKeySequence(QKeySequence::ZoomIn) << true << 1.1;
    QTest::newRow("zoom out, focus in view") << QKeySequence(QKeySequence::ZoomOut) << true << 0.9;
    // clang-format on
}

void tst_QxWebView::zoomKeysAnywhereInWindow()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, focusInView);
    QFETCH(qreal, factor);

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    // Qt WebEngine passes the view's focus on to its page widget inside.
    QWidget *focus = focusInView ? static_cast<QWidget *>(view) : field;
    focus->setFocus();
    QTRY_VERIFY(focus->hasFocus());

    QTest::keySequence(window->windowHandle(), keys);
    QVERIFY2(near(view->zoomFactor(), factor), qPrintable(QString::number(view->zoomFactor())));
    QVERIFY(field->text().isEmpty());
}

void tst_QxWebView::resetZoom_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("focusInView");

    const QKeySequence slot;
    const QKeySequence controlZero(QStringLiteral("Ctrl+0"));
    // clang-format off
    QTest::newRow("Control+0 after zooming in, focus in field") << "++" << controlZero << Qt::KeyboardModifiers() << false;
    QTest::newRow("Control+0 after zooming out, focus in view") << "---" << controlZero << Qt::KeyboardModifiers() << true;
    QTest::newRow("Control+0 on the keypad") << "+" << controlZero << Qt::KeyboardModifiers(Qt::KeypadModifier) << false;
    QTest::newRow("Control+0 at factor 1") << "" << controlZero << Qt::KeyboardModifiers() << true;
    QTest::newRow("Control+0 from the lower limit") << QString(20, '-') << controlZero << Qt::KeyboardModifiers() << false;
    QTest::newRow("resetZoom() after zooming in") << "+++" << slot << Qt::KeyboardModifiers() << false;
    QTest::newRow("resetZoom() at factor 1") << "" << slot << Qt::KeyboardModifiers() << false;
    // clang-format on
}

// Control+0 anywhere in the window, or resetZoom(), go back to factor 1,
// and the page renders at it; nothing is typed into the focused field.
void tst_QxWebView::resetZoom()
{
    QFETCH(QString, steps);
    QFETCH(QKeySequence, keys);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, focusInView);

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *focus = focusInView ? static_cast<QWidget *>(view) : field;
    focus->setFocus();
    QTRY_VERIFY(focus->hasFocus());
    for (const QChar step : steps)
        QTest::keySequence(window->windowHandle(),
                           step == '+' ? QKeySequence::ZoomIn : QKeySequence::ZoomOut);
    QCOMPARE(near(view->zoomFactor(), 1.0), steps.isEmpty());

    QSignalSpy changed(view, &QxWebView::zoomFactorChanged);
    if (keys.isEmpty()) {
        view->resetZoom();
    } else {
        const int key = keys[0];
        QTest::keyClick(window->windowHandle(), Qt::Key(key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask) | modifiers);
    }
    QCOMPARE(view->zoomFactor(), 1.0);
    QVERIFY(near(engineZoomFactor(), 1.0));
    QCOMPARE(changed.count(), steps.isEmpty() ? 0 : 1);
    if (!steps.isEmpty())
        QCOMPARE(changed.at(0).at(0).toReal(), 1.0);
    QVERIFY(field->text().isEmpty());
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QTRY_VERIFY(near(evaluate(QStringLiteral("window.devicePixelRatio")).toReal(), 1.0));
#endif
}

void tst_QxWebView::zoomFactorChangedOncePerChange_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<qreal>("start");
    QTest::addColumn<qreal>("factor");
    QTest::addColumn<bool>("changes");

    // clang-format off
    QTest::newRow("zoom in key") << "in key" << 1.0 << 1.1 << true;
    QTest::newRow("zoom out key") << "out key" << 1.0 << 0.9 << true;
    QTest::newRow("Control+wheel") << "wheel" << 1.0 << 1.1 << true;
    QTest::newRow("zoomIn()") << "in" << 2.0 << 2.2 << true;
    QTest::newRow("setZoomFactor()") << "set 1.5" << 1.0 << 1.5 << true;
    QTest::newRow("the zoomFactor property") << "property 1.5" << 1.0 << 1.5 << true;
    QTest::newRow("setZoomFactor() to the same factor") << "set 1.5" << 1.5 << 1.5 << false;
    QTest::newRow("resetZoom() at 1") << "reset" << 1.0 << 1.0 << false;
    QTest::newRow("not a number: ignored") << "set nan" << 1.5 << 1.5 << false;
    QTest::newRow("infinite: ignored") << "set inf" << 1.5 << 1.5 << false;
    QTest::newRow("zero: ignored") << "set 0" << 1.5 << 1.5 << false;
    QTest::newRow("negative: ignored") << "set -2" << 1.5 << 1.5 << false;
    QTest::newRow("zoom in from 5: a limit only with WebEngine") << "in" << 5.0 << reachable(5.5) << (reachable(5.5) != 5.0);
    QTest::newRow("setZoomFactor() beyond: bounded only with WebEngine") << "set 8" << 1.0 << reachable(8.0) << true;
    // clang-format on
}

// Every change of the factor, by key, wheel or call, emits zoomFactorChanged()
// once with the new factor; a step that changes nothing emits nothing.
void tst_QxWebView::zoomFactorChangedOncePerChange()
{
    QFETCH(QString, action);
    QFETCH(qreal, start);
    QFETCH(qreal, factor);
    QFETCH(bool, changes);

    view->setZoomFactor(start);
    QCOMPARE(view->zoomFactor(), start);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    field->setFocus();

    QSignalSpy changed(view, &QxWebView::zoomFactorChanged);
    const QString argument = action.section(' ', 1);
    if (action == "in key") {
        QTest::keySequence(window->windowHandle(), QKeySequence::ZoomIn);
    } else if (action == "out key") {
        QTest::keySequence(window->windowHandle(), QKeySequence::ZoomOut);
    } else if (action == "wheel") {
        const QPoint global = view->mapToGlobal(view->rect().center());
        QWidget *receiver = QApplication::widgetAt(global);
        QWheelEvent event(receiver->mapFromGlobal(global), global, QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(receiver, &event);
    } else if (action == "in") {
        view->zoomIn();
    } else if (action == "reset") {
        view->resetZoom();
    } else if (action.startsWith("set")) {
        view->setZoomFactor(argument == "nan"           ? qQNaN()
                                    : argument == "inf" ? qInf()
                                                        : argument.toDouble());
    } else if (action.startsWith("property")) {
        QVERIFY(view->setProperty("zoomFactor", argument.toDouble()));
    }
    QVERIFY2(near(view->zoomFactor(), factor), qPrintable(QString::number(view->zoomFactor())));
    QVERIFY(near(engineZoomFactor(), factor));
    QCOMPARE(view->property("zoomFactor").toReal(), view->zoomFactor());
    QCOMPARE(changed.count(), changes ? 1 : 0);
    if (changes)
        QCOMPARE(changed.at(0).at(0).toReal(), view->zoomFactor());
}

void tst_QxWebView::zoomKeptAcrossLoads_data()
{
    QTest::addColumn<QString>("target");

    QTest::newRow("a file") << "file";
    QTest::newRow("a page set from text") << "html";
    QTest::newRow("a file, then a page set from text") << "file html";
    QTest::newRow("a file, reloaded") << "file reload";
    QTest::newRow("a site, then another") << "127.0.0.1 localhost";
    QTest::newRow("a file, a site, a file") << "file 127.0.0.1 file";
}

// A page loaded after zooming is shown at the view's factor, whatever the
// engine does with zoom between sites.
void tst_QxWebView::zoomKeptAcrossLoads()
{
    QFETCH(QString, target);

    PageServer server;
    QVERIFY(server.listen());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("page.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(page);
    file.close();

    view->zoomIn();
    view->zoomIn();
    const qreal kept = 1.1 * 1.1;
    QSignalSpy changed(view, &QxWebView::zoomFactorChanged);
    for (const QString &step : target.split(' ')) {
        if (step == "file") {
            QVERIFY(load(QUrl::fromLocalFile(file.fileName())));
        } else if (step == "127.0.0.1" || step == "localhost") {
            QVERIFY(load(server.url(qPrintable(step))));
        } else if (step == "html") {
            QSignalSpy loaded(view, &QxWebView::loadFinished);
            view->setHtml(QStringLiteral("<html><body>other</body></html>"),
                          QUrl(QStringLiteral("http://127.0.0.1/")));
            QVERIFY(loaded.count() == 1 || loaded.wait(20000));
        } else {
            QSignalSpy loaded(view, &QxWebView::loadFinished);
            view->reload();
            QVERIFY(loaded.count() == 1 || loaded.wait(20000));
        }
        QVERIFY(near(view->zoomFactor(), kept));
        QTRY_VERIFY2(near(engineZoomFactor(), kept),
                     qPrintable(QString::number(engineZoomFactor())));
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        QTRY_VERIFY(near(evaluate(QStringLiteral("window.devicePixelRatio")).toReal(), kept));
#endif
    }
    QCOMPARE(changed.count(), 0);

    // Steps go on from the kept factor.
    view->zoomIn();
    QVERIFY(near(view->zoomFactor(), kept * 1.1));
    QVERIFY(near(engineZoomFactor(), kept * 1.1));
}

int main(int argc, char *argv[])
{
    // Chromium, under Qt WebEngine, refuses to start as root with its sandbox
    // on; the tests load only their own pages.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    tst_QxWebView test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_QxWebView.moc"
