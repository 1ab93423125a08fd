#pragma once

#include <QDoubleValidator>

#include <zvlib.h>

#include "lumo_export.h"

/// Base of the floating-point validators: a QDoubleValidator with a
/// rule-driven repair step.
///
/// Acceptance is QDoubleValidator's own, over the whole double range.
/// When Qt asks for a repair (fixup(QString&)), the text is handed to
/// fixup(QString&, ZvRoundingRule) with the nearest rule
/// (ZvRoundHalfAwayFromZero, numeric value 2). Subclasses decide how a value is
/// rounded (fixup(double, ZvRoundingRule)) and how it is written back
/// (fixup(QString&, ZvRoundingRule)). Stateless: a validator may be shared by
/// several fields. It reports QDoubleValidator's meta-object.
///
/// The subclasses' repairs follow the validator's locale(), as acceptance does:
/// they read the text as that locale reads it, group separators included (text
/// that is no number there reads as 0), and write the result with its decimal
/// point, signs, exponent character and digits, without group separators, so
/// that the same validator accepts what they write. Under German,
/// QxFixedDecimalsValidator(2) repairs "1.234,5678" to "1234,57". The C locale
/// reads like QString::toDouble, without group separators.
class LUMO_EXPORT QxCustomValidator : public QDoubleValidator
{
public:
    /// Accepts any double with at most \a decimals decimals.
    QxCustomValidator(int decimals, QObject *parent);
    /// Accepts any double with at most 3 decimals; every subclass uses this one.
    explicit QxCustomValidator(QObject *parent);
    ~QxCustomValidator() override;

    /// Qt's repair hook: runs fixup(QString&, ZvRoundingRule) with rule 2.
    void fixup(QString &text) const override;
    /// Returns \a value rounded under \a rule; the base returns it unchanged.
    virtual double fixup(double value, ZvRoundingRule rule) const;
    /// Repairs \a text in place under \a rule; the base leaves it unchanged.
    virtual void fixup(QString &text, ZvRoundingRule rule) const;

    /// Drops insignificant trailing zeros, then a trailing separator left bare,
    /// from a text that holds a "." (or, failing that, a ","): "2.500" gives
    /// "2.5", "3.0" gives "3", "1,250" gives "1,25". A text without either
    /// separator is left alone ("100" stays "100").
    static void removeTrailingZero(QString &text);
};
