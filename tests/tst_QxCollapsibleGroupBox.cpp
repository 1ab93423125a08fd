#include <lumo/QxCollapsibleGroupBox.h>

#include <QFrame>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Exposes the style option so that the title check box is found where the
// style draws it.
class Box : public QxCollapsibleGroupBox
{
public:
    using QxCollapsibleGroupBox::QxCollapsibleGroupBox;

    QPoint checkBoxCenter() const
    {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        return style()
                ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, this)
                .center();
    }
};

QMargins margins(const QLayout *layout)
{
    return layout->contentsMargins();
}

enum class Fold { Uncheck, DirectCall, DisableBox };

// A window holding line edits before a checkable group box, inside it and
// (optionally) after it, each named after its place. The box is a plain
// QGroupBox unless \a collapsible.
QWidget *focusWindow(bool collapsible, bool editAfter, QGroupBox **box)
{
    auto *window = new QWidget;
    auto *layout = new QVBoxLayout(window);
    const auto edit = [](const char *name) {
        auto *lineEdit = new QLineEdit;
        lineEdit->setObjectName(QString::fromLatin1(name));
        return lineEdit;
    };
    layout->addWidget(edit("before"));
    if (collapsible) {
        auto *collapsibleBox = new QxCollapsibleGroupBox;
        collapsibleBox->addWidget(edit("first inside"));
        collapsibleBox->addWidget(edit("last inside"));
        *box = collapsibleBox;
    } else {
        *box = new QGroupBox;
        (*box)->setCheckable(true);
        auto *inner = new QVBoxLayout(*box);
        inner->addWidget(edit("first inside"));
        inner->addWidget(edit("last inside"));
    }
    (*box)->setTitle(QStringLiteral("Options"));
    layout->addWidget(*box);
    if (editAfter)
        layout->addWidget(edit("after"));
    return window;
}

// Folds the box while the named line edit has focus; returns the name of the
// widget that has focus afterwards ("none" when no widget has).
QString focusAfterFolding(bool collapsible, bool editAfter, const QString &focused, Fold fold)
{
    QGroupBox *box = nullptr;
    QScopedPointer<QWidget> window(focusWindow(collapsible, editAfter, &box));
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.data()))
        return QStringLiteral("window not active");
    auto *edit = window->findChild<QLineEdit *>(focused);
    edit->setFocus();
    if (!edit->hasFocus())
        return QStringLiteral("no initial focus");
    if (fold == Fold::DisableBox)
        box->setEnabled(false);
    else if (fold == Fold::DirectCall && collapsible)
        static_cast<QxCollapsibleGroupBox *>(box)->setGroupBoxExpanded(false);
    else
        box->setChecked(false);
    QWidget *now = QApplication::focusWidget();
    return now ? now->objectName() : QStringLiteral("none");
}

// How content reaches the box.
enum class Route {
    AddWidget,
    InsideLayout,
    BoxLayout,
    BoxLayoutWhileFolded,
    PlainChild,
    FormPageWhileFolded
};

// How the host or the user folds and unfolds the box.
enum class Toggle { Click, SpaceKey, SetChecked, SetExpanded, SetGroupBoxExpanded, Property };

// A style whose animation duration the test chooses; 0 turns animations off.
class AnimationStyle : public QProxyStyle
{
public:
    explicit AnimationStyle(int duration)
        : QProxyStyle(QStringLiteral("Fusion"))
        , duration(duration)
    {
    }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Widget_Animation_Duration)
            return duration;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    int duration;
};

// A shown window with a box of three labels above a stretch, as a settings
// page holds one.
struct BoxWindow
{
    explicit BoxWindow(QStyle *style, int maximumHeight = QWIDGETSIZE_MAX)
        : box(new Box(&window))
    {
        auto *layout = new QVBoxLayout(&window);
        box->setStyle(style);
        box->setTitle(QStringLiteral("Options"));
        box->setMaximumHeight(maximumHeight);
        for (const char *text : { "first", "second", "third" })
            box->addWidget(new QLabel(QString::fromLatin1(text)));
        layout->addWidget(box);
        layout->addStretch();
        window.resize(300, 400);
        window.show();
    }
    QWidget window;
    Box *box;
};

} // namespace

Q_DECLARE_METATYPE(Fold)
Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Toggle)

