#pragma once

#include <QLayout>
#include <QList>
#include <QStyle>

#include <array>

#include "lumo_export.h"

/// A layout that places its items left to right at their preferred sizes and
/// wraps them onto a new line when the next one would reach the right edge,
/// like words in a paragraph.
///
/// Its height depends on its width, which it reports through Qt's
/// height-for-width protocol. The layout owns every item handed to addItem()
/// (QLayout::addWidget() wraps widgets in items) until takeAt() gives it back;
/// its destructor deletes the items still in it, not their widgets. Hidden
/// items take no room. sizeHint() and minimumSize() report the largest single
/// item plus the contents margins, not a multi-line arrangement.
///
/// A spacing of -1 is derived: from the parent widget's style, or the parent
/// layout's spacing, and failing those from the style of each item's widget.
/// It has no meta-object of its own.
///
/// Each line stands at the left edge by default; setRowAlignment() centres
/// the lines, puts them at the right edge, or stretches the gaps of all but
/// the last line to fill it. Right to left everything is mirrored.
class LUMO_EXPORT QxFlowLayout : public QLayout
{
public:
    /// Installs the layout on \a parent with \a margin on all four sides. A
    /// margin of -1 takes the style's layout margins, a spacing of -1 the
    /// derived spacing.
    explicit QxFlowLayout(QWidget *parent, int margin = -1, int hSpacing = -1, int vSpacing = -1);
    /// A layout without parent, to be nested in another layout or set on a
    /// widget later.
    explicit QxFlowLayout(int margin = -1, int hSpacing = -1, int vSpacing = -1);
    /// Deletes the items still in the layout.
    ~QxFlowLayout() override;

    /// Appends \a item and takes ownership of it; null is ignored.
    void addItem(QLayoutItem *item) override;
    /// Neither: the layout never asks for more room than its items need.
    Qt::Orientations expandingDirections() const override;
    /// The largest minimum size of any item, plus the contents margins.
    QSize minimumSize() const override;
    /// Places the items in \a rect; an item already in its place is left alone.
    void setGeometry(const QRect &rect) override;
    /// The item at \a index, or null outside 0 .. count() - 1.
    QLayoutItem *itemAt(int index) const override;
    /// Removes the item at \a index and hands it to the caller; null, with no
    /// change at all, outside 0 .. count() - 1.
    QLayoutItem *takeAt(int index) override;
    /// All items, hidden ones included.
    int count() const override;
    /// Always true: the number of lines depends on the width.
    bool hasHeightForWidth() const override;
    /// The height the items need when laid out in \a width, margins included.
    /// The last few widths asked for are remembered until the layout is
    /// invalidated, so asking again for one of them costs nothing.
    int heightForWidth(int width) const override;
    /// Forgets the remembered heights, then invalidates as QLayout does.
    void invalidate() override;
    /// The largest size hint of any item, plus the contents margins.
    QSize sizeHint() const override;

    /// The gap between neighbours on a line; -1 when it cannot be derived here.
    int horizontalSpacing() const;
    /// The gap between lines; -1 when it cannot be derived here.
    int verticalSpacing() const;
    /// Where the items of each line stand: Qt::AlignLeft (the default),
    /// Qt::AlignHCenter, Qt::AlignRight or Qt::AlignJustify.
    Qt::Alignment rowAlignment() const;

    /// Places each line's items by \a alignment, of which only the horizontal
    /// part counts: Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, or
    /// Qt::AlignJustify, which widens the gaps so that every line but the last
    /// ends at the right edge (the last line, and a line of one item, stand
    /// at the left). Any other value means Qt::AlignLeft. Right to left, left
    /// and right swap, as in every Qt layout. Lines wrap the same way whatever
    /// the alignment, so heightForWidth() does not depend on it.
    void setRowAlignment(Qt::Alignment alignment);

private:
    int doLayout(const QRect &rect, bool testOnly) const;
    int smartSpacing(QStyle::PixelMetric pm) const;
    int fallbackSpacing(QLayoutItem *item, Qt::Orientation orientation) const;
    QSize largestItemPlusMargins(QSize (QLayoutItem::*itemSize)() const) const;

    QList<QLayoutItem *> layoutItems;
    int horizontalSpacingSetting;
    int verticalSpacingSetting;
    Qt::Alignment alignment = Qt::AlignLeft;

    struct HeightForWidth
    {
        int width = -1;
        int height = -1;
    };
    // Most recent first. A few entries cover a scroll area's repeated
    // questions during one resize.
    mutable std::array<HeightForWidth, 4> heightCache;
};
