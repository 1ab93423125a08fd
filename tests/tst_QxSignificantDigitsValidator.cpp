#include <lumo/QxSignificantDigitsValidator.h>

#include <QtTest>

#include <climits>
#include <cmath>

#include "validatortest.h"

class tst_QxSignificantDigitsValidator : public QObject
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
void tst_QxSignificantDigitsValidator::fixup_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("small value keeps three digits") << 3 << "0.000123456" << "0.000123";
    QTest::newRow("large value gets no decimals") << 3 << "123456" << "123000";
    QTest::newRow("exact power of ten") << 3 << "100" << "100";
    QTest::newRow("one") << 3 << "1" << "1";
    QTest::newRow("one tenth") << 3 << "0.1" << "0.1";
    QTest::newRow("negative") << 3 << "-2.71828" << "-2.72";
    QTest::newRow("rounding gains a digit") << 3 << "999.6" << "1000";
    QTest::newRow("decimals follow the rounded value") << 3 << "0.09996" << "0.1";
    QTest::newRow("one digit") << 1 << "0.15" << "0.2";
    QTest::newRow("zero stays as typed") << 3 << "0" << "0";
    QTest::newRow("zero with decimals stays as typed") << 3 << "0.000" << "0.000";
    QTest::newRow("negative zero stays as typed") << 3 << "-0" << "-0";
    QTest::newRow("no number stays as typed") << 3 << "abc" << "abc";
    QTest::newRow("below epsilon stays as typed") << 3 << "1e-20" << "1e-20";
    QTest::newRow("just below epsilon stays as typed") << 3 << "2.2204e-16" << "2.2204e-16";
    QTest::newRow("epsilon itself is repaired") << 3 << "2.220446049250313e-16" << "0.000000000000000222";
    QTest::newRow("largest count") << INT_MAX << "1.5" << "1.5";
    QTest::newRow("smallest count keeps one digit") << INT_MIN << "1.5" << "2";
}
// clang-format on

void tst_QxSignificantDigitsValidator::fixup()
{
    QFETCH(int, digits);
    checkRepairRow(QxSignificantDigitsValidator(digits, nullptr));
}

// clang-format off
void tst_QxSignificantDigitsValidator::localeRepair_data()
{
    addLocaleRepairColumns();

    QTest::newRow("de: rounds") << german() << "3,14159" << "3,14";
    QTest::newRow("de: group separators") << german() << "1.234,5" << "1230";
    QTest::newRow("de: negative") << german() << "-0,5" << "-0,5";
    QTest::newRow("de: trims zeros after a comma") << german() << "2,50000" << "2,5";
    QTest::newRow("de: zero stays as typed") << german() << "0,000" << "0,000";
    QTest::newRow("de: no number stays as typed") << german() << "abc" << "abc";
    QTest::newRow("en_US: group separators") << english() << "12,345,678" << "12300000";
    QTest::newRow("ar_EG: own digits") << arabicEgypt() << inArabic("3.14159") << inArabic("3.14");
    QTest::newRow("ar_EG: group separators") << arabicEgypt() << inArabic("1,234.5") << inArabic("1230");
}
// clang-format on

void tst_QxSignificantDigitsValidator::localeRepair()
{
    checkLocaleRepairRow<QxSignificantDigitsValidator>(3);
}

// clang-format off
void tst_QxSignificantDigitsValidator::lineEditShowsRepair_data()
{
    addLineEditRepairColumns();
    addLineEditRepairRows("too many decimals", "3.14159", "3.14");
    // Six decimals, more than QDoubleValidator's 3 of the family's settings.
    addLineEditRepairRows("repair beyond Qt's decimals", "0.000123456", "0.000123");
    addLineEditRepairRows("German", german(), "3,14159", "3,14");
}
// clang-format on

void tst_QxSignificantDigitsValidator::lineEditShowsRepair()
{
    checkLineEditRepairRow<QxSignificantDigitsValidator>(3);
}

// clang-format off
void tst_QxSignificantDigitsValidator::typing_data()
{
    addTypingColumns();
    addTypingRows("rounded when leaving", QLocale::c(), "1234.5", "1234.5", "1230");
    addTypingRows("many decimals typed", QLocale::c(), "0.000123456", "0.000123456", "0.000123");
    addTypingRows("the same number kept as typed", QLocale::c(), "1230.0", "1230.0", "1230.0");
    addTypingRows("German", german(), "3,14159", "3,14159", "3,14");
}
// clang-format on

void tst_QxSignificantDigitsValidator::typing()
{
    checkTypingRow<QxSignificantDigitsValidator>(3);
}

QTEST_MAIN(tst_QxSignificantDigitsValidator)
#include "tst_QxSignificantDigitsValidator.moc"