class tst_QxCollapsibleGroupBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void widgetTree();
    void addWidgetAppendsToInsideFrame();
    void addWidgetByName();
    void foldsThroughTitleCheckBox();
    void directCallKeepsCheckState();
    void focusAsInPlainGroupBox_data();
    void focusAsInPlainGroupBox();
    void contentAddedAnyRouteFolds_data();
    void contentAddedAnyRouteFolds();
    void hostHiddenStaysHidden();
    void accessibleFoldState();
    void expandedChangedOncePerChange_data();
    void expandedChangedOncePerChange();
    void setExpandedAfterDirectFold();
    void animatedFoldEndsAsInstantFold_data();
    void animatedFoldEndsAsInstantFold();
    void instantFoldWithoutAnimation_data();
    void instantFoldWithoutAnimation();
    void goneWhileFolding_data();
    void goneWhileFolding();

private:
    QWidget *window = nullptr;
    Box *box = nullptr;
    QList<QLabel *> labels;
};

void tst_QxCollapsibleGroupBox::init()
{
    window = new QWidget;
    QVBoxLayout *layout = new QVBoxLayout(window);
    box = new Box(window);
    box->setTitle(QStringLiteral("Options"));
    layout->addWidget(box);
    layout->addStretch();
    labels.clear();
    for (const char *text : { "first", "second", "third" }) {
        labels.append(new QLabel(QString::fromLatin1(text)));
        box->addWidget(labels.last());
    }
    window->resize(300, 400);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void tst_QxCollapsibleGroupBox::cleanup()
{
    delete window;
    window = nullptr;
    box = nullptr;
}

void tst_QxCollapsibleGroupBox::widgetTree()
{
    QxCollapsibleGroupBox fresh;
    QVERIFY(fresh.isCheckable());
    QVERIFY(fresh.isChecked());
    QVERIFY(fresh.title().isEmpty());
    QFrame *inside = fresh.getInsideWidget();
    QVERIFY(inside);
    QCOMPARE(inside->parentWidget(), &fresh);
    QVERIFY(inside->isVisibleTo(&fresh));
    QCOMPARE(inside->windowType(), Qt::Widget);
    QVERIFY(!inside->isWindow());

    QVBoxLayout *outer = qobject_cast<QVBoxLayout *>(fresh.layout());
    QVERIFY(outer);
    QCOMPARE(margins(outer), QMargins(0, 2, 0, 0));
    QCOMPARE(outer->count(), 1);
    QCOMPARE(outer->itemAt(0)->widget(), inside);
    QCOMPARE(outer->stretch(0), 0);
    QCOMPARE(outer->itemAt(0)->alignment(), Qt::Alignment());

    QVBoxLayout *inner = qobject_cast<QVBoxLayout *>(inside->layout());
    QVERIFY(inner);
    QCOMPARE(margins(inner), QMargins(5, 5, 2, 5));
    QCOMPARE(inner->count(), 0);
}

void tst_QxCollapsibleGroupBox::addWidgetAppendsToInsideFrame()
{
    QLayout *inner = box->getInsideWidget()->layout();
    QCOMPARE(inner->count(), labels.size());
    for (int i = 0; i < labels.size(); ++i) {
        QCOMPARE(labels.at(i)->parentWidget(), box->getInsideWidget());
        QCOMPARE(inner->itemAt(i)->widget(), labels.at(i));
    }
    QLabel *extra = new QLabel(QStringLiteral("extra"), window);
    box->addWidget(extra);
    QCOMPARE(extra->parentWidget(), box->getInsideWidget());
    QCOMPARE(inner->itemAt(inner->count() - 1)->widget(), extra);
    QTRY_VERIFY(extra->isVisible());

    box->addWidget(nullptr);
    QCOMPARE(inner->count(), labels.size() + 1);
}

// QUiLoader fills a custom container through its add-page method, called by
// name: the page must land in the folding frame as it does through uic's
// direct call.
void tst_QxCollapsibleGroupBox::addWidgetByName()
{
    QLabel *page = new QLabel(QStringLiteral("page"), box);
    QVERIFY(QMetaObject::invokeMethod(box, "addWidget", Qt::DirectConnection,
                                      Q_ARG(QWidget *, page)));
    QCOMPARE(page->parentWidget(), box->getInsideWidget());
    QLayout *inner = box->getInsideWidget()->layout();
    QCOMPARE(inner->itemAt(inner->count() - 1)->widget(), page);
    box->setChecked(false);
    QVERIFY(!page->isVisible());
}

void tst_QxCollapsibleGroupBox::foldsThroughTitleCheckBox()
{
    QSignalSpy toggled(box, &QGroupBox::toggled);
    QTRY_VERIFY(labels.last()->isVisible());
    const int expandedHeight = box->height();

    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->checkBoxCenter());
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.at(0).at(0).toBool(), false);
    QVERIFY(!box->isChecked());
    QVERIFY(!box->getInsideWidget()->isVisible());
    for (const QLabel *label : qAsConst(labels))
        QVERIFY(!label->isVisible());
    QTRY_VERIFY(box->height() < expandedHeight);
    QVERIFY(box->isVisible());

    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->checkBoxCenter());
    QCOMPARE(toggled.count(), 2);
    QCOMPARE(toggled.at(1).at(0).toBool(), true);
    QVERIFY(box->getInsideWidget()->isVisible());
    QTRY_COMPARE(box->height(), expandedHeight);
    for (int i = 0; i < labels.size(); ++i) {
        QVERIFY(labels.at(i)->isVisible());
        if (i > 0)
            QVERIFY(labels.at(i)->y() > labels.at(i - 1)->y());
    }
}

