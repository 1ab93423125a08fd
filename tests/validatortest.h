#pragma once

#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QValidator>
#include <QtTest>

#include <lumo/QxCustomValidator.h>

#include <cmath>

// Shared by the validator tests.

// 1e308 written out in full: the exact value of the double nearest to it.
inline QString exactE308()
{
    return QStringLiteral(
            "10000000000000000109790636294404554174049230967731184633681068290315758540491149153716"
            "33289784946888990612496697211725156115902837431400883283070091981460460312716645029330"
            "27185697489699588559043338384466165001178426897626212945177628091195786707458122783970"
            "171784415105291802893207873272974885715430223118336");
}

// Ten thousand nines: too large for a double, reads as infinity.
inline QString longInteger()
{
    return QString(10000, QLatin1Char('9'));
}

// 0.123456789012... with ten thousand digits after the point.
inline QString longFraction()
{
    return QStringLiteral("0.") + QStringLiteral("1234567890").repeated(1000);
}

// Two Arabic-Indic digits: QString::toDouble reads only ASCII digits.
inline QString arabicIndicDigits()
{
    return QStringLiteral("\u0661\u0662");
}

// What every validator of the family inherits: the Qt-level limits of the
// base (the whole double range, 3 decimals whatever the digit count), its
// parent, and QDoubleValidator's meta-object.
inline void checkFamilySettings(const QxCustomValidator &validator, const QObject *owner)
{
    QCOMPARE(validator.parent(), owner);
    QCOMPARE(validator.decimals(), 3);
    QVERIFY(std::isinf(validator.bottom()) && validator.bottom() < 0);
    QVERIFY(std::isinf(validator.top()) && validator.top() > 0);
    QCOMPARE(validator.metaObject(), &QDoubleValidator::staticMetaObject);
}

// Qt's one-argument repair writes what the rule-driven one writes with the
// rule of numeric value 2.
inline void checkOneArgumentFixup(const QxCustomValidator &validator, const QString &input,
                                  const QString &expected)
{
    QString viaQt = input;
    static_cast<const QValidator &>(validator).fixup(viaQt);
    QString withRule = input;
    validator.fixup(withRule, ZvRoundingRule(2));
    QCOMPARE(viaQt, withRule);
    QCOMPARE(viaQt, expected);
}

// Puts validator on a shown line edit holding input, then ends the editing by
// moving the focus to the next field or by pressing Return. Qt then runs the
// validator's fixup() and shows the repair only if validate() accepts it, in
// which case editingFinished() is emitted once.
inline void checkLineEditRepair(const QValidator &validator, const QString &input,
                                const QString &expected, bool pressReturn)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit(&window);
    auto *next = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(next);
    edit->setValidator(&validator);
    window.show();
    // Without a window manager (bare Xvfb) nobody activates a new window.
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    // setText() bypasses the validator: the field holds what typing could not give.
    edit->setText(input);
    QVERIFY(!edit->hasAcceptableInput());

    QSignalSpy finished(edit, &QLineEdit::editingFinished);
    if (pressReturn) {
        QTest::keyClick(edit, Qt::Key_Return);
    } else {
        next->setFocus();
        QTRY_VERIFY(next->hasFocus());
    }
    QTRY_COMPARE(edit->text(), expected);
    const bool repaired = expected != input;
    QCOMPARE(finished.count(), repaired ? 1 : 0);
    QCOMPARE(edit->hasAcceptableInput(), repaired);
}

// Rows for a data-driven test calling checkLineEditRepair(): both ways of
// ending the editing, for one input.
inline void addLineEditRepairRows(const char *name, const QString &input, const QString &expected)
{
    QTest::newRow(qPrintable(QStringLiteral("%1, focus out").arg(QLatin1String(name))))
            << false << input << expected;
    QTest::newRow(qPrintable(QStringLiteral("%1, Return").arg(QLatin1String(name))))
            << true << input << expected;
}
