#include <zvlib.h>

#include <QtTest>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ZvRoundingRule)

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

bool sameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

} // namespace

class tst_zvlib : public QObject
{
    Q_OBJECT

private slots:
    void decimals_data();
    void decimals();
    void significantDigits_data();
    void significantDigits();
    void hostileInput_data();
    void hostileInput();
};

void tst_zvlib::decimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<ZvRoundingRule>("rule");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");

    const ZvRoundingRule nearest = ZvRoundHalfAwayFromZero;
    QTest::newRow("pi to 2") << 3.14159 << nearest << 2 << 3.14;
    QTest::newRow("1.005 typed, not binary") << 1.005 << nearest << 2 << 1.01;
    QTest::newRow("0.285 typed, not binary") << 0.285 << nearest << 2 << 0.29;
    QTest::newRow("1.015") << 1.015 << nearest << 2 << 1.02;
    QTest::newRow("2.675") << 2.675 << nearest << 2 << 2.68;
    QTest::newRow("1.45 to 1") << 1.45 << nearest << 1 << 1.5;
    QTest::newRow("8.345 to 2") << 8.345 << nearest << 2 << 8.35;
    QTest::newRow("half away from zero, negative") << -2.5 << nearest << 0 << -3.0;
    QTest::newRow("carry through nines") << 9.995 << nearest << 2 << 10.0;
    QTest::newRow("below half of the last place") << 0.004 << nearest << 2 << 0.0;
    QTest::newRow("far below the last place") << 1e-10 << nearest << 2 << 0.0;
    QTest::newRow("half of the last place") << 0.005 << nearest << 2 << 0.01;
    QTest::newRow("negative count rounds to hundreds") << 1250.0 << nearest << -2 << 1300.0;
    QTest::newRow("more decimals than digits") << 0.1 << nearest << 30 << 0.1;
    QTest::newRow("zero") << 0.0 << nearest << 2 << 0.0;

    QTest::newRow("toward zero") << 2.999 << ZvRoundTowardZero << 2 << 2.99;
    QTest::newRow("toward zero, negative") << -2.999 << ZvRoundTowardZero << 2 << -2.99;
    QTest::newRow("away from zero") << 2.001 << ZvRoundAwayFromZero << 2 << 2.01;
    QTest::newRow("away from zero, negative") << -2.001 << ZvRoundAwayFromZero << 2 << -2.01;
    QTest::newRow("away from zero, far below") << 1e-10 << ZvRoundAwayFromZero << 2 << 0.01;
    QTest::newRow("half to even, down") << 2.5 << ZvRoundHalfToEven << 0 << 2.0;
    QTest::newRow("half to even, up") << 3.5 << ZvRoundHalfToEven << 0 << 4.0;
    QTest::newRow("half to even, above half") << 2.51 << ZvRoundHalfToEven << 0 << 3.0;
    QTest::newRow("half to even, 0.125") << 0.125 << ZvRoundHalfToEven << 2 << 0.12;
    QTest::newRow("floor, negative") << -1.21 << ZvRoundTowardNegativeInfinity << 1 << -1.3;
    QTest::newRow("floor, positive") << 1.29 << ZvRoundTowardNegativeInfinity << 1 << 1.2;
    QTest::newRow("ceiling, positive") << 1.21 << ZvRoundTowardPositiveInfinity << 1 << 1.3;
    QTest::newRow("ceiling, negative") << -1.29 << ZvRoundTowardPositiveInfinity << 1 << -1.2;
    QTest::newRow("unknown rule is nearest") << 1.25 << ZvRoundingRule(42) << 1 << 1.3;
}

void tst_zvlib::decimals()
{
    QFETCH(double, value);
    QFETCH(ZvRoundingRule, rule);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(ZvRoundToAmountOfDecimals(value, rule, decimals), expected);
}

