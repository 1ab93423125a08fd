// Figure: one relayout, heightForWidth() and then setGeometry(), of 10,000
// visible widgets in a QxFlowLayout against the same widgets in a
// QVBoxLayout. The width alternates between 800 and the benchmark's argument:
// 640 rewraps the flow, so that nearly every widget moves, while the box
// resizes every widget; 801 keeps the flow's lines, so that only the box has
// widgets to change and the flow's own computation shows.

#include <lumo/QxFlowLayout.h>

#include <QVBoxLayout>
#include <QWidget>

#include "qtmain.h"

namespace {

constexpr int widgetCount = 10000;

// A widget whose size hint costs nothing, so the figure is the layout's own.
class Box : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return { 40, 20 }; }
};

void relayout(benchmark::State &state, QLayout *layout, int otherWidth)
{
    QWidget window;
    // The window stays a normal size; the widgets beyond it are clipped but
    // visible all the same.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    window.setLayout(layout);
    for (int i = 0; i < widgetCount; ++i)
        layout->addWidget(new Box);
    window.resize(800, 600);
    window.show();
    QCoreApplication::processEvents();

    int width = 800;
    for (auto _ : state) {
        width = width == 800 ? otherWidth : 800;
        // The box layout has no height-for-width and asks for its size hint.
        int height = layout->heightForWidth(width);
        if (height < 0)
            height = layout->sizeHint().height();
        layout->setGeometry(QRect(0, 0, width, height));
        benchmark::DoNotOptimize(height);
    }
}

void ours(benchmark::State &state)
{
    relayout(state, new QxFlowLayout(0, 5, 5), int(state.range(0)));
}

void baseline(benchmark::State &state)
{
    relayout(state, new QVBoxLayout, int(state.range(0)));
}

} // namespace

BENCHMARK(ours)->Name("flow/ours")->Arg(640)->Arg(801)->Unit(benchmark::kMillisecond);
BENCHMARK(baseline)->Name("flow/baseline")->Arg(640)->Arg(801)->Unit(benchmark::kMillisecond);

LUMO_BENCHMARK_QT_MAIN()
