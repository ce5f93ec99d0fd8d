// Pure text operations on paths: extension, file name, base name, folder.
// "/" is the separator; nothing here touches the file system.
#pragma once

#include <QString>

namespace qv {

// Text after the last "." anywhere in the path (even inside a folder name), or "".
QString GetExtension(const QString& path);
// Text after the last "/"; the whole text when there is none.
QString GetFileName(const QString& path);
// Text between the last "/" and the last "."; the whole file name when the
// last dot does not come after the last "/".
QString GetBaseName(const QString& path);
// Text up to and including the last "/", or "" when there is none.
QString GetFolderPath(const QString& path);

}  // namespace qv
