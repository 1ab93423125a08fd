#pragma once

#include "GalleryPage.h"

class QLabel;
class QListWidget;
class VocabularyEdit;

/// A QxTextEditWithAutocompletion subclass completing Qt class names and English words.
class TextPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit TextPage(QWidget *parent = nullptr);

    VocabularyEdit *editor() const { return m_editor; }

    /// Types the start of a class name, so that the side list shows its completions.
    void prepareSnapshot() override;

private:
    void showCompletions();

    VocabularyEdit *m_editor;
    QLabel *m_word;
    QListWidget *m_completions;
};
