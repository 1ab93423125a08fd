#pragma once

#include <QLineEdit>

#include "lumo_export.h"

/// A one-line field for an e-mail address.
///
/// A QRegExpValidator (a child of the field) refuses every change that could
/// never lead to an address, such as a space; texts that may still grow into
/// one can stand while the user types. The address pattern, matched without
/// regard to case, is "[A-Z0-9._%+-]+@[A-Z0-9.-]+\.[A-Z]{2,63}": the last label
/// has 2 to 63 letters, so "name@example.museum" is an address. The field sets
/// no text, placeholder or tooltip.
class LUMO_EXPORT QxMailAddressEdit : public QLineEdit
{
public:
    explicit QxMailAddressEdit(QWidget *parent = nullptr);
    ~QxMailAddressEdit() override;

    /// Whether the validator installed on the field (the address validator,
    /// unless the owner replaced it) accepts the whole current text; the text
    /// itself is left as it is. False when the field has no validator.
    bool isValid();
};
