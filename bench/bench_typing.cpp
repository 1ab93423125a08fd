// Figure: typing latency of the completing editor, from one key press to the
// popup updated, with vocabularies of 1,000, 10,000 and 100,000 words. Ours is
// a QxTextEditWithAutocompletion whose subclass returns the whole vocabulary;
// the baseline is what one writes without it: a plain QTextEdit with a
// QCompleter over a fixed model of the same words, driven the same way.
//
// Both editors get the same keys, through the popup when it is open as a
// user's keys would, and the event loop runs after each key so that the popup
// is laid out and painted. The time is the GUI thread's CPU time per key.

#include <lumo/QxTextEditWithAutocompletion.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextEdit>

#include "qtmain.h"

namespace {

// Sorted, distinct, dictionary-like lower-case words.
QStringList vocabulary(int size)
{
    QRandomGenerator random(size);
    QSet<QString> words;
    while (words.size() < size) {
        QString word;
        const int length = 3 + random.bounded(10);
        for (int i = 0; i < length; ++i)
            word += QChar('a' + random.bounded(26));
        words.insert(word);
    }
    QStringList sorted = words.values();
    sorted.sort();
    return sorted;
}

class OurEditor : public QxTextEditWithAutocompletion
{
public:
    explicit OurEditor(const QStringList &words)
        : words(words)
    {
    }

protected:
    QStringList getAllAdmissibleCompletion(const QString &) override { return words; }

private:
    const QStringList words;
};

// The editor of Qt's own completer example: one model for all key presses.
class PlainEditor : public QTextEdit
{
public:
    explicit PlainEditor(const QStringList &words)
        : completer(new QCompleter(this))
    {
        completer->setModel(new QStringListModel(words, completer));
        completer->setWidget(this);
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        QObject::connect(completer, QOverload<const QString &>::of(&QCompleter::activated), this,
                         [this](const QString &completion) {
                             QTextCursor cursor = textCursor();
                             cursor.insertText(
                                     completion.mid(completer->completionPrefix().size()));
                             setTextCursor(cursor);
                         });
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (completer->popup()->isVisible()) {
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
        static const QString eow("~!@#$%^&*()+{}|:\"<>?,/;'[]\\-=");
        const bool hasModifier = event->modifiers() != Qt::NoModifier && !ctrlOrShift;
        QTextCursor cursor = textCursor();
        cursor.select(QTextCursor::WordUnderCursor);
        const QString prefix = cursor.selectedText();
        if (!isShortcut
            && (hasModifier || event->text().isEmpty() || prefix.isEmpty()
                || eow.contains(event->text().right(1)))) {
            completer->popup()->hide();
            return;
        }
        if (prefix != completer->completionPrefix()) {
            completer->setCompletionPrefix(prefix);
            completer->popup()->setCurrentIndex(completer->completionModel()->index(0, 0));
        }
        QRect rect = cursorRect();
        rect.setWidth(completer->popup()->sizeHintForColumn(0)
                      + completer->popup()->verticalScrollBar()->sizeHint().width());
        completer->complete(rect);
    }

private:
    QCompleter *const completer;
};

// The keys typed over and over: the first letters of a few words, each word
// typed letter by letter, then erased, then a space.
QVector<QKeyEvent> keyStream(const QStringList &words)
{
    QVector<QKeyEvent> keys;
    for (int w = 0; w < 8; ++w) {
        const QString word = words[(w * 7919) % words.size()].left(4);
        for (const QChar letter : word)
            keys << QKeyEvent(QEvent::KeyPress, Qt::Key_A + (letter.unicode() - 'a'),
                              Qt::NoModifier, QString(letter));
        for (int i = 0; i < word.size(); ++i)
            keys << QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier,
                              QStringLiteral("\b"));
    }
    return keys;
}

void type(benchmark::State &state, QTextEdit &editor, const QStringList &words)
{
    editor.setPlainText(QString());
    editor.resize(600, 400);
    editor.show();
    editor.activateWindow();
    editor.setFocus();
    QCoreApplication::processEvents();

    const QVector<QKeyEvent> keys = keyStream(words);
    int next = 0;
    for (auto _ : state) {
        QKeyEvent key = keys[next++ % keys.size()];
        // With the popup open the keys go to it, and its completer hands
        // them on to the editor, as with a real keyboard.
        QWidget *popup = QApplication::activePopupWidget();
        QCoreApplication::sendEvent(popup ? popup : &editor, &key);
        QCoreApplication::processEvents();
    }
}

void ours(benchmark::State &state)
{
    const QStringList words = vocabulary(int(state.range(0)));
    OurEditor editor(words);
    type(state, editor, words);
}

void baseline(benchmark::State &state)
{
    const QStringList words = vocabulary(int(state.range(0)));
    PlainEditor editor(words);
    type(state, editor, words);
}

} // namespace

BENCHMARK(ours)
        ->Name("typing/ours")
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond);
BENCHMARK(baseline)
        ->Name("typing/baseline")
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond);

LUMO_BENCHMARK_QT_MAIN()
