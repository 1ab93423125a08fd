#include "QxComboBoxEditorState.h"

#include "QxQtCompat.h"

QxComboBoxEditorState::QxComboBoxEditorState()
    : selectedIndex(-1)
{
}

QxComboBoxEditorState::QxComboBoxEditorState(const QStringList &texts, const int &selected)
    : itemTexts(texts)
    , selectedIndex(selected)
{
}

QxComboBoxEditorState::QxComboBoxEditorState(const QxComboBoxEditorState &other) = default;

QxComboBoxEditorState &QxComboBoxEditorState::operator=(const QxComboBoxEditorState &other)
        = default;

QxComboBoxEditorState::~QxComboBoxEditorState() = default;

bool QxComboBoxEditorState::operator==(const QxComboBoxEditorState &other) const
{
    return selectedIndex == other.selectedIndex && itemTexts == other.itemTexts;
}

bool QxComboBoxEditorState::operator!=(const QxComboBoxEditorState &other) const
{
    return !(*this == other);
}

QX_HIDDEN_EQUALS_COMPARATOR(QxComboBoxEditorState)

int QxComboBoxEditorState::registerMetaType()
{
    const int id = qRegisterMetaType<QxComboBoxEditorState>("QxComboBoxEditorState");
    QxQtCompat::registerEqualsComparator<QxComboBoxEditorState>(id);
    return id;
}
