#pragma once

#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QValidator>
#include <QtTest>

#include <lumo/QxCustomValidator.h>

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

// The locales the repairs are tried in besides C: a decimal comma, a decimal
// point with comma grouping, and digits of its own.
inline QLocale german()
{
    return QLocale(QLocale::German, QLocale::Germany);
}

inline QLocale english()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

inline QLocale arabicEgypt()
{
    return QLocale(QLocale::Arabic, QLocale::Egypt);
}

// A number written with ASCII digits, "." and "," as Arabic (Egypt) writes
// it: Arabic-Indic digits, its own decimal point and group separator.
inline QString inArabic(const char *number)
{
    QString text = QString::fromLatin1(number);
    for (QChar &c : text) {
        if (c.isDigit())
            c = QChar(0x0660 + c.digitValue());
        else if (c == QLatin1Char('.'))
            c = QChar(0x066b);
        else if (c == QLatin1Char(','))
            c = QChar(0x066c);
    }
    return text;
}

// The current row's repair (columns input and expected) through Qt's
// one-argument fixup.
inline void checkRepairRow(const QxCustomValidator &validator)
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    validator.fixup(input);
    QCOMPARE(input, expected);
}

// What Qt's own formatter writes, QLocale::toString(value, format, precision):
// the expected text of rows with an exponent or a sign, whose symbols the
// locale data of Qt 6 changed (German and US English write the exponent "E",
// Arabic (Egypt) writes it "\u0627\u0633" and puts an Arabic letter mark,
// U+061C, before "-" and "+"). qt5Text is the text that Qt 5 writes; there it
// must agree, so that on Qt 5 the row holds its literal text.
inline QString writtenByQt(const QLocale &locale, double value, char format, int precision,
                           const QString &qt5Text)
{
    const QString written = locale.toString(value, format, precision);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    if (written != qt5Text)
        return QStringLiteral("[QLocale::toString writes %1, not %2]").arg(written, qt5Text);
#else
    Q_UNUSED(qt5Text)
#endif
    return written;
}

// Makes a locale the default one for as long as it lives: validators built
// meanwhile take it as their locale().
class DefaultLocale
{
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale &) = delete;
    DefaultLocale &operator=(const DefaultLocale &) = delete;

private:
    const QLocale m_previous;
};

// Columns of a locale table, checked by checkLocaleRepairRow().
inline void addLocaleRepairColumns()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
}

// Body of a locale table's test: a Validator built on setting and given the
// row's locale repairs input to expected, and a text that the repair changed
// is one the same validator accepts (or, where acceptable is false, refuses),
// also where Qt 6.4's QLocale::toDouble does not read it (Arabic (Egypt)'s own
// signs and exponent, see writtenByQt()). A second repair of an acceptable
// text keeps it where the notation is stable (the auto rules may choose
// another notation for the rounded value).
template<class Validator, class Setting>
void checkLocaleRepairRow(const Setting &setting, bool acceptable = true, bool stable = true)
{
    QFETCH(QLocale, locale);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    Validator validator(setting, nullptr);
    validator.setLocale(locale);
    QString text = input;
    validator.fixup(text);
    QCOMPARE(text, expected);
    if (text != input) {
        int position = 0;
        QCOMPARE(validator.validate(text, position) == QValidator::Acceptable, acceptable);
    }
    if (acceptable && stable) {
        QString again = text;
        validator.fixup(again);
        QCOMPARE(again, text);
    }
}

// A shown, active window with a line edit that validator checks, holding the
// focus, and a second line edit to move the focus to.
struct EditWindow
{
    explicit EditWindow(const QValidator &validator)
    {
        auto *layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        next = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(next);
        edit->setValidator(&validator);
        window.show();
    }

    // Without a window manager (bare Xvfb) nobody activates a new window.
    bool ready()
    {
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus();
        return QTest::qWaitFor([this] { return edit->hasFocus(); });
    }

    QWidget window;
    QLineEdit *edit = nullptr;
    QLineEdit *next = nullptr;
};

