#pragma once

#include "QxSignificantDigitsValidator.h"
#include "lumo_export.h"

/// Chooses the notation by the magnitude of the typed number: exponent
/// notation below 0.01 and above 10^digits, fixed-point notation with
/// digits significant digits from 0.01 to 10^digits, both limits included.
///
/// With 3 digits, "0.005" becomes "5.00e-03", "0.012345" becomes "0.0123",
/// "5" stays "5", "123.456" becomes "123", "1000" stays "1000" and "1000.5"
/// becomes "1.00e+03". Fixed-point text loses its insignificant trailing zeros;
/// exponent text is never trimmed. Zero (and text that is no number) leaves
/// the text exactly as typed. Only the writing rounds: the value is not passed
/// through fixup(double, ZvRoundingRule), and the rule is not used.
class LUMO_EXPORT QxAutoRulesValidator : public QxSignificantDigitsValidator
{
public:
    /// Writes \a digits significant digits (the upper limit is 10^digits).
    QxAutoRulesValidator(int digits, QObject *parent);
    ~QxAutoRulesValidator() override;

    using QxSignificantDigitsValidator::fixup;
    /// Rewrites \a text in the notation its magnitude calls for; \a rule is ignored.
    void fixup(QString &text, ZvRoundingRule rule) const override;
};
