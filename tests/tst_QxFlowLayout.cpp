#include <lumo/QxFlowLayout.h>

#include <QProxyStyle>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

#include <climits>

namespace {

// An item without widget whose size, emptiness, placements and deletion the
// tests control and observe.
class FixedItem : public QLayoutItem
{
public:
    explicit FixedItem(QSize hint, bool empty = false, int *deletions = nullptr)
        : hint(hint)
        , minimum(hint)
        , empty(empty)
        , deletions(deletions)
    {
    }
    ~FixedItem() override
    {
        if (deletions)
            ++*deletions;
    }
    QSize sizeHint() const override { return hint; }
    QSize minimumSize() const override { return minimum; }
    QSize maximumSize() const override { return hint; }
    Qt::Orientations expandingDirections() const override { return Qt::Orientations(); }
    void setGeometry(const QRect &rect) override
    {
        placed = rect;
        ++placements;
    }
    QRect geometry() const override { return placed; }
    bool isEmpty() const override { return empty; }

    QSize hint;
    QSize minimum;
    bool empty;
    int *deletions;
    QRect placed;
    int placements = 0;
};

class CountingFlowLayout : public QxFlowLayout
{
public:
    using QxFlowLayout::QxFlowLayout;
    void invalidate() override
    {
        ++invalidations;
        QxFlowLayout::invalidate();
    }
    int invalidations = 0;
};

// A style whose layout spacings are recognisable; pixel metric -1 makes layouts
// fall back to layoutSpacing().
class SpacingStyle : public QProxyStyle
{
public:
    SpacingStyle(int metric, int horizontal, int vertical)
        : QProxyStyle(QStringLiteral("Fusion"))
        , metric(metric)
        , horizontal(horizontal)
        , vertical(vertical)
    {
    }
    int pixelMetric(PixelMetric pm, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (pm == PM_LayoutHorizontalSpacing || pm == PM_LayoutVerticalSpacing)
            return metric;
        return QProxyStyle::pixelMetric(pm, option, widget);
    }
    int layoutSpacing(QSizePolicy::ControlType, QSizePolicy::ControlType,
                      Qt::Orientation orientation, const QStyleOption *,
                      const QWidget *) const override
    {
        return orientation == Qt::Horizontal ? horizontal : vertical;
    }
    int metric;
    int horizontal;
    int vertical;
};

// Where the derived spacing comes from in derivedSpacing().
enum class SpacingSource {
    ItemWidgetsStyled,
    ParentMetric,
    ParentNegativeMetric,
    ParentLayout,
    NestedParent,
    NestedParentWithoutSpacing,
    NestedNoParent,
};

QWidget *fixedWidget(QSize size, QWidget *parent = nullptr)
{
    QWidget *widget = new QWidget(parent);
    widget->setFixedSize(size);
    return widget;
}

} // namespace

Q_DECLARE_METATYPE(SpacingSource)
Q_DECLARE_METATYPE(QMargins)
Q_DECLARE_METATYPE(Qt::Alignment)
Q_DECLARE_METATYPE(Qt::LayoutDirection)

class tst_QxFlowLayout : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void derivedSpacing_data();
    void derivedSpacing();
    void sizeHintAndMinimumSize_data();
    void sizeHintAndMinimumSize();
    void minimumSizeKeepsButtonWhole();
    void heightForWidthRemembered();
    void placesOnlyItemsThatMove();
    void outOfRangeIndices_data();
    void outOfRangeIndices();
    void takeAtHandsItemBack();
    void ownsItsItems();
    void nullItemIgnored();
    void sizeProtocol();
    void followsScrollAreaWidth_data();
    void followsScrollAreaWidth();
    void rightToLeftMirrorsRows_data();
    void rightToLeftMirrorsRows();
    void rightToLeftAsBoxLayout_data();
    void rightToLeftAsBoxLayout();
    void rowAlignment_data();
    void rowAlignment();
    void rowAlignmentValues_data();
    void rowAlignmentValues();
    void rowAlignmentAsBoxLayout_data();
    void rowAlignmentAsBoxLayout();
    void rowAlignmentReplacesShownItems();
};

