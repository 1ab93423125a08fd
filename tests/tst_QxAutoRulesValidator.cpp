#include <lumo/QxAutoRulesValidator.h>

#include <QtTest>

#include <climits>
#include <cmath>

#include "validatortest.h"

class tst_QxAutoRulesValidator : public QObject
{
    Q_OBJECT

private slots:
    void fixup_data();
    void fixup();
    void localeRepair_data();
    void localeRepair();
    void lineEditShowsRepair_data();
    void lineEditShowsRepair();
    void typing_data();
    void typing();
};

// clang-format off
void tst_QxAutoRulesValidator::fixup_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero stays as typed") << 3 << "0" << "0";
    QTest::newRow("negative zero stays as typed") << 3 << "-0" << "-0";
    QTest::newRow("zero with decimals stays as typed") << 3 << "0.000" << "0.000";
    QTest::newRow("no number stays as typed") << 3 << "abc" << "abc";
    QTest::newRow("small in exponent notation") << 3 << "0.005" << "5.00e-03";
    QTest::newRow("small negative") << 3 << "-0.0001" << "-1.00e-04";
    QTest::newRow("just below the lower limit") << 3 << "0.0099999" << "1.00e-02";
    QTest::newRow("lower limit is fixed point") << 3 << "0.01" << "0.01";
    QTest::newRow("negative lower limit") << 3 << "-0.01" << "-0.01";
    QTest::newRow("three significant digits") << 3 << "0.012345" << "0.0123";
    QTest::newRow("trims zeros") << 3 << "5" << "5";
    QTest::newRow("no decimals left") << 3 << "123.456" << "123";
    QTest::newRow("only the writing rounds") << 3 << "999.9999" << "1000";
    QTest::newRow("upper limit is fixed point") << 3 << "1000" << "1000";
    QTest::newRow("just above the upper limit") << 3 << "1000.5" << "1.00e+03";
    QTest::newRow("large negative") << 3 << "-12345" << "-1.23e+04";
    QTest::newRow("one digit, limit 10") << 1 << "10" << "10";
    QTest::newRow("one digit, above 10") << 1 << "10.5" << "1e+01";
    QTest::newRow("limit beyond the double range") << 400 << "1e308" << exactE308();
    QTest::newRow("largest count") << INT_MAX << "1e308" << exactE308();
    QTest::newRow("smallest count, Qt's default precision") << INT_MIN << "1.5" << "1.500000e+00";
}
// clang-format on

void tst_QxAutoRulesValidator::fixup()
{
    QFETCH(int, digits);
    checkRepairRow(QxAutoRulesValidator(digits, nullptr));
}

// clang-format off
void tst_QxAutoRulesValidator::localeRepair_data()
{
    addLocaleRepairColumns();

    QTest::newRow("de: fixed point") << german() << "3,14159" << "3,14";
    QTest::newRow("de: small in exponent notation") << german() << "0,005" << writtenByQt(german(), 5e-3, 'e', 2, "5,00e-03");
    QTest::newRow("de: group separators") << german() << "1.000,5" << writtenByQt(german(), 1e3, 'e', 2, "1,00e+03");
    QTest::newRow("de: negative") << german() << "-12.345" << writtenByQt(german(), -1.23e4, 'e', 2, "-1,23e+04");
    QTest::newRow("de: trims zeros after a comma") << german() << "5,000" << "5";
    QTest::newRow("de: zero stays as typed") << german() << "0,0" << "0,0";
    QTest::newRow("en_US: group separators") << english() << "1,000.5" << writtenByQt(english(), 1e3, 'e', 2, "1.00e+03");
    QTest::newRow("ar_EG: fixed point") << arabicEgypt() << inArabic("3.14159") << inArabic("3.14");
    QTest::newRow("ar_EG: exponent") << arabicEgypt() << inArabic("0.005") << writtenByQt(arabicEgypt(), 5e-3, 'e', 2, inArabic("5.00e-03"));
}
// clang-format on

void tst_QxAutoRulesValidator::localeRepair()
{
    checkLocaleRepairRow<QxAutoRulesValidator>(3, true, false);
}

// clang-format off
void tst_QxAutoRulesValidator::lineEditShowsRepair_data()
{
    addLineEditRepairColumns();
    addLineEditRepairRows("fixed point", "3.14159", "3.14");
    addLineEditRepairRows("exponent", "0.0012345", "1.23e-03");
    addLineEditRepairRows("German, fixed point", german(), "3,14159", "3,14");
    addLineEditRepairRows("German, exponent", german(), "0,0012345", writtenByQt(german(), 1.23e-3, 'e', 2, "1,23e-03"));
}
// clang-format on

void tst_QxAutoRulesValidator::lineEditShowsRepair()
{
    checkLineEditRepairRow<QxAutoRulesValidator>(3);
}

// clang-format off
void tst_QxAutoRulesValidator::typing_data()
{
    addTypingColumns();
    addTypingRows("large: exponent", QLocale::c(), "123456789", "123456789", "1.23e+08");
    addTypingRows("the same number kept as typed", QLocale::c(), "1.00e+03", "1.00e+03", "1.00e+03");
    addTypingRows("fixed point rounded", QLocale::c(), "3.14159", "3.14159", "3.14");
}
// clang-format on

void tst_QxAutoRulesValidator::typing()
{
    checkTypingRow<QxAutoRulesValidator>(3);
}

QTEST_MAIN(tst_QxAutoRulesValidator)
#include "tst_QxAutoRulesValidator.moc"
