#pragma once

#include <QDoubleValidator>

#include <zvlib.h>

#include "lumo_export.h"

/// Base of the floating-point validators: a QDoubleValidator with a
/// rule-driven repair step.
///
/// A plain QxCustomValidator accepts as QDoubleValidator does, over the whole
/// double range. In a subclass the repair decides instead of Qt's digit limit,
/// so that whatever a person types can be repaired when the editing ends:
/// validate() takes any number QDoubleValidator takes with any number of
/// decimals (in the validator's range, notation and locale), and calls it
/// Intermediate when the repair would change the number it means. QLineEdit
/// repairs Intermediate text on Return or when it loses the focus: a
/// QxFixedDecimalsValidator(2) field turns "3.141" into "3.14" there, while
/// "3.10", which the repair writes "3.1", is the same number and is kept as
/// typed. Every repaired text is one the validator accepts. In the C locale a
/// "," is refused: that locale reads no group separator. When Qt asks for a repair
/// (fixup(QString&)), the text is handed to fixup(QString&, ZvRoundingRule) with the nearest rule
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
///
/// With setClampToRange(true) the repair also keeps the number in
/// bottom()..top(): see there. That switch is the only setting a validator
/// holds beyond QDoubleValidator's; every operation stays const.
class LUMO_EXPORT QxCustomValidator : public QDoubleValidator
{
public:
    /// Accepts any double with at most \a decimals decimals.
    QxCustomValidator(int decimals, QObject *parent);
    /// Accepts any double with at most 3 decimals; every subclass uses this one.
    explicit QxCustomValidator(QObject *parent);
    ~QxCustomValidator() override;

    /// Acceptance as described for the class: Qt's, without its digit limit in
    /// a subclass, and Intermediate where the repair would change the number.
    State validate(QString &input, int &pos) const override;

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

    /// Switches the clamping repair on or off (off by default). When on, Qt's
    /// repair hook (fixup(QString&), which QLineEdit runs on Return and when
    /// the field loses the focus) first moves the number into bottom()..top()
    /// (text that is no number reads as 0, as in the repairs), then repairs it
    /// as usual; where the repair's rounding would carry it past an end, it
    /// takes instead the nearest number of the validator's notation on the
    /// inside (with 2 decimals and top 1.006, "5" becomes "1", not "1.01"). If
    /// the notation has no number inside the range at all, the end itself is
    /// written with every digit it needs. While typing, a number outside the
    /// range is Intermediate rather than refused, so leaving the field repairs
    /// it. A range whose bottom lies above its top clamps nothing. The
    /// rule-driven fixup(QString&, ZvRoundingRule) is the plain repair either
    /// way. Set the range with setRange(), setBottom() and setTop(); the
    /// decimals argument of setRange() is QDoubleValidator's and never changes
    /// a subclass's own digit count.
    void setClampToRange(bool clamp);
    /// True when the repair clamps into the range; see setClampToRange().
    bool clampsToRange() const;

protected:
    /// The number that \a text of this validator means, read as locale()
    /// reads it; \a ok tells whether the text holds one. A subclass whose
    /// texts carry more than a number (a format's literal text) reads them
    /// here, so that clamping knows the value it wrote.
    virtual double textValue(const QString &text, bool *ok) const;

private:
    void clampedFixup(QString &text) const;

    bool m_clampToRange = false;
};
