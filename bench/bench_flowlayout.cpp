// Figures: one relayout, heightForWidth() and then setGeometry(), of 1,000 or
// 10,000 visible widgets of varied widths, in a QxFlowLayout against the same
// widgets in the plain flow layout of plainflowlayout.h (and, for reference,
// in a QVBoxLayout).
//
// - flow/rewrap/SIDE/N: the width alternates between 800 and 640 px, so that
//   the lines are rewrapped and nearly every widget moves.
// - flow/kept/SIDE/N: the width alternates between two widths 1 px apart
//   near 800 px at which the fewest widgets move (found by laying the plain
//   layout out at each candidate pair; counter "moved"), so that the layout's
//   own pass shows.
// - flow/hfw/SIDE/N: heightForWidth() alone, asked for 800 and 640 px in
//   turn, as a scroll area with a resizable width asks again and again.
// - flow/vbox/N: the rewrap figure of a QVBoxLayout over the same widgets.
// - flow/rewrap/centred/N, flow/rewrap/justified/N: the rewrap figure with
//   the lines centred or justified, which hold each line before placing it.

#include <lumo/QxFlowLayout.h>

#include <QVBoxLayout>
#include <QWidget>

#include <climits>
#include <memory>

#include "plainflowlayout.h"
#include "qtmain.h"

namespace {

// A widget whose size hint costs nothing, so the figure is the layout's and
// Qt's per-widget cost, not the widgets'.
class Box : public QWidget
{
public:
    explicit Box(int width)
        : hint(width, 20)
    {
    }
    QSize sizeHint() const override { return hint; }

private:
    const QSize hint;
};

enum class Kind { Ours, Centred, Justified, Plain, Box };

QLayout *makeLayout(Kind kind)
{
    switch (kind) {
    case Kind::Ours:
        return new QxFlowLayout(0, 5, 5);
    case Kind::Centred:
    case Kind::Justified: {
        auto *layout = new QxFlowLayout(0, 5, 5);
        layout->setRowAlignment(kind == Kind::Centred ? Qt::AlignHCenter : Qt::AlignJustify);
        return layout;
    }
    case Kind::Plain:
        return new PlainFlowLayout(5);
    case Kind::Box:
        return new QVBoxLayout;
    }
    return nullptr;
}

// A shown window holding \a count widgets of widths like words' in \a kind.
struct Window
{
    Window(Kind kind, int count)
        : layout(makeLayout(kind))
    {
        // The window stays a normal size; the widgets beyond it are clipped
        // but visible all the same.
        layout->setSizeConstraint(QLayout::SetNoConstraint);
        widget.setLayout(layout);
        for (int i = 0; i < count; ++i)
            layout->addWidget(new Box(30 + (i * 37) % 60));
        widget.resize(800, 600);
        widget.show();
        QCoreApplication::processEvents();
    }

    void relayout(int width)
    {
        // The box layout has no height-for-width and asks for its size hint.
        int height = layout->heightForWidth(width);
        if (height < 0)
            height = layout->sizeHint().height();
        layout->setGeometry(QRect(0, 0, width, height));
    }

    QVector<QRect> geometries() const
    {
        QVector<QRect> all;
        for (int i = 0; i < layout->count(); ++i)
            all << layout->itemAt(i)->widget()->geometry();
        return all;
    }

    QWidget widget;
    QLayout *layout;
};

// The width w near 800 px for which going from w to w + 1 moves the fewest
// widgets, and how many move.
QPair<int, int> keptPair(int count)
{
    Window plain(Kind::Plain, count);
    QPair<int, int> best(800, INT_MAX);
    for (int width = 780; width <= 820 && best.second > 0; ++width) {
        plain.relayout(width);
        const QVector<QRect> before = plain.geometries();
        plain.relayout(width + 1);
        const QVector<QRect> after = plain.geometries();
        int moved = 0;
        for (int i = 0; i < before.size(); ++i)
            moved += before.at(i) != after.at(i);
        if (moved < best.second)
            best = { width, moved };
    }
    return best;
}

void alternate(benchmark::State &state, Kind kind, int first, int second)
{
    Window window(kind, int(state.range(0)));
    int width = first;
    window.relayout(second);
    for (auto _ : state) {
        window.relayout(width);
        width = width == first ? second : first;
    }
}

void rewrap(benchmark::State &state, Kind kind)
{
    alternate(state, kind, 800, 640);
}

void kept(benchmark::State &state, Kind kind)
{
    const QPair<int, int> pair = keptPair(int(state.range(0)));
    alternate(state, kind, pair.first, pair.first + 1);
    state.counters["width"] = pair.first;
    state.counters["moved"] = pair.second;
}

void heightForWidth(benchmark::State &state, Kind kind)
{
    Window window(kind, int(state.range(0)));
    int width = 800;
    for (auto _ : state) {
        benchmark::DoNotOptimize(window.layout->heightForWidth(width));
        width = width == 800 ? 640 : 800;
    }
}

} // namespace

BENCHMARK_CAPTURE(rewrap, ours, Kind::Ours)
        ->Name("flow/rewrap/ours")
        ->Arg(1000)
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rewrap, centred, Kind::Centred)
        ->Name("flow/rewrap/centred")
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rewrap, justified, Kind::Justified)
        ->Name("flow/rewrap/justified")
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rewrap, plain, Kind::Plain)
        ->Name("flow/rewrap/plain")
        ->Arg(1000)
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rewrap, vbox, Kind::Box)
        ->Name("flow/vbox")
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(kept, ours, Kind::Ours)
        ->Name("flow/kept/ours")
        ->Arg(1000)
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(kept, plain, Kind::Plain)
        ->Name("flow/kept/plain")
        ->Arg(1000)
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(heightForWidth, ours, Kind::Ours)
        ->Name("flow/hfw/ours")
        ->Arg(10000)
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(heightForWidth, plain, Kind::Plain)
        ->Name("flow/hfw/plain")
        ->Arg(10000)
        ->Unit(benchmark::kMicrosecond);

LUMO_BENCHMARK_QT_MAIN()
