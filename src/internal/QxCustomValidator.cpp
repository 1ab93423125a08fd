#include "QxCustomValidator.h"

#include <limits>

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
