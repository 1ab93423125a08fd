#include "VocabularyEdit.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>

VocabularyEdit::VocabularyEdit(QWidget *parent)
    : QxTextEditWithAutocompletion(parent)
{
    QFile file(QStringLiteral(":/gallery/vocabulary.txt"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                m_vocabulary << line;
        }
    }
    std::sort(m_vocabulary.begin(), m_vocabulary.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    m_vocabulary.removeDuplicates();
}

QStringList VocabularyEdit::getAllAdmissibleCompletion(const QString &word)
{
    // The vocabulary is sorted ignoring case, so the matches are one run.
    const auto first = std::lower_bound(m_vocabulary.cbegin(), m_vocabulary.cend(), word,
                                        [](const QString &entry, const QString &prefix) {
                                            return entry.compare(prefix, Qt::CaseInsensitive) < 0;
                                        });
    QStringList completions;
    for (auto it = first; it != m_vocabulary.cend() && completions.size() < maximumCompletions;
         ++it) {
        if (!it->startsWith(word, Qt::CaseInsensitive))
            break;
        completions << *it;
    }
    return completions;
}
