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

#include "QxQtCompat.h"

#include <algorithm>
#include <QVector>

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

// Appends \a text to \a out, case-folded when \a fold: one UTF-16 unit for
// each unit of the text, so that positions in both agree.
void appendFolded(QVector<char16_t> &out, const QString &text, bool fold)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!fold) {
            out.push_back(c.unicode());
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const uint folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text.at(i + 1)));
            const uint kept = QChar::requiresSurrogates(folded)
                    ? folded
                    : QChar::surrogateToUcs4(c, text.at(i + 1));
            out.push_back(QChar::highSurrogate(kept));
            out.push_back(QChar::lowSurrogate(kept));
            ++i;
        } else {
            out.push_back(QChar::toCaseFolded(c.unicode()));
        }
    }
}

} // namespace

// The entries of one list laid out for searching: every entry, case-folded
// when matching ignores case, in one run of UTF-16 units, each followed by a
// 0, with a mark at each unit where a word of an entry starts. Built once a
// list; a completer over a plain model would instead ask the model for each
// entry's text on every key, a tenfold cost at 100,000 entries.
struct QxTextEditWithAutocompletion::MatchIndex
{
    QStringList list;
    Qt::CaseSensitivity sensitivity = Qt::CaseSensitive;
    QVector<char16_t> units;
    QVector<int> starts;
    std::vector<bool> wordStarts;

    // The last search, which the next one narrows while the word grows.
    FilterMode lastMode = StartsWith;
    QString lastWord;
    QVector<int> lastHits;

    bool isFor(const QStringList &entries, Qt::CaseSensitivity caseSensitivity) const
    {
        return sensitivity == caseSensitivity && list == entries;
    }

    void build(const QStringList &entries, Qt::CaseSensitivity caseSensitivity)
    {
        list = entries;
        sensitivity = caseSensitivity;
        units.clear();
        starts.clear();
        wordStarts.clear();
        lastWord.clear();
        lastHits.clear();
        starts.reserve(entries.size() + 1);
        for (const QString &entry : entries) {
            starts.push_back(int(units.size()));
            appendFolded(units, entry, sensitivity == Qt::CaseInsensitive);
            markWordStarts(entry);
            units.push_back(0);
            wordStarts.push_back(false);
        }
        starts.push_back(int(units.size()));
    }

    void markWordStarts(const QString &entry)
    {
        bool afterWordCharacter = false;
        bool afterLowerCase = false;
        for (int i = 0; i < entry.size(); ++i) {
            const QChar c = entry.at(i);
            const bool pair = c.isHighSurrogate() && i + 1 < entry.size()
                    && entry.at(i + 1).isLowSurrogate();
            const uint character = pair ? QChar::surrogateToUcs4(c, entry.at(i + 1)) : c.unicode();
            const bool letterOrDigit = QChar::isLetterOrNumber(character);
            wordStarts.push_back(
                    i == 0
                    || (letterOrDigit
                        && (!afterWordCharacter || (afterLowerCase && QChar::isUpper(character)))));
            if (pair) {
                wordStarts.push_back(false);
                ++i;
            }
            // A combining mark belongs to the letter before it.
            if (!QChar::isMark(character)) {
                afterWordCharacter = letterOrDigit;
                afterLowerCase = QChar::isLower(character);
            }
        }
    }

    bool hits(int entry, FilterMode mode, const QVector<char16_t> &needle) const
    {
        const auto length = std::ptrdiff_t(needle.size());
        const char16_t *const first = units.data() + starts[entry];
        // The last place where the needle still fits before the entry's 0.
        const char16_t *const last = units.data() + starts[entry + 1] - 1 - length;
        for (const char16_t *at = first; at <= last; ++at) {
            at = std::find(at, last + 1, needle.front());
            if (at > last)
                return false;
            if (std::equal(needle.begin() + 1, needle.end(), at + 1)
                && (mode == Contains || wordStarts[at - units.data()]))
                return true;
        }
        return false;
    }

    QStringList matches(FilterMode mode, const QString &word)
    {
        if (word.isEmpty())
            return list;
        QVector<char16_t> needle;
        appendFolded(needle, word, sensitivity == Qt::CaseInsensitive);

        // An entry that holds the longer word holds the shorter one too.
        QVector<int> found;
        if (mode == lastMode && !lastWord.isEmpty() && word.startsWith(lastWord)) {
            for (const int entry : lastHits) {
                if (hits(entry, mode, needle))
                    found.push_back(entry);
            }
        } else {
            for (int entry = 0; entry < list.size(); ++entry) {
                if (hits(entry, mode, needle))
                    found.push_back(entry);
            }
        }
        QStringList result;
        result.reserve(int(found.size()));
        for (const int entry : found)
            result.append(list.at(entry));
        lastMode = mode;
        lastWord = word;
        lastHits = std::move(found);
        return result;
    }
};

