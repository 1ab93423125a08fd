#pragma once

#include "QxCustomValidator.h"
#include "lumo_export.h"

/// Rounds the typed number to a fixed number of decimals and writes it in
/// fixed-point notation without insignificant trailing zeros.
///
/// With 2 decimals, "3.14159" becomes "3.14", "2.5" stays "2.5" and "7" stays
/// "7"; text that is no number reads as 0 and becomes "0". The number of
/// decimals is fixed at construction; acceptance (validate()) keeps the base's
/// limit of 3 decimals, whatever the count. Infinities and NaN are written as
/// "inf", "-inf" and "nan".
class LUMO_EXPORT QxFixedDecimalsValidator : public QxCustomValidator
{
public:
    /// Rounds to \a decimals digits after the decimal point; a negative count
    /// rounds to tens, hundreds, ...
    QxFixedDecimalsValidator(int decimals, QObject *parent);
    ~QxFixedDecimalsValidator() override;

    using QxCustomValidator::fixup;
    /// Returns ZvRoundToAmountOfDecimals(\a value, \a rule, decimals).
    double fixup(double value, ZvRoundingRule rule) const override;
    /// Reads \a text as locale() reads it, rounds it through the virtual
    /// fixup(double, ZvRoundingRule) and writes it with the count's decimals,
    /// then removeTrailingZero().
    void fixup(QString &text, ZvRoundingRule rule) const override;

private:
    const int m_decimals;
};
