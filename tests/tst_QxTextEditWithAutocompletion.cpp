#include <lumo/QxTextEditWithAutocompletion.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStringListModel>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// An editor with a vocabulary of its own, as a subclass would write it.
class WordEdit : public QxTextEditWithAutocompletion
{
public:
    using QxTextEditWithAutocompletion::QxTextEditWithAutocompletion;
    using QxTextEditWithAutocompletion::tokenUnderCursor;

    QStringList words { "HELLO", "help", "helmet", "he_man", "he2o", "world" };
    QStringList asked;

protected:
    QStringList getAllAdmissibleCompletion(const QString &word) override
    {
        asked.append(word);
        return words;
    }
};

class FrenchTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (QByteArray(context) == "QxTextEditWithAutocompletion"
            && QByteArray(sourceText) == "Here is the text that will be autocompleted.")
            return QStringLiteral("Voici le texte à compléter.");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class tst_QxTextEditWithAutocompletion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithOwnCompleterAndText();
    void defaultTextIsTranslated();
    void firstLetterShowsPopup();
    void keyAfterWord_data();
    void keyAfterWord();
    void backspaceClosesOnEmptyWord();
    void shortcutListsEverythingOutsideWord();
    void popupKeysNeverReachText_data();
    void popupKeysNeverReachText();
    void popupKeysIgnoredWhenSentToEditor();
    void completionKeepsTypedCase();
    void completionNoLongerThanPrefix_data();
    void completionNoLongerThanPrefix();
    void completionForAnotherWidgetIgnored();
    void completesWordEndingAtCursor_data();
    void completesWordEndingAtCursor();
    void popupAsWideAsShownRows();
    void modelFollowsTheList();
    void sortedAndUnsortedListsCompleteAlike_data();
    void sortedAndUnsortedListsCompleteAlike();
    void replacingCompleter();
    void settingSameCompleterKeepsIt();
    void completerDeletedByItsOwner();
    void withoutCompleterKeysGoToEditor();
    void baseClassOffersNothing();
    void inputMethodCommitOpensPopup_data();
    void inputMethodCommitOpensPopup();
    void deadKeyComposeWritesNoLetterTwice();
    void wordEndingAtCursor_data();
    void wordEndingAtCursor();
    void popupInsideEditorRightToLeft();
    void filterModeOffers_data();
    void filterModeOffers();
    void filterModeFollowsTheWord();
    void choosingInFilterMode_data();
    void choosingInFilterMode();
    void completionShortcutOpensPopup_data();
    void completionShortcutOpensPopup();
    void completionShortcutRefused_data();
    void completionShortcutRefused();

private:
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString &text = QString());
    void typeText(const QString &text);
    void typeAnyText(const QString &text);
    QStringList offered() const;

    QWidget *window = nullptr;
    WordEdit *editor = nullptr;
};

void tst_QxTextEditWithAutocompletion::init()
{
    window = new QWidget;
    editor = new WordEdit(window);
    QVBoxLayout *layout = new QVBoxLayout(window);
    layout->addWidget(editor);
    window->resize(400, 300);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    editor->clear();
}

void tst_QxTextEditWithAutocompletion::cleanup()
{
    delete window;
    window = nullptr;
    editor = nullptr;
}

// Through the window, as the platform delivers keys: while the popup is open,
// Qt hands them to the popup first.
void tst_QxTextEditWithAutocompletion::type(Qt::Key key, Qt::KeyboardModifiers modifiers,
                                            const QString &text)
{
    if (text.isNull())
        QTest::keyClick(window->windowHandle(), key, modifiers);
    else
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), key, text, modifiers);
}

void tst_QxTextEditWithAutocompletion::typeText(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window->windowHandle(), c.toLatin1());
}

