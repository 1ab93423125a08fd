#include <lumo/QxAutoRulesValidator.h>
#include <lumo/QxCustomValidator.h>
#include <lumo/QxExponentialNotationValidator.h>
#include <lumo/QxFixedDecimalsValidator.h>
#include <lumo/QxFormatingStringValidator.h>
#include <lumo/QxSignificantDigitsValidator.h>

#include <QtTest>

#include <cmath>
#include <memory>
#include <type_traits>

#include "validatortest.h"

// What every validator of the family shares, one table for all of them: a
// row names the class (family) and what it is built on (setting).

namespace {

enum class Family {
    Custom,
    FixedDecimals,
    SignificantDigits,
    ExponentialNotation,
    AutoRules,
    FormatingString
};

} // namespace

Q_DECLARE_METATYPE(Family)

namespace {

const char *familyName(Family family)
{
    switch (family) {
    case Family::Custom:
        return "Custom";
    case Family::FixedDecimals:
        return "FixedDecimals";
    case Family::SignificantDigits:
        return "SignificantDigits";
    case Family::ExponentialNotation:
        return "ExponentialNotation";
    case Family::AutoRules:
        return "AutoRules";
    case Family::FormatingString:
        return "FormatingString";
    }
    return "?";
}

const char *ruleName(int rule)
{
    static const char *const names[] = { "toward zero",  "away from zero", "half away from zero",
                                         "half to even", "floor",          "ceiling" };
    return names[rule];
}

// Ten thousand nines: too large for a double, reads as infinity.
QString longInteger()
{
    return QString(10000, QLatin1Char('9'));
}

// 0.123456789012... with ten thousand digits after the point.
QString longFraction()
{
    return QStringLiteral("0.") + QStringLiteral("1234567890").repeated(1000);
}

// Two Arabic-Indic digits: QString::toDouble reads only ASCII digits.
QString arabicIndicDigits()
{
    return QStringLiteral("\u0661\u0662");
}

template<class Validator> using Plain = Validator;

// Records the rules that reach the rule-driven textual repair and marks the
// text, so that Qt's one-argument repair shows which one it ran.
struct TextualRepairLog
{
    mutable QList<int> rules;
};

template<class Validator> class RecordingValidator : public Validator, public TextualRepairLog
{
public:
    using Validator::fixup;
    using Validator::Validator;
    void fixup(QString &text, ZvRoundingRule rule) const override
    {
        rules.append(rule);
        text = QStringLiteral("repaired ") + text;
    }
};

// Scales what the numeric repair returns by numerator / denominator and
// records the rules it is given, so the numeric repair's hand in the textual
// one shows.
struct NumericRepairLog
{
    int numerator = 10;
    int denominator = 1;
    mutable QList<int> rules;
};

template<class Validator> class ScaledValidator : public Validator, public NumericRepairLog
{
public:
    using Validator::fixup;
    using Validator::Validator;
    double fixup(double value, ZvRoundingRule rule) const override
    {
        rules.append(rule);
        return Validator::fixup(value, rule) * numerator / denominator;
    }
};

// Builds family's class, or Wrapper of it, on setting: QxCustomValidator on
// its parent alone, the format validator on a format (a string), the others
// on a count of digits.
template<template<class> class Wrapper = Plain>
std::unique_ptr<QxCustomValidator> create(Family family, const QVariant &setting,
                                          QObject *parent = nullptr)
{
    const auto withCount = [&](auto *tag) -> std::unique_ptr<QxCustomValidator> {
        using Validator = Wrapper<std::remove_pointer_t<decltype(tag)>>;
        return std::make_unique<Validator>(setting.toInt(), parent);
    };
    switch (family) {
    case Family::Custom:
        return std::make_unique<Wrapper<QxCustomValidator>>(parent);
    case Family::FixedDecimals:
        return withCount(static_cast<QxFixedDecimalsValidator *>(nullptr));
    case Family::SignificantDigits:
        return withCount(static_cast<QxSignificantDigitsValidator *>(nullptr));
    case Family::ExponentialNotation:
        return withCount(static_cast<QxExponentialNotationValidator *>(nullptr));
    case Family::AutoRules:
        return withCount(static_cast<QxAutoRulesValidator *>(nullptr));
    case Family::FormatingString:
        return std::make_unique<Wrapper<QxFormatingStringValidator>>(setting.toString(), parent);
    }
    return nullptr;
}

// The leading columns of every table here.
void addFamilyColumns()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<QVariant>("setting");
}

