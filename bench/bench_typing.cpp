// Figures: the completing editor, key press to popup painted. Ours is a
// QxTextEditWithAutocompletion whose subclass returns the whole vocabulary;
// the baseline is what one writes without it: a plain QTextEdit with a
// QCompleter over a fixed model of the same words, driven the same way (the
// editor of Qt's own completer example).
//
// Every key goes where a user's key goes (to the popup while it is open,
// whose completer hands it on to the editor), and the event loop runs until
// the popup has painted the key's result, or has closed. The CPU time is the
// GUI thread's per key; the manual time is the wall time from the key press
// to the popup painted.
//
// - typing/SIDE/N: words typed letter by letter and erased again, over a
//   dictionary-like vocabulary of N words (1,000 to 1,000,000).
// - prefix3/SIDE/1000000: the three letters of a prefix typed into an empty
//   editor, at 1,000,000 words; one key per iteration.
// - allmatch/SIDE/100000: one letter into an empty editor when all 100,000
//   words start with it, so the popup opens on 100,000 matches.
// - shortcut/SIDE/100000: Control+E after a space, an empty prefix, so the
//   popup opens on all 100,000 words.
// - contains/SIDE/100000 and wordstart/ours/100000: typing as above with the
//   editor's Contains and WordStart filter modes; the baseline is the plain
//   completer with Qt::MatchContains (Qt has no word-start matching).
// - memory/ours/1000000 and memory/list/1000000: the heap that the editor
//   holds for a vocabulary of 1,000,000 words once its popup has been shown
//   (an editor over the whole vocabulary less one over a single word), and
//   the heap of the QStringList that the subclass returns; counter "bytes".

#include <lumo/QxTextEditWithAutocompletion.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QElapsedTimer>
#include <QHash>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSet>
#include <QStringListModel>
#include <QTextEdit>

#include <malloc.h>

#include "qtmain.h"

namespace {

// Sorted, distinct, dictionary-like lower-case words, all starting with
// \a first when it is given. Made once per process and size.
const QStringList &vocabulary(int size, QChar first = QChar())
{
    static QHash<QPair<int, ushort>, QStringList> made;
    const QPair<int, ushort> key(size, first.unicode());
    auto found = made.find(key);
    if (found != made.end())
        return *found;

    QRandomGenerator random(quint32(size) + first.unicode());
    QSet<QString> words;
    words.reserve(size);
    while (words.size() < size) {
        QString word;
        if (!first.isNull())
            word += first;
        const int length = 3 + random.bounded(10);
        while (word.size() < length)
            word += QChar(u'a' + random.bounded(26));
        words.insert(word);
    }
    QStringList sorted = words.values();
    sorted.sort();
    return *made.insert(key, sorted);
}

class OurEditor : public QxTextEditWithAutocompletion
{
public:
    explicit OurEditor(const QStringList &words, FilterMode mode = StartsWith)
        : words(words)
    {
        setFilterMode(mode);
    }

protected:
    QStringList getAllAdmissibleCompletion(const QString &) override { return words; }

private:
    const QStringList words;
};

template<QxTextEditWithAutocompletion::FilterMode Mode> class ModeEditor : public OurEditor
{
public:
    explicit ModeEditor(const QStringList &words)
        : OurEditor(words, Mode)
    {
    }
};

// The editor of Qt's own completer example: one model for all key presses.
class PlainEditor : public QTextEdit
{
public:
    explicit PlainEditor(const QStringList &words, Qt::MatchFlags filter = Qt::MatchStartsWith)
        : plainCompleter(new QCompleter(this))
    {
        plainCompleter->setFilterMode(filter);
        plainCompleter->setModel(new QStringListModel(words, plainCompleter));
        plainCompleter->setWidget(this);
        plainCompleter->setCompletionMode(QCompleter::PopupCompletion);
        plainCompleter->setCaseSensitivity(Qt::CaseInsensitive);
        QObject::connect(plainCompleter, QOverload<const QString &>::of(&QCompleter::activated),
                         this, [this](const QString &completion) {
                             QTextCursor cursor = textCursor();
                             cursor.insertText(
                                     completion.mid(plainCompleter->completionPrefix().size()));
                             setTextCursor(cursor);
                         });
    }