void tst_QxFlowLayout::placement_data()
{
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<QList<bool>>("hidden");
    // (-1, -1) for an item that must get no geometry at all.
    QTest::addColumn<QList<QPoint>>("positions");
    QTest::addColumn<int>("height");

    const QSize s(40, 20);
    QTest::newRow("140 pixels: one line")
            << 0 << 5 << 140 << QList<QSize> { s, s, s } << QList<bool> { false, false, false }
            << QList<QPoint> { { 0, 0 }, { 45, 0 }, { 90, 0 } } << 20;
    QTest::newRow("130 pixels: ending on the last column wraps")
            << 0 << 5 << 130 << QList<QSize> { s, s, s } << QList<bool> { false, false, false }
            << QList<QPoint> { { 0, 0 }, { 45, 0 }, { 0, 25 } } << 45;
    QTest::newRow("margins inset every line and add below")
            << 7 << 5 << 143 << QList<QSize> { s, s, s } << QList<bool> { false, false, false }
            << QList<QPoint> { { 7, 7 }, { 52, 7 }, { 7, 32 } } << 59;
    QTest::newRow("hidden item leaves no hole")
            << 0 << 5 << 95 << QList<QSize> { s, s, s } << QList<bool> { false, true, false }
            << QList<QPoint> { { 0, 0 }, { -1, -1 }, { 45, 0 } } << 20;
    QTest::newRow("hidden first item opens no line")
            << 0 << 5 << 100 << QList<QSize> { QSize(500, 90), s } << QList<bool> { true, false }
            << QList<QPoint> { { -1, -1 }, { 0, 0 } } << 20;
    QTest::newRow("oversized first item stays on its line")
            << 0 << 5 << 100 << QList<QSize> { QSize(150, 30), s } << QList<bool> { false, false }
            << QList<QPoint> { { 0, 0 }, { 0, 35 } } << 55;
    QTest::newRow("items of height 0 never wrap")
            << 0 << 5 << 100
            << QList<QSize> { QSize(60, 0), QSize(60, 0), QSize(60, 20), QSize(60, 20) }
            << QList<bool> { false, false, false, false }
            << QList<QPoint> { { 0, 0 }, { 65, 0 }, { 130, 0 }, { 0, 25 } } << 45;
    QTest::newRow("line as tall as its tallest item")
            << 0 << 5 << 100 << QList<QSize> { QSize(40, 10), QSize(40, 30), s }
            << QList<bool> { false, false, false }
            << QList<QPoint> { { 0, 0 }, { 45, 0 }, { 0, 35 } } << 55;
    QTest::newRow("width 0: one item per line")
            << 0 << 5 << 0 << QList<QSize> { s, s, s } << QList<bool> { false, false, false }
            << QList<QPoint> { { 0, 0 }, { 0, 25 }, { 0, 50 } } << 70;
    QTest::newRow("no items: margins only")
            << 4 << 5 << 100 << QList<QSize> {} << QList<bool> {} << QList<QPoint> {} << 8;
    QTest::newRow("only hidden items: margins only")
            << 3 << 5 << 100 << QList<QSize> { s } << QList<bool> { true }
            << QList<QPoint> { { -1, -1 } } << 6;
}

void tst_QxFlowLayout::placement()
{
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(int, width);
    QFETCH(QList<QSize>, sizes);
    QFETCH(QList<bool>, hidden);
    QFETCH(QList<QPoint>, positions);
    QFETCH(int, height);

    QxFlowLayout layout(margin, spacing, spacing);
    QList<FixedItem *> items;
    for (int i = 0; i < sizes.size(); ++i) {
        items.append(new FixedItem(sizes.at(i), hidden.at(i)));
        layout.addItem(items.last());
    }

    QCOMPARE(layout.heightForWidth(width), height);
    for (const FixedItem *item : qAsConst(items))
        QCOMPARE(item->placements, 0);

    // Placing mode works in the given rectangle, wherever it lies.
    const QPoint origin(10, 20);
    layout.setGeometry(QRect(origin, QSize(width, height)));
    for (int i = 0; i < items.size(); ++i) {
        if (positions.at(i) == QPoint(-1, -1)) {
            QCOMPARE(items.at(i)->placements, 0);
        } else {
            QCOMPARE(items.at(i)->placements, 1);
            QCOMPARE(items.at(i)->placed, QRect(origin + positions.at(i), sizes.at(i)));
        }
    }
}

void tst_QxFlowLayout::derivedSpacing_data()
{
    QTest::addColumn<SpacingSource>("source");
    QTest::addColumn<int>("horizontalGap");
    QTest::addColumn<int>("verticalGap");

    // clang-format off
    QTest::newRow("no parent: each item widget's style") << SpacingSource::ItemWidgetsStyled << 11 << 13;
    QTest::newRow("parent widget's pixel metric") << SpacingSource::ParentMetric << 7 << 7;
    QTest::newRow("negative metric other than -1 used as it is") << SpacingSource::ParentNegativeMetric << -3 << -3;
    QTest::newRow("parent layout's spacing") << SpacingSource::ParentLayout << 4 << 4;
    QTest::newRow("nested layouts: parent widget's style") << SpacingSource::NestedParent << 11 << 13;
    QTest::newRow("nested layouts, parent style gives none: 0") << SpacingSource::NestedParentWithoutSpacing << 0 << 0;
    QTest::newRow("nested layouts without parent: 0") << SpacingSource::NestedNoParent << 0 << 0;
    // clang-format on
}