// A row for family built on setting, named after the class.
QTestData &newFamilyRow(Family family, const QVariant &setting, const char *name)
{
    return QTest::addRow("%s: %s", familyName(family), name) << family << setting;
}

// One hostile input, with what each number validator repairs it to, in the
// order of the columns: fixed decimals (2), significant digits (3), exponent
// notation (3), auto rules (3), format "%.3f".
void addHostileRows(const char *name, const QString &input, const QString &fixedDecimals,
                    const QString &significantDigits, const QString &exponentialNotation,
                    const QString &autoRules, const QString &formatingString)
{
    newFamilyRow(Family::FixedDecimals, 2, name) << input << fixedDecimals;
    newFamilyRow(Family::SignificantDigits, 3, name) << input << significantDigits;
    newFamilyRow(Family::ExponentialNotation, 3, name) << input << exponentialNotation;
    newFamilyRow(Family::AutoRules, 3, name) << input << autoRules;
    newFamilyRow(Family::FormatingString, QStringLiteral("%.3f"), name) << input << formatingString;
}

// The current row's repair (columns input and expected) under rule.
void checkRepairRow(const QxCustomValidator &validator, int rule)
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    validator.fixup(input, ZvRoundingRule(rule));
    QCOMPARE(input, expected);
}

// Qt's one-argument repair of the current row (columns input and expected)
// writes what the rule-driven one writes with the rule of numeric value 2.
void checkOneArgumentFixupRow(const QxCustomValidator &validator)
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QString viaQt = input;
    static_cast<const QValidator &>(validator).fixup(viaQt);
    QString withRule = input;
    validator.fixup(withRule, ZvRoundingRule(2));
    QCOMPARE(viaQt, withRule);
    QCOMPARE(viaQt, expected);
}

// The current row's validator (columns family and setting).
std::unique_ptr<QxCustomValidator> createRowValidator(QObject *parent = nullptr)
{
    QFETCH(Family, family);
    QFETCH(QVariant, setting);
    return create(family, setting, parent);
}

// The number at the start of a repaired text: the text less any literal text
// a format wrote after the number ("50.0%" means 50).
double numberIn(QString text, bool *ok)
{
    double value = text.toDouble(ok);
    while (!*ok && !text.isEmpty()) {
        text.chop(1);
        value = text.toDouble(ok);
    }
    return value;
}

// What people write by hand around QDoubleValidator: any number may be typed,
// and leaving the field puts it back into the range, unrounded.
class HandClampValidator : public QDoubleValidator
{
public:
    HandClampValidator(double bottom, double top)
        : QDoubleValidator(bottom, top, 1000, nullptr)
    {
        setLocale(QLocale::c());
    }

    State validate(QString &input, int &pos) const override
    {
        QDoubleValidator anyNumber(-qInf(), qInf(), 1000, nullptr);
        anyNumber.setLocale(QLocale::c());
        const State state = anyNumber.validate(input, pos);
        if (state != Acceptable)
            return state;
        const double value = input.toDouble();
        return value < bottom() || value > top() ? Intermediate : Acceptable;
    }

    void fixup(QString &input) const override
    {
        input = QString::number(qBound(bottom(), input.toDouble(), top()), 'g', 17);
    }
};

} // namespace

class tst_ValidatorFamily : public QObject
{
    Q_OBJECT

private slots:
    void hostileText_data();
    void hostileText();
    void rulePassesThrough_data();
    void rulePassesThrough();
    void ruleIsNotUsed_data();
    void ruleIsNotUsed();
    void oneArgumentUsesRuleTwo_data();
    void oneArgumentUsesRuleTwo();
    void oneArgumentFixupUsesNearestRule_data();
    void oneArgumentFixupUsesNearestRule();
    void numericFixupIsVirtual_data();
    void numericFixupIsVirtual();
    void numericFixup_data();
    void numericFixup();
    void settings_data();
    void settings();
    void clampsWhenLeaving_data();
    void clampsWhenLeaving();
    void clampedRepair_data();
    void clampedRepair();
};