    QCompleter *completer() const { return plainCompleter; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (plainCompleter->popup()->isVisible()) {
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
        const bool isShortcut
                = (event->modifiers() & Qt::ControlModifier) && event->key() == Qt::Key_E;
        if (!isShortcut)
            QTextEdit::keyPressEvent(event);
        const bool ctrlOrShift = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (ctrlOrShift && event->text().isEmpty())
            return;
        static const QString eow(QStringLiteral("~!@#$%^&*()+{}|:\"<>?,/;'[]\\-="));
        const bool hasModifier = event->modifiers() != Qt::NoModifier && !ctrlOrShift;
        QTextCursor cursor = textCursor();
        cursor.select(QTextCursor::WordUnderCursor);
        const QString prefix = cursor.selectedText();
        if (!isShortcut
            && (hasModifier || event->text().isEmpty() || prefix.isEmpty()
                || eow.contains(event->text().right(1)))) {
            plainCompleter->popup()->hide();
            return;
        }
        if (prefix != plainCompleter->completionPrefix()) {
            plainCompleter->setCompletionPrefix(prefix);
            plainCompleter->popup()->setCurrentIndex(
                    plainCompleter->completionModel()->index(0, 0));
        }
        QRect rect = cursorRect();
        rect.setWidth(plainCompleter->popup()->sizeHintForColumn(0)
                      + plainCompleter->popup()->verticalScrollBar()->sizeHint().width());
        plainCompleter->complete(rect);
    }

private:
    QCompleter *const plainCompleter;
};

class ContainsEditor : public PlainEditor
{
public:
    explicit ContainsEditor(const QStringList &words)
        : PlainEditor(words, Qt::MatchContains)
    {
    }
};

// Notes when the popup's rows are painted.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// One editor, either side, ready for keys.
// One key press, kept as its parts: Qt 6's events cannot be copied.
struct Key
{
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

template<typename Editor> class Typist
{
public:
    explicit Typist(const QStringList &words)
        : editor(words)
    {
        editor.setPlainText(QString());
        editor.resize(600, 400);
        editor.show();
        editor.activateWindow();
        editor.setFocus();
        popup()->viewport()->installEventFilter(&watch);
        QCoreApplication::processEvents();
        // What a completer does once per vocabulary (models, sorting checks,
        // indexes) belongs to the editor's first key, not to every key: a
        // digit, which no word starts with.
        press({ Qt::Key_0, Qt::NoModifier, QStringLiteral("0") });
        reset();
    }

    QAbstractItemView *popup() const { return editor.completer()->popup(); }

    // Sends the key and runs the event loop until the popup has painted, or
    // is closed; returns the wall time in seconds.
    double press(const Key &pressed)
    {
        QKeyEvent key(QEvent::KeyPress, pressed.key, pressed.modifiers, pressed.text);
        QElapsedTimer wall;
        wall.start();
        watch.painted = false;
        QWidget *open = QApplication::activePopupWidget();
        QCoreApplication::sendEvent(open ? open : static_cast<QWidget *>(&editor), &key);
        QCoreApplication::processEvents();
        while (popup()->isVisible() && !watch.painted && wall.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return wall.nsecsElapsed() * 1e-9;
    }

    // Back to an empty editor with the popup closed and a completer that
    // remembers no prefix of the words.
    void reset()
    {
        popup()->hide();
        editor.setPlainText(QString());
        editor.completer()->setCompletionPrefix(QStringLiteral("\u0001"));
        QCoreApplication::processEvents();
    }

    Editor editor;
    PaintWatch watch;
};

Key letter(QChar c)
{
    return { Qt::Key_A + (c.unicode() - u'a'), Qt::NoModifier, QString(c) };
}

// The first letters of a few words, each word typed letter by letter, then
// erased.
QVector<Key> keyStream(const QStringList &words)
{
    QVector<Key> keys;
    for (int w = 0; w < 8; ++w) {
        const QString word = words[(w * 7919) % words.size()].left(4);
        for (const QChar c : word)
            keys << letter(c);
        for (int i = 0; i < word.size(); ++i)
            keys << Key { Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b") };
    }
    return keys;
}

template<typename Editor> void typing(benchmark::State &state)
{
    const QStringList &words = vocabulary(int(state.range(0)));
    Typist<Editor> typist(words);
    const QVector<Key> keys = keyStream(words);
    int next = 0;
    for (auto _ : state)
        state.SetIterationTime(typist.press(keys[next++ % keys.size()]));
}

template<typename Editor> void prefix3(benchmark::State &state)
{
    const QStringList &words = vocabulary(int(state.range(0)));
    Typist<Editor> typist(words);
    int next = 0;
    for (auto _ : state) {
        const int word = next / 3, position = next % 3;
        if (position == 0) {
            state.PauseTiming();
            typist.reset();
            state.ResumeTiming();
        }
        state.SetIterationTime(typist.press(letter(words[(word * 7919) % words.size()][position])));
        ++next;
    }
}

template<typename Editor> void allMatch(benchmark::State &state)
{
    Typist<Editor> typist(vocabulary(int(state.range(0)), u'q'));
    for (auto _ : state) {
        state.PauseTiming();
        typist.reset();
        state.ResumeTiming();
        state.SetIterationTime(typist.press(letter(u'q')));
    }
    state.counters["rows"] = typist.editor.completer()->completionCount();
}

template<typename Editor> void shortcut(benchmark::State &state)
{
    Typist<Editor> typist(vocabulary(int(state.range(0)), u'q'));
    for (auto _ : state) {
        state.PauseTiming();
        typist.reset();
        typist.editor.setPlainText(QStringLiteral("ab "));
        typist.editor.moveCursor(QTextCursor::End);
        state.ResumeTiming();
        state.SetIterationTime(
                typist.press({ Qt::Key_E, Qt::ControlModifier, QStringLiteral("\u0005") }));
    }
    state.counters["rows"] = typist.editor.completer()->completionCount();
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// The heap an editor over \a words holds after the popup has been shown for
// a three-letter prefix.
size_t editorHeap(const QStringList &words)
{
    const size_t before = heapInUse();
    Typist<OurEditor> typist(words);
    for (const QChar c : words[words.size() / 2].left(3))
        typist.press(letter(c));
    return heapInUse() - before;
}

void memoryOurs(benchmark::State &state)
{
    const QStringList &words = vocabulary(int(state.range(0)));
    const QStringList single { words.first() };
    double bytes = 0;
    for (auto _ : state)
        bytes = double(editorHeap(words)) - double(editorHeap(single));
    state.counters["bytes"] = bytes;
}

void memoryList(benchmark::State &state)
{
    const QStringList &words = vocabulary(int(state.range(0)));
    double bytes = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        QStringList copy;
        copy.reserve(words.size());
        for (const QString &word : words)
            copy << QString(word.constData(), word.size());
        bytes = double(heapInUse() - before);
    }
    state.counters["bytes"] = bytes;
}

} // namespace

BENCHMARK_TEMPLATE(typing, OurEditor)
        ->Name("typing/ours")
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Arg(1000000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(typing, PlainEditor)
        ->Name("typing/baseline")
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Arg(1000000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(typing, ModeEditor<QxTextEditWithAutocompletion::Contains>)
        ->Name("contains/ours")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(typing, ModeEditor<QxTextEditWithAutocompletion::WordStart>)
        ->Name("wordstart/ours")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(typing, ContainsEditor)
        ->Name("contains/baseline")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(prefix3, OurEditor)
        ->Name("prefix3/ours")
        ->Arg(1000000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(prefix3, PlainEditor)
        ->Name("prefix3/baseline")
        ->Arg(1000000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(allMatch, OurEditor)
        ->Name("allmatch/ours")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(allMatch, PlainEditor)
        ->Name("allmatch/baseline")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(shortcut, OurEditor)
        ->Name("shortcut/ours")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(shortcut, PlainEditor)
        ->Name("shortcut/baseline")
        ->Arg(100000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
BENCHMARK(memoryOurs)->Name("memory/ours")->Arg(1000000)->Iterations(1);
BENCHMARK(memoryList)->Name("memory/list")->Arg(1000000)->Iterations(1);

LUMO_BENCHMARK_QT_MAIN()
