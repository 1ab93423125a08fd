#include "QxCustomValidator.h"

#include "QxNumberText.h"

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

QValidator::State QxCustomValidator::validate(QString &input, int &pos) const
{
    // A plain base has no repair to decide for it: Qt's digit limit stays.
    if (typeid(*this) == typeid(QxCustomValidator))
        return QDoubleValidator::validate(input, pos);
    const State typed = QxNumberText::acceptance(*this, input);
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
    fixup(text, ZvRoundHalfAwayFromZero);
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
