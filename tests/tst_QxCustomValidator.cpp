#include <lumo/QxCustomValidator.h>

#include <QtTest>

#include <cmath>

class tst_QxCustomValidator : public QObject
{
    Q_OBJECT

private slots:
    void removeTrailingZero_data();
    void removeTrailingZero();
    void settings();
    void baseRepairLeavesText_data();
    void baseRepairLeavesText();
};

// clang-format off
void tst_QxCustomValidator::removeTrailingZero_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zeros after decimals") << "2.500" << "2.5";
    QTest::newRow("all decimals zero") << "100.00" << "100";
    QTest::newRow("one zero decimal") << "3.0" << "3";
    QTest::newRow("comma decimal") << "1,250" << "1,25";
    QTest::newRow("integer keeps its zeros") << "100" << "100";
    QTest::newRow("zero") << "0.000" << "0";
    QTest::newRow("negative zero") << "-0.00" << "-0";
    QTest::newRow("only separator and zeros") << ".000" << "";
    QTest::newRow("grouping comma read as decimal") << "1,000" << "1";
    QTest::newRow("nothing to trim") << "12.5" << "12.5";
    QTest::newRow("nan") << "nan" << "nan";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("only a full stop") << "." << "";
    QTest::newRow("only separators") << ".,.," << ".,.";
    QTest::newRow("separator then comma end") << "1.5," << "1.5";
    QTest::newRow("one separator goes, not two") << "5.,0" << "5.";
    QTest::newRow("exponent digits are not spared") << "1.5e+10" << "1.5e+1";
    QTest::newRow("very long") << QString("1.") + QString(100000, QLatin1Char('0')) << "1";
}
// clang-format on

void tst_QxCustomValidator::removeTrailingZero()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QxCustomValidator::removeTrailingZero(input);
    QCOMPARE(input, expected);
}

void tst_QxCustomValidator::settings()
{
    QxCustomValidator withDecimals(7, nullptr);
    QCOMPARE(withDecimals.decimals(), 7);
    QVERIFY(std::isinf(withDecimals.bottom()) && std::isinf(withDecimals.top()));

    // Acceptance is QDoubleValidator's own.
    const QxCustomValidator byDefault(nullptr);
    QString text = QStringLiteral("1.2345");
    int pos = 0;
    QCOMPARE(byDefault.validate(text, pos), QValidator::Invalid);
    text = QStringLiteral("-1e300");
    QCOMPARE(byDefault.validate(text, pos), QValidator::Acceptable);
}

// clang-format off
void tst_QxCustomValidator::baseRepairLeavesText_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("number") << "2.500";
    QTest::newRow("garbage") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("nan") << "nan";
}
// clang-format on

void tst_QxCustomValidator::baseRepairLeavesText()
{
    QFETCH(QString, input);
    const QxCustomValidator validator(nullptr);
    QString text = input;
    validator.fixup(text);
    QCOMPARE(text, input);
    validator.fixup(text, ZvRoundTowardZero);
    QCOMPARE(text, input);
    QCOMPARE(validator.fixup(2.675, ZvRoundHalfAwayFromZero), 2.675);
}

QTEST_MAIN(tst_QxCustomValidator)
#include "tst_QxCustomValidator.moc"