// clang-format off
void tst_ValidatorFamily::hostileText_data()
{
    addFamilyColumns();
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    //                                            fixed 2   significant 3        exponent 3    auto rules 3         "%.3f"
    addHostileRows("empty",            "",                  "0",            "",                  "0.00e+00",   "",                  "0");
    addHostileRows("spaces",           "   ",               "0",            "   ",               "0.00e+00",   "   ",               "0");
    addHostileRows("nan",              "nan",               "nan",          "nan",               "nan",        "nan",               "nan");
    addHostileRows("inf",              "inf",               "inf",          "inf",               "inf",        "inf",               "inf");
    addHostileRows("-inf",             "-inf",              "-inf",         "-inf",              "-inf",       "-inf",              "-inf");
    addHostileRows("1e308",            "1e308",             exactE308(),    exactE308(),         "1.00e+308",  "1.00e+308",         exactE308());
    addHostileRows("1e-320",           "1e-320",            "0",            "1e-320",            "1.00e-320",  "1.00e-320",         "0");
    addHostileRows("10,000 digits",    longInteger(),       "inf",          "inf",               "inf",        "inf",               "inf");
    addHostileRows("10,000 decimals",  longFraction(),      "0.12",         "0.123",             "1.23e-01",   "0.123",             "0.123");
    addHostileRows("non-ASCII digits", arabicIndicDigits(), "0",            arabicIndicDigits(), "0.00e+00",   arabicIndicDigits(), "0");
    addHostileRows("decimal comma",    "1,5",               "0",            "1,5",               "0.00e+00",   "1,5",               "0");

    // Blanks, negative range edges and overflow, through the fixed decimals.
    newFamilyRow(Family::FixedDecimals, 2, "blanks around a number") << " 2.5 " << "2.5";
    newFamilyRow(Family::FixedDecimals, 2, "-1e308") << "-1e308" << QStringLiteral("-") + exactE308();
    newFamilyRow(Family::FixedDecimals, 2, "overflow reads as infinity") << "1e400" << "inf";
    newFamilyRow(Family::FixedDecimals, 2, "-1e-320, Qt writes negative zero unsigned") << "-1e-320" << "0";
}
// clang-format on

void tst_ValidatorFamily::hostileText()
{
    checkRepairRow(*createRowValidator());
}

// clang-format off
void tst_ValidatorFamily::rulePassesThrough_data()
{
    addFamilyColumns();
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    newFamilyRow(Family::FixedDecimals, 2, "toward zero") << int(ZvRoundTowardZero) << "2.679" << "2.67";
    newFamilyRow(Family::FixedDecimals, 2, "away from zero") << int(ZvRoundAwayFromZero) << "2.671" << "2.68";
    newFamilyRow(Family::FixedDecimals, 2, "half away from zero") << int(ZvRoundHalfAwayFromZero) << "2.665" << "2.67";
    newFamilyRow(Family::FixedDecimals, 2, "half to even") << int(ZvRoundHalfToEven) << "2.665" << "2.66";
    newFamilyRow(Family::FixedDecimals, 2, "floor") << int(ZvRoundTowardNegativeInfinity) << "-2.671" << "-2.68";
    newFamilyRow(Family::FixedDecimals, 2, "ceiling") << int(ZvRoundTowardPositiveInfinity) << "2.671" << "2.68";

    newFamilyRow(Family::SignificantDigits, 3, "toward zero") << int(ZvRoundTowardZero) << "2.679" << "2.67";
    newFamilyRow(Family::SignificantDigits, 3, "away from zero") << int(ZvRoundAwayFromZero) << "2.671" << "2.68";
    newFamilyRow(Family::SignificantDigits, 3, "half to even") << int(ZvRoundHalfToEven) << "2.665" << "2.66";
    newFamilyRow(Family::SignificantDigits, 3, "floor") << int(ZvRoundTowardNegativeInfinity) << "-0.0012341" << "-0.00124";

    newFamilyRow(Family::ExponentialNotation, 3, "toward zero") << int(ZvRoundTowardZero) << "12390" << "1.23e+04";
    newFamilyRow(Family::ExponentialNotation, 3, "away from zero") << int(ZvRoundAwayFromZero) << "12310" << "1.24e+04";
    newFamilyRow(Family::ExponentialNotation, 3, "half to even") << int(ZvRoundHalfToEven) << "12250" << "1.22e+04";
    newFamilyRow(Family::ExponentialNotation, 3, "ceiling") << int(ZvRoundTowardPositiveInfinity) << "-12390" << "-1.23e+04";
}
// clang-format on

void tst_ValidatorFamily::rulePassesThrough()
{
    QFETCH(int, rule);
    checkRepairRow(*createRowValidator(), rule);
}

