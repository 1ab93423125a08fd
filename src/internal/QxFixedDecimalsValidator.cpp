#include "QxFixedDecimalsValidator.h"

#include "QxNumberText.h"

QxFixedDecimalsValidator::QxFixedDecimalsValidator(int decimals, QObject *parent)
    : QxCustomValidator(parent)
    , m_decimals(decimals)
{
}

QxFixedDecimalsValidator::~QxFixedDecimalsValidator() = default;

double QxFixedDecimalsValidator::fixup(double value, ZvRoundingRule rule) const
{
    return ZvRoundToAmountOfDecimals(value, rule, m_decimals);
}

void QxFixedDecimalsValidator::fixup(QString &text, ZvRoundingRule rule) const
{
    const QLocale locale = this->locale();
    text = QxNumberText::write(fixup(QxNumberText::read(text, locale), rule), 'f', m_decimals);
    removeTrailingZero(text);
    text = QxNumberText::localized(text, locale);
}
