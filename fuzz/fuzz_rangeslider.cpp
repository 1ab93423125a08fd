// Fuzzes QxDoubleRangeSlider with what a host and a user do to it: ranges,
// values and steps of any double (NaN, infinities, denormals, the extremes),
// keys, wheel turns and drags, in any order and any orientation.
//
// Input: a sequence of operations, each one byte choosing it followed by its
// arguments (doubles as 8 raw bytes). After every operation the values must
// be numbers with minimum <= lower <= upper <= maximum, and every
// valuesChanged() must carry the values as they then are.

#include <lumo/QxDoubleRangeSlider.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    double number()
    {
        std::uint8_t bytes[8] = {};
        for (std::uint8_t &b : bytes)
            b = byte();
        double value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    int integer() { return int(std::uint32_t(byte()) << 24 | byte() << 16 | byte() << 8 | byte()); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

[[noreturn]] void fail(const char *what, const QxDoubleRangeSlider &slider)
{
    std::fprintf(stderr, "fuzz_rangeslider: %s: %.17g <= %.17g <= %.17g <= %.17g\n", what,
                 slider.minimum(), slider.lowerValue(), slider.upperValue(), slider.maximum());
    std::abort();
}

const Qt::Key keys[] = { Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                         Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End };

void mouse(QWidget *widget, QEvent::Type type, int x, int y)
{
    const QPointF at(x, y);
    QMouseEvent event(type, at, widget->mapToGlobal(at.toPoint()), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rangeslider";
    static char *argv[] = { name, nullptr };
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    Q_UNUSED(offscreen)
    static QApplication application(argc, argv);

    QxDoubleRangeSlider slider;
    slider.resize(200, 30);
    bool told = true;
    QObject::connect(&slider, &QxDoubleRangeSlider::valuesChanged, &slider,
                     [&](double lower, double upper) {
                         told = lower == slider.lowerValue() && upper == slider.upperValue();
                     });
    Input input(data, size);
    while (!input.atEnd()) {
        switch (input.byte() % 12) {
        case 0: {
            const double minimum = input.number();
            slider.setRange(minimum, input.number());
            break;
        }
        case 1: {
            const double lower = input.number();
            slider.setValues(lower, input.number());
            break;
        }
        case 2:
            slider.setLowerValue(input.number());
            break;
        case 3:
            slider.setUpperValue(input.number());
            break;
        case 4:
            slider.setSingleStep(input.number());
            break;
        case 5:
            slider.setPageStep(input.number());
            break;
        case 6: {
            const std::uint8_t choice = input.byte();
            slider.setActiveHandle(choice & 1 ? QxDoubleRangeSlider::UpperHandle
                                              : QxDoubleRangeSlider::LowerHandle);
            QKeyEvent event(QEvent::KeyPress, keys[(choice >> 1) % 8], Qt::NoModifier);
            QApplication::sendEvent(&slider, &event);
            break;
        }
        case 7: {
            const int delta = input.integer();
            const bool shift = input.byte() & 1;
            const QPointF centre(100, 15);
            QWheelEvent event(centre, centre, QPoint(), QPoint(0, delta), Qt::NoButton,
                              shift ? Qt::ShiftModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&slider, &event);
            break;
        }
        case 8: {
            const int fromX = input.byte(), fromY = input.byte() % 40;
            const int toX = input.byte(), toY = input.byte() % 40;
            mouse(&slider, QEvent::MouseButtonPress, fromX, fromY);
            mouse(&slider, QEvent::MouseMove, toX, toY);
            mouse(&slider, QEvent::MouseButtonRelease, toX, toY);
            break;
        }
        case 9: {
            const std::uint8_t choice = input.byte();
            slider.setOrientation(choice & 1 ? Qt::Vertical : Qt::Horizontal);
            slider.setInvertedAppearance(choice & 2);
            slider.setInvertedControls(choice & 4);
            slider.setLayoutDirection(choice & 8 ? Qt::RightToLeft : Qt::LeftToRight);
            slider.resize(1 + input.byte(), 1 + input.byte());
            break;
        }
        case 10:
            slider.grab();
            break;
        default:
            slider.setMinimum(input.number());
            slider.setMaximum(input.number());
            break;
        }
        if (std::isnan(slider.lowerValue()) || std::isnan(slider.upperValue())
            || std::isnan(slider.minimum()) || std::isnan(slider.maximum()))
            fail("a value is not a number", slider);
        if (!(slider.minimum() <= slider.lowerValue() && slider.lowerValue() <= slider.upperValue()
              && slider.upperValue() <= slider.maximum()))
            fail("out of order", slider);
        if (!told)
            fail("valuesChanged() told other values", slider);
    }
    return 0;
}