void tst_QxCollapsibleGroupBox::directCallKeepsCheckState()
{
    QSignalSpy toggled(box, &QGroupBox::toggled);
    box->setGroupBoxExpanded(true);
    QVERIFY(box->getInsideWidget()->isVisible());

    box->setGroupBoxExpanded(false);
    QVERIFY(box->isChecked());
    QVERIFY(!box->getInsideWidget()->isVisible());
    QCOMPARE(toggled.count(), 0);

    // The user's uncheck hides again, which changes nothing; checking shows.
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->checkBoxCenter());
    QCOMPARE(toggled.count(), 1);
    QVERIFY(!box->isChecked());
    QVERIFY(!box->getInsideWidget()->isVisible());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->checkBoxCenter());
    QVERIFY(box->isChecked());
    QVERIFY(box->getInsideWidget()->isVisible());
}

void tst_QxCollapsibleGroupBox::focusAsInPlainGroupBox_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<bool>("editAfter");
    QTest::addColumn<Fold>("fold");

    // clang-format off
    QTest::newRow("first inside, unchecked") << "first inside" << true << Fold::Uncheck;
    QTest::newRow("last inside, unchecked") << "last inside" << true << Fold::Uncheck;
    QTest::newRow("nothing after the box") << "last inside" << false << Fold::Uncheck;
    QTest::newRow("folded by a direct call") << "first inside" << true << Fold::DirectCall;
    QTest::newRow("box disabled, not folded") << "first inside" << true << Fold::DisableBox;
    // clang-format on
}

void tst_QxCollapsibleGroupBox::focusAsInPlainGroupBox()
{
    QFETCH(QString, focused);
    QFETCH(bool, editAfter);
    QFETCH(Fold, fold);

    cleanup(); // the fixture's window would compete for activation
    const QString expected = focusAfterFolding(false, editAfter, focused,
                                               fold == Fold::DisableBox ? fold : Fold::Uncheck);
    if (fold != Fold::DisableBox)
        QVERIFY2(expected != QLatin1String("none") && !expected.contains(QLatin1String("inside")),
                 qPrintable(expected));
    QCOMPARE(focusAfterFolding(true, editAfter, focused, fold), expected);
}

void tst_QxCollapsibleGroupBox::contentAddedAnyRouteFolds_data()
{
    QTest::addColumn<Route>("route");

    QTest::newRow("addWidget()") << Route::AddWidget;
    QTest::newRow("the inner frame's layout") << Route::InsideLayout;
    QTest::newRow("the box's layout, as into a QGroupBox") << Route::BoxLayout;
    QTest::newRow("the box's layout while folded") << Route::BoxLayoutWhileFolded;
    QTest::newRow("a child placed by hand") << Route::PlainChild;
    // What uic and QUiLoader do: the page is made a child of the box, then
    // handed to addWidget().
    QTest::newRow("a form's page while folded") << Route::FormPageWhileFolded;
}

