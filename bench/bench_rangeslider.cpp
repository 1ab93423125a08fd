// Figures: one drag across a QxDoubleRangeSlider against the same drag on two
// plain QSliders, painted as the user sees it. The CPU time is the GUI
// thread's per drag.
//
// - drag/ours: the lower handle pressed and dragged over 200 pointer moves to
//   the middle, then the upper handle dragged from the maximum to the middle,
//   each move painted.
// - drag/plain: the same presses, moves and paints on two QSliders of the
//   same size (0 to 1,000,000), one for each handle.

#include <lumo/QxDoubleRangeSlider.h>

#include <QMouseEvent>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QVBoxLayout>
#include <QWidget>

#include "qtmain.h"

namespace {

constexpr int moves = 200;

void send(QWidget *widget, QEvent::Type type, const QPoint &at)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses at \a from, moves to \a to in even steps, each one painted, and
// releases there.
void drag(QWidget *widget, const QPoint &from, const QPoint &to)
{
    send(widget, QEvent::MouseButtonPress, from);
    for (int step = 1; step <= moves; ++step) {
        send(widget, QEvent::MouseMove, from + (to - from) * step / moves);
        widget->repaint();
    }
    send(widget, QEvent::MouseButtonRelease, to);
}

QRect handleOf(const QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->sliderPosition();
    option.state |= QStyle::State_Horizontal;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}

void dragOurs(benchmark::State &state)
{
    QWidget window;
    auto *slider = new QxDoubleRangeSlider(Qt::Horizontal, &window);
    slider->setGeometry(0, 0, 600, 30);
    window.resize(600, 30);
    window.show();
    QApplication::processEvents();
    const int middle = slider->width() / 2;
    for (auto _ : state) {
        slider->setValues(0.0, 99.0);
        const QPoint lower = slider->handleRect(QxDoubleRangeSlider::LowerHandle).center();
        drag(slider, lower, QPoint(middle, lower.y()));
        const QPoint upper = slider->handleRect(QxDoubleRangeSlider::UpperHandle).center();
        drag(slider, upper, QPoint(middle, upper.y()));
    }
    benchmark::DoNotOptimize(slider->lowerValue());
}

void dragPlain(benchmark::State &state)
{
    QWidget window;
    QSlider *sliders[2];
    for (QSlider *&slider : sliders) {
        slider = new QSlider(Qt::Horizontal, &window);
        slider->setRange(0, 1000000);
        slider->setGeometry(0, 0, 600, 30);
    }
    window.resize(600, 30);
    window.show();
    QApplication::processEvents();
    const int middle = sliders[0]->width() / 2;
    for (auto _ : state) {
        sliders[0]->setValue(0);
        sliders[1]->setValue(1000000);
        for (QSlider *slider : sliders) {
            const QPoint from = handleOf(slider).center();
            drag(slider, from, QPoint(middle, from.y()));
        }
    }
    benchmark::DoNotOptimize(sliders[0]->value());
}

} // namespace

BENCHMARK(dragOurs)->Name("drag/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(dragPlain)->Name("drag/plain")->Unit(benchmark::kMillisecond);

LUMO_BENCHMARK_QT_MAIN()
