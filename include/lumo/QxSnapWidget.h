#pragma once

#include <QString>

#include "lumo_export.h"

class QTextStream;
class QWidget;

namespace QxSnapWidget {

/// Renders \a widget with its children into an image of the widget's size and
/// saves it to \a fileName, in the format that the file name's suffix names.
/// Whatever the widgets do not paint stays transparent (where the format keeps
/// transparency). On success writes one line to \a report, "Snapshot written
/// in" (translated in the context "QxSnapWidget"), a space and the path as
/// given between double quotes, and flushes it. A regular file is replaced
/// only once the whole image is written: on failure (null or empty widget,
/// unknown suffix, unwritable path, full disk) no line is written, no partial
/// file is left and an earlier file of that name stays as it was. A special
/// file (a device, a named pipe, a path such as /dev/stdout), also through a
/// symbolic link, is written into and never replaced; a pipe without a reader
/// fails at once rather than wait, and a failed write (a reader that leaves
/// mid-write included, which never raises SIGPIPE) reports nothing.
LUMO_EXPORT void snapWidget(QWidget *widget, QString fileName, QTextStream &report);

} // namespace QxSnapWidget
