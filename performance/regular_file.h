// Opens a file for reading by its name as the system's bytes, which need not
// be valid in any encoding (QFile takes a name as text, and a name that is
// not valid UTF-8 would not survive the round trip).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace scrivola {

// Opens `path` into `file`, read-only, when it is a regular file: a pipe or
// a device could block the reading or never end. Empty on success,
// otherwise why not ("no such file", "not a regular file", "cannot be
// opened: ..."), and `file` stays closed.
QString openRegularFile(const QByteArray& path, QFile& file);

}  // namespace scrivola