// Three 40 x 20 items in 100 pixels: the second sits one horizontal gap after
// the first, the third wraps one vertical gap below. Each gap is the one of the
// item before it (horizontal) or of the item opening the line (vertical).
void tst_QxFlowLayout::derivedSpacing()
{
    QFETCH(SpacingSource, source);
    QFETCH(int, horizontalGap);
    QFETCH(int, verticalGap);

    SpacingStyle metricStyle(7, 50, 50);
    SpacingStyle layoutSpacingStyle(-1, 11, 13);
    SpacingStyle negativeMetricStyle(-3, 50, 50);
    SpacingStyle noSpacingStyle(-1, -1, -1);
    QWidget host;
    QScopedPointer<QxFlowLayout> parentless;
    QxFlowLayout *flow = nullptr;
    const bool nested = source == SpacingSource::NestedParent
            || source == SpacingSource::NestedParentWithoutSpacing
            || source == SpacingSource::NestedNoParent;

    switch (source) {
    case SpacingSource::ItemWidgetsStyled:
    case SpacingSource::NestedNoParent:
        parentless.reset(new QxFlowLayout(0, -1, -1));
        flow = parentless.data();
        break;
    case SpacingSource::ParentLayout: {
        QVBoxLayout *outer = new QVBoxLayout(&host);
        outer->setSpacing(4);
        flow = new QxFlowLayout(0, -1, -1);
        outer->addLayout(flow);
        break;
    }
    case SpacingSource::ParentMetric:
        host.setStyle(&metricStyle);
        flow = new QxFlowLayout(&host, 0, -1, -1);
        break;
    case SpacingSource::ParentNegativeMetric:
        host.setStyle(&negativeMetricStyle);
        flow = new QxFlowLayout(&host, 0, -1, -1);
        break;
    case SpacingSource::NestedParent:
        host.setStyle(&layoutSpacingStyle);
        flow = new QxFlowLayout(&host, 0, -1, -1);
        break;
    case SpacingSource::NestedParentWithoutSpacing:
        host.setStyle(&noSpacingStyle);
        flow = new QxFlowLayout(&host, 0, -1, -1);
        break;
    }

    QList<QWidget *> widgets;
    for (int i = 0; i < 3; ++i) {
        widgets.append(fixedWidget(QSize(40, 20), &host));
        if (source == SpacingSource::ItemWidgetsStyled)
            widgets.last()->setStyle(&layoutSpacingStyle);
        if (nested) {
            // A nested layout is an item without widget that is not empty.
            QHBoxLayout *nested = new QHBoxLayout;
            nested->setContentsMargins(0, 0, 0, 0);
            nested->addWidget(widgets.last());
            nested->setParent(flow);
            flow->addItem(nested);
        } else {
            flow->addItem(new QWidgetItem(widgets.last()));
        }
    }

    flow->setGeometry(QRect(0, 0, 100, 100));
    QCOMPARE(widgets.at(0)->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(widgets.at(1)->geometry().topLeft(), QPoint(40 + horizontalGap, 0));
    QCOMPARE(widgets.at(2)->geometry().topLeft(), QPoint(0, 20 + verticalGap));
}

void tst_QxFlowLayout::sizeHintAndMinimumSize_data()
{
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<bool>("withItems");
    QTest::addColumn<QSize>("sizeHint");
    QTest::addColumn<QSize>("minimumSize");

    // clang-format off
    QTest::newRow("no items, margin 0") << QMargins(0, 0, 0, 0) << false << QSize(-1, -1) << QSize(-1, -1);
    QTest::newRow("no items, margin 6") << QMargins(6, 6, 6, 6) << false << QSize(11, 11) << QSize(11, 11);
    QTest::newRow("largest item, hidden included") << QMargins(0, 0, 0, 0) << true << QSize(70, 50) << QSize(35, 40);
    QTest::newRow("largest item plus margins") << QMargins(6, 6, 6, 6) << true << QSize(82, 62) << QSize(47, 52);
    QTest::newRow("left and right margins only") << QMargins(20, 0, 20, 0) << true << QSize(110, 50) << QSize(75, 40);
    QTest::newRow("four different margins") << QMargins(1, 2, 3, 4) << true << QSize(74, 56) << QSize(39, 46);
    QTest::newRow("no items, four different margins") << QMargins(1, 2, 3, 4) << false << QSize(3, 5) << QSize(3, 5);
    // clang-format on
}

void tst_QxFlowLayout::sizeHintAndMinimumSize()
{
    QFETCH(QMargins, margins);
    QFETCH(bool, withItems);
    QFETCH(QSize, sizeHint);
    QFETCH(QSize, minimumSize);

    QxFlowLayout layout(0, 5, 5);
    layout.setContentsMargins(margins);
    if (withItems) {
        FixedItem *wide = new FixedItem(QSize(40, 20));
        wide->minimum = QSize(35, 10);
        FixedItem *hidden = new FixedItem(QSize(70, 10), true);
        hidden->minimum = QSize(5, 40);
        layout.addItem(wide);
        layout.addItem(hidden);
        // A multi-line arrangement plays no part.
        for (int i = 0; i < 2; ++i) {
            FixedItem *tall = new FixedItem(QSize(30, 50));
            tall->minimum = QSize(20, 30);
            layout.addItem(tall);
        }
    }
    QCOMPARE(layout.sizeHint(), sizeHint);
    QCOMPARE(layout.minimumSize(), minimumSize);
}

// A window at its minimum size shows the whole button between the margins.
void tst_QxFlowLayout::minimumSizeKeepsButtonWhole()
{
    QWidget window;
    QxFlowLayout *flow = new QxFlowLayout(&window, 0, 5, 5);
    flow->setContentsMargins(20, 0, 20, 0);
    QWidget *button = fixedWidget(QSize(100, 30));
    flow->addWidget(button);
    QCOMPARE(flow->minimumSize(), QSize(140, 30));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(1, 1);
    QTRY_COMPARE(window.size(), QSize(140, 30));
    QCOMPARE(button->geometry(), QRect(20, 0, 100, 30));
}

// Asking again for a width is answered without asking the items, until the
// layout is invalidated.
void tst_QxFlowLayout::heightForWidthRemembered()
{
    class CountingItem : public FixedItem
    {
    public:
        using FixedItem::FixedItem;
        QSize sizeHint() const override
        {
            ++asked;
            return FixedItem::sizeHint();
        }
        mutable int asked = 0;
    };

    QxFlowLayout layout(0, 5, 5);
    CountingItem *item = new CountingItem(QSize(40, 20));
    layout.addItem(item);
    layout.addItem(new FixedItem(QSize(40, 20)));
    QCOMPARE(layout.heightForWidth(100), 20);
    QCOMPARE(layout.heightForWidth(60), 45);
    const int asked = item->asked;
    for (int width : { 100, 60, 100, 60 })
        QCOMPARE(layout.heightForWidth(width), width == 100 ? 20 : 45);
    QCOMPARE(item->asked, asked);

    item->hint = QSize(70, 20);
    layout.invalidate();
    QCOMPARE(layout.heightForWidth(100), 45);
    QVERIFY(item->asked > asked);

    // Qt invalidates the layout when a widget changes size or visibility.
    QWidget host;
    QxFlowLayout *flow = new QxFlowLayout(&host, 0, 5, 5);
    QList<QWidget *> widgets;
    for (int i = 0; i < 3; ++i) {
        widgets.append(fixedWidget(QSize(30, 20)));
        flow->addWidget(widgets.last());
    }
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCOMPARE(flow->heightForWidth(100), 45);
    QCOMPARE(flow->heightForWidth(120), 20);
    widgets.at(0)->setFixedSize(80, 20);
    QCOMPARE(flow->heightForWidth(120), 45);
    widgets.at(2)->hide();
    QCOMPARE(flow->heightForWidth(100), 45);
    widgets.at(1)->hide();
    QCOMPARE(flow->heightForWidth(100), 20);
}

// An item whose place stays is not placed again: moving a widget to where it
// is costs Qt a great deal.
void tst_QxFlowLayout::placesOnlyItemsThatMove()
{
    QxFlowLayout layout(0, 5, 5);
    QList<FixedItem *> items;
    for (int i = 0; i < 4; ++i) {
        items.append(new FixedItem(QSize(40, 20)));
        layout.addItem(items.last());
    }
    layout.setGeometry(QRect(0, 0, 140, 45));
    layout.setGeometry(QRect(0, 0, 141, 45));
    for (const FixedItem *item : qAsConst(items))
        QCOMPARE(item->placements, 1);

    // 100 pixels: the third item wraps to the second line, the fourth
    // follows it; the first two stay.
    layout.setGeometry(QRect(0, 0, 100, 45));
    const QList<int> placements { 1, 1, 2, 2 };
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(items.at(i)->placements, placements.at(i));
    QCOMPARE(items.at(2)->placed, QRect(0, 25, 40, 20));
    QCOMPARE(items.at(3)->placed, QRect(45, 25, 40, 20));
}

void tst_QxFlowLayout::outOfRangeIndices_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("count()") << 2;
    QTest::newRow("beyond count()") << 7;
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MAX") << INT_MAX;
}

