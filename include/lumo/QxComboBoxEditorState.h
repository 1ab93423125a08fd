#pragma once

#include <QMetaType>
#include <QStringList>

#include "lumo_export.h"

/// The whole content of a QxComboBoxEditor as one value: the entries' texts in
/// display order and the index of the selected entry (-1 for none).
///
/// Lives in QVariant (it is a declared meta-type). Moving it through Qt's
/// property system or an item delegate needs it registered under its name
/// once: call registerMetaType() before the first such use. The library
/// registers nothing by itself.
class LUMO_EXPORT QxComboBoxEditorState
{
public:
    /// No entries, nothing selected.
    QxComboBoxEditorState();
    QxComboBoxEditorState(const QStringList &itemTexts, const int &selectedIndex);
    QxComboBoxEditorState(const QxComboBoxEditorState &other);
    QxComboBoxEditorState &operator=(const QxComboBoxEditorState &other);
    ~QxComboBoxEditorState();

    bool operator==(const QxComboBoxEditorState &other) const;
    bool operator!=(const QxComboBoxEditorState &other) const;

    /// Registers the type with Qt's meta-type system under the name
    /// "QxComboBoxEditorState", with its equality so that QVariant compares
    /// values, and returns its type id. Safe to call more than once.
    static int registerMetaType();

    QStringList itemTexts;
    int selectedIndex;
};

Q_DECLARE_METATYPE(QxComboBoxEditorState)
