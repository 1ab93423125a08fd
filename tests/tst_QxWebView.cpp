#include <lumo/QxWebView.h>

#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebFrame>
#include <QtTest>

#include <cmath>

namespace {

// A tall local page that counts the wheel events reaching it.
constexpr char page[] = "<html><body style='height: 5000px; margin: 0'>"
                        "<script>var wheels = 0;"
                        "document.addEventListener('mousewheel', function() { wheels++; });"
                        "</script></body></html>";

// QtWebKit keeps the zoom factor in single precision.
bool near(qreal actual, qreal expected)
{
    return std::abs(actual - expected) <= 1e-6 * expected;
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
    int wheelsSeenByPage() const;

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

    QSignalSpy loaded(view, &QWebView::loadFinished);
    view->setHtml(QString::fromLatin1(page));
    QVERIFY(loaded.count() == 1 || loaded.wait(10000));
    QCOMPARE(loaded.last().at(0).toBool(), true);
    QVERIFY(near(view->zoomFactor(), 1.0));
}

void tst_QxWebView::cleanup()
{
    delete window;
    window = nullptr;
}

int tst_QxWebView::wheelsSeenByPage() const
{
    return view->page()->mainFrame()->evaluateJavaScript(QStringLiteral("wheels")).toInt();
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

    QTest::newRow("in") << "+" << 1.1;
    QTest::newRow("out") << "-" << 0.9;
    QTest::newRow("in then out is not inverse") << "+-" << 0.99;
    QTest::newRow("ten out, no lower limit") << "----------" << std::pow(0.9, 10);
    QTest::newRow("twenty in, no upper limit") << QString(20, '+') << std::pow(1.1, 20);
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
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("delta");
    QTest::addColumn<qreal>("factor");

    QTest::newRow("no modifier: scroll only") << int(Qt::NoModifier) << -120 << 1.0;
    QTest::newRow("Control up") << int(Qt::ControlModifier) << 120 << 1.1;
    QTest::newRow("Control down") << int(Qt::ControlModifier) << -120 << 0.9;
    QTest::newRow("Shift up") << int(Qt::ShiftModifier) << 120 << 1.1;
    QTest::newRow("Alt down") << int(Qt::AltModifier) << -120 << 0.9;
    QTest::newRow("Meta up") << int(Qt::MetaModifier) << 120 << 1.1;
    QTest::newRow("large delta: one step") << int(Qt::ControlModifier) << 960 << 1.1;
    QTest::newRow("fine delta: one step") << int(Qt::ControlModifier) << -15 << 0.9;
}

void tst_QxWebView::wheel()
{
    QFETCH(int, modifiers);
    QFETCH(int, delta);
    QFETCH(qreal, factor);

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPoint position = view->rect().center();
    QWheelEvent event(position, view->mapToGlobal(position), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);

    QVERIFY2(near(view->zoomFactor(), factor), qPrintable(QString::number(view->zoomFactor())));
    QCOMPARE(wheelsSeenByPage(), 1);
}

void tst_QxWebView::zoomKeysAnywhereInWindow_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<qreal>("factor");

    QTest::newRow("zoom in") << QKeySequence(QKeySequence::ZoomIn) << 1.1;
    QTest::newRow("zoom out") << QKeySequence(QKeySequence::ZoomOut) << 0.9;
}

void tst_QxWebView::zoomKeysAnywhereInWindow()
{
    QFETCH(QKeySequence, keys);
    QFETCH(qreal, factor);

    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());

    QTest::keySequence(window->windowHandle(), keys);
    QVERIFY2(near(view->zoomFactor(), factor), qPrintable(QString::number(view->zoomFactor())));
    QVERIFY(field->text().isEmpty());
}

QTEST_MAIN(tst_QxWebView)
#include "tst_QxWebView.moc"