// One key event a character (a surrogate pair is one), its text the
// character, as a keyboard sends letters beyond ASCII.
void tst_QxTextEditWithAutocompletion::typeAnyText(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const int length = text.at(i).isHighSurrogate() ? 2 : 1;
        const QChar c = text.at(i);
        const Qt::Key key = length == 2 ? Qt::Key_unknown : Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, window->windowHandle(), key, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

// The entries the popup lists, in order.
QStringList tst_QxTextEditWithAutocompletion::offered() const
{
    QStringList entries;
    QAbstractItemModel *completions = editor->completer()->completionModel();
    for (int row = 0; row < completions->rowCount(); ++row)
        entries << completions->index(row, 0).data().toString();
    return entries;
}

void tst_QxTextEditWithAutocompletion::startsWithOwnCompleterAndText()
{
    QxTextEditWithAutocompletion fresh;
    QCOMPARE(fresh.toPlainText(), QStringLiteral("Here is the text that will be autocompleted."));
    QCompleter *completer = fresh.completer();
    QVERIFY(completer);
    QCOMPARE(completer->parent(), &fresh);
    QCOMPARE(completer->widget(), &fresh);
    QCOMPARE(completer->completionMode(), QCompleter::PopupCompletion);
    QCOMPARE(completer->caseSensitivity(), Qt::CaseInsensitive);
    QVERIFY(!fresh.isCompleterVisible());
    QCOMPARE(fresh.metaObject()->className(), "QxTextEditWithAutocompletion");
    QCOMPARE(fresh.filterMode(), QxTextEditWithAutocompletion::StartsWith);
    QCOMPARE(fresh.completionShortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    // Designer and style sheets reach the mode by its name.
    QVERIFY(fresh.setProperty("filterMode", QStringLiteral("WordStart")));
    QCOMPARE(fresh.filterMode(), QxTextEditWithAutocompletion::WordStart);
}

void tst_QxTextEditWithAutocompletion::defaultTextIsTranslated()
{
    FrenchTranslator translator;
    QCoreApplication::installTranslator(&translator);
    QxTextEditWithAutocompletion translated;
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(translated.toPlainText(), QStringLiteral("Voici le texte à compléter."));
}

void tst_QxTextEditWithAutocompletion::firstLetterShowsPopup()
{
    QVERIFY(!editor->isCompleterVisible());
    type(Qt::Key_H);
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), QStringLiteral("h"));
    QCOMPARE(editor->asked, QStringList { "h" });
    QCompleter *completer = editor->completer();
    QCOMPARE(completer->completionPrefix(), QStringLiteral("h"));
    QCOMPARE(completer->completionCount(), 5);
    QCOMPARE(completer->popup()->currentIndex().row(), 0);
    // As wide as the entries plus a vertical scroll bar, below the cursor.
    QAbstractItemView *popup = completer->popup();
    QCOMPARE(popup->width(),
             popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    QVERIFY(popup->geometry().top()
            > editor->viewport()->mapToGlobal(editor->cursorRect().topLeft()).y());
}

void tst_QxTextEditWithAutocompletion::keyAfterWord_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("visible");
    // The prefix the completer works with afterwards; null when not refreshed.
    QTest::addColumn<QString>("prefix");

    const QString endOfWord = QStringLiteral("~!@#$%^&*()+{}|:\"<>?,/;'[]\\-=");
    QCOMPARE(endOfWord.size(), 29);
    for (const QChar c : endOfWord)
        QTest::addRow("end of word '%c'", c.toLatin1())
                << int(Qt::Key(c.unicode())) << QString(c) << int(Qt::NoModifier) << false
                << QString();

    QTest::newRow("Alt with a letter")
            << int(Qt::Key_L) << "l" << int(Qt::AltModifier) << false << QString();
    QTest::newRow("keypad digit") << int(Qt::Key_2) << "2" << int(Qt::KeypadModifier) << false
                                  << QString();
    QTest::newRow("arrow without text")
            << int(Qt::Key_Left) << "" << int(Qt::NoModifier) << false << QString();
    QTest::newRow("letter") << int(Qt::Key_L) << "l" << int(Qt::NoModifier) << true << "hel";
    QTest::newRow("Shift with a letter")
            << int(Qt::Key_L) << "L" << int(Qt::ShiftModifier) << true << "heL";
    QTest::newRow("underscore") << int(Qt::Key_Underscore) << "_" << int(Qt::NoModifier) << true
                                << "he_";
    QTest::newRow("digit") << int(Qt::Key_2) << "2" << int(Qt::NoModifier) << true << "he2";
    QTest::newRow("bare Shift") << int(Qt::Key_Shift) << "" << int(Qt::NoModifier) << true
                                << QString();
    QTest::newRow("bare Control") << int(Qt::Key_Control) << "" << int(Qt::NoModifier) << true
                                  << QString();
}

void tst_QxTextEditWithAutocompletion::keyAfterWord()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(bool, visible);
    QFETCH(QString, prefix);

    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    const int asked = editor->asked.size();

    type(Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(editor->isCompleterVisible(), visible);
    if (prefix.isNull()) {
        QCOMPARE(editor->asked.size(), asked);
    } else {
        QCOMPARE(editor->asked.size(), asked + 1);
        QCOMPARE(editor->completer()->completionPrefix(), prefix);
        QCOMPARE(editor->toPlainText(), prefix);
    }
}

void tst_QxTextEditWithAutocompletion::backspaceClosesOnEmptyWord()
{
    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    type(Qt::Key_Backspace);
    QCOMPARE(editor->toPlainText(), QStringLiteral("h"));
    QVERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->completer()->completionPrefix(), QStringLiteral("h"));
    type(Qt::Key_Backspace);
    QCOMPARE(editor->toPlainText(), QString());
    QVERIFY(!editor->isCompleterVisible());
}

void tst_QxTextEditWithAutocompletion::shortcutListsEverythingOutsideWord()
{
    typeText("ab ");
    QVERIFY(!editor->isCompleterVisible());
    QCOMPARE(editor->tokenUnderCursor(), QString());

    type(Qt::Key_E, Qt::ControlModifier);
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->asked.last(), QString());
    QCOMPARE(editor->completer()->completionCount(), editor->words.size());
    QCOMPARE(editor->toPlainText(), QStringLiteral("ab "));
}

