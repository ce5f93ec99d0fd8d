// Pure text operations on paths: extension, file name, base name, folder.
// "/" is the separator; nothing here touches the file system.
#pragma once

#include <QString>
#include <QStringView>

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

// True when the path holds a line end (CR or LF), which would split it over two lines of
// Setting.ini, MediaDB.db or a .lst file.
bool HasLineEnd(QStringView path);

// True when path is folder or lies below it ("/a/b" is in "/a", "/ab" is not).
bool PathIsIn(QStringView path, QStringView folder);

}  // namespace qv
