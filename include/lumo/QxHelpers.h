#pragma once

#include <QString>

#include "lumo_export.h"

class QWidget;

namespace QxHelpers {

/// Replaces every occurrence of \a before by \a after (case-sensitively) in
/// the window titles and tool tips of \a widget and of every widget below it,
/// dialogs parented there included, in the texts of labels and buttons, and in
/// the descriptions of command link buttons. Other texts (group box titles,
/// line edit contents, status tips, ...) stay as they are. A null \a widget
/// does nothing, and so does an empty \a before. Widgets created while the
/// texts change are not visited.
LUMO_EXPORT void replaceStringInWidget(QWidget *widget, const QString &before,
                                       const QString &after);

} // namespace QxHelpers
