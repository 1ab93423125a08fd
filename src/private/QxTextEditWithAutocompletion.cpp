#include "QxTextEditWithAutocompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextCursor>

#include <algorithm>

namespace {

// Typing one of these ends a word, so the popup closes. Built on first use and
// shared by every editor.
const QString &endOfWordCharacters()
{
    static const QString eow(QStringLiteral("~!@#$%^&*()+{}|:\"<>?,/;'[]\\-="));
    return eow;
}

// How a completer may treat \a list when it matches with \a sensitivity: as
// sorted when every entry compares at most equal to the next one.
QCompleter::ModelSorting sortingOf(const QStringList &list, Qt::CaseSensitivity sensitivity)
{
    for (int i = 1; i < list.size(); ++i) {
        if (QString::compare(list.at(i - 1), list.at(i), sensitivity) > 0)
            return QCompleter::UnsortedModel;
    }
    return sensitivity == Qt::CaseInsensitive ? QCompleter::CaseInsensitivelySortedModel
                                              : QCompleter::CaseSensitivelySortedModel;
}

// The width of the widest row that \a popup can show around its current row,
// \a shownRows at a time. Asking for every match would cost a delegate call per
// match on every key (a fifth of a second at 100,000 matches); for a list no
// longer than \a shownRows it is the width of every row.
int widthOfShownRows(QAbstractItemView *popup, int shownRows)
{
    popup->ensurePolished();
    const QAbstractItemModel *model = popup->model();
    if (!model)
        return 0;
    const int rows = model->rowCount(popup->rootIndex());
    const int current = std::max(popup->currentIndex().row(), 0);
    const int first = std::max(0, current - shownRows + 1);
    const int end = std::min(rows, current + std::max(shownRows, 1));
    int width = 0;
    for (int row = first; row < end; ++row)
        width = std::max(width,
                         popup->sizeHintForIndex(model->index(row, 0, popup->rootIndex())).width());
    return width;
}

} // namespace

QxTextEditWithAutocompletion::QxTextEditWithAutocompletion(QWidget *parent)
    : QTextEdit(parent)
{
    setCompleter(new QCompleter(this));
    setPlainText(tr("Here is the text that will be autocompleted."));
}

QxTextEditWithAutocompletion::~QxTextEditWithAutocompletion() = default;

QCompleter *QxTextEditWithAutocompletion::completer() const
{
    return currentCompleter;
}

bool QxTextEditWithAutocompletion::isCompleterVisible() const
{
    return currentCompleter && currentCompleter->popup()->isVisible();
}

void QxTextEditWithAutocompletion::setCompleter(QCompleter *completer)
{
    // Scheduling the installed completer for deletion while keeping it would
    // leave the editor with a dangling completer.
    if (completer == currentCompleter)
        return;

    if (currentCompleter) {
        QObject::disconnect(currentCompleter, nullptr, this, nullptr);
        currentCompleter->deleteLater();
    }

    currentCompleter = completer;
    if (!currentCompleter)
        return;

    currentCompleter->setWidget(this);
    currentCompleter->setCompletionMode(QCompleter::PopupCompletion);
    currentCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    connect(currentCompleter, SIGNAL(activated(QString)), this, SLOT(insertCompletion(QString)));
}

void QxTextEditWithAutocompletion::updateCompleter(const QString &word)
{
    if (!currentCompleter)
        return;

    // Every row of a completion list has the same height; knowing that, the
    // popup lays out its rows without asking for the size of each (a quarter
    // of a second at 100,000 matches).
    QAbstractItemView *popup = currentCompleter->popup();
    if (auto *list = qobject_cast<QListView *>(popup))
        list->setUniformItemSizes(true);

    // A fresh model throws away the completer's filtering of the previous
    // prefix, so every key would filter the whole list again (twice the time
    // of a completer over a fixed model at 100,000 words). The model already
    // in place serves as the fresh one when it is one of ours over the same
    // list: the entries, their order and the filtering come out the same.
    const QStringList completions = getAllAdmissibleCompletion(word);
    const auto *current = qobject_cast<QStringListModel *>(currentCompleter->model());
    if (!current || current->parent() != currentCompleter || current->stringList() != completions) {
        currentCompleter->setModel(new QStringListModel(completions, currentCompleter));
        // On a list sorted the way the completer matches, the completer finds
        // the matches by binary search instead of testing every entry; they
        // are the same entries in the same order either way.
        currentCompleter->setModelSorting(
                sortingOf(completions, currentCompleter->caseSensitivity()));
    }

    if (word != currentCompleter->completionPrefix()) {
        currentCompleter->setCompletionPrefix(word);
        popup->setCurrentIndex(currentCompleter->completionModel()->index(0, 0));
    }

    QRect rect = cursorRect();
    const int width = widthOfShownRows(popup, currentCompleter->maxVisibleItems())
            + popup->verticalScrollBar()->sizeHint().width();
    rect.setWidth(width);
    currentCompleter->complete(rect);
    if (layoutDirection() == Qt::RightToLeft && popup->isVisible()) {
        // Right to left the text runs leftwards from the cursor: the popup
        // ends at the cursor and stays over the editor, as a QLineEdit's
        // completer popup stays under its field.
        const QPoint caret = viewport()->mapToGlobal(cursorRect().bottomRight());
        const int left = std::max(mapToGlobal(QPoint(0, 0)).x(), caret.x() - popup->width());
        popup->move(left, popup->y());
    }
}

