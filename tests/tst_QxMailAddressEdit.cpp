#include <lumo/QxMailAddressEdit.h>

#include <QtTest>
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#include <QRegExpValidator>
#else
#include <QRegularExpressionValidator>
#endif

namespace {

// Accepts everything and rewrites the text it is handed.
class RewritingValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = QStringLiteral("rewritten");
        return Acceptable;
    }
};

} // namespace

class tst_QxMailAddressEdit : public QObject
{
    Q_OBJECT

private slots:
    void validator();
    void validate_data();
    void validate();
    void typing_data();
    void typing();
    void replacedValidator();
    void removedValidator();
};

void tst_QxMailAddressEdit::validator()
{
    QxMailAddressEdit edit(nullptr);
    QCOMPARE(edit.metaObject(), &QLineEdit::staticMetaObject);
    QVERIFY(edit.text().isEmpty());
    QVERIFY(edit.placeholderText().isEmpty());
    QVERIFY(edit.validator());
    QCOMPARE(edit.validator()->parent(), &edit);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    const auto *validator = qobject_cast<const QRegExpValidator *>(edit.validator());
    QVERIFY(validator);
    QCOMPARE(validator->regExp().caseSensitivity(), Qt::CaseInsensitive);
    QCOMPARE(validator->regExp().patternSyntax(), QRegExp::RegExp);
#else
    // QRegExp is gone from Qt 6's validators.
    QVERIFY(qobject_cast<const QRegularExpressionValidator *>(edit.validator()));
#endif
}

void tst_QxMailAddressEdit::validate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");

    const int acceptable = QValidator::Acceptable;
    const int intermediate = QValidator::Intermediate;
    const int invalid = QValidator::Invalid;

    QTest::newRow("plain address") << "name@example.com" << acceptable;
    QTest::newRow("upper case") << "NAME@EXAMPLE.COM" << acceptable;
    QTest::newRow("mixed case") << "NaMe@ExAmPle.CoM" << acceptable;
    QTest::newRow("two-letter domain") << "a@b.cd" << acceptable;
    QTest::newRow("four-letter domain") << "a@b.info" << acceptable;
    QTest::newRow("six-letter domain") << "name@example.museum" << acceptable;
    QTest::newRow("online") << "x@shop.online" << acceptable;
    QTest::newRow("63-letter domain") << "a@b." + QString(63, QLatin1Char('q')) << acceptable;
    QTest::newRow("every local character") << "a.b_c%d+e-f9@x-y.z0.org" << acceptable;
    QTest::newRow("dots at the edges") << ".a.@..b...cd" << acceptable;

    QTest::newRow("empty") << "" << intermediate;
    QTest::newRow("local part only") << "name" << intermediate;
    QTest::newRow("at sign last") << "name@" << intermediate;
    QTest::newRow("no last label") << "name@example" << intermediate;
    QTest::newRow("full stop last") << "name@example." << intermediate;
    QTest::newRow("one-letter domain") << "a@b.c" << intermediate;
    QTest::newRow("digit in the last label") << "a@b.c0m" << intermediate;
    QTest::newRow("nothing between at sign and full stop") << "a@.com" << intermediate;
    QTest::newRow("64-letter domain") << "a@b." + QString(64, QLatin1Char('q')) << intermediate;

    QTest::newRow("space") << "na me@example.com" << invalid;
    QTest::newRow("leading space") << " name@example.com" << invalid;
    QTest::newRow("two at signs") << "a@b@example.com" << invalid;
    QTest::newRow("at sign first") << "@example.com" << invalid;
    QTest::newRow("underscore in the domain") << "a@ex_ample.com" << invalid;
    QTest::newRow("non-ASCII letter") << QStringLiteral("jörg@example.com") << invalid;
    // Case folding beyond ASCII: Qt 5's QRegExpValidator takes the dotless i
    // and the long s for the letters I and S, and nothing else; both builds
    // match alike.
    QTest::newRow("dotless i") << QStringLiteral("\u0131@example.com") << acceptable;
    QTest::newRow("long s") << QStringLiteral("a@b.\u017Fe") << acceptable;
    QTest::newRow("Kelvin sign") << QStringLiteral("\u212A@example.com") << invalid;
    QTest::newRow("dotted capital I") << QStringLiteral("\u0130@example.com") << invalid;
    QTest::newRow("Kelvin sign, domain") << QStringLiteral("a@b.\u212Am") << invalid;
    QTest::newRow("angle brackets") << "<a@b.cd>" << invalid;
}

void tst_QxMailAddressEdit::validate()
{
    QFETCH(QString, text);
    QFETCH(int, state);

    QxMailAddressEdit edit(nullptr);
    QString copy = text;
    int position = 0;
    QCOMPARE(int(edit.validator()->validate(copy, position)), state);
    // Pasting goes through the validator: a refused text never gets in.
    edit.insert(text);
    QCOMPARE(edit.text(), state == QValidator::Invalid ? QString() : text);
    edit.setText(text);
    QCOMPARE(edit.isValid(), state == QValidator::Acceptable);
    QCOMPARE(edit.text(), text);
}

void tst_QxMailAddressEdit::typing_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("space in an empty field") << "" << 0 << " "
                                             << "";
    QTest::newRow("spaces while typing") << "" << 0 << "na me@exa mple.org "
                                         << "name@example.org";
    QTest::newRow("space inside an address") << "name@example.org" << 4 << " "
                                             << "name@example.org";
    QTest::newRow("second at sign") << "name@example.org" << 2 << "@"
                                    << "name@example.org";
    QTest::newRow("address typed whole") << "" << 0 << "x@shop.online"
                                         << "x@shop.online";
}

void tst_QxMailAddressEdit::typing()
{
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    QxMailAddressEdit edit(nullptr);
    edit.setText(start);
    edit.show();
    edit.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    edit.setCursorPosition(cursor);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.text(), expected);
}

void tst_QxMailAddressEdit::replacedValidator()
{
    QxMailAddressEdit edit(nullptr);
    edit.setText(QStringLiteral("name"));
    QVERIFY(!edit.isValid());
    edit.setValidator(new RewritingValidator(&edit));
    QVERIFY(edit.isValid());
    QCOMPARE(edit.text(), QStringLiteral("name"));
}

void tst_QxMailAddressEdit::removedValidator()
{
    QxMailAddressEdit edit(nullptr);
    edit.setText(QStringLiteral("name@example.org"));
    edit.setValidator(nullptr);
    QVERIFY(!edit.isValid());
    QCOMPARE(edit.text(), QStringLiteral("name@example.org"));
}

QTEST_MAIN(tst_QxMailAddressEdit)
#include "tst_QxMailAddressEdit.moc"