// Whatever way a form or the host puts content into the box, it folds with
// the box and comes back when the box unfolds.
void tst_QxCollapsibleGroupBox::contentAddedAnyRouteFolds()
{
    QFETCH(Route, route);
    auto *edit = new QLineEdit;
    const bool whileFolded
            = route == Route::BoxLayoutWhileFolded || route == Route::FormPageWhileFolded;
    if (whileFolded)
        box->setChecked(false);
    switch (route) {
    case Route::AddWidget:
        box->addWidget(edit);
        break;
    case Route::InsideLayout:
        box->getInsideWidget()->layout()->addWidget(edit);
        break;
    case Route::BoxLayout:
    case Route::BoxLayoutWhileFolded:
        box->layout()->addWidget(edit);
        break;
    case Route::PlainChild:
        edit->setParent(box);
        edit->move(10, 40);
        edit->show();
        break;
    case Route::FormPageWhileFolded:
        edit->setParent(box);
        box->addWidget(edit);
        break;
    }
    QCoreApplication::processEvents();
    QCOMPARE(edit->isVisible(), !whileFolded);

    box->setChecked(false);
    QCoreApplication::processEvents();
    QVERIFY(!edit->isVisible());
    QVERIFY(!labels.first()->isVisible());

    box->setChecked(true);
    QCoreApplication::processEvents();
    QVERIFY(edit->isVisible());
    QVERIFY(labels.first()->isVisible());
}

// A widget that the host hid in the box stays hidden through a fold.
void tst_QxCollapsibleGroupBox::hostHiddenStaysHidden()
{
    auto *shown = new QLineEdit;
    auto *hidden = new QLineEdit;
    box->layout()->addWidget(shown);
    box->layout()->addWidget(hidden);
    hidden->hide();
    labels.at(1)->hide();
    box->setChecked(false);
    box->setChecked(true);
    QCoreApplication::processEvents();
    QVERIFY(shown->isVisible());
    QVERIFY(hidden->isHidden());
    QVERIFY(labels.at(1)->isHidden());
    QVERIFY(labels.at(0)->isVisible());
}

// A screen reader hears a checkable, expandable box, expanded or collapsed;
// as on a plain QGroupBox, its title names it and its check state reads.
// (The state change event goes to the platform's accessibility bridge, which
// a test display without an accessibility bus does not have.)
void tst_QxCollapsibleGroupBox::accessibleFoldState()
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(accessible);
    QGroupBox plain(QStringLiteral("Options"));
    plain.setCheckable(true);
    QAccessibleInterface *oracle = QAccessible::queryAccessibleInterface(&plain);
    QVERIFY(oracle);
    QCOMPARE(accessible->role(), oracle->role());
    QCOMPARE(accessible->text(QAccessible::Name), oracle->text(QAccessible::Name));
    QCOMPARE(accessible->state().checkable, oracle->state().checkable);
    QCOMPARE(accessible->state().checked, oracle->state().checked);

    QVERIFY(accessible->state().expandable);
    QVERIFY(accessible->state().expanded);
    QVERIFY(!accessible->state().collapsed);

    box->setChecked(false);
    QVERIFY(!accessible->state().expanded);
    QVERIFY(accessible->state().collapsed);
    QVERIFY(!accessible->state().checked);
    box->setChecked(true);
    QVERIFY(accessible->state().expanded);

    // The toggle action folds as a click on the title does.
    QVERIFY(accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(!box->isChecked());
    QVERIFY(!box->getInsideWidget()->isVisible());
}

void tst_QxCollapsibleGroupBox::expandedChangedOncePerChange_data()
{
    QTest::addColumn<Toggle>("toggle");
    QTest::addColumn<bool>("movesCheckBox");

    // clang-format off
    QTest::newRow("mouse click on the title check box") << Toggle::Click << true;
    QTest::newRow("Space key on the focused box") << Toggle::SpaceKey << true;
    QTest::newRow("setChecked()") << Toggle::SetChecked << true;
    QTest::newRow("setExpanded()") << Toggle::SetExpanded << true;
    QTest::newRow("the expanded property") << Toggle::Property << true;
    QTest::newRow("setGroupBoxExpanded(): contents only") << Toggle::SetGroupBoxExpanded << false;
    // clang-format on
}