void tst_QxFlowLayout::outOfRangeIndices()
{
    QFETCH(int, index);
    CountingFlowLayout layout(0, 5, 5);
    layout.addItem(new FixedItem(QSize(10, 10)));
    layout.addItem(new FixedItem(QSize(10, 10)));
    const int invalidations = layout.invalidations;

    QCOMPARE(layout.itemAt(index), nullptr);
    QCOMPARE(layout.takeAt(index), nullptr);
    QCOMPARE(layout.count(), 2);
    QCOMPARE(layout.invalidations, invalidations);
}

void tst_QxFlowLayout::takeAtHandsItemBack()
{
    CountingFlowLayout layout(0, 5, 5);
    FixedItem *items[3] = { new FixedItem(QSize(10, 10)), new FixedItem(QSize(20, 10)),
                            new FixedItem(QSize(30, 10)) };
    for (FixedItem *item : items)
        layout.addItem(item);
    QCOMPARE(layout.invalidations, 3);
    QCOMPARE(layout.itemAt(1), items[1]);

    QScopedPointer<QLayoutItem> taken(layout.takeAt(1));
    QCOMPARE(taken.data(), items[1]);
    QCOMPARE(layout.invalidations, 4);
    QCOMPARE(layout.count(), 2);
    QCOMPARE(layout.itemAt(0), items[0]);
    QCOMPARE(layout.itemAt(1), items[2]);
}

