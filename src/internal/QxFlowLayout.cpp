#include "QxFlowLayout.h"

#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <vector>

QxFlowLayout::QxFlowLayout(QWidget *parent, int margin, int hSpacing, int vSpacing)
    : QLayout(parent)
    , horizontalSpacingSetting(hSpacing)
    , verticalSpacingSetting(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

QxFlowLayout::QxFlowLayout(int margin, int hSpacing, int vSpacing)
    : horizontalSpacingSetting(hSpacing)
    , verticalSpacingSetting(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

QxFlowLayout::~QxFlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void QxFlowLayout::addItem(QLayoutItem *item)
{
    // Every other operation relies on the items being real.
    if (!item)
        return;
    layoutItems.append(item);
    invalidate();
}

int QxFlowLayout::count() const
{
    return layoutItems.size();
}

QLayoutItem *QxFlowLayout::itemAt(int index) const
{
    return layoutItems.value(index);
}

QLayoutItem *QxFlowLayout::takeAt(int index)
{
    if (index < 0 || index >= layoutItems.size())
        return nullptr;
    QLayoutItem *item = layoutItems.takeAt(index);
    invalidate();
    return item;
}

Qt::Orientations QxFlowLayout::expandingDirections() const
{
    return Qt::Orientations();
}

bool QxFlowLayout::hasHeightForWidth() const
{
    return true;
}

// A parent with height for width, such as a scroll area, asks again for the
// widths it tried before on every resize; the item sizes stay the same until
// Qt invalidates the layout.
int QxFlowLayout::heightForWidth(int width) const
{
    for (const HeightForWidth &known : heightCache) {
        if (known.width == width)
            return known.height;
    }
    const int height = doLayout(QRect(0, 0, width, 0), true);
    std::rotate(heightCache.begin(), heightCache.end() - 1, heightCache.end());
    heightCache.front() = { width, height };
    return height;
}

void QxFlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect, false);
}

QSize QxFlowLayout::sizeHint() const
{
    return largestItemPlusMargins(&QLayoutItem::sizeHint);
}

QSize QxFlowLayout::minimumSize() const
{
    return largestItemPlusMargins(&QLayoutItem::minimumSize);
}

QSize QxFlowLayout::largestItemPlusMargins(QSize (QLayoutItem::*itemSize)() const) const
{
    QSize size;
    for (const QLayoutItem *item : layoutItems)
        size = size.expandedTo((item->*itemSize)());
    // The four margins, each on its own side: QLayout::margin() is -1 once
    // they differ, and the window would then clip the items.
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

void QxFlowLayout::invalidate()
{
    heightCache.fill(HeightForWidth());
    QLayout::invalidate();
}

int QxFlowLayout::horizontalSpacing() const
{
    if (horizontalSpacingSetting >= 0)
        return horizontalSpacingSetting;
    return smartSpacing(QStyle::PM_LayoutHorizontalSpacing);
}

int QxFlowLayout::verticalSpacing() const
{
    if (verticalSpacingSetting >= 0)
        return verticalSpacingSetting;
    return smartSpacing(QStyle::PM_LayoutVerticalSpacing);
}

int QxFlowLayout::smartSpacing(QStyle::PixelMetric pm) const
{
    QObject *parent = this->parent();
    if (!parent)
        return -1;
    if (parent->isWidgetType()) {
        QWidget *parentWidget = static_cast<QWidget *>(parent);
        return parentWidget->style()->pixelMetric(pm, nullptr, parentWidget);
    }
    // Anything but a widget or a layout has no spacing to offer.
    if (const QLayout *parentLayout = qobject_cast<const QLayout *>(parent))
        return parentLayout->spacing();
    return -1;
}

// The gap when no spacing could be derived: the style of the item's widget
// decides. An item without widget, such as a nested layout, asks the style of
// the widget the layout works in, and gets no gap when there is no such widget
// or its style has no spacing to give.
int QxFlowLayout::fallbackSpacing(QLayoutItem *item, Qt::Orientation orientation) const
{
    if (const QWidget *widget = item->widget())
        return widget->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton,
                                              orientation);
    const QWidget *parent = parentWidget();
    if (!parent)
        return 0;
    return std::max(0,
                    parent->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton,
                                                   orientation));
}