void tst_ValidatorFamily::ruleIsNotUsed_data()
{
    addFamilyColumns();
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    // Every rule writes the same text.
    for (int rule = ZvRoundTowardZero; rule <= ZvRoundTowardPositiveInfinity; ++rule) {
        const QByteArray name = ruleName(rule);
        newFamilyRow(Family::AutoRules, 3, ("fixed point, " + name).constData())
                << rule << QStringLiteral("123.9") << QStringLiteral("124");
        newFamilyRow(Family::AutoRules, 3, ("exponent, " + name).constData())
                << rule << QStringLiteral("12390") << QStringLiteral("1.24e+04");
        newFamilyRow(Family::FormatingString, QStringLiteral("%.2f"), name.constData())
                << rule << QStringLiteral("3.149") << QStringLiteral("3.15");
    }
}

void tst_ValidatorFamily::ruleIsNotUsed()
{
    QFETCH(int, rule);
    checkRepairRow(*createRowValidator(), rule);
}

// clang-format off
void tst_ValidatorFamily::oneArgumentUsesRuleTwo_data()
{
    addFamilyColumns();
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    newFamilyRow(Family::FixedDecimals, 2, "tie goes away from zero") << "2.665" << "2.67";
    newFamilyRow(Family::FixedDecimals, 2, "negative tie") << "-0.125" << "-0.13";
    newFamilyRow(Family::FixedDecimals, 2, "no number") << "abc" << "0";
    newFamilyRow(Family::FixedDecimals, 2, "nan") << "nan" << "nan";

    newFamilyRow(Family::SignificantDigits, 3, "tie goes away from zero") << "2.665" << "2.67";
    newFamilyRow(Family::SignificantDigits, 3, "large tie") << "12350" << "12400";
    newFamilyRow(Family::SignificantDigits, 3, "zero") << "0" << "0";
    newFamilyRow(Family::SignificantDigits, 3, "nan") << "nan" << "nan";

    newFamilyRow(Family::ExponentialNotation, 3, "tie goes away from zero") << "12250" << "1.23e+04";
    newFamilyRow(Family::ExponentialNotation, 3, "negative tie") << "-0.001225" << "-1.23e-03";
    newFamilyRow(Family::ExponentialNotation, 3, "no number") << "abc" << "0.00e+00";

    newFamilyRow(Family::AutoRules, 3, "fixed point") << "3.14159" << "3.14";
    newFamilyRow(Family::AutoRules, 3, "exponent") << "0.00123456" << "1.23e-03";
    newFamilyRow(Family::AutoRules, 3, "zero") << "0" << "0";

    newFamilyRow(Family::FormatingString, QStringLiteral("%.2f"), "the format rounds") << "3.149" << "3.15";
}
// clang-format on

void tst_ValidatorFamily::oneArgumentUsesRuleTwo()
{
    checkOneArgumentFixupRow(*createRowValidator());
}

// clang-format off
void tst_ValidatorFamily::oneArgumentFixupUsesNearestRule_data()
{
    addFamilyColumns();

    newFamilyRow(Family::Custom, QVariant(), "base");
    newFamilyRow(Family::FixedDecimals, 2, "count");
    newFamilyRow(Family::SignificantDigits, 3, "count");
    newFamilyRow(Family::ExponentialNotation, 3, "count");
    newFamilyRow(Family::AutoRules, 3, "count");
    newFamilyRow(Family::FormatingString, QStringLiteral("%.2f"), "format");
}
// clang-format on

// Qt's repair hook hands the text to the rule-driven repair, which a subclass
// may override, with the nearest rule.
void tst_ValidatorFamily::oneArgumentFixupUsesNearestRule()
{
    QFETCH(Family, family);
    QFETCH(QVariant, setting);
    const auto validator = create<RecordingValidator>(family, setting);
    QString text = QStringLiteral("1.5");
    // Through the base pointer, as QLineEdit calls it.
    static_cast<const QValidator &>(*validator).fixup(text);
    const auto *log = dynamic_cast<const TextualRepairLog *>(validator.get());
    QVERIFY(log);
    QCOMPARE(log->rules, QList<int> { 2 });
    QCOMPARE(text, QStringLiteral("repaired 1.5"));
}