void tst_QxTextEditWithAutocompletion::popupKeysNeverReachText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    // The popup takes the first entry, HELLO, or closes; the letters typed
    // keep their case either way.
    QTest::newRow("Return") << int(Qt::Key_Return) << "heLLO";
    QTest::newRow("Enter") << int(Qt::Key_Enter) << "heLLO";
    QTest::newRow("Tab") << int(Qt::Key_Tab) << "heLLO";
    QTest::newRow("Backtab") << int(Qt::Key_Backtab) << "he";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "he";
}

void tst_QxTextEditWithAutocompletion::popupKeysNeverReachText()
{
    QFETCH(int, key);
    QFETCH(QString, expected);

    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    type(Qt::Key(key));
    QCOMPARE(editor->toPlainText(), expected);
    QVERIFY(!editor->isCompleterVisible());
}

void tst_QxTextEditWithAutocompletion::popupKeysIgnoredWhenSentToEditor()
{
    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_Backtab }) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(editor, &event);
        QVERIFY(!event.isAccepted());
    }
    QCOMPARE(editor->toPlainText(), QStringLiteral("he"));
    QVERIFY(editor->isCompleterVisible());
}

void tst_QxTextEditWithAutocompletion::completionKeepsTypedCase()
{
    editor->setPlainText(QStringLiteral("say  world"));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(4);
    editor->setTextCursor(cursor);

    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->completer()->popup()->currentIndex().data().toString(),
             QStringLiteral("HELLO"));
    type(Qt::Key_Return);
    QCOMPARE(editor->toPlainText(), QStringLiteral("say heLLO world"));
    QCOMPARE(editor->textCursor().position(), 9);
}

void tst_QxTextEditWithAutocompletion::completionNoLongerThanPrefix_data()
{
    QTest::addColumn<QString>("completion");
    QTest::addColumn<QString>("expected");

    QTest::newRow("shorter than the prefix") << "he"
                                             << "hello";
    QTest::newRow("as long as the prefix") << "HELLO"
                                           << "hello";
    QTest::newRow("empty") << ""
                           << "hello";
    QTest::newRow("longer: the tail") << "helloworld"
                                      << "helloworld";
}

void tst_QxTextEditWithAutocompletion::completionNoLongerThanPrefix()
{
    QFETCH(QString, completion);
    QFETCH(QString, expected);

    typeText("hello");
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->completer()->completionPrefix(), QStringLiteral("hello"));
    QVERIFY(QMetaObject::invokeMethod(editor->completer(), "activated",
                                      Q_ARG(QString, completion)));
    QCOMPARE(editor->toPlainText(), expected);
}

void tst_QxTextEditWithAutocompletion::completionForAnotherWidgetIgnored()
{
    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    type(Qt::Key_Escape);
    QTextEdit other(window);
    window->layout()->addWidget(&other);
    other.setFocus();
    QTRY_VERIFY(other.hasFocus());
    editor->completer()->setWidget(&other);

    QVERIFY(QMetaObject::invokeMethod(editor->completer(), "activated",
                                      Q_ARG(QString, QStringLiteral("help"))));
    QCOMPARE(editor->toPlainText(), QStringLiteral("he"));

    // Coming back into focus takes the completer back.
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    QCOMPARE(editor->completer()->widget(), editor);
    QVERIFY(QMetaObject::invokeMethod(editor->completer(), "activated",
                                      Q_ARG(QString, QStringLiteral("help"))));
    QCOMPARE(editor->toPlainText(), QStringLiteral("help"));
}

void tst_QxTextEditWithAutocompletion::completesWordEndingAtCursor_data()
{
    // A '|' marks the cursor. After the keys, Return chooses the first entry,
    // foo, when the popup is open, and goes to the text otherwise.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("shortcut");
    // The word being completed; null when no popup may be open.
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("after");

    // clang-format off
    QTest::newRow("after a space, shortcut") << "ab |" << "" << true << "" << "ab foo|";
    QTest::newRow("start of a word, shortcut") << "ab |cd" << "" << true << "" << "ab foo|cd";
    QTest::newRow("start of the text, shortcut") << "|cd" << "" << true << "" << "foo|cd";
    QTest::newRow("middle of a word, shortcut") << "fo|xy" << "" << true << "fo" << "foo|xy";
    QTest::newRow("end of a word, shortcut") << "ab fo|" << "" << true << "fo" << "ab foo|";
    QTest::newRow("letter in the middle of a word") << "f|xy" << "o" << false << "fo" << "foo|xy";
    QTest::newRow("letter at the start of a word") << "ab |oo" << "f" << false << "f" << "ab foo|oo";
    QTest::newRow("space in the middle of a word") << "Here|island" << " " << false << QString() << "Here \n|island";
    QTest::newRow("space before a word") << "ab|island" << " " << false << QString() << "ab \n|island";
    QTest::newRow("end-of-word character before a word") << "fo|island" << "(" << false << QString() << "fo(\n|island";
    // clang-format on
}