void tst_QxFlowLayout::ownsItsItems()
{
    int deletions = 0;
    QScopedPointer<FixedItem> taken;
    QPointer<QWidget> widget;
    {
        QWidget host;
        QxFlowLayout *layout = new QxFlowLayout(&host, 0, 5, 5);
        layout->addItem(new FixedItem(QSize(10, 10), false, &deletions));
        layout->addItem(new FixedItem(QSize(10, 10), false, &deletions));
        layout->addItem(new FixedItem(QSize(10, 10), true, &deletions));
        widget = fixedWidget(QSize(10, 10));
        layout->addWidget(widget);
        taken.reset(static_cast<FixedItem *>(layout->takeAt(0)));

        delete layout;
        QCOMPARE(deletions, 2);
        // Items go, the widgets they hold stay with their parent.
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &host);
    }
    QVERIFY(!widget);
    taken.reset();
    QCOMPARE(deletions, 3);
}

void tst_QxFlowLayout::nullItemIgnored()
{
    CountingFlowLayout layout(0, 5, 5);
    layout.addItem(new FixedItem(QSize(10, 10)));
    const int invalidations = layout.invalidations;
    layout.addItem(nullptr);
    QCOMPARE(layout.count(), 1);
    QCOMPARE(layout.invalidations, invalidations);
    QCOMPARE(layout.sizeHint(), QSize(10, 10));
    QCOMPARE(layout.heightForWidth(100), 10);
}

void tst_QxFlowLayout::sizeProtocol()
{
    QxFlowLayout layout;
    QVERIFY(layout.hasHeightForWidth());
    QCOMPARE(layout.expandingDirections(), Qt::Orientations());
    QCOMPARE(layout.metaObject(), &QLayout::staticMetaObject);
}

void tst_QxFlowLayout::followsScrollAreaWidth_data()
{
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
        const char *side = direction == Qt::LeftToRight ? "left to right" : "right to left";
        // clang-format off
        QTest::addRow("left, %s", side) << Qt::Alignment(Qt::AlignLeft) << direction;
        QTest::addRow("centred, %s", side) << Qt::Alignment(Qt::AlignHCenter) << direction;
        QTest::addRow("right, %s", side) << Qt::Alignment(Qt::AlignRight) << direction;
        QTest::addRow("justified, %s", side) << Qt::Alignment(Qt::AlignJustify) << direction;
        // clang-format on
    }
}

// Inside a scroll area the content is exactly as tall as the layout says, and
// every item lies inside it, whatever the alignment.
void tst_QxFlowLayout::followsScrollAreaWidth()
{
    QFETCH(Qt::Alignment, alignment);
    QFETCH(Qt::LayoutDirection, direction);

    QScrollArea area;
    area.setLayoutDirection(direction);
    area.setWidgetResizable(true);
    QWidget *content = new QWidget;
    QxFlowLayout *flow = new QxFlowLayout(content, 3, 5, 5);
    flow->setRowAlignment(alignment);
    QList<QWidget *> tiles;
    for (int i = 0; i < 12; ++i) {
        tiles.append(fixedWidget(QSize(60 + 7 * (i % 3), 30)));
        flow->addWidget(tiles.last());
    }
    area.setWidget(content);
    area.resize(400, 60);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));

    int previousHeight = 0;
    for (int width : { 400, 300, 200, 120, 250 }) {
        area.resize(width, 60);
        QTRY_COMPARE(content->width(), area.viewport()->width());
        const int needed = flow->heightForWidth(content->width());
        QVERIFY(needed > area.viewport()->height());
        QTRY_COMPARE(content->height(), needed);
        QVERIFY(!area.horizontalScrollBar()->isVisible());
        QVERIFY(area.verticalScrollBar()->isVisible());
        int lowest = 0;
        for (const QWidget *tile : qAsConst(tiles)) {
            QVERIFY2(content->rect().adjusted(3, 3, -3, -3).contains(tile->geometry()),
                     qPrintable(QString::number(width)));
            lowest = std::max(lowest, tile->geometry().bottom() + 1);
        }
        QCOMPARE(lowest + 3, needed);
        if (previousHeight && width < 250)
            QVERIFY(content->height() > previousHeight);
        previousHeight = content->height();
    }
}

