// Figures: one drag of each handle across a QxDoubleRangeSlider against the
// same drags on two plain QSliders, painted as the user sees it. The CPU time
// is the GUI thread's per pair of drags.
//
// - drag/ours: the lower handle pressed and dragged over 200 pointer moves to
//   the middle, then the upper handle dragged from the maximum to the middle.
// - drag/plain: the same presses and moves on two QSliders (0 to 1,000,000)
//   of the range slider's size, one above the other so that neither paints
//   over the other, the first dragged from its minimum, the second from its
//   maximum.
//
// After every move the window paints what the widget asked to repaint, as
// the event loop does (drag/*/update); drag/*/repaint repaints the whole
// widget after every move instead, the most a widget can be made to paint.

#include <lumo/QxDoubleRangeSlider.h>

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include "qtmain.h"

namespace {

constexpr int moves = 200;
constexpr QSize sliderSize(600, 30);

enum class Paint { Updates, Repaint };

void send(QWidget *widget, QEvent::Type type, const QPoint &at)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses at \a from, moves to \a to in even steps, each one painted, and
// releases there.
void drag(QWidget *widget, const QPoint &from, const QPoint &to, Paint paint)
{
    send(widget, QEvent::MouseButtonPress, from);
    for (int step = 1; step <= moves; ++step) {
        send(widget, QEvent::MouseMove, from + (to - from) * step / moves);
        if (paint == Paint::Repaint)
            widget->repaint();
        else
            QCoreApplication::sendPostedEvents();
    }
    send(widget, QEvent::MouseButtonRelease, to);
    QCoreApplication::sendPostedEvents();
}

// Shows \a window and waits until it is on the screen: an unexposed window
// paints nothing, which would flatter whichever figure ran first.
void showExposed(QWidget *window)
{
    window->resize(sliderSize.width(), 2 * sliderSize.height());
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!window->windowHandle()->isExposed() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
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

void dragOurs(benchmark::State &state, Paint paint)
{
    QWidget window;
    auto *slider = new QxDoubleRangeSlider(Qt::Horizontal, &window);
    slider->setGeometry(QRect(QPoint(0, 0), sliderSize));
    showExposed(&window);
    const int middle = slider->width() / 2;
    for (auto _ : state) {
        slider->setValues(0.0, 99.0);
        const QPoint lower = slider->handleRect(QxDoubleRangeSlider::LowerHandle).center();
        drag(slider, lower, QPoint(middle, lower.y()), paint);
        const QPoint upper = slider->handleRect(QxDoubleRangeSlider::UpperHandle).center();
        drag(slider, upper, QPoint(middle, upper.y()), paint);
    }
    benchmark::DoNotOptimize(slider->lowerValue());
}

void dragPlain(benchmark::State &state, Paint paint)
{
    QWidget window;
    QSlider *sliders[2];
    for (int index : { 0, 1 }) {
        sliders[index] = new QSlider(Qt::Horizontal, &window);
        sliders[index]->setRange(0, 1000000);
        sliders[index]->setGeometry(QRect(QPoint(0, index * sliderSize.height()), sliderSize));
    }
    showExposed(&window);
    const int middle = sliders[0]->width() / 2;
    for (auto _ : state) {
        sliders[0]->setValue(0);
        sliders[1]->setValue(1000000);
        for (QSlider *slider : sliders) {
            const QPoint from = handleOf(slider).center();
            drag(slider, from, QPoint(middle, from.y()), paint);
        }
    }
    benchmark::DoNotOptimize(sliders[0]->value());
}

} // namespace

BENCHMARK_CAPTURE(dragOurs, updates, Paint::Updates)
        ->Name("drag/ours/update")
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(dragPlain, updates, Paint::Updates)
        ->Name("drag/plain/update")
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(dragOurs, repaint, Paint::Repaint)
        ->Name("drag/ours/repaint")
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(dragPlain, repaint, Paint::Repaint)
        ->Name("drag/plain/repaint")
        ->Unit(benchmark::kMillisecond);

LUMO_BENCHMARK_QT_MAIN()
