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
    // const int & rather than int, as the class has always declared it: changing
    // it would change the exported symbol.
    /// The entries \a texts, with \a selected the index of the selected one (-1: none).
    QxComboBoxEditorState(const QStringList &texts, const int &selected);
    /// Copies are independent values; the texts stay shared until one side changes them.
    QxComboBoxEditorState(const QxComboBoxEditorState &other);
    /// Copies are independent values, as for the copy constructor.
    QxComboBoxEditorState &operator=(const QxComboBoxEditorState &other);
    ~QxComboBoxEditorState();

    /// Same texts in the same order and the same selected index.
    bool operator==(const QxComboBoxEditorState &other) const;
    /// True when the texts, their order or the selected index differ.
    bool operator!=(const QxComboBoxEditorState &other) const;

    /// Registers the type with Qt's meta-type system under the name
    /// "QxComboBoxEditorState", with its equality so that QVariant compares
    /// values, and returns its type id. Safe to call more than once.
    static int registerMetaType();

    /// The entries' texts, in display order.
    QStringList itemTexts;
    /// The index of the selected entry in itemTexts; -1 when none is selected.
    int selectedIndex;
};

Q_DECLARE_METATYPE(QxComboBoxEditorState)
