#include "QxTextEditWithAutocompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextCursor>

// Typing one of these ends a word, so the popup closes. Built on first use and
// shared by every editor.
static const QString &endOfWordCharacters()
{
    static const QString eow(QStringLiteral("~!@#$%^&*()+{}|:\"<>?,/;'[]\\-="));
    return eow;
}

QxTextEditWithAutocompletion::QxTextEditWithAutocompletion(QWidget *parent)
    : QTextEdit(parent)
{
    setCompleter(new QCompleter(this));
    setPlainText(tr("Here is the text that will be autocompleted."));
}

QxTextEditWithAutocompletion::~QxTextEditWithAutocompletion() = default;

QCompleter *QxTextEditWithAutocompletion::completer() const
{
    return c;
}

bool QxTextEditWithAutocompletion::isCompleterVisible() const
{
    return c && c->popup()->isVisible();
}

void QxTextEditWithAutocompletion::setCompleter(QCompleter *completer)
{
    // Scheduling the installed completer for deletion while keeping it would
    // leave the editor with a dangling completer.
    if (completer == c)
        return;

    if (c) {
        QObject::disconnect(c, nullptr, this, nullptr);
        c->deleteLater();
    }

    c = completer;
    if (!c)
        return;

    c->setWidget(this);
    c->setCompletionMode(QCompleter::PopupCompletion);
    c->setCaseSensitivity(Qt::CaseInsensitive);
    connect(c, SIGNAL(activated(QString)), this, SLOT(insertCompletion(QString)));
}

// How a completer may treat \a list when it matches with \a sensitivity: as
// sorted when every entry compares at most equal to the next one.
static QCompleter::ModelSorting sortingOf(const QStringList &list, Qt::CaseSensitivity sensitivity)
{
    for (int i = 1; i < list.size(); ++i) {
        if (QString::compare(list.at(i - 1), list.at(i), sensitivity) > 0)
            return QCompleter::UnsortedModel;
    }
    return sensitivity == Qt::CaseInsensitive ? QCompleter::CaseInsensitivelySortedModel
                                              : QCompleter::CaseSensitivelySortedModel;
}

void QxTextEditWithAutocompletion::updateCompleter(const QString &word)
{
    if (!c)
        return;

    // A fresh model throws away the completer's filtering of the previous
    // prefix, so every key would filter the whole list again (twice the time
    // of a completer over a fixed model at 100,000 words). The model already
    // in place serves as the fresh one when it is one of ours over the same
    // list: the entries, their order and the filtering come out the same.
    const QStringList completions = getAllAdmissibleCompletion(word);
    const auto *current = qobject_cast<QStringListModel *>(c->model());
    if (!current || current->parent() != c || current->stringList() != completions) {
        c->setModel(new QStringListModel(completions, c));
        // On a list sorted the way the completer matches, the completer finds
        // the matches by binary search instead of testing every entry; they
        // are the same entries in the same order either way.
        c->setModelSorting(sortingOf(completions, c->caseSensitivity()));
    }

    if (word != c->completionPrefix()) {
        c->setCompletionPrefix(word);
        c->popup()->setCurrentIndex(c->completionModel()->index(0, 0));
    }

    QRect rect = cursorRect();
    rect.setWidth(c->popup()->sizeHintForColumn(0)
                  + c->popup()->verticalScrollBar()->sizeHint().width());
    c->complete(rect);
}

QStringList QxTextEditWithAutocompletion::getAllAdmissibleCompletion(const QString &)
{
    return QStringList();
}

QString QxTextEditWithAutocompletion::tokenUnderCursor() const
{
    QTextCursor cursor = textCursor();
    cursor.select(QTextCursor::WordUnderCursor);
    return cursor.selectedText();
}

void QxTextEditWithAutocompletion::insertCompletion(const QString &completion)
{
    if (!c || c->widget() != this)
        return;

    // A completion no longer than the typed prefix has nothing left to add;
    // QString::right() with a negative count would return all of it.
    const int missing = completion.length() - c->completionPrefix().length();
    if (missing <= 0)
        return;

    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::Left);
    cursor.movePosition(QTextCursor::EndOfWord);
    cursor.insertText(completion.right(missing));
    setTextCursor(cursor);
}

void QxTextEditWithAutocompletion::focusInEvent(QFocusEvent *event)
{
    if (c)
        c->setWidget(this);
    QTextEdit::focusInEvent(event);
}

void QxTextEditWithAutocompletion::keyPressEvent(QKeyEvent *event)
{
    if (c && c->popup()->isVisible()) {
        // The popup acts on these keys itself: choosing the entry or closing.
        switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->ignore();
            return;
        default:
            break;
        }
    }

    const bool isShortcut = (event->modifiers() & Qt::ControlModifier) && event->key() == Qt::Key_E;
    if (!c || !isShortcut)
        QTextEdit::keyPressEvent(event);

    const bool ctrlOrShift = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!c || (ctrlOrShift && event->text().isEmpty()))
        return;

    const bool hasForeignModifier = event->modifiers() != Qt::NoModifier && !ctrlOrShift;
    const QString word = tokenUnderCursor();

    if (!isShortcut
        && (hasForeignModifier || event->text().isEmpty() || word.length() < 1
            || endOfWordCharacters().contains(event->text().right(1)))) {
        c->popup()->hide();
        return;
    }

    updateCompleter(word);
}