// clang-format off
void tst_ValidatorFamily::numericFixupIsVirtual_data()
{
    addFamilyColumns();
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("towardZeroInput");
    QTest::addColumn<QString>("towardZeroExpected");
    QTest::addColumn<QList<int>>("rules");

    const QList<int> bothRules { ZvRoundHalfAwayFromZero, ZvRoundTowardZero };
    newFamilyRow(Family::FixedDecimals, 2, "tenfold") << 10 << 1 << "1.234" << "12.3" << "1.239" << "12.3" << bothRules;
    // The rounded value shrunk a thousandfold shows the numeric repair's hand
    // in the textual one, down to the number of decimals written.
    newFamilyRow(Family::SignificantDigits, 3, "a thousandth") << 1 << 1000 << "1.234" << "0.00123" << "1.239" << "0.00123" << bothRules;
    newFamilyRow(Family::ExponentialNotation, 3, "tenfold") << 10 << 1 << "12345" << "1.23e+05" << "12390" << "1.23e+05" << bothRules;
    // The value written is the typed one: the numeric repair, inherited from
    // QxSignificantDigitsValidator, stays out of the textual one.
    newFamilyRow(Family::AutoRules, 3, "not called") << 10 << 1 << "5.5" << "5.5" << "0.005" << "5.00e-03" << QList<int>();
    // The format does all the rounding: the numeric repair stays out.
    newFamilyRow(Family::FormatingString, QStringLiteral("%.2f"), "not called") << 10 << 1 << "1.5" << "1.5" << "1.239" << "1.24" << QList<int>();
    // The base leaves the text alone without asking the numeric repair.
    newFamilyRow(Family::Custom, QVariant(), "not called") << 10 << 1 << "1.5" << "1.5" << "1.239" << "1.239" << QList<int>();
}
// clang-format on

void tst_ValidatorFamily::numericFixupIsVirtual()
{
    QFETCH(Family, family);
    QFETCH(QVariant, setting);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(QString, towardZeroInput);
    QFETCH(QString, towardZeroExpected);
    QFETCH(QList<int>, rules);

    const auto validator = create<ScaledValidator>(family, setting);
    auto *log = dynamic_cast<NumericRepairLog *>(validator.get());
    QVERIFY(log);
    log->numerator = numerator;
    log->denominator = denominator;
    QString text = input;
    validator->fixup(text);
    QCOMPARE(text, expected);
    text = towardZeroInput;
    validator->fixup(text, ZvRoundTowardZero);
    QCOMPARE(text, towardZeroExpected);
    QCOMPARE(log->rules, rules);
}

// clang-format off
void tst_ValidatorFamily::numericFixup_data()
{
    addFamilyColumns();
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("expected");

    newFamilyRow(Family::FixedDecimals, 6, "nearest") << 1.23456789 << int(ZvRoundHalfAwayFromZero) << 1.234568;
    newFamilyRow(Family::FixedDecimals, 6, "toward zero") << 1.23456789 << int(ZvRoundTowardZero) << 1.234567;
    newFamilyRow(Family::SignificantDigits, 6, "nearest") << 1234.56789 << int(ZvRoundHalfAwayFromZero) << 1234.57;
    newFamilyRow(Family::ExponentialNotation, 6, "nearest") << 1234.56789 << int(ZvRoundHalfAwayFromZero) << 1234.57;
    // Inherited from QxSignificantDigitsValidator, though the textual repair
    // does not call it.
    newFamilyRow(Family::AutoRules, 3, "significant digits") << 1234.5 << int(ZvRoundHalfAwayFromZero) << 1230.0;
    newFamilyRow(Family::FormatingString, QStringLiteral("%.2f"), "value kept") << 2.675 << int(ZvRoundHalfAwayFromZero) << 2.675;
    newFamilyRow(Family::Custom, QVariant(), "value kept") << 2.675 << int(ZvRoundHalfAwayFromZero) << 2.675;
}
// clang-format on

void tst_ValidatorFamily::numericFixup()
{
    QFETCH(double, value);
    QFETCH(int, rule);
    QFETCH(double, expected);
    QCOMPARE(createRowValidator()->fixup(value, ZvRoundingRule(rule)), expected);
}

// clang-format off
void tst_ValidatorFamily::settings_data()
{
    addFamilyColumns();

    newFamilyRow(Family::Custom, QVariant(), "base");
    newFamilyRow(Family::FixedDecimals, 6, "6");
    newFamilyRow(Family::SignificantDigits, 6, "6");
    newFamilyRow(Family::ExponentialNotation, 6, "6");
    newFamilyRow(Family::AutoRules, 6, "6");
    newFamilyRow(Family::FormatingString, QStringLiteral("%.6f"), "%.6f");
}
// clang-format on