void tst_QxTextEditWithAutocompletion::completesWordEndingAtCursor()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(bool, shortcut);
    QFETCH(QString, prefix);
    QFETCH(QString, after);

    editor->words = QStringList { "foo", "island", "isle" };
    editor->setPlainText(QString(before).remove(QLatin1Char('|')));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(before.indexOf(QLatin1Char('|')));
    editor->setTextCursor(cursor);

    typeText(typed);
    if (shortcut)
        type(Qt::Key_E, Qt::ControlModifier);
    if (prefix.isNull()) {
        QVERIFY(!editor->isCompleterVisible());
    } else {
        QTRY_VERIFY(editor->isCompleterVisible());
        QCOMPARE(editor->completer()->completionPrefix(), prefix);
        // A fresh completer's empty prefix has no current entry yet.
        if (!editor->completer()->popup()->currentIndex().isValid())
            type(Qt::Key_Down);
        QCOMPARE(editor->completer()->popup()->currentIndex().row(), 0);
    }
    type(Qt::Key_Return);
    QVERIFY(!editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), QString(after).remove(QLatin1Char('|')));
    QCOMPARE(editor->textCursor().position(), after.indexOf(QLatin1Char('|')));
}

// The popup is as wide as the rows it can show, not as the widest match
// further down the list, which the user has not scrolled to.
void tst_QxTextEditWithAutocompletion::popupAsWideAsShownRows()
{
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("h%1").arg(i, 2, 10, QLatin1Char('0'));
    words[30] = QStringLiteral("h30") + QString(60, QLatin1Char('w'));
    editor->words = words;
    editor->completer()->setMaxVisibleItems(7);

    type(Qt::Key_H);
    QTRY_VERIFY(editor->isCompleterVisible());
    QAbstractItemView *popup = editor->completer()->popup();
    int shownWidth = 0;
    for (int row = 0; row < 7; ++row)
        shownWidth
                = qMax(shownWidth, popup->sizeHintForIndex(popup->model()->index(row, 0)).width());
    const int scrollBarWidth = popup->verticalScrollBar()->sizeHint().width();
    QCOMPARE(popup->width(), shownWidth + scrollBarWidth);
    QVERIFY(popup->width() < popup->sizeHintForColumn(0) + scrollBarWidth);
}

void tst_QxTextEditWithAutocompletion::modelFollowsTheList()
{
    type(Qt::Key_H);
    QTRY_VERIFY(editor->isCompleterVisible());
    QPointer<QAbstractItemModel> first = editor->completer()->model();
    QVERIFY(qobject_cast<QStringListModel *>(first));
    QCOMPARE(first->parent(), editor->completer());

    // The same list: the model in place serves, with the completer's
    // filtering of the previous prefix.
    type(Qt::Key_E);
    QCOMPARE(editor->completer()->model(), first.data());
    QCOMPARE(editor->completer()->completionCount(), 5);

    // Another list: a fresh model over it replaces the previous one.
    editor->words = QStringList { "hedge", "hello", "zebra" };
    type(Qt::Key_L);
    QAbstractItemModel *second = editor->completer()->model();
    QVERIFY(first.isNull());
    QVERIFY(qobject_cast<QStringListModel *>(second));
    QCOMPARE(second->parent(), editor->completer());
    QCOMPARE(qobject_cast<QStringListModel *>(second)->stringList(), editor->words);
    QCOMPARE(editor->completer()->completionCount(), 1);
}

void tst_QxTextEditWithAutocompletion::sortedAndUnsortedListsCompleteAlike_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::newRow("unsorted") << QStringList { "help", "Hello", "world", "helmet", "HELD", "he" };
    QTest::newRow("sorted ignoring case")
            << QStringList { "he", "HELD", "Hello", "helmet", "help", "world" };
    QTest::newRow("sorted by case only")
            << QStringList { "HELD", "Hello", "he", "helmet", "help", "world" };
}

// On a list sorted ignoring case the completer searches by halves; the
// entries offered, and their order, are those of the list filtered in order.
void tst_QxTextEditWithAutocompletion::sortedAndUnsortedListsCompleteAlike()
{
    QFETCH(QStringList, words);
    editor->words = words;
    for (const QString &typed : { QString("h"), QString("hel"), QString("help") }) {
        editor->clear();
        typeText(typed);
        QTRY_VERIFY(editor->isCompleterVisible());
        QStringList expected;
        for (const QString &word : words) {
            if (word.startsWith(typed, Qt::CaseInsensitive))
                expected << word;
        }
        QStringList offered;
        QAbstractItemModel *completions = editor->completer()->completionModel();
        for (int row = 0; row < completions->rowCount(); ++row)
            offered << completions->index(row, 0).data().toString();
        QCOMPARE(offered, expected);
    }
}