QStringList QxTextEditWithAutocompletion::getAllAdmissibleCompletion(const QString &)
{
    return QStringList();
}

QString QxTextEditWithAutocompletion::tokenUnderCursor() const
{
    // The run of word characters that ends at the cursor: a completion is
    // inserted there, so the letters after it are no part of the word being
    // completed. After a space or punctuation the word is empty.
    const QTextCursor cursor = textCursor();
    const QString block = cursor.block().text();
    const int end = cursor.positionInBlock();
    int start = end;
    while (start > 0) {
        // A letter beyond the BMP (CJK extension B, for one) is two UTF-16
        // units: it counts as the one character it is.
        const QChar c = block.at(start - 1);
        const bool pair = c.isLowSurrogate() && start > 1 && block.at(start - 2).isHighSurrogate();
        const uint character = pair ? QChar::surrogateToUcs4(block.at(start - 2), c) : c.unicode();
        // Combining marks belong to the letter before them (a decomposed "é").
        if (!QChar::isLetterOrNumber(character) && !QChar::isMark(character)
            && c != QLatin1Char('_'))
            break;
        start -= pair ? 2 : 1;
    }
    return block.mid(start, end - start);
}

void QxTextEditWithAutocompletion::insertCompletion(const QString &completion)
{
    if (!currentCompleter || currentCompleter->widget() != this)
        return;

    // The word that ends at the cursor now, whatever way its letters came
    // (keys, an input method, a dead key): the completion finishes it.
    // The typed letters stay as typed; only the missing ones are added, none
    // when the word is already complete or the entry does not continue it.
    const QString word = tokenUnderCursor();
    if (completion.length() <= word.length() || !completion.startsWith(word, Qt::CaseInsensitive))
        return;
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    cursor.insertText(completion.mid(word.length()));
    setTextCursor(cursor);
}

void QxTextEditWithAutocompletion::focusInEvent(QFocusEvent *event)
{
    if (currentCompleter)
        currentCompleter->setWidget(this);
    QTextEdit::focusInEvent(event);
}

void QxTextEditWithAutocompletion::inputMethodEvent(QInputMethodEvent *event)
{
    QTextEdit::inputMethodEvent(event);
    // Input methods, on-screen keyboards and dead keys deliver text here
    // rather than as key presses. Only committed text counts: text still
    // being composed is not in the document.
    const QString committed = event->commitString();
    if (!currentCompleter || committed.isEmpty())
        return;
    const QString word = tokenUnderCursor();
    if (word.isEmpty() || endOfWordCharacters().contains(committed.right(1))) {
        currentCompleter->popup()->hide();
        return;
    }
    updateCompleter(word);
}

void QxTextEditWithAutocompletion::keyPressEvent(QKeyEvent *event)
{
    if (currentCompleter && currentCompleter->popup()->isVisible()) {
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
    if (!currentCompleter || !isShortcut)
        QTextEdit::keyPressEvent(event);

    const bool ctrlOrShift = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!currentCompleter || (ctrlOrShift && event->text().isEmpty()))
        return;

    const bool hasForeignModifier = event->modifiers() != Qt::NoModifier && !ctrlOrShift;
    const QString word = tokenUnderCursor();

    if (!isShortcut
        && (hasForeignModifier || event->text().isEmpty() || word.length() < 1
            || endOfWordCharacters().contains(event->text().right(1)))) {
        currentCompleter->popup()->hide();
        return;
    }

    updateCompleter(word);
}