// What every validator of the family inherits: the Qt-level limits of the
// base (the whole double range, 3 decimals whatever the digit count, the
// scientific notation), its parent, and QDoubleValidator's meta-object.
void tst_ValidatorFamily::settings()
{
    QObject owner;
    const auto validator = createRowValidator(&owner);
    QCOMPARE(validator->parent(), &owner);
    QCOMPARE(validator->decimals(), 3);
    QCOMPARE(validator->notation(), QDoubleValidator::ScientificNotation);
    QVERIFY(std::isinf(validator->bottom()) && validator->bottom() < 0);
    QVERIFY(std::isinf(validator->top()) && validator->top() > 0);
    QCOMPARE(validator->metaObject(), &QDoubleValidator::staticMetaObject);
}

// clang-format off
void tst_ValidatorFamily::clampsWhenLeaving_data()
{
    addFamilyColumns();
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("top");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");

    newFamilyRow(Family::Custom, QVariant(), "above") << 0.0 << 10.0 << "12.5" << "10";
    newFamilyRow(Family::Custom, QVariant(), "negative under a bottom of 0") << 0.0 << 10.0 << "-3" << "0";
    newFamilyRow(Family::Custom, QVariant(), "inside") << 0.0 << 10.0 << "5.25" << "5.25";
    newFamilyRow(Family::FixedDecimals, 2, "above") << -1.0 << 10.0 << "10.004" << "10";
    newFamilyRow(Family::FixedDecimals, 2, "below") << -1.0 << 1.0 << "-7.5" << "-1";
    newFamilyRow(Family::FixedDecimals, 2, "rounding would cross the top") << 0.0 << 1.006 << "5" << "1";
    newFamilyRow(Family::FixedDecimals, 2, "rounding would cross the bottom") << 0.004 << 1.0 << "0" << "0.01";
    newFamilyRow(Family::FixedDecimals, 2, "inside, rounded") << 0.0 << 10.0 << "3.14159" << "3.14";
    newFamilyRow(Family::FixedDecimals, 2, "no two-decimal number inside") << 0.001 << 0.009 << "1" << "0.009";
    newFamilyRow(Family::SignificantDigits, 3, "above") << 0.0 << 1234.5 << "99999" << "1230";
    newFamilyRow(Family::SignificantDigits, 3, "rounding would cross the bottom") << 100.05 << 200.0 << "100" << "101";
    newFamilyRow(Family::SignificantDigits, 3, "many digits past the top") << 0.0 << 10.0 << "123456789" << "10";
    newFamilyRow(Family::ExponentialNotation, 3, "above") << 0.0 << 12345.0 << "99999" << "1.23e+04";
    newFamilyRow(Family::ExponentialNotation, 3, "rounding would cross the bottom") << 1.2345 << 5.0 << "1" << "1.24e+00";
    newFamilyRow(Family::AutoRules, 3, "rounding would cross the top") << 0.0 << 999.95 << "5000" << "999";
    newFamilyRow(Family::AutoRules, 3, "below, exponent") << 0.001234 << 1.0 << "0" << "1.24e-03";
    newFamilyRow(Family::FormatingString, QStringLiteral("%.1f"), "rounding would cross the top") << 0.0 << 2.46 << "3" << "2.4";
    newFamilyRow(Family::FormatingString, QStringLiteral("%.1f%%"), "literal suffix") << 0.0 << 50.0 << "75" << "50.0%";
    newFamilyRow(Family::FormatingString, QStringLiteral("%.3f"), "below") << -2.5 << 2.5 << "-9" << "-2.5";
}
// clang-format on

