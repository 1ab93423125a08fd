#include "QxExponentialNotationValidator.h"

#include "QxNumberText.h"

QxExponentialNotationValidator::QxExponentialNotationValidator(int digits, QObject *parent)
    : QxCustomValidator(parent)
    , m_digits(digits)
{
}

QxExponentialNotationValidator::~QxExponentialNotationValidator() = default;

double QxExponentialNotationValidator::fixup(double value, ZvRoundingRule rule) const
{
    return ZvRoundToAmountOfSignificantDigits(value, rule, m_digits);
}

void QxExponentialNotationValidator::fixup(QString &text, ZvRoundingRule rule) const
{
    const QLocale locale = this->locale();
    text = QxNumberText::localized(
            QxNumberText::write(fixup(QxNumberText::read(text, locale), rule), 'e',
                                static_cast<long long>(m_digits) - 1),
            locale);
}