void tst_QxTextEditWithAutocompletion::replacingCompleter()
{
    QPointer<QCompleter> old = editor->completer();
    QObject owner;
    QCompleter *replacement = new QCompleter(&owner);
    editor->setCompleter(replacement);

    QCOMPARE(editor->completer(), replacement);
    QCOMPARE(replacement->parent(), &owner);
    QCOMPARE(replacement->widget(), editor);
    QCOMPARE(replacement->completionMode(), QCompleter::PopupCompletion);
    QCOMPARE(replacement->caseSensitivity(), Qt::CaseInsensitive);

    // The replaced one completes nothing and goes at the next turn of the loop.
    editor->setPlainText(QStringLiteral("x"));
    QVERIFY(old);
    QVERIFY(QMetaObject::invokeMethod(old, "activated", Q_ARG(QString, QStringLiteral("xyz"))));
    QCOMPARE(editor->toPlainText(), QStringLiteral("x"));
    QTRY_VERIFY(old.isNull());

    editor->clear();
    type(Qt::Key_H);
    QTRY_VERIFY(editor->isCompleterVisible());
    QVERIFY(replacement->popup()->isVisible());

    // The deletion applies whoever the parent is.
    QPointer<QCompleter> guarded = replacement;
    editor->setCompleter(nullptr);
    QTRY_VERIFY(guarded.isNull());
}

void tst_QxTextEditWithAutocompletion::settingSameCompleterKeepsIt()
{
    QPointer<QCompleter> completer = editor->completer();
    editor->setCompleter(completer);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(completer);
    QCOMPARE(editor->completer(), completer.data());

    type(Qt::Key_H);
    QTRY_VERIFY(editor->isCompleterVisible());
    type(Qt::Key_Return);
    // One connection only: the tail is inserted once.
    QCOMPARE(editor->toPlainText(), QStringLiteral("hELLO"));
}

void tst_QxTextEditWithAutocompletion::completerDeletedByItsOwner()
{
    QObject *owner = new QObject;
    editor->setCompleter(new QCompleter(owner));
    delete owner;
    QCOMPARE(editor->completer(), nullptr);
    type(Qt::Key_H);
    type(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("h"));
    QVERIFY(!editor->isCompleterVisible());
}

void tst_QxTextEditWithAutocompletion::withoutCompleterKeysGoToEditor()
{
    editor->setCompleter(nullptr);
    QCOMPARE(editor->completer(), nullptr);
    QVERIFY(QMetaObject::invokeMethod(editor, "insertCompletion",
                                      Q_ARG(QString, QStringLiteral("hello"))));
    QCOMPARE(editor->toPlainText(), QString());
    typeText("he");
    type(Qt::Key_E, Qt::ControlModifier);
    type(Qt::Key_Return);
    QCOMPARE(editor->toPlainText(), QStringLiteral("he\n"));
    QVERIFY(!editor->isCompleterVisible());
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(editor->asked.isEmpty());
}

void tst_QxTextEditWithAutocompletion::baseClassOffersNothing()
{
    QxTextEditWithAutocompletion *plain = new QxTextEditWithAutocompletion(window);
    window->layout()->addWidget(plain);
    plain->clear();
    plain->setFocus();
    QTRY_VERIFY(plain->hasFocus());
    type(Qt::Key_H);
    type(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(plain->toPlainText(), QStringLiteral("h"));
    QVERIFY(plain->completer()->model());
    QCOMPARE(plain->completer()->model()->rowCount(), 0);
    QVERIFY(!plain->isCompleterVisible());
}

// clang-format off
void tst_QxTextEditWithAutocompletion::inputMethodCommitOpensPopup_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<bool>("shown");

    const QStringList japanese { "日本語", "日本人", "中国" };
    QTest::newRow("Japanese commit") << japanese << "日本" << "" << true;
    QTest::newRow("Latin commit") << QStringList { "apple", "apricot" } << "ap" << "" << true;
    QTest::newRow("composing only") << japanese << "" << "日本" << false;
    QTest::newRow("commit ending in punctuation") << QStringList { "apple" } << "ap," << "" << false;
}
// clang-format on

// An input method's commit opens the popup as it does on a QLineEdit with a
// QCompleter, the oracle; text still being composed does not.
void tst_QxTextEditWithAutocompletion::inputMethodCommitOpensPopup()
{
    QFETCH(QStringList, words);
    QFETCH(QString, commit);
    QFETCH(QString, preedit);
    QFETCH(bool, shown);

    editor->words = words;
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(editor, &event);
    QTRY_COMPARE(editor->isCompleterVisible(), shown);
    if (shown) {
        QCOMPARE(editor->completer()->completionPrefix(), commit);
        QCOMPARE(editor->toPlainText(), commit);
    }
    editor->completer()->popup()->hide();

    QLineEdit oracle(window);
    window->layout()->addWidget(&oracle);
    oracle.show();
    auto *completer = new QCompleter(words, &oracle);
    oracle.setCompleter(completer);
    oracle.setFocus();
    QTRY_VERIFY(oracle.hasFocus());
    QInputMethodEvent same(preedit, {});
    same.setCommitString(commit);
    QApplication::sendEvent(&oracle, &same);
    QTRY_COMPARE(completer->popup()->isVisible(), shown);
}

