#pragma once

#include <lumo/QxTextEditWithAutocompletion.h>

#include <QStringList>

/// A completing editor that knows a vocabulary: Qt's class names and common
/// English words, from the gallery's resources.
class VocabularyEdit : public QxTextEditWithAutocompletion
{
    Q_OBJECT
public:
    explicit VocabularyEdit(QWidget *parent = nullptr);

    /// The words, sorted case-insensitively, without duplicates.
    const QStringList &vocabulary() const { return m_vocabulary; }

    /// The words that start with \a word (ignoring case), at most maximumCompletions
    /// of them; every word for an empty one.
    QStringList getAllAdmissibleCompletion(const QString &word) override;

    /// The word under the text cursor, the one a completion would complete.
    QString currentWord() const { return tokenUnderCursor(); }

    static constexpr int maximumCompletions = 200;

private:
    QStringList m_vocabulary;
};