// Puts validator on a shown line edit holding input, then ends the editing by
// moving the focus to the next field or by pressing Return. Qt then runs the
// validator's fixup() and shows the repair only if validate() accepts it, in
// which case editingFinished() is emitted once.
inline void checkLineEditRepair(const QValidator &validator, const QString &input,
                                const QString &expected, bool pressReturn)
{
    EditWindow window(validator);
    QVERIFY(window.ready());
    QLineEdit *edit = window.edit;
    QLineEdit *next = window.next;
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

// Columns of a lineEditShowsRepair() table, checked by checkLineEditRepairRow().
inline void addLineEditRepairColumns()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("pressReturn");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
}

// Rows for checkLineEditRepairRow(): both ways of ending the editing, for one
// input under a default locale. Values of columns added before
// addLineEditRepairColumns() come last, as leading.
template<class... Leading>
void addLineEditRepairRows(const char *name, const QLocale &locale, const QString &input,
                           const QString &expected, const Leading &...leading)
{
    for (const bool pressReturn : { false, true }) {
        QTestData &row = QTest::addRow("%s, %s", name, pressReturn ? "Return" : "focus out");
        (row << ... << leading) << locale << pressReturn << input << expected;
    }
}

template<class... Leading>
void addLineEditRepairRows(const char *name, const QString &input, const QString &expected,
                           const Leading &...leading)
{
    addLineEditRepairRows(name, QLocale::c(), input, expected, leading...);
}

// Body of lineEditShowsRepair(): a Validator built on setting while the row's
// locale is the default one, on a line edit (see checkLineEditRepair()).
template<class Validator, class Setting> void checkLineEditRepairRow(const Setting &setting)
{
    QFETCH(QLocale, locale);
    QFETCH(bool, pressReturn);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const DefaultLocale scope(locale);
    const Validator validator(setting, nullptr);
    checkLineEditRepair(validator, input, expected, pressReturn);
}

// Types keys into a shown line edit that validator checks, one key event a
// character as a person types, then leaves the field with Tab or Return. The
// field shows shown after the typing (what the validator let through) and
// expected once the editing ended, where editingFinished() fired once and the
// text is acceptable, unless acceptable is false (then Qt keeps the text and
// emits nothing).
inline void checkTyping(const QValidator &validator, const QString &keys, const QString &shown,
                        const QString &expected, bool pressReturn, bool acceptable = true)
{
    EditWindow window(validator);
    QVERIFY(window.ready());
    QLineEdit *edit = window.edit;
    QLineEdit *next = window.next;

    // One key event a character, with the character as its text, as a
    // keyboard of the locale sends it (keyClicks() takes ASCII only).
    for (const QChar key : keys) {
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(key), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(key), Qt::NoModifier);
    }
    QCOMPARE(edit->text(), shown);
    QSignalSpy finished(edit, &QLineEdit::editingFinished);
    QTest::keyClick(edit, pressReturn ? Qt::Key_Return : Qt::Key_Tab);
    if (!pressReturn)
        QTRY_VERIFY(next->hasFocus());
    QCOMPARE(edit->text(), expected);
    QCOMPARE(edit->hasAcceptableInput(), acceptable);
    QCOMPARE(finished.count(), acceptable ? 1 : 0);
}

// Columns of a typing() table, checked by checkTypingRow().
inline void addTypingColumns()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("pressReturn");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
}

// Rows for checkTypingRow(), left with Tab and with Return. Values of columns
// added before addTypingColumns() come last, as leading.
template<class... Leading>
void addTypingRows(const char *name, const QLocale &locale, const QString &keys,
                   const QString &shown, const QString &expected, const Leading &...leading)
{
    for (const bool pressReturn : { false, true }) {
        QTestData &row = QTest::addRow("%s, %s", name, pressReturn ? "Return" : "Tab");
        (row << ... << leading) << locale << pressReturn << keys << shown << expected;
    }
}

// Body of typing(): a Validator built on setting, given the row's locale.
template<class Validator, class Setting> void checkTypingRow(const Setting &setting)
{
    QFETCH(QLocale, locale);
    QFETCH(bool, pressReturn);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    Validator validator(setting, nullptr);
    validator.setLocale(locale);
    checkTyping(validator, keys, shown, expected, pressReturn);
}
