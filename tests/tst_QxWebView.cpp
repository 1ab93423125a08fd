#include <lumo/QxWebView.h>

#include <QLineEdit>
#include <QShortcut>
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

private:
    QVariant evaluate(const QString &script) const;
    QRgb centrePixel() const;

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

QRgb tst_QxWebView::centrePixel() const
{
    return view->grab().toImage().pixel(view->rect().center());
}

void tst_QxWebView::shortcuts()
{
    const QList<QShortcut *> shortcuts = view->findChildren<QShortcut *>();
    QCOMPARE(shortcuts.size(), 2);
    QCOMPARE(shortcuts.at(0)->key(), QKeySequence(QKeySequence::ZoomIn));
    QCOMPARE(shortcuts.at(1)->key(), QKeySequence(QKeySequence::ZoomOut));
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