// Typed key by key into a line edit and left with Tab and with Return: the
// text outside the range is let through while typing and repaired into it.
// QDoubleValidator with a clamp written by hand gives the number the
// validator rounds: the field shows the plain repair of that number, or,
// where that lies outside, a number inside, on the near side of it.
void tst_ValidatorFamily::clampsWhenLeaving()
{
    QFETCH(double, bottom);
    QFETCH(double, top);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    const DefaultLocale scope(QLocale::c());
    const auto validator = createRowValidator();
    QVERIFY(!validator->clampsToRange());
    validator->setBottom(bottom);
    validator->setTop(top);
    validator->setClampToRange(true);
    QVERIFY(validator->clampsToRange());
    for (const bool pressReturn : { false, true })
        checkTyping(*validator, keys, keys, expected, pressReturn);

    const HandClampValidator oracle(bottom, top);
    EditWindow window(oracle);
    QVERIFY(window.ready());
    QTest::keyClicks(window.edit, keys);
    QTest::keyClick(window.edit, Qt::Key_Tab);
    QTRY_VERIFY(window.next->hasFocus());
    const QString clamped = window.edit->text();
    QVERIFY(window.edit->hasAcceptableInput());

    validator->setClampToRange(false);
    QString plain = clamped;
    validator->fixup(plain);
    bool ok = false;
    const double plainValue = numberIn(plain, &ok);
    QVERIFY(ok);
    const double value = numberIn(expected, &ok);
    QVERIFY(ok);
    QVERIFY(bottom <= value && value <= top);
    if (bottom <= plainValue && plainValue <= top) {
        QCOMPARE(expected, plain);
    } else {
        QVERIFY2(plainValue > top ? value < plainValue : value > plainValue, qPrintable(plain));
    }
}

// clang-format off
void tst_ValidatorFamily::clampedRepair_data()
{
    addFamilyColumns();
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("top");
    // The decimals given to setRange(); negative: setBottom() and setTop().
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    newFamilyRow(Family::FixedDecimals, 2, "setRange's decimals keep the digits") << 0.0 << 100.0 << 0 << "3.14159" << "3.14";
    newFamilyRow(Family::FixedDecimals, 2, "setRange's decimals keep the digits, clamped") << 0.0 << 1.23456 << 5 << "7" << "1.23";
    newFamilyRow(Family::SignificantDigits, 3, "setRange's decimals keep the digits") << 0.0 << 100.0 << 6 << "1.23456" << "1.23";
    newFamilyRow(Family::ExponentialNotation, 3, "setBottom and setTop") << -5.0 << 5.0 << -1 << "-12" << "-5.00e+00";
    newFamilyRow(Family::FixedDecimals, 2, "no number reads as 0, clamped") << 1.0 << 5.0 << -1 << "abc" << "1";
    newFamilyRow(Family::SignificantDigits, 3, "no number, 0 inside") << -1.0 << 1.0 << -1 << "abc" << "0";
    newFamilyRow(Family::SignificantDigits, 3, "zero typed stays") << -1.0 << 1.0 << -1 << "0.000" << "0.000";
    newFamilyRow(Family::AutoRules, 3, "nan") << 2.0 << 3.0 << -1 << "nan" << "2";
    newFamilyRow(Family::FixedDecimals, 2, "infinity") << 2.0 << 3.0 << -1 << "inf" << "3";
    newFamilyRow(Family::FixedDecimals, 2, "a bottom above the top clamps nothing") << 3.0 << 2.0 << -1 << "7.777" << "7.78";
    newFamilyRow(Family::FormatingString, QStringLiteral("%.1f%%"), "its own output, above") << 0.0 << 50.0 << -1 << "75.0%" << "50.0%";
    newFamilyRow(Family::Custom, QVariant(), "the base writes the end") << 0.0 << 0.125 << 3 << "1" << "0.125";
}
// clang-format on

// Qt's repair clamps; the rule-driven repair stays the plain one, and the
// validator accepts what the clamping repair writes.
void tst_ValidatorFamily::clampedRepair()
{
    QFETCH(double, bottom);
    QFETCH(double, top);
    QFETCH(int, decimals);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const DefaultLocale scope(QLocale::c());
    const auto validator = createRowValidator();
    validator->setClampToRange(true);
    if (decimals < 0) {
        validator->setBottom(bottom);
        validator->setTop(top);
    } else {
        validator->setRange(bottom, top, decimals);
    }
    QString text = input;
    validator->fixup(text);
    QCOMPARE(text, expected);
    int position = 0;
    if (bottom <= top)
        QCOMPARE(validator->validate(text, position), QValidator::Acceptable);

    QString plain = input;
    validator->fixup(plain, ZvRoundingRule(2));
    validator->setClampToRange(false);
    QString unclamped = input;
    validator->fixup(unclamped);
    QCOMPARE(plain, unclamped);
}

QTEST_MAIN(tst_ValidatorFamily)
#include "tst_ValidatorFamily.moc"
