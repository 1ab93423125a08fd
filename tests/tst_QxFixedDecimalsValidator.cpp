#include <lumo/QxFixedDecimalsValidator.h>

#include <QtTest>

#include <climits>
#include <cmath>

#include "validatortest.h"

class tst_QxFixedDecimalsValidator : public QObject
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
    void outsideTheRange_data();
    void outsideTheRange();
};

// clang-format off
void tst_QxFixedDecimalsValidator::fixup_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rounds") << 2 << "3.14159" << "3.14";
    QTest::newRow("trims zeros") << 2 << "2.5" << "2.5";
    QTest::newRow("integer loses its point") << 2 << "7" << "7";
    QTest::newRow("no number reads as 0") << 2 << "abc" << "0";
    QTest::newRow("typed decimal, not binary") << 2 << "1.005" << "1.01";
    QTest::newRow("carry into the integer part") << 2 << "9.999" << "10";
    QTest::newRow("negative") << 2 << "-3.14159" << "-3.14";
    QTest::newRow("integer zeros stay") << 2 << "1200" << "1200";
    QTest::newRow("exponent input") << 2 << "1.23456e2" << "123.46";
    QTest::newRow("zero decimals") << 0 << "2.5" << "3";
    QTest::newRow("negative count rounds to hundreds") << -2 << "1234.5" << "1200";
    QTest::newRow("count beyond the digits keeps the exact binary value") << 2000 << "0.1" << "0.1000000000000000055511151231257827021181583404541015625";
    QTest::newRow("largest count") << INT_MAX << "1.5" << "1.5";
    QTest::newRow("smallest count rounds everything away") << INT_MIN << "1.5" << "0";
}
// clang-format on

void tst_QxFixedDecimalsValidator::fixup()
{
    QFETCH(int, decimals);
    checkRepairRow(QxFixedDecimalsValidator(decimals, nullptr));
}

// clang-format off
void tst_QxFixedDecimalsValidator::localeRepair_data()
{
    addLocaleRepairColumns();

    QTest::newRow("de: rounds") << german() << "3,14159" << "3,14";
    QTest::newRow("de: group separators") << german() << "1.234,5678" << "1234,57";
    QTest::newRow("de: negative") << german() << "-0,125" << "-0,13";
    QTest::newRow("de: trims zeros after a comma") << german() << "2,5000" << "2,5";
    QTest::newRow("de: integer loses its comma") << german() << "7,000" << "7";
    QTest::newRow("de: exponent input") << german() << "1,23456e2" << "123,46";
    QTest::newRow("de: a point only groups, so no number") << german() << "3.14159" << "0";
    QTest::newRow("de: no number") << german() << "abc" << "0";
    QTest::newRow("en_US: group separators") << english() << "1,234.5678" << "1234.57";
    QTest::newRow("en_US: negative") << english() << "-1,234.5" << "-1234.5";
    QTest::newRow("ar_EG: own digits") << arabicEgypt() << inArabic("3.14159") << inArabic("3.14");
    QTest::newRow("ar_EG: group separators") << arabicEgypt() << inArabic("1,234.5678") << inArabic("1234.57");
    QTest::newRow("ar_EG: negative") << arabicEgypt() << inArabic("-2.5") << writtenByQt(arabicEgypt(), -2.5, 'f', 1, inArabic("-2.5"));
    QTest::newRow("C: no group separators") << QLocale::c() << "1,234.5678" << "0";
}
// clang-format on

void tst_QxFixedDecimalsValidator::localeRepair()
{
    checkLocaleRepairRow<QxFixedDecimalsValidator>(2);
}

// clang-format off
void tst_QxFixedDecimalsValidator::lineEditShowsRepair_data()
{
    addLineEditRepairColumns();
    addLineEditRepairRows("too many decimals", "3.14159", "3.14");
    addLineEditRepairRows("no number", "abc", "0");
    addLineEditRepairRows("German", german(), "3,14159", "3,14");
    addLineEditRepairRows("German, group separators", german(), "1.234,5678", "1234,57");
    addLineEditRepairRows("Arabic (Egypt), negative", arabicEgypt(), inArabic("-2.5556"), writtenByQt(arabicEgypt(), -2.56, 'f', 2, inArabic("-2.56")));
}
// clang-format on

void tst_QxFixedDecimalsValidator::lineEditShowsRepair()
{
    checkLineEditRepairRow<QxFixedDecimalsValidator>(2);
}

// clang-format off
void tst_QxFixedDecimalsValidator::typing_data()
{
    QTest::addColumn<int>("decimals");
    addTypingColumns();
    // The decimals column is the validator's digit count.
    addTypingRows("5 decimals kept", QLocale::c(), "1.23456", "1.23456", "1.23456", 5);
    addTypingRows("rounded when leaving", QLocale::c(), "3.141", "3.141", "3.14", 2);
    addTypingRows("the same number kept as typed", QLocale::c(), "3.10", "3.10", "3.10", 2);
    addTypingRows("no decimals", QLocale::c(), "2.5", "2.5", "3", 0);
    addTypingRows("sign and exponent", QLocale::c(), "-1.23456e2", "-1.23456e2", "-123.46", 2);
    addTypingRows("C: a group separator is refused", QLocale::c(), "1,234.5", "1234.5", "1234.5", 2);
    addTypingRows("en_US: group separators", english(), "1,234.567", "1,234.567", "1234.57", 2);
    addTypingRows("German", german(), "1.234,5678", "1.234,5678", "1234,57", 2);
    addTypingRows("Arabic (Egypt), negative", arabicEgypt(), inArabic("-2.5556"), inArabic("-2.5556"), writtenByQt(arabicEgypt(), -2.56, 'f', 2, inArabic("-2.56")), 2);
}
// clang-format on

void tst_QxFixedDecimalsValidator::typing()
{
    QFETCH(int, decimals);
    checkTypingRow<QxFixedDecimalsValidator>(decimals);
}

// clang-format off
void tst_QxFixedDecimalsValidator::outsideTheRange_data()
{
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("top");
    QTest::addColumn<QString>("text");

    QTest::newRow("above") << 0.0 << 10.0 << "12.5";
    QTest::newRow("above, too many decimals") << 0.0 << 10.0 << "12.555";
    QTest::newRow("below") << -1.0 << 1.0 << "-2";
    QTest::newRow("inside") << -1.0 << 1.0 << "0.25";
    QTest::newRow("inside, too many decimals") << -1.0 << 1.0 << "0.255";
    QTest::newRow("a sign alone") << 0.0 << 1.0 << "-";
}
// clang-format on

// Outside bottom()..top() the state is QDoubleValidator's (Intermediate, so a
// line edit keeps the text and reports it not acceptable); inside, the repair
// decides as elsewhere.
void tst_QxFixedDecimalsValidator::outsideTheRange()
{
    QFETCH(double, bottom);
    QFETCH(double, top);
    QFETCH(QString, text);
    QxFixedDecimalsValidator validator(2, nullptr);
    validator.setRange(bottom, top, 2);
    QDoubleValidator oracle(bottom, top, 1000, nullptr);
    QString repaired = text;
    validator.fixup(repaired);
    int position = text.size();
    QValidator::State expected = oracle.validate(text, position);
    if (expected == QValidator::Acceptable && repaired != text)
        expected = QValidator::Intermediate;
    QString typed = text;
    QCOMPARE(validator.validate(typed, position), expected);
    QCOMPARE(typed, text);
}

QTEST_MAIN(tst_QxFixedDecimalsValidator)
#include "tst_QxFixedDecimalsValidator.moc"
