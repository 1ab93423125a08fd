#include <lumo/QxExponentialNotationValidator.h>

#include <QtTest>

#include <climits>
#include <cmath>

#include "validatortest.h"

class tst_QxExponentialNotationValidator : public QObject
{
    Q_OBJECT

private slots:
    void fixup_data();
    void fixup();
    void largestCountWritesEveryDigit();
    void localeRepair_data();
    void localeRepair();
    void lineEditShowsRepair_data();
    void lineEditShowsRepair();
    void typing_data();
    void typing();
};

// clang-format off
void tst_QxExponentialNotationValidator::fixup_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rounds to three digits") << 3 << "12345" << "1.23e+04";
    QTest::newRow("zeros are significant, not trimmed") << 3 << "0.5" << "5.00e-01";
    QTest::newRow("no number reads as 0") << 3 << "abc" << "0.00e+00";
    QTest::newRow("negative") << 3 << "-0.000123456" << "-1.23e-04";
    QTest::newRow("rounding gains a digit") << 3 << "9996" << "1.00e+04";
    QTest::newRow("one digit has no point") << 1 << "12345" << "1e+04";
    QTest::newRow("negative zero") << 3 << "-0" << "0.00e+00";
    QTest::newRow("smallest count keeps one digit, Qt's default precision") << INT_MIN << "1.5" << "2.000000e+00";
}
// clang-format on

void tst_QxExponentialNotationValidator::fixup()
{
    QFETCH(int, digits);
    checkRepairRow(QxExponentialNotationValidator(digits, nullptr));
}

void tst_QxExponentialNotationValidator::largestCountWritesEveryDigit()
{
    // 0.1 is 0.1000000000000000055511151231257827021181583404541015625 exactly;
    // beyond its 55 significant digits only zeros follow, up to the 1074 decimals
    // that bound every double.
    const QxExponentialNotationValidator validator(INT_MAX, nullptr);
    QString text = QStringLiteral("0.1");
    validator.fixup(text);
    const QString digits
            = QStringLiteral("1.000000000000000055511151231257827021181583404541015625");
    QCOMPARE(text.left(digits.size()), digits);
    QCOMPARE(text.size(), 2 + 1074 + 4);
    QCOMPARE(text.mid(digits.size(), 1074 + 2 - digits.size()),
             QString(1074 + 2 - digits.size(), QLatin1Char('0')));
    QVERIFY(text.endsWith(QLatin1String("e-01")));
}

// clang-format off
void tst_QxExponentialNotationValidator::localeRepair_data()
{
    addLocaleRepairColumns();

    QTest::newRow("de: rounds") << german() << "12345" << writtenByQt(german(), 1.23e4, 'e', 2, "1,23e+04");
    QTest::newRow("de: group separators") << german() << "1.234,5" << writtenByQt(german(), 1.23e3, 'e', 2, "1,23e+03");
    QTest::newRow("de: negative") << german() << "-0,5" << writtenByQt(german(), -0.5, 'e', 2, "-5,00e-01");
    QTest::newRow("de: exponent input") << german() << "1,5e3" << writtenByQt(german(), 1.5e3, 'e', 2, "1,50e+03");
    QTest::newRow("de: no number") << german() << "abc" << writtenByQt(german(), 0, 'e', 2, "0,00e+00");
    QTest::newRow("en_US: group separators") << english() << "1,234,567" << writtenByQt(english(), 1.23e6, 'e', 2, "1.23e+06");
    QTest::newRow("ar_EG: own digits") << arabicEgypt() << inArabic("12345") << writtenByQt(arabicEgypt(), 1.23e4, 'e', 2, inArabic("1.23e+04"));
    QTest::newRow("ar_EG: negative") << arabicEgypt() << inArabic("-0.000123456") << writtenByQt(arabicEgypt(), -1.23e-4, 'e', 2, inArabic("-1.23e-04"));
}
// clang-format on

void tst_QxExponentialNotationValidator::localeRepair()
{
    checkLocaleRepairRow<QxExponentialNotationValidator>(3);
}

// clang-format off
void tst_QxExponentialNotationValidator::lineEditShowsRepair_data()
{
    addLineEditRepairColumns();
    addLineEditRepairRows("too many decimals", "1.23456e4", "1.23e+04");
    addLineEditRepairRows("no number", "abc", "0.00e+00");
    addLineEditRepairRows("German", german(), "1,23456e4", writtenByQt(german(), 1.23e4, 'e', 2, "1,23e+04"));
}
// clang-format on

void tst_QxExponentialNotationValidator::lineEditShowsRepair()
{
    checkLineEditRepairRow<QxExponentialNotationValidator>(3);
}

// clang-format off
void tst_QxExponentialNotationValidator::typing_data()
{
    addTypingColumns();
    addTypingRows("rounded when leaving", QLocale::c(), "12345.678", "12345.678", "1.2e+04");
    addTypingRows("the same number kept as typed", QLocale::c(), "12000", "12000", "12000");
    addTypingRows("exponent typed", QLocale::c(), "-1.234e-5", "-1.234e-5", "-1.2e-05");
    addTypingRows("Arabic (Egypt)", arabicEgypt(), inArabic("12345"), inArabic("12345"), writtenByQt(arabicEgypt(), 1.2e4, 'e', 1, inArabic("1.2e+04")));
}
// clang-format on

void tst_QxExponentialNotationValidator::typing()
{
    checkTypingRow<QxExponentialNotationValidator>(2);
}

QTEST_MAIN(tst_QxExponentialNotationValidator)
#include "tst_QxExponentialNotationValidator.moc"
