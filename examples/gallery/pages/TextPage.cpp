#include "TextPage.h"

#include "VocabularyEdit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TextPage::TextPage(QWidget *parent)
    : GalleryPage(QStringLiteral("text"), tr("Text"), parent)
    , m_editor(new VocabularyEdit)
    , m_word(new QLabel)
    , m_completions(new QListWidget)
{
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(
            tr("QxTextEditWithAutocompletion, subclassed to complete from %1 words: Qt's class "
               "names and common English words. Type the start of a word (try \"QAbs\" or "
               "\"wid\") and pick a completion with the arrow keys and Return; Ctrl+E (or the "
               "shortcut set below) lists the completions on demand.")
                    .arg(m_editor->vocabulary().size()));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    // The editor's options: which entries match, and the key that lists them.
    auto *options = new QFormLayout;
    auto *filterMode = new QComboBox;
    filterMode->setObjectName(QStringLiteral("filterMode"));
    filterMode->addItem(tr("Starts with the word"), QxTextEditWithAutocompletion::StartsWith);
    filterMode->addItem(tr("Contains the word"), QxTextEditWithAutocompletion::Contains);
    filterMode->addItem(tr("A word starts with it (\"pla\" finds \"market place\")"),
                        QxTextEditWithAutocompletion::WordStart);
    connect(filterMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, filterMode] {
                m_editor->setFilterMode(QxTextEditWithAutocompletion::FilterMode(
                        filterMode->currentData().toInt()));
            });
    options->addRow(tr("Completions:"), filterMode);
    auto *shortcut = new QKeySequenceEdit(m_editor->completionShortcut());
    shortcut->setObjectName(QStringLiteral("completionShortcut"));
    // One chord is all the editor takes: the edit shows what it kept.
    connect(shortcut, &QKeySequenceEdit::editingFinished, this, [this, shortcut] {
        m_editor->setCompletionShortcut(shortcut->keySequence());
        shortcut->setKeySequence(m_editor->completionShortcut());
    });
    options->addRow(tr("Shortcut listing them:"), shortcut);
    layout->addLayout(options);

    m_editor->setObjectName(QStringLiteral("completingEditor"));
    auto *row = new QHBoxLayout;
    row->addWidget(m_editor, 3);
    auto *side = new QVBoxLayout;
    m_word->setObjectName(QStringLiteral("currentWord"));
    m_word->setWordWrap(true);
    m_completions->setObjectName(QStringLiteral("completions"));
    side->addWidget(m_word);
    side->addWidget(m_completions, 1);
    row->addLayout(side, 1);
    layout->addLayout(row, 1);
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &TextPage::showCompletions);
    showCompletions();
}

void TextPage::showCompletions()
{
    const QString word = m_editor->currentWord();
    const QStringList completions = m_editor->getAllAdmissibleCompletion(word);
    m_word->setText(word.isEmpty()
                            ? tr("No word under the cursor")
                            : tr("%1 completions of \"%2\":").arg(completions.size()).arg(word));
    m_completions->clear();
    if (!word.isEmpty())
        m_completions->addItems(completions);
}

void TextPage::prepareSnapshot()
{
    m_editor->setPlainText(m_editor->toPlainText() + QStringLiteral("\nA QAbs"));
    m_editor->moveCursor(QTextCursor::End);
    GalleryPage::prepareSnapshot();
}
