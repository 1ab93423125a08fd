#include "QxSignificantDigitsValidator.h"

#include "QxNumberText.h"

#include <cmath>
#include <limits>

QxSignificantDigitsValidator::QxSignificantDigitsValidator(int digits, QObject *parent)
    : QxCustomValidator(parent)
    , m_digits(digits)
{
}

QxSignificantDigitsValidator::~QxSignificantDigitsValidator() = default;

double QxSignificantDigitsValidator::fixup(double value, ZvRoundingRule rule) const
{
    return ZvRoundToAmountOfSignificantDigits(value, rule, m_digits);
}

void QxSignificantDigitsValidator::fixup(QString &text, ZvRoundingRule rule) const
{
    const QLocale locale = this->locale();
    const double value = QxNumberText::read(text, locale);
    // Zero has no significant digits to keep; NaN fails the test and goes on.
    if (std::fabs(value) < std::numeric_limits<double>::epsilon())
        return;
    const double rounded = fixup(value, rule);
    text = QxNumberText::write(rounded, 'f',
                               QxNumberText::fixedPointDecimals(m_digits, std::fabs(rounded)));
    removeTrailingZero(text);
    text = QxNumberText::localized(text, locale);
}