// Keys "c", "a", "f", then "é" composed with a dead key (committed by the
// input method), then Return on the highlighted "café": one "é", not two.
void tst_QxTextEditWithAutocompletion::deadKeyComposeWritesNoLetterTwice()
{
    editor->words = QStringList { "café", "cafétéria" };
    typeText(QStringLiteral("caf"));
    QTRY_VERIFY(editor->isCompleterVisible());
    QInputMethodEvent compose(QString(), {});
    compose.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(editor, &compose);
    QCOMPARE(editor->toPlainText(), QStringLiteral("café"));
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->completer()->popup()->currentIndex().data().toString(),
             QStringLiteral("café"));
    type(Qt::Key_Return);
    QTRY_VERIFY(!editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), QStringLiteral("café"));

    // The longer entry completes the same word with its missing letters only.
    editor->clear();
    typeText(QStringLiteral("caf"));
    QApplication::sendEvent(editor, &compose);
    QTRY_VERIFY(editor->isCompleterVisible());
    type(Qt::Key_Down);
    type(Qt::Key_Return);
    QTRY_VERIFY(!editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), QStringLiteral("cafétéria"));
}

// clang-format off
void tst_QxTextEditWithAutocompletion::wordEndingAtCursor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("word");

    QTest::newRow("between two spaces") << "a  b" << 2 << "";
    QTest::newRow("after a trailing space") << "a " << 2 << "";
    QTest::newRow("after punctuation") << "foo.bar" << 4 << "";
    QTest::newRow("underscore and digits") << "x he_2o" << 7 << "he_2o";
    QTest::newRow("part before the cursor") << "hello" << 3 << "hel";
    QTest::newRow("precomposed letter") << "le café" << 7 << "café";
    QTest::newRow("combining accent") << "cafe\u0301" << 5 << "cafe\u0301";
    QTest::newRow("letters beyond the BMP") << QStringLiteral("x \U00020000\U00020001") << 6 << QStringLiteral("\U00020000\U00020001");
    QTest::newRow("a letter beyond the BMP after ASCII") << QStringLiteral("ab\U0001D400") << 4 << QStringLiteral("ab\U0001D400");
    QTest::newRow("an emoji is no word character") << QStringLiteral("a\U0001F600") << 3 << "";
}
// clang-format on

// The word ending at the cursor is the run of word characters there; Ctrl+E
// offers completions for it, the whole list where it is empty.
void tst_QxTextEditWithAutocompletion::wordEndingAtCursor()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, word);

    // An entry that continues the word, so that the popup has something to show.
    if (!word.isEmpty())
        editor->words.append(word + QStringLiteral("s"));
    editor->setPlainText(text);
    QTextCursor position = editor->textCursor();
    position.setPosition(cursor);
    editor->setTextCursor(position);
    QCOMPARE(editor->tokenUnderCursor(), word);

    editor->asked.clear();
    type(Qt::Key_E, Qt::ControlModifier);
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->asked.value(0), word);
    QCOMPARE(editor->completer()->completionPrefix(), word);
    if (word.isEmpty())
        QCOMPARE(editor->completer()->completionCount(), editor->words.size());
    type(Qt::Key_Escape);
    QTRY_VERIFY(!editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), text);
}

// Right to left the popup stays over the editor (ending at the cursor where
// there is room), as a QLineEdit's completer popup stays under its field.
void tst_QxTextEditWithAutocompletion::popupInsideEditorRightToLeft()
{
    window->setLayoutDirection(Qt::RightToLeft);
    typeText(QStringLiteral("he"));
    QTRY_VERIFY(editor->isCompleterVisible());
    const QWidget *popup = editor->completer()->popup();
    const QRect editorArea(editor->mapToGlobal(QPoint(0, 0)), editor->size());
    const QRect popupArea = popup->geometry();
    QVERIFY2(popupArea.left() >= editorArea.left() && popupArea.right() <= editorArea.right(),
             qPrintable(QStringLiteral("editor %1..%2, popup %3..%4")
                                .arg(editorArea.left())
                                .arg(editorArea.right())
                                .arg(popupArea.left())
                                .arg(popupArea.right())));
    window->setLayoutDirection(Qt::LeftToRight);
}

