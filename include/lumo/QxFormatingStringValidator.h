#pragma once

#include <QByteArray>
#include <QString>

#include "QxCustomValidator.h"
#include "lumo_export.h"

/// Writes the typed number through a printf-style format, then drops
/// insignificant trailing zeros.
///
/// The format holds exactly one floating-point conversion: `%` with any of the
/// flags `#0- +'`, a width and a precision written as digits (at most 9999
/// each), an optional `l`, and one of `f F e E g G a A`. `%%` writes a percent
/// sign anywhere; every other character is copied unchanged. With "%.3f",
/// "3.14159" becomes "3.142" and "2.5" becomes "2.5"; "%08.3f" writes 2.5 as
/// "0002.5"; "%.2f%%" writes "2.50%". Text that is no number is written as 0.
/// No rounding happens beyond the format's own precision; the rule is not used.
///
/// Trimming looks at the end of the whole text, as removeTrailingZero() does,
/// with one exception: an exponent in the output ("e+10") is set aside while
/// zeros are trimmed, so only the mantissa loses zeros. "%.3e" writes 2.5 as
/// "2.5e+00" and 1e10 as "1e+10", never "1e+1".
///
/// The number is read as the validator's locale() reads it, group separators
/// included. In the C locale the text is written as above. In any other
/// locale the number takes the locale's decimal point, group separator, signs,
/// exponent character and digits, while the text around it is copied as it is:
/// under German, "%.3f" writes 3.14159 as "3,142" and "%.2f%%" writes 2.5 as
/// "2,50%". Only the number's own fraction is trimmed there, and only where
/// the number ends the text.
///
/// A format outside this contract (no conversion or several; `%s`, `%d`, `%n`,
/// `%p` or any conversion that does not take a double; a `*` width or
/// precision; another length modifier; a lone `%`; a width or precision above
/// 9999) is never used: fixup() then leaves the text unchanged.
class LUMO_EXPORT QxFormatingStringValidator : public QxCustomValidator
{
public:
    /// Checks \a format once, here; see the class description for what it may hold.
    QxFormatingStringValidator(const QString &format, QObject *parent);
    ~QxFormatingStringValidator() override;

    /// True when \a format is within the contract (see the class description),
    /// that is, when a validator built on it rewrites text at all. Lets a
    /// caller check a format that a user typed before building the validator.
    static bool isUsableFormat(const QString &format);

    /// The base's acceptance, where the format's literal text may stand
    /// around the number ("2.57%" under "%.2f%%"), or be partly typed.
    State validate(QString &input, int &pos) const override;

    using QxCustomValidator::fixup;
    /// Reads \a text as locale() does and writes it through the format, then
    /// trims trailing zeros; \a rule is ignored. Text that is no number but
    /// holds one inside the format's literal text (its suffix whole or partly
    /// typed) reads as that number, so the repair keeps its own output and what
    /// is being typed: "%.2f%%" repairs "2.50%" to "2.50%", "%.1f °C" repairs
    /// "2.5 °" to "2.5 °C".
    void fixup(QString &text, ZvRoundingRule rule) const override;

protected:
    /// The number \a text means: the whole text read as a number, or else the
    /// number inside the format's literal text, whole or partly typed.
    double textValue(const QString &text, bool *ok) const override;

private:
    QString withoutLiterals(const QString &text, bool *partial) const;
    double value(const QString &text) const;

    // The format split around its conversion; m_conversion is empty when the
    // format is outside the contract.
    QString m_prefix;
    QByteArray m_conversion;
    QString m_suffix;
};
