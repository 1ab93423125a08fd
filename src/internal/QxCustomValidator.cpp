#include "QxCustomValidator.h"

#include "QxNumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <typeinfo>

// Qt's one-argument repair always uses the rule with numeric value 2.
static_assert(ZvRoundHalfAwayFromZero == 2, "the nearest rule has the value 2");

QxCustomValidator::QxCustomValidator(int decimals, QObject *parent)
    : QDoubleValidator(-std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::infinity(), decimals, parent)
{
}

QxCustomValidator::QxCustomValidator(QObject *parent)
    : QxCustomValidator(3, parent)
{
}

QxCustomValidator::~QxCustomValidator() = default;

namespace {

// Doubles mapped onto integers of the same order (-0 and 0 alike), so that a
// search can halve the doubles between two values.
std::int64_t orderKey(double value)
{
    std::int64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits < 0 ? -(bits & std::numeric_limits<std::int64_t>::max()) : bits;
}

double fromOrderKey(std::int64_t key)
{
    const std::uint64_t bits
            = key < 0 ? (std::uint64_t(-key) | (std::uint64_t(1) << 63)) : std::uint64_t(key);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

QValidator::State QxCustomValidator::validate(QString &input, int &pos) const
{
    State typed = Invalid;
    if (typeid(*this) == typeid(QxCustomValidator)) {
        // A plain base has no repair to decide for it: Qt's digit limit stays.
        if (!m_clampToRange)
            return QDoubleValidator::validate(input, pos);
        // Clamping: the range is the repair's to enforce, not the typing's.
        QDoubleValidator unbounded(-std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::infinity(), decimals(), nullptr);
        unbounded.setNotation(notation());
        unbounded.setLocale(locale());
        typed = unbounded.validate(input, pos);
    } else {
        typed = QxNumberText::acceptance(*this, input, !m_clampToRange);
    }
    if (typed != Acceptable)
        return typed;
    QString repaired = input;
    fixup(repaired);
    const QLocale locale = this->locale();
    return QxNumberText::read(repaired, locale) == QxNumberText::read(input, locale) ? Acceptable
                                                                                     : Intermediate;
}

void QxCustomValidator::fixup(QString &text) const
{
    if (m_clampToRange)
        clampedFixup(text);
    else
        fixup(text, ZvRoundHalfAwayFromZero);
}

void QxCustomValidator::setClampToRange(bool clamp)
{
    m_clampToRange = clamp;
}

bool QxCustomValidator::clampsToRange() const
{
    return m_clampToRange;
}

double QxCustomValidator::textValue(const QString &text, bool *ok) const
{
    return QxNumberText::read(text, locale(), ok);
}

void QxCustomValidator::clampedFixup(QString &text) const
{
    const double low = bottom();
    const double high = top();
    if (!(low <= high)) {
        fixup(text, ZvRoundHalfAwayFromZero);
        return;
    }
    const QLocale locale = this->locale();
    // The number written with every digit it needs, in the locale's
    // characters: text that every repair reads back as exactly that number.
    const auto exactText = [&locale](double value) {
        return QxNumberText::localized(QString::number(value, 'g', QLocale::FloatingPointShortest),
                                       locale);
    };
    const auto repairedText = [this, &exactText](double value) {
        QString repaired = exactText(value);
        fixup(repaired, ZvRoundHalfAwayFromZero);
        return repaired;
    };

    bool ok = false;
    double value = textValue(text, &ok);
    if (!ok || std::isnan(value))
        value = 0;
    const double clamped = std::clamp(value, low, high);
    // A number inside the range keeps its text for the repair, which may
    // leave it as typed (the significant digits keep "0.000").
    QString repaired = ok && clamped == value ? text : exactText(clamped);
    fixup(repaired, ZvRoundHalfAwayFromZero);
    const double written = textValue(repaired, &ok);
    if (ok && low <= written && written <= high) {
        text = repaired;
        return;
    }

    // The rounding crossed an end. Repairs are monotonic, so halving the
    // doubles between the value and the other end finds the last one whose
    // repair stays inside: the nearest number of the notation on the inside.
    const bool aboveTop = ok && written > high;
    const auto inside = [&](double candidate) {
        bool read = false;
        const double result = textValue(repairedText(candidate), &read);
        return read && (aboveTop ? result <= high : result >= low);
    };
    std::int64_t good = orderKey(aboveTop ? low : high);
    std::int64_t bad = orderKey(clamped);
    if (inside(fromOrderKey(good))) {
        // Halving in unsigned arithmetic: the keys of -inf and inf lie 2^64 apart.
        while ((good < bad ? std::uint64_t(bad) - std::uint64_t(good)
                           : std::uint64_t(good) - std::uint64_t(bad))
               > 1) {
            const std::int64_t middle = good < bad
                    ? good + std::int64_t((std::uint64_t(bad) - std::uint64_t(good)) / 2)
                    : bad + std::int64_t((std::uint64_t(good) - std::uint64_t(bad)) / 2);
            (inside(fromOrderKey(middle)) ? good : bad) = middle;
        }
        repaired = repairedText(fromOrderKey(good));
        const double nearest = textValue(repaired, &ok);
        if (ok && low <= nearest && nearest <= high) {
            text = repaired;
            return;
        }
    }
    // No number of the notation lies inside the range.
    text = exactText(clamped);
}

double QxCustomValidator::fixup(double value, ZvRoundingRule) const
{
    return value;
}

void QxCustomValidator::fixup(QString &text, ZvRoundingRule) const
{
    QValidator::fixup(text);
}

void QxCustomValidator::removeTrailingZero(QString &text)
{
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char(',')))
        return;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char(',')) || text.endsWith(QLatin1Char('.')))
        text.chop(1);
}