void tst_zvlib::significantDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<ZvRoundingRule>("rule");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("expected");

    const ZvRoundingRule nearest = ZvRoundHalfAwayFromZero;
    QTest::newRow("small value") << 0.000123456 << nearest << 3 << 0.000123;
    QTest::newRow("large value") << 123456.0 << nearest << 3 << 123000.0;
    QTest::newRow("typed tie") << 1.005 << nearest << 3 << 1.01;
    QTest::newRow("carry adds a digit") << 999.6 << nearest << 3 << 1000.0;
    QTest::newRow("negative") << -0.0456789 << nearest << 2 << -0.046;
    QTest::newRow("exact already") << 100.0 << nearest << 3 << 100.0;
    QTest::newRow("zero digits taken as one") << 123.0 << nearest << 0 << 100.0;
    QTest::newRow("negative digits taken as one") << 987.0 << nearest << -5 << 1000.0;
    QTest::newRow("toward zero") << 129.0 << ZvRoundTowardZero << 2 << 120.0;
    QTest::newRow("half to even") << 125.0 << ZvRoundHalfToEven << 2 << 120.0;
    QTest::newRow("denormal") << 1.23456e-320 << nearest << 2 << 1.2e-320;
}

void tst_zvlib::significantDigits()
{
    QFETCH(double, value);
    QFETCH(ZvRoundingRule, rule);
    QFETCH(int, digits);
    QFETCH(double, expected);
    QCOMPARE(ZvRoundToAmountOfSignificantDigits(value, rule, digits), expected);
}

// Neither function may crash, hang or invoke undefined behaviour, whatever it
// is given; the sanitizer build runs these rows too.
void tst_zvlib::hostileInput_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("expectedDecimals");
    QTest::addColumn<double>("expectedDigits");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("nan") << nan << 2 << nan << nan;
    QTest::newRow("+inf") << inf << 2 << inf << inf;
    QTest::newRow("-inf") << -inf << 2 << -inf << -inf;
    QTest::newRow("-0 keeps its sign") << -0.0 << 2 << -0.0 << -0.0;
    QTest::newRow("DBL_MAX, huge count") << DBL_MAX << INT_MAX << DBL_MAX << DBL_MAX;
    QTest::newRow("DBL_MAX to 1 digit overflows") << DBL_MAX << 1 << DBL_MAX << inf;
    QTest::newRow("-DBL_MAX to 1 digit overflows") << -DBL_MAX << 1 << -DBL_MAX << -inf;
    QTest::newRow("smallest denormal, huge count") << 4.9e-324 << INT_MAX << 4.9e-324 << 4.9e-324;
    QTest::newRow("denormal to 2 decimals") << 1e-320 << 2 << 0.0 << 1e-320;
    QTest::newRow("most negative count") << 12.5 << INT_MIN << 0.0 << 10.0;
    QTest::newRow("DBL_MIN") << DBL_MIN << 400 << DBL_MIN << DBL_MIN;
}

void tst_zvlib::hostileInput()
{
    QFETCH(double, value);
    QFETCH(int, count);
    QFETCH(double, expectedDecimals);
    QFETCH(double, expectedDigits);

    const double decimals = ZvRoundToAmountOfDecimals(value, ZvRoundHalfAwayFromZero, count);
    const double digits = ZvRoundToAmountOfSignificantDigits(value, ZvRoundHalfAwayFromZero, count);
    QVERIFY2(sameDouble(decimals, expectedDecimals),
             qPrintable(QString::number(decimals, 'g', 17)));
    QVERIFY2(sameDouble(digits, expectedDigits), qPrintable(QString::number(digits, 'g', 17)));

    for (int rule = 0; rule <= 6; ++rule) {
        for (int n : { INT_MIN, -400, -1, 0, 1, 17, 400, INT_MAX }) {
            ZvRoundToAmountOfDecimals(value, ZvRoundingRule(rule), n);
            ZvRoundToAmountOfSignificantDigits(value, ZvRoundingRule(rule), n);
        }
    }
}

QTEST_APPLESS_MAIN(tst_zvlib)
#include "tst_zvlib.moc"