// clang-format off
void tst_QxFlowLayout::rightToLeftMirrorsRows_data()
{
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<QPoint>>("leftToRight");
    QTest::addColumn<QList<QPoint>>("rightToLeft");

    // Three items of 40 x 20, spacing 5.
    QTest::newRow("one row") << 0 << 140 << QList<QPoint> { { 0, 0 }, { 45, 0 }, { 90, 0 } } << QList<QPoint> { { 100, 0 }, { 55, 0 }, { 10, 0 } };
    QTest::newRow("wrapping") << 0 << 130 << QList<QPoint> { { 0, 0 }, { 45, 0 }, { 0, 25 } } << QList<QPoint> { { 90, 0 }, { 45, 0 }, { 90, 25 } };
    QTest::newRow("margins") << 7 << 143 << QList<QPoint> { { 7, 7 }, { 52, 7 }, { 7, 32 } } << QList<QPoint> { { 96, 7 }, { 51, 7 }, { 96, 32 } };
}
// clang-format on

// Right to left the rows fill from the right edge and wrap the same way; left
// to right stays as it was.
void tst_QxFlowLayout::rightToLeftMirrorsRows()
{
    QFETCH(int, margin);
    QFETCH(int, width);
    QFETCH(QList<QPoint>, leftToRight);
    QFETCH(QList<QPoint>, rightToLeft);

    for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
        QWidget window;
        window.setLayoutDirection(direction);
        auto *layout = new QxFlowLayout(&window, margin, 5, 5);
        QList<QWidget *> items;
        for (int i = 0; i < 3; ++i) {
            auto *item = new QWidget(&window);
            item->setFixedSize(40, 20);
            layout->addWidget(item);
            items.append(item);
        }
        layout->setGeometry(QRect(0, 0, width, 200));
        const QList<QPoint> &expected = direction == Qt::LeftToRight ? leftToRight : rightToLeft;
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(items.at(i)->pos(), expected.at(i));
        QCOMPARE(layout->heightForWidth(width), expected.last().y() + 20 + margin);
    }
}

void tst_QxFlowLayout::rightToLeftAsBoxLayout_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("margin");

    QTest::newRow("one item") << 1 << 0;
    QTest::newRow("three items") << 3 << 0;
    QTest::newRow("three items, margins") << 3 << 9;
}

// On one row, right to left, the items stand where a QHBoxLayout with a
// stretch at its end puts them: the oracle a form would otherwise use.
void tst_QxFlowLayout::rightToLeftAsBoxLayout()
{
    QFETCH(int, count);
    QFETCH(int, margin);

    QWidget flowWindow;
    QWidget boxWindow;
    flowWindow.setLayoutDirection(Qt::RightToLeft);
    boxWindow.setLayoutDirection(Qt::RightToLeft);
    auto *flow = new QxFlowLayout(&flowWindow, margin, 6, 6);
    auto *box = new QHBoxLayout(&boxWindow);
    box->setContentsMargins(margin, margin, margin, margin);
    box->setSpacing(6);
    QList<QWidget *> flowItems, boxItems;
    for (int i = 0; i < count; ++i) {
        for (QWidget *window : { &flowWindow, &boxWindow }) {
            auto *item = new QWidget(window);
            item->setFixedSize(30 + 10 * i, 20);
            if (window == &flowWindow) {
                flow->addWidget(item);
                flowItems.append(item);
            } else {
                box->addWidget(item);
                boxItems.append(item);
            }
        }
    }
    box->addStretch();
    flow->setGeometry(QRect(0, 0, 400, 100));
    box->setGeometry(QRect(0, 0, 400, 100));
    for (int i = 0; i < count; ++i)
        QCOMPARE(flowItems.at(i)->x(), boxItems.at(i)->x());
}