void tst_QxTextEditWithAutocompletion::filterModeOffers_data()
{
    QTest::addColumn<QxTextEditWithAutocompletion::FilterMode>("mode");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    using E = QxTextEditWithAutocompletion;
    const QStringList places { "plan", "market place", "replay", "Display", "sea_plane", "PLAZA" };
    // clang-format off
    QTest::newRow("starts with") << E::StartsWith << false << places << "pla" << QStringList { "plan", "PLAZA" };
    QTest::newRow("contains") << E::Contains << false << places << "pla" << places;
    QTest::newRow("contains, case-sensitive") << E::Contains << true << places << "pla" << QStringList { "plan", "market place", "replay", "Display", "sea_plane" };
    QTest::newRow("contains, accents folded") << E::Contains << false << QStringList { "café", "ÉTÉ", "cafe" } << "é" << QStringList { "café", "ÉTÉ" };
    QTest::newRow("word start: after a blank or underscore") << E::WordStart << false << places << "pla" << QStringList { "plan", "market place", "sea_plane", "PLAZA" };
    QTest::newRow("word start: lower then upper case") << E::WordStart << false << QStringList { "QxWidget", "Qxwidget", "width", "HTMLWidget", "setWidth" } << "wid" << QStringList { "QxWidget", "width", "setWidth" };
    QTest::newRow("word start: upper-case runs do not split") << E::WordStart << false << QStringList { "HTMLParser", "parse", "myParser" } << "par" << QStringList { "parse", "myParser" };
    QTest::newRow("word start: case-sensitive") << E::WordStart << true << QStringList { "QxWidget", "widget", "QxWIDGET" } << "Wid" << QStringList { "QxWidget" };
    QTest::newRow("word start: digits") << E::WordStart << false << QStringList { "v2", "file 2", "2nd", "x-2" } << "2" << QStringList { "file 2", "2nd", "x-2" };
    QTest::newRow("word start: punctuation") << E::WordStart << false << QStringList { "get_value", "forget", "my-getter", "(get)" } << "get" << QStringList { "get_value", "my-getter", "(get)" };
    QTest::newRow("word start: beyond the BMP") << E::WordStart << false << QStringList { "a \U00020000x", "\U00020000y" } << "\U00020000" << QStringList { "a \U00020000x", "\U00020000y" };
    // clang-format on
}

// Typed with keys; the entries offered are those of the list in order, and
// for Contains exactly what a QCompleter matching Qt::MatchContains offers.
void tst_QxTextEditWithAutocompletion::filterModeOffers()
{
    QFETCH(QxTextEditWithAutocompletion::FilterMode, mode);
    QFETCH(bool, caseSensitive);
    QFETCH(QStringList, words);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);

    editor->words = words;
    editor->setFilterMode(mode);
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    editor->completer()->setCaseSensitivity(sensitivity);
    typeAnyText(typed);
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), typed);
    QCOMPARE(offered(), expected);
    QCOMPARE(editor->completer()->popup()->currentIndex().row(), 0);

    if (mode == QxTextEditWithAutocompletion::Contains) {
        QStringListModel model(words);
        QCompleter oracle(&model);
        oracle.setFilterMode(Qt::MatchContains);
        oracle.setCaseSensitivity(sensitivity);
        oracle.setCompletionPrefix(typed);
        QStringList qt;
        for (int row = 0; row < oracle.completionCount(); ++row) {
            oracle.setCurrentRow(row);
            qt << oracle.currentCompletion();
        }
        QCOMPARE(offered(), qt);
    }
}

// Each key narrows or widens the matches: growing the word, erasing a letter,
// switching modes and lists while the popup is open.
void tst_QxTextEditWithAutocompletion::filterModeFollowsTheWord()
{
    editor->words = QStringList { "help", "shell", "yellow", "Hello", "world" };
    editor->setFilterMode(QxTextEditWithAutocompletion::Contains);
    typeText("el");
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(offered(), (QStringList { "help", "shell", "yellow", "Hello" }));
    typeText("l");
    QCOMPARE(offered(), (QStringList { "shell", "yellow", "Hello" }));
    typeText("o");
    QCOMPARE(offered(), (QStringList { "yellow", "Hello" }));
    type(Qt::Key_Backspace);
    type(Qt::Key_Backspace);
    QCOMPARE(editor->toPlainText(), QStringLiteral("el"));
    QCOMPARE(offered(), (QStringList { "help", "shell", "yellow", "Hello" }));

    editor->setFilterMode(QxTextEditWithAutocompletion::WordStart);
    typeText("l");
    QCOMPARE(offered(), QStringList());
    QVERIFY(!editor->isCompleterVisible());
    editor->clear();
    typeText("he");
    QTRY_VERIFY(editor->isCompleterVisible());
    QCOMPARE(offered(), (QStringList { "help", "Hello" }));

    editor->words = QStringList { "ahead", "head", "hello" };
    typeText("a");
    QCOMPARE(offered(), (QStringList { "head" }));

    editor->setFilterMode(QxTextEditWithAutocompletion::StartsWith);
    type(Qt::Key_Backspace);
    QCOMPARE(editor->completer()->completionPrefix(), QStringLiteral("he"));
    QCOMPARE(offered(), (QStringList { "head", "hello" }));
}

void tst_QxTextEditWithAutocompletion::choosingInFilterMode_data()
{
    QTest::addColumn<QxTextEditWithAutocompletion::FilterMode>("mode");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    using E = QxTextEditWithAutocompletion;
    // clang-format off
    QTest::newRow("contains: the entry replaces the word") << E::Contains << QStringList { "HELLO" } << "say ell" << "say HELLO";
    QTest::newRow("contains: a prefix keeps its letters") << E::Contains << QStringList { "hello" } << "HEL" << "HELlo";
    QTest::newRow("word start: replaces") << E::WordStart << QStringList { "market place" } << "a pla" << "a market place";
    QTest::newRow("starts with") << E::StartsWith << QStringList { "hello" } << "he" << "hello";
    // clang-format on
}

