#include "QxComboBoxEditor.h"

QxComboBoxEditor::QxComboBoxEditor(QWidget *parent)
    : QComboBox(parent)
{
}

QxComboBoxEditor::~QxComboBoxEditor() = default;

QxComboBoxEditorState QxComboBoxEditor::getState()
{
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts.append(itemText(i));
    return QxComboBoxEditorState(texts, currentIndex());
}

void QxComboBoxEditor::setState(const QxComboBoxEditorState &state)
{
    clear();
    insertItems(count(), state.itemTexts);
    setCurrentIndex(state.selectedIndex);
}