void tst_QxFlowLayout::rowAlignment_data()
{
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<QPoint>>("leftToRight");
    QTest::addColumn<QList<QPoint>>("rightToLeft");

    // Items 20 pixels tall, spacing 5. Widths 40, 30, 50, 20 in 130 pixels:
    // two lines of 75 pixels each, 55 to spare on each.
    const QList<int> mixed { 40, 30, 50, 20 };
    // Widths 40 four times in 141 pixels: a line of 130 pixels, 11 to spare,
    // then one item.
    const QList<int> even { 40, 40, 40, 40 };
    // clang-format off
    QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft) << 0 << 130 << mixed
        << QList<QPoint> { { 0, 0 }, { 45, 0 }, { 0, 25 }, { 55, 25 } }
        << QList<QPoint> { { 90, 0 }, { 55, 0 }, { 80, 25 }, { 55, 25 } };
    QTest::newRow("centred: odd room, one pixel more before") << Qt::Alignment(Qt::AlignHCenter) << 0 << 130 << mixed
        << QList<QPoint> { { 28, 0 }, { 73, 0 }, { 28, 25 }, { 83, 25 } }
        << QList<QPoint> { { 62, 0 }, { 27, 0 }, { 52, 25 }, { 27, 25 } };
    QTest::newRow("right") << Qt::Alignment(Qt::AlignRight) << 0 << 130 << mixed
        << QList<QPoint> { { 55, 0 }, { 100, 0 }, { 55, 25 }, { 110, 25 } }
        << QList<QPoint> { { 35, 0 }, { 0, 0 }, { 25, 25 }, { 0, 25 } };
    QTest::newRow("justified: last line as left") << Qt::Alignment(Qt::AlignJustify) << 0 << 130 << mixed
        << QList<QPoint> { { 0, 0 }, { 100, 0 }, { 0, 25 }, { 55, 25 } }
        << QList<QPoint> { { 90, 0 }, { 0, 0 }, { 80, 25 }, { 55, 25 } };
    QTest::newRow("justified: uneven room ends at the edge") << Qt::Alignment(Qt::AlignJustify) << 0 << 141 << even
        << QList<QPoint> { { 0, 0 }, { 50, 0 }, { 101, 0 }, { 0, 25 } }
        << QList<QPoint> { { 101, 0 }, { 51, 0 }, { 0, 0 }, { 101, 25 } };
    QTest::newRow("centred within margins") << Qt::Alignment(Qt::AlignHCenter) << 7 << 144 << mixed
        << QList<QPoint> { { 7 + 28, 7 }, { 7 + 73, 7 }, { 7 + 28, 32 }, { 7 + 83, 32 } }
        << QList<QPoint> { { 7 + 62, 7 }, { 7 + 27, 7 }, { 7 + 52, 32 }, { 7 + 27, 32 } };
    QTest::newRow("right within margins") << Qt::Alignment(Qt::AlignRight) << 7 << 144 << mixed
        << QList<QPoint> { { 7 + 55, 7 }, { 7 + 100, 7 }, { 7 + 55, 32 }, { 7 + 110, 32 } }
        << QList<QPoint> { { 7 + 35, 7 }, { 7, 7 }, { 7 + 25, 32 }, { 7, 32 } };
    QTest::newRow("justified: a line of one item stays at its start") << Qt::Alignment(Qt::AlignJustify) << 0 << 100 << QList<int> { 80, 80, 30 }
        << QList<QPoint> { { 0, 0 }, { 0, 25 }, { 0, 50 } }
        << QList<QPoint> { { 20, 0 }, { 20, 25 }, { 70, 50 } };
    QTest::newRow("centred: too wide an item stays at its start") << Qt::Alignment(Qt::AlignHCenter) << 0 << 100 << QList<int> { 150, 40 }
        << QList<QPoint> { { 0, 0 }, { 30, 25 } }
        << QList<QPoint> { { -50, 0 }, { 30, 25 } };
    QTest::newRow("right: too wide an item stays at its start") << Qt::Alignment(Qt::AlignRight) << 0 << 100 << QList<int> { 150, 40 }
        << QList<QPoint> { { 0, 0 }, { 60, 25 } }
        << QList<QPoint> { { -50, 0 }, { 0, 25 } };
    // clang-format on
}

// Each line is aligned on its own; right to left mirrors the whole
// arrangement; the height for the width is that of the left-aligned layout.
void tst_QxFlowLayout::rowAlignment()
{
    QFETCH(Qt::Alignment, alignment);
    QFETCH(int, margin);
    QFETCH(int, width);
    QFETCH(QList<int>, widths);
    QFETCH(QList<QPoint>, leftToRight);
    QFETCH(QList<QPoint>, rightToLeft);

    for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
        QWidget window;
        window.setLayoutDirection(direction);
        auto *layout = new QxFlowLayout(&window, margin, 5, 5);
        QxFlowLayout leftAligned(margin, 5, 5);
        layout->setRowAlignment(alignment);
        QList<FixedItem *> items;
        for (const int itemWidth : widths) {
            items.append(new FixedItem(QSize(itemWidth, 20)));
            layout->addItem(items.last());
            leftAligned.addItem(new FixedItem(QSize(itemWidth, 20)));
        }
        const int height = layout->heightForWidth(width);
        QCOMPARE(height, leftAligned.heightForWidth(width));
        layout->setGeometry(QRect(0, 0, width, height));
        const QList<QPoint> &expected = direction == Qt::LeftToRight ? leftToRight : rightToLeft;
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(items.at(i)->placed, QRect(expected.at(i), items.at(i)->hint));
        QCOMPARE(height, expected.last().y() + 20 + margin);
    }
}

