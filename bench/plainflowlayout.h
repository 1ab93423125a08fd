#pragma once

// The baseline for the flow layout figures: the plain flow layout every Qt
// developer writes (or copies) instead of using QxFlowLayout. One pass over
// the items places each at its size hint and wraps at the right edge;
// heightForWidth() runs the same pass without placing. Fixed margins and
// spacings, no caching, nothing skipped. It is a baseline, not library code.

#include <QLayout>
#include <QList>

#include <algorithm>

class PlainFlowLayout : public QLayout
{
public:
    explicit PlainFlowLayout(int spacing)
        : gap(spacing)
    {
        setContentsMargins(0, 0, 0, 0);
    }
    ~PlainFlowLayout() override { qDeleteAll(items); }

    void addItem(QLayoutItem *item) override { items.append(item); }
    int count() const override { return items.size(); }
    QLayoutItem *itemAt(int index) const override { return items.value(index); }
    QLayoutItem *takeAt(int index) override
    {
        return index >= 0 && index < items.size() ? items.takeAt(index) : nullptr;
    }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
    void setGeometry(const QRect &rect) override
    {
        QLayout::setGeometry(rect);
        place(rect, true);
    }
    QSize sizeHint() const override { return minimumSize(); }
    QSize minimumSize() const override
    {
        QSize size;
        for (const QLayoutItem *item : items)
            size = size.expandedTo(item->minimumSize());
        return size;
    }

private:
    int place(const QRect &rect, bool apply) const
    {
        int x = rect.x();
        int y = rect.y();
        int lineHeight = 0;
        for (QLayoutItem *item : items) {
            const QSize hint = item->sizeHint();
            int nextX = x + hint.width() + gap;
            if (nextX - gap > rect.right() && lineHeight > 0) {
                x = rect.x();
                y += lineHeight + gap;
                nextX = x + hint.width() + gap;
                lineHeight = 0;
            }
            if (apply)
                item->setGeometry(QRect(QPoint(x, y), hint));
            x = nextX;
            lineHeight = std::max(lineHeight, hint.height());
        }
        return y + lineHeight - rect.y();
    }

    QList<QLayoutItem *> items;
    const int gap;
};
