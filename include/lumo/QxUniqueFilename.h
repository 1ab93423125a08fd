#pragma once

#include <QString>

#include "lumo_export.h"

namespace QxUniqueFilename {

/// Returns \a fileName if nothing of that name exists yet, otherwise the first
/// free name made by inserting a running number (1, 2, ...) before the last
/// extension of the file name: "photo.png" gives "photo1.png", "photo2.png"...
/// A file name without extension or starting with its only dot gets the number
/// in front ("report" gives "1.report", ".config" gives "1.config"). The
/// directory part is never changed. Any directory entry counts as taken: files,
/// directories and symbolic links, dangling ones included.
/// Nothing is created or reserved: another process may still take the name.
LUMO_EXPORT QString uniqueFilename(const QString &fileName);

} // namespace QxUniqueFilename
