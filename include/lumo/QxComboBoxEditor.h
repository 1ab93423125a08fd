#pragma once

#include <QComboBox>

#include "QxComboBoxEditorState.h"
#include "lumo_export.h"

/// A QComboBox whose entries and selection are read and written as one value,
/// the user property `state`, so that an item delegate can edit a model item
/// holding a QxComboBoxEditorState without any code of its own.
///
/// Only the entries' texts make up the state; icons and per-entry data are not
/// kept. Register the state type first (QxComboBoxEditorState::registerMetaType()).
class LUMO_EXPORT QxComboBoxEditor : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QxComboBoxEditorState state READ getState WRITE setState USER true)
public:
    /// An empty, non-editable combo box.
    explicit QxComboBoxEditor(QWidget *parent = nullptr);
    ~QxComboBoxEditor() override;

    /// The entries' texts and the current index.
    QxComboBoxEditorState getState();
    /// Replaces all entries by the state's texts and selects its index as
    /// given, without range check (QComboBox selects nothing for an index
    /// outside the list). The combo box's own signals fire as usual.
    void setState(const QxComboBoxEditorState &state);
};