// Return on the first entry, with text after the cursor that stays as it is.
void tst_QxTextEditWithAutocompletion::choosingInFilterMode()
{
    QFETCH(QxTextEditWithAutocompletion::FilterMode, mode);
    QFETCH(QStringList, words);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    editor->words = words;
    editor->setFilterMode(mode);
    editor->setPlainText(QStringLiteral(" end"));
    editor->moveCursor(QTextCursor::Start);
    typeText(typed);
    QTRY_VERIFY(editor->isCompleterVisible());
    type(Qt::Key_Return);
    QCOMPARE(editor->toPlainText(), expected + QStringLiteral(" end"));
    QCOMPARE(editor->textCursor().position(), expected.size());
    QVERIFY(!editor->isCompleterVisible());
}

void tst_QxTextEditWithAutocompletion::completionShortcutOpensPopup_data()
{
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("opens");

    const QKeySequence ctrlE(Qt::CTRL | Qt::Key_E);
    const QKeySequence ctrlSpace(Qt::CTRL | Qt::Key_Space);
    const QKeySequence altK(Qt::ALT | Qt::Key_K);
    const int ctrl = Qt::ControlModifier;
    // clang-format off
    QTest::newRow("Ctrl+E by default") << ctrlE << int(Qt::Key_E) << ctrl << "\x05" << true;
    QTest::newRow("Ctrl+E without text") << ctrlE << int(Qt::Key_E) << ctrl << "" << true;
    QTest::newRow("Ctrl+Shift+E") << ctrlE << int(Qt::Key_E) << int(ctrl | Qt::ShiftModifier) << "\x05" << true;
    QTest::newRow("Ctrl+Space: its space is not typed") << ctrlSpace << int(Qt::Key_Space) << ctrl << " " << true;
    QTest::newRow("Ctrl+Space without text") << ctrlSpace << int(Qt::Key_Space) << ctrl << "" << true;
    QTest::newRow("Ctrl+E once replaced") << ctrlSpace << int(Qt::Key_E) << ctrl << "\x05" << false;
    QTest::newRow("Alt+K: its letter is not typed") << altK << int(Qt::Key_K) << int(Qt::AltModifier) << "k" << true;
    QTest::newRow("K alone is not Alt+K") << altK << int(Qt::Key_K) << int(Qt::NoModifier) << "k" << false;
    QTest::newRow("F2") << QKeySequence(Qt::Key_F2) << int(Qt::Key_F2) << int(Qt::NoModifier) << "" << true;
    // clang-format on
}

// After a space, where no word is under the cursor: the shortcut lists every
// entry and leaves the text alone; another key edits the text as usual.
void tst_QxTextEditWithAutocompletion::completionShortcutOpensPopup()
{
    QFETCH(QKeySequence, shortcut);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, opens);

    editor->setCompletionShortcut(shortcut);
    QCOMPARE(editor->completionShortcut(), shortcut);
    typeText("ab ");
    QVERIFY(!editor->isCompleterVisible());
    type(Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(editor->isCompleterVisible(), opens);
    if (opens) {
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab "));
        QCOMPARE(editor->asked.last(), QString());
        QCOMPARE(offered(), editor->words);
        // The open popup hands the shortcut on too: pressed again, it stays.
        type(Qt::Key(key), Qt::KeyboardModifiers(modifiers), text);
        QVERIFY(editor->isCompleterVisible());
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab "));
    } else if (modifiers == Qt::NoModifier) {
        QCOMPARE(editor->toPlainText(), QStringLiteral("ab ") + text);
    }
}

void tst_QxTextEditWithAutocompletion::completionShortcutRefused_data()
{
    QTest::addColumn<QKeySequence>("refused");
    QTest::newRow("empty") << QKeySequence();
    QTest::newRow("two chords") << QKeySequence(Qt::CTRL | Qt::Key_K, Qt::CTRL | Qt::Key_C);
    QTest::newRow("a bare modifier") << QKeySequence(Qt::Key_Control);
    QTest::newRow("unknown key") << QKeySequence(Qt::Key_unknown);
}

// A refused sequence keeps the current shortcut, which still works.
void tst_QxTextEditWithAutocompletion::completionShortcutRefused()
{
    QFETCH(QKeySequence, refused);
    const QKeySequence altK(Qt::ALT | Qt::Key_K);
    editor->setCompletionShortcut(altK);
    editor->setCompletionShortcut(refused);
    QCOMPARE(editor->completionShortcut(), altK);
    typeText("ab ");
    type(Qt::Key_K, Qt::AltModifier, QStringLiteral("k"));
    QVERIFY(editor->isCompleterVisible());
    QCOMPARE(editor->toPlainText(), QStringLiteral("ab "));
}

QTEST_MAIN(tst_QxTextEditWithAutocompletion)
#include "tst_QxTextEditWithAutocompletion.moc"