// Whatever folds or unfolds the box, `expanded` follows the contents and
// expandedChanged() comes once per change, never for a call that changes
// nothing.
void tst_QxCollapsibleGroupBox::expandedChangedOncePerChange()
{
    QFETCH(Toggle, toggle);
    QFETCH(bool, movesCheckBox);

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QSignalSpy changed(box, &QxCollapsibleGroupBox::expandedChanged);
    QVERIFY(box->isExpanded());
    const auto apply = [&](bool show) {
        switch (toggle) {
        case Toggle::Click:
            if (show != box->isChecked())
                QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->checkBoxCenter());
            break;
        case Toggle::SpaceKey:
            if (show != box->isChecked()) {
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Space);
            }
            break;
        case Toggle::SetChecked:
            box->setChecked(show);
            break;
        case Toggle::SetExpanded:
            box->setExpanded(show);
            break;
        case Toggle::Property:
            box->setProperty("expanded", show);
            break;
        case Toggle::SetGroupBoxExpanded:
            box->setGroupBoxExpanded(show);
            break;
        }
    };

    for (const bool show : { false, false, true, true, false, true }) {
        const bool before = box->isExpanded();
        const int signalsBefore = changed.count();
        apply(show);
        QCOMPARE(box->isExpanded(), show);
        QCOMPARE(box->property("expanded").toBool(), show);
        QCOMPARE(box->getInsideWidget()->isVisible(), show);
        QCOMPARE(box->isChecked(), movesCheckBox ? show : true);
        QCOMPARE(changed.count(), signalsBefore + (before != show ? 1 : 0));
        if (before != show)
            QCOMPARE(changed.last().at(0).toBool(), show);
    }
}

// After a direct call folded the contents of a checked box, setExpanded()
// brings title and contents into agreement either way.
void tst_QxCollapsibleGroupBox::setExpandedAfterDirectFold()
{
    QSignalSpy changed(box, &QxCollapsibleGroupBox::expandedChanged);
    box->setGroupBoxExpanded(false);
    QVERIFY(box->isChecked());
    QCOMPARE(changed.count(), 1);

    box->setExpanded(true);
    QVERIFY(box->isChecked());
    QVERIFY(box->isExpanded());
    QVERIFY(box->getInsideWidget()->isVisible());
    QCOMPARE(changed.count(), 2);

    box->setGroupBoxExpanded(false);
    box->setExpanded(false);
    QVERIFY(!box->isChecked());
    QVERIFY(!box->getInsideWidget()->isVisible());
    QCOMPARE(changed.count(), 3);

    // Not checkable any more: the contents still follow.
    box->setCheckable(false);
    box->setExpanded(true);
    QVERIFY(box->isExpanded());
    QVERIFY(box->getInsideWidget()->isVisible());
    QCOMPARE(changed.count(), 4);
}

void tst_QxCollapsibleGroupBox::animatedFoldEndsAsInstantFold_data()
{
    QTest::addColumn<QList<bool>>("folds");
    // Whether each fold runs to its end before the next starts.
    QTest::addColumn<bool>("toTheEnd");
    QTest::addColumn<int>("maximumHeight");

    // clang-format off
    QTest::newRow("fold") << QList<bool> { false } << true << int(QWIDGETSIZE_MAX);
    QTest::newRow("fold and unfold") << QList<bool> { false, true } << true << int(QWIDGETSIZE_MAX);
    QTest::newRow("turned around while folding") << QList<bool> { false, true } << false << int(QWIDGETSIZE_MAX);
    QTest::newRow("turned around twice") << QList<bool> { false, true, false } << false << int(QWIDGETSIZE_MAX);
    QTest::newRow("the host's maximum height comes back") << QList<bool> { false, true } << true << 90;
    QTest::newRow("the host's maximum height, turned around") << QList<bool> { false, true } << false << 90;
    // clang-format on
}

// After an animated fold the box has exactly the size and place that an
// instant fold gives its twin, and shows the same contents.
void tst_QxCollapsibleGroupBox::animatedFoldEndsAsInstantFold()
{
    QFETCH(QList<bool>, folds);
    QFETCH(bool, toTheEnd);
    QFETCH(int, maximumHeight);

    cleanup();
    AnimationStyle slow(150);
    AnimationStyle none(0);
    BoxWindow animated(&slow, maximumHeight);
    BoxWindow instant(&none, maximumHeight);
    animated.box->setAnimated(true);
    QVERIFY(animated.box->isAnimated());
    QVERIFY(QTest::qWaitForWindowExposed(&animated.window));
    QVERIFY(QTest::qWaitForWindowExposed(&instant.window));
    QTRY_COMPARE(animated.box->geometry(), instant.box->geometry());

    // The maximum height starts the fold where the box stands, so the place
    // alone could match before the end.
    const auto settled = [&] {
        const auto *animation = animated.box->findChild<QAbstractAnimation *>();
        return animation && animation->state() == QAbstractAnimation::Stopped
                && animated.box->maximumHeight() == maximumHeight
                && animated.box->geometry() == instant.box->geometry();
    };
    QSignalSpy changed(animated.box, &QxCollapsibleGroupBox::expandedChanged);
    for (const bool show : folds) {
        const int heightBefore = animated.box->height();
        animated.box->setExpanded(show);
        instant.box->setExpanded(show);
        QCOMPARE(animated.box->isExpanded(), show);
        if (!show) {
            // The contents stay in sight while they fold away.
            QVERIFY(animated.box->getInsideWidget()->isVisibleTo(animated.box));
            QCOMPARE(animated.box->maximumHeight(), heightBefore);
        }
        if (toTheEnd) {
            // Every fold here changes the twin's height, at its next layout pass.
            QTRY_VERIFY(instant.box->height() != heightBefore);
            QTRY_VERIFY(settled());
        }
    }
    QCOMPARE(changed.count(), folds.size());
    QTRY_COMPARE(instant.box->getInsideWidget()->isVisible(), folds.last());
    QTRY_VERIFY(settled());
    QCOMPARE(animated.box->maximumHeight(), maximumHeight);
    QCOMPARE(animated.box->geometry(), instant.box->geometry());
    QCOMPARE(animated.box->sizeHint(), instant.box->sizeHint());
    QCOMPARE(animated.box->minimumSizeHint(), instant.box->minimumSizeHint());
    QCOMPARE(animated.box->getInsideWidget()->isVisible(),
             instant.box->getInsideWidget()->isVisible());
    QCOMPARE(animated.box->getInsideWidget()->isVisible(), folds.last());
}

