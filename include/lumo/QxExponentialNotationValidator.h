#pragma once

#include "QxCustomValidator.h"
#include "lumo_export.h"

/// Rounds the typed number to a number of significant digits and writes it in
/// exponent notation, one digit before the point.
///
/// With 3 digits, "12345" becomes "1.23e+04" and "0.5" becomes "5.00e-01": the
/// zeros are significant and are never trimmed. Text that is no number reads
/// as 0 and becomes "0.00e+00". At most 1074 digits are written after the
/// point (every digit a double holds), however large the count. Acceptance
/// (validate()) keeps the base's limit of 3 decimals in the mantissa.
class LUMO_EXPORT QxExponentialNotationValidator : public QxCustomValidator
{
public:
    /// Rounds to \a digits significant digits (fewer than one counts as one).
    QxExponentialNotationValidator(int digits, QObject *parent);
    ~QxExponentialNotationValidator() override;

    using QxCustomValidator::fixup;
    /// Returns ZvRoundToAmountOfSignificantDigits(\a value, \a rule, digits).
    double fixup(double value, ZvRoundingRule rule) const override;
    /// Reads \a text as locale() reads it, rounds it through the virtual
    /// fixup(double, ZvRoundingRule) and writes it in exponent notation with
    /// digits - 1 decimals.
    void fixup(QString &text, ZvRoundingRule rule) const override;

private:
    const int m_digits;
};