Qt::Alignment QxFlowLayout::rowAlignment() const
{
    return alignment;
}

void QxFlowLayout::setRowAlignment(Qt::Alignment rowAlignment)
{
    const Qt::Alignment horizontal = rowAlignment & Qt::AlignHorizontal_Mask;
    const Qt::Alignment kept = horizontal == Qt::AlignHCenter || horizontal == Qt::AlignRight
                    || horizontal == Qt::AlignJustify
            ? horizontal
            : Qt::Alignment(Qt::AlignLeft);
    if (kept == alignment)
        return;
    alignment = kept;
    invalidate();
}

int QxFlowLayout::doLayout(const QRect &rect, bool testOnly) const
{
    int left, top, right, bottom;
    getContentsMargins(&left, &top, &right, &bottom);
    const int leftEdge = rect.x() + left;
    const int rightEdge = rect.right() - right;
    int x = leftEdge;
    int y = rect.y() + top;
    int lineHeight = 0;

    // The derived spacing asks the parent's style, which gives the same answer
    // for every item.
    const int horizontalGap = horizontalSpacing();
    const int verticalGap = verticalSpacing();

    // Right to left the rows are mirrored within the same area, as every Qt
    // layout mirrors its items: the first item stands at the right edge.
    const QWidget *parent = parentWidget();
    const Qt::LayoutDirection direction = parent ? parent->layoutDirection() : Qt::LeftToRight;
    const QRect area(QPoint(leftEdge, rect.y()), QPoint(rightEdge, rect.bottom()));

    // Moving a widget costs Qt far more than this comparison; when the lines
    // stay as they were, most items keep their place.
    const auto place = [&](QLayoutItem *item, const QRect &logical) {
        const QRect placed = QStyle::visualRect(direction, area, logical);
        if (item->geometry() != placed)
            item->setGeometry(placed);
    };

    // Any alignment but the left one needs the whole line before it can place
    // its first item: the line is held here until it is complete.
    struct Pending
    {
        QLayoutItem *item;
        int x;
        QSize hint;
    };
    const bool holdLines = !testOnly && alignment != Qt::AlignLeft;
    std::vector<Pending> line;
    const auto placeLine = [&](bool lastLine) {
        if (line.empty())
            return;
        const int used = line.back().x + line.back().hint.width() - leftEdge;
        // A line of one item wider than the area stays at its start and runs
        // past the end, as it does aligned left.
        const qint64 room = std::max(0, area.width() - used);
        const qint64 gaps = qint64(line.size()) - 1;
        for (qint64 i = 0; i <= gaps; ++i) {
            qint64 shift = 0;
            // The odd pixel goes before the line, as a QHBoxLayout with a
            // stretch on each side puts it.
            if (alignment == Qt::AlignHCenter)
                shift = room - room / 2;
            else if (alignment == Qt::AlignRight)
                shift = room;
            else if (!lastLine && gaps > 0)
                // Spread so that the last item ends exactly at the edge.
                shift = room * i / gaps;
            const Pending &pending = line[size_t(i)];
            place(pending.item, QRect(QPoint(pending.x + int(shift), y), pending.hint));
        }
        line.clear();
    };

    for (QLayoutItem *item : layoutItems) {
        if (item->isEmpty())
            continue;

        const int spaceX
                = horizontalGap == -1 ? fallbackSpacing(item, Qt::Horizontal) : horizontalGap;
        const int spaceY = verticalGap == -1 ? fallbackSpacing(item, Qt::Vertical) : verticalGap;

        const QSize hint = item->sizeHint();
        int nextX = x + hint.width() + spaceX;
        if (x + hint.width() > rightEdge && lineHeight > 0) {
            if (holdLines)
                placeLine(false);
            x = leftEdge;
            y = y + lineHeight + spaceY;
            nextX = x + hint.width() + spaceX;
            lineHeight = 0;
        }

        if (holdLines)
            line.push_back({ item, x, hint });
        else if (!testOnly)
            place(item, QRect(QPoint(x, y), hint));

        lineHeight = std::max(lineHeight, hint.height());
        x = nextX;
    }
    if (holdLines)
        placeLine(true);
    return y + lineHeight - rect.y() + bottom;
}
