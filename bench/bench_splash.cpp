// Figure: events dispatched per second to a widget tree while a QxSplashScreen
// is alive (its application-wide event filter sees every one of them) against
// the same tree without it, and, as the floor that any application-wide
// filter costs, with an empty filter installed instead.

#include <lumo/QxSplashScreen.h>

#include <QEvent>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "qtmain.h"

namespace {

constexpr int eventsPerIteration = 1000;

class EmptyFilter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *) override { return false; }
};

// A window with a few dozen children, and events of the kinds that widgets
// receive all the time.
void dispatch(benchmark::State &state)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    QList<QWidget *> targets { &window };
    for (int i = 0; i < 40; ++i) {
        auto *button = new QPushButton(QString("button %1").arg(i));
        layout->addWidget(button);
        targets << button;
    }
    window.show();
    QCoreApplication::processEvents();

    QEvent user(QEvent::User);
    QEvent hover(QEvent::HoverMove);
    QEvent layoutRequest(QEvent::LayoutRequest);
    QEvent *events[] = { &user, &hover, &layoutRequest };
    for (auto _ : state) {
        for (int i = 0; i < eventsPerIteration; ++i)
            QCoreApplication::sendEvent(targets[i % targets.size()], events[i % 3]);
    }
    state.counters["events_per_s"] = benchmark::Counter(
            double(state.iterations()) * eventsPerIteration, benchmark::Counter::kIsRate);
}

void ours(benchmark::State &state)
{
    QPixmap picture(200, 100);
    picture.fill(Qt::white);
    auto *splash = new QxSplashScreen(picture, "1.0.0");
    dispatch(state);
    splash->scheduleDeletion();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void baseline(benchmark::State &state)
{
    dispatch(state);
}

void emptyFilter(benchmark::State &state)
{
    EmptyFilter filter;
    qApp->installEventFilter(&filter);
    dispatch(state);
    qApp->removeEventFilter(&filter);
}

} // namespace

BENCHMARK(ours)->Name("splash/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline)->Name("splash/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK(emptyFilter)->Name("splash/emptyfilter")->Unit(benchmark::kMicrosecond);

LUMO_BENCHMARK_QT_MAIN()