void tst_QxCollapsibleGroupBox::instantFoldWithoutAnimation_data()
{
    QTest::addColumn<bool>("animated");
    QTest::addColumn<int>("duration");
    QTest::addColumn<bool>("shown");

    // clang-format off
    QTest::newRow("not animated") << false << 150 << true;
    QTest::newRow("style turns animations off") << true << 0 << true;
    QTest::newRow("hidden box") << true << 150 << false;
    // clang-format on
}

// Without animation, a fold takes effect at once and leaves the box's
// maximum height alone.
void tst_QxCollapsibleGroupBox::instantFoldWithoutAnimation()
{
    QFETCH(bool, animated);
    QFETCH(int, duration);
    QFETCH(bool, shown);

    cleanup();
    AnimationStyle style(duration);
    BoxWindow subject(&style);
    subject.box->setAnimated(animated);
    QVERIFY(QTest::qWaitForWindowExposed(&subject.window));
    if (!shown)
        subject.window.hide();

    subject.box->setExpanded(false);
    QVERIFY(subject.box->getInsideWidget()->isHidden());
    QCOMPARE(subject.box->maximumHeight(), int(QWIDGETSIZE_MAX));
    subject.box->setExpanded(true);
    QVERIFY(!subject.box->getInsideWidget()->isHidden());
    QCOMPARE(subject.box->maximumHeight(), int(QWIDGETSIZE_MAX));
}

void tst_QxCollapsibleGroupBox::goneWhileFolding_data()
{
    QTest::addColumn<bool>("show");
    QTest::addColumn<bool>("stopAnimating");

    // clang-format off
    QTest::newRow("deleted while folding") << false << false;
    QTest::newRow("deleted while unfolding") << true << false;
    QTest::newRow("animation turned off while folding") << false << true;
    QTest::newRow("animation turned off while unfolding") << true << true;
    // clang-format on
}

// A box deleted halfway through a fold takes its animation with it; one whose
// animation is turned off halfway ends the fold at once.
void tst_QxCollapsibleGroupBox::goneWhileFolding()
{
    QFETCH(bool, show);
    QFETCH(bool, stopAnimating);

    cleanup();
    AnimationStyle slow(150);
    auto *subject = new BoxWindow(&slow);
    QPointer<QxCollapsibleGroupBox> box = subject->box;
    box->setAnimated(true);
    QVERIFY(QTest::qWaitForWindowExposed(&subject->window));
    if (show) {
        box->setAnimated(false);
        box->setExpanded(false);
        box->setAnimated(true);
    }
    box->setExpanded(show);
    QVERIFY(box->maximumHeight() < QWIDGETSIZE_MAX);
    if (stopAnimating) {
        box->setAnimated(false);
        QCOMPARE(box->maximumHeight(), int(QWIDGETSIZE_MAX));
        QCOMPARE(box->getInsideWidget()->isHidden(), !show);
    }
    delete subject;
    QVERIFY(box.isNull());
    QCoreApplication::processEvents();
}

QTEST_MAIN(tst_QxCollapsibleGroupBox)
#include "tst_QxCollapsibleGroupBox.moc"
