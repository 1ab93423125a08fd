#pragma once

#include <QApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QProxyStyle>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <limits>

// Shared by the slider tests: a plain QSlider to compare with, a style
// to draw both with, and the values their random-use tests feed them.

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// A test row's name for a slider laid out so: "vertical, right to left, inverted".
inline QByteArray layoutName(Qt::Orientation orientation, Qt::LayoutDirection direction,
                             bool inverted = false)
{
    return QByteArray(orientation == Qt::Horizontal ? "horizontal" : "vertical")
            + (direction == Qt::RightToLeft ? ", right to left" : "")
            + (inverted ? ", inverted" : "");
}

// For the random-use tests: one time in three an ordinary value within
// +-span/2, else one that breaks naive arithmetic (signed zeros, denormals,
// the ends of double's range, infinities, NaN, and the ends of int's range).
inline double anyDouble(QRandomGenerator &random, double span)
{
    if (random.bounded(3) == 0)
        return (random.generateDouble() - 0.5) * span;
    const double extremes[] = { 0.0,
                                -0.0,
                                1.0,
                                -1.0,
                                99.0,
                                100.0,
                                1e-300,
                                -1e-300,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::denorm_min(),
                                inf,
                                -inf,
                                notANumber,
                                2147483648.0,
                                -2147483649.0,
                                4294967295.0 };
    return extremes[random.bounded(int(sizeof extremes / sizeof *extremes))];
}

// A plain QSlider that tells where the style puts its handle and groove.
class ReferenceSlider : public QSlider
{
public:
    // Draws the groove alone, as QSlider draws it but for the handle.
    bool grooveOnly = false;

    QRect handle() const { return subControl(QStyle::SC_SliderHandle); }
    QRect groove() const { return subControl(QStyle::SC_SliderGroove); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        if (!grooveOnly) {
            QSlider::paintEvent(event);
            return;
        }
        QPainter painter(this);
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls = QStyle::SC_SliderGroove;
        style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    }

private:
    QRect subControl(QStyle::SubControl control) const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, control, this);
    }
};

// A style whose slider handles are \a length pixels long, longer than the
// default styles draw them.
class LongHandleStyle : public QProxyStyle
{
public:
    explicit LongHandleStyle(int length)
        : m_length(length)
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_SliderLength)
            return m_length;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    const int m_length;
};

// Puts the application's style and style sheet back, whatever a row changed.
class ApplicationStyleGuard
{
public:
    ApplicationStyleGuard()
        : m_styleName(QApplication::style()->objectName())
    {
    }
    ~ApplicationStyleGuard()
    {
        qApp->setStyleSheet(QString());
        if (QApplication::style()->objectName() != m_styleName
            || dynamic_cast<LongHandleStyle *>(QApplication::style()))
            QApplication::setStyle(QStyleFactory::create(m_styleName));
    }

private:
    const QString m_styleName;
};
