#include "QxAutoRulesValidator.h"

#include "QxNumberText.h"

#include <cmath>

QxAutoRulesValidator::QxAutoRulesValidator(int digits, QObject *parent)
    : QxSignificantDigitsValidator(digits, parent)
{
}

QxAutoRulesValidator::~QxAutoRulesValidator() = default;

void QxAutoRulesValidator::fixup(QString &text, ZvRoundingRule) const
{
    const QLocale locale = this->locale();
    const double value = QxNumberText::read(text, locale);
    if (value == 0.0)
        return;
    const double magnitude = std::fabs(value);
    // Strict limits: 0.01 and 10^digits themselves are written in fixed point,
    // and NaN fails both comparisons.
    if (magnitude < 0.01 || magnitude > std::pow(10.0, m_digits)) {
        text = QxNumberText::localized(
                QxNumberText::write(value, 'e', static_cast<long long>(m_digits) - 1), locale);
        return;
    }
    text = QxNumberText::write(value, 'f', QxNumberText::fixedPointDecimals(m_digits, magnitude));
    removeTrailingZero(text);
    text = QxNumberText::localized(text, locale);
}