void tst_QxFlowLayout::rowAlignmentValues_data()
{
    QTest::addColumn<Qt::Alignment>("given");
    QTest::addColumn<Qt::Alignment>("kept");

    // clang-format off
    QTest::newRow("left") << Qt::Alignment(Qt::AlignLeft) << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("centred") << Qt::Alignment(Qt::AlignHCenter) << Qt::Alignment(Qt::AlignHCenter);
    QTest::newRow("right") << Qt::Alignment(Qt::AlignRight) << Qt::Alignment(Qt::AlignRight);
    QTest::newRow("justified") << Qt::Alignment(Qt::AlignJustify) << Qt::Alignment(Qt::AlignJustify);
    QTest::newRow("centred both ways: horizontal part") << Qt::Alignment(Qt::AlignCenter) << Qt::Alignment(Qt::AlignHCenter);
    QTest::newRow("right and bottom: horizontal part") << (Qt::AlignRight | Qt::AlignBottom) << Qt::Alignment(Qt::AlignRight);
    QTest::newRow("vertical only: left") << Qt::Alignment(Qt::AlignVCenter) << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("none: left") << Qt::Alignment() << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("left and right at once: left") << (Qt::AlignLeft | Qt::AlignRight) << Qt::Alignment(Qt::AlignLeft);
    // clang-format on
}

void tst_QxFlowLayout::rowAlignmentValues()
{
    QFETCH(Qt::Alignment, given);
    QFETCH(Qt::Alignment, kept);

    QxFlowLayout layout(0, 5, 5);
    QCOMPARE(layout.rowAlignment(), Qt::Alignment(Qt::AlignLeft));
    layout.setRowAlignment(given);
    QCOMPARE(layout.rowAlignment(), kept);
}

void tst_QxFlowLayout::rowAlignmentAsBoxLayout_data()
{
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("margin");

    for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
        const char *side = direction == Qt::LeftToRight ? "left to right" : "right to left";
        for (const Qt::Alignment alignment :
             { Qt::Alignment(Qt::AlignLeft), Qt::Alignment(Qt::AlignHCenter),
               Qt::Alignment(Qt::AlignRight) }) {
            const char *where = alignment == Qt::AlignLeft ? "left"
                    : alignment == Qt::AlignRight          ? "right"
                                                           : "centred";
            // clang-format off
            QTest::addRow("%s, %s, one item", where, side) << alignment << direction << 1 << 0;
            QTest::addRow("%s, %s, three items", where, side) << alignment << direction << 3 << 0;
            QTest::addRow("%s, %s, three items, margins", where, side) << alignment << direction << 3 << 9;
            // clang-format on
        }
    }
}

// On one line the items stand where a QHBoxLayout puts them with stretches
// around them: after them for left, before for right, on both sides for
// centred.
void tst_QxFlowLayout::rowAlignmentAsBoxLayout()
{
    QFETCH(Qt::Alignment, alignment);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(int, count);
    QFETCH(int, margin);

    QWidget flowWindow;
    QWidget boxWindow;
    flowWindow.setLayoutDirection(direction);
    boxWindow.setLayoutDirection(direction);
    auto *flow = new QxFlowLayout(&flowWindow, margin, 6, 6);
    flow->setRowAlignment(alignment);
    auto *box = new QHBoxLayout(&boxWindow);
    box->setContentsMargins(margin, margin, margin, margin);
    box->setSpacing(6);
    if (alignment != Qt::AlignLeft)
        box->addStretch();
    QList<QWidget *> flowItems, boxItems;
    for (int i = 0; i < count; ++i) {
        flowItems.append(fixedWidget(QSize(30 + 10 * i, 20), &flowWindow));
        flow->addWidget(flowItems.last());
        boxItems.append(fixedWidget(QSize(30 + 10 * i, 20), &boxWindow));
        box->addWidget(boxItems.last());
    }
    if (alignment != Qt::AlignRight)
        box->addStretch();
    for (const int width : { 400, 401 }) {
        flow->setGeometry(QRect(0, 0, width, 100));
        box->setGeometry(QRect(0, 0, width, 100));
        for (int i = 0; i < count; ++i)
            QCOMPARE(flowItems.at(i)->x(), boxItems.at(i)->x());
    }
}

// Changing the alignment of a shown layout moves its items without a call to
// setGeometry(), and moving back restores them.
void tst_QxFlowLayout::rowAlignmentReplacesShownItems()
{
    QWidget window;
    auto *layout = new QxFlowLayout(&window, 0, 5, 5);
    QWidget *item = fixedWidget(QSize(40, 20));
    layout->addWidget(item);
    window.resize(200, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(item->pos(), QPoint(0, 0));

    layout->setRowAlignment(Qt::AlignRight);
    QTRY_COMPARE(item->pos(), QPoint(160, 0));
    layout->setRowAlignment(Qt::AlignHCenter);
    QTRY_COMPARE(item->pos(), QPoint(80, 0));
    layout->setRowAlignment(Qt::AlignLeft);
    QTRY_COMPARE(item->pos(), QPoint(0, 0));
}

QTEST_MAIN(tst_QxFlowLayout)
#include "tst_QxFlowLayout.moc"
