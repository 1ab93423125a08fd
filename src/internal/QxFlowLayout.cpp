#include "QxFlowLayout.h"

#include <QStyle>
#include <QWidget>

#include <algorithm>

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

    for (QLayoutItem *item : layoutItems) {
        if (item->isEmpty())
            continue;

        const int spaceX
                = horizontalGap == -1 ? fallbackSpacing(item, Qt::Horizontal) : horizontalGap;
        const int spaceY = verticalGap == -1 ? fallbackSpacing(item, Qt::Vertical) : verticalGap;

        const QSize hint = item->sizeHint();
        int nextX = x + hint.width() + spaceX;
        if (x + hint.width() > rightEdge && lineHeight > 0) {
            x = leftEdge;
            y = y + lineHeight + spaceY;
            nextX = x + hint.width() + spaceX;
            lineHeight = 0;
        }

        // Moving a widget costs Qt far more than this comparison; when the
        // lines stay as they were, most items keep their place.
        const QRect placed = QStyle::visualRect(direction, area, QRect(QPoint(x, y), hint));
        if (!testOnly && item->geometry() != placed)
            item->setGeometry(placed);

        lineHeight = std::max(lineHeight, hint.height());
        x = nextX;
    }
    return y + lineHeight - rect.y() + bottom;
}