QxTextEditWithAutocompletion::QxTextEditWithAutocompletion(QWidget *parent)
    : QTextEdit(parent)
    , shortcut(Qt::CTRL | Qt::Key_E)
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

void QxTextEditWithAutocompletion::setFilterMode(FilterMode filterMode)
{
    mode = filterMode;
}

QxTextEditWithAutocompletion::FilterMode QxTextEditWithAutocompletion::filterMode() const
{
    return mode;
}

void QxTextEditWithAutocompletion::setCompletionShortcut(const QKeySequence &sequence)
{
    if (sequence.count() != 1)
        return;
    switch (QxQtCompat::firstChord(sequence) & ~int(Qt::KeyboardModifierMask)) {
    case 0:
    case Qt::Key_unknown:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return;
    default:
        shortcut = sequence;
    }
}

QKeySequence QxTextEditWithAutocompletion::completionShortcut() const
{
    return shortcut;
}

bool QxTextEditWithAutocompletion::isCompletionShortcut(const QKeyEvent *event) const
{
    const int chord = QxQtCompat::firstChord(shortcut);
    const auto modifiers = Qt::KeyboardModifiers(chord & int(Qt::KeyboardModifierMask));
    return event->key() == (chord & ~int(Qt::KeyboardModifierMask))
            && (event->modifiers() & modifiers) == modifiers;
}

// The matches of the modes other than StartsWith: the index finds them, and
// the completer shows them all, under an empty prefix.
void QxTextEditWithAutocompletion::showMatches(const QStringList &completions, const QString &word)
{
    if (!index)
        index = std::make_unique<MatchIndex>();
    const Qt::CaseSensitivity sensitivity = currentCompleter->caseSensitivity();
    const bool sameList = index->isFor(completions, sensitivity);
    if (!sameList)
        index->build(completions, sensitivity);
    const bool ours = matchesModel && currentCompleter->model() == matchesModel;
    if (ours && sameList && index->lastMode == mode && index->lastWord == word) {
        // The same matches: the current entry stays.
        if (!currentCompleter->completionPrefix().isEmpty())
            currentCompleter->setCompletionPrefix(QString());
        return;
    }
    const QStringList matches = index->matches(mode, word);
    if (ours) {
        matchesModel->setStringList(matches);
    } else {
        matchesModel = new QStringListModel(matches, currentCompleter);
        currentCompleter->setModel(matchesModel);
        currentCompleter->setModelSorting(QCompleter::UnsortedModel);
    }
    currentCompleter->setCompletionPrefix(QString());
    currentCompleter->popup()->setCurrentIndex(currentCompleter->completionModel()->index(0, 0));
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
    if (mode != StartsWith) {
        showMatches(completions, word);
    } else if (!current || current == matchesModel || current->parent() != currentCompleter
               || current->stringList() != completions) {
        currentCompleter->setModel(new QStringListModel(completions, currentCompleter));
        // On a list sorted the way the completer matches, the completer finds
        // the matches by binary search instead of testing every entry; they
        // are the same entries in the same order either way.
        currentCompleter->setModelSorting(
                sortingOf(completions, currentCompleter->caseSensitivity()));
    }

    if (mode == StartsWith && word != currentCompleter->completionPrefix()) {
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
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    if (completion.startsWith(word, Qt::CaseInsensitive)) {
        if (completion.length() <= word.length())
            return;
        cursor.insertText(completion.mid(word.length()));
    } else if (mode != StartsWith) {
        // An entry that holds the word elsewhere takes the word's place.
        cursor.setPosition(cursor.position() - word.length(), QTextCursor::KeepAnchor);
        cursor.insertText(completion);
    } else {
        return;
    }
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

    const bool isShortcut = isCompletionShortcut(event);
    if (!currentCompleter || !isShortcut)
        QTextEdit::keyPressEvent(event);

    // The shortcut opens the popup whatever text its event carries, none
    // included: platforms differ in the text of Control combinations.
    const bool ctrlOrShift = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (!currentCompleter || (!isShortcut && ctrlOrShift && event->text().isEmpty()))
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
