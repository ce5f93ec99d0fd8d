// What the program asks of the file system: the canonical spelling of an
// existing path, the path handed to the media device, and the two existence
// tests. Hidden = the entry's own name starts with "."; system = neither a
// regular file nor a folder (socket, device, pipe).
#pragma once

#include <QString>

namespace qv {

// The stored spelling of an existing file or folder: every component resolved
// (exact name if it exists, else the one entry whose name matches ignoring
// letter case), "." and ".." and doubled separators folded, symbolic links kept,
// a trailing "/" kept. "" for a missing path. No length limit.
QString GetLongPath(const QString& path);

// The path the media device is given: an existing file's path unchanged, ""
// for a missing one (there are no short names here).
QString GetShortPath(const QString& path);

// True only for a path that is its own cleaned form (QDir::cleanPath): no
// "." or ".." component, no doubled "/", no "/" at the end but for "/" itself,
// no NUL. The system then finds exactly the file that the two tests below look
// at. ("." and ".." alone, and relative paths that start with "..", are clean
// too but answered false: they are rare and take the slower way.)
bool IsCleanPath(const QString& path);

// The file test: an existing file that is neither hidden nor a system file.
// False for folders.
bool FileExists(const QString& path);

// The folder-or-file test: FileExists, or an existing folder that is neither
// hidden nor a system entry.
bool FileOrFolderExists(const QString& path);

// Whether anything at all is stored under exactly this name: hidden entries,
// special files and links that lead nowhere included. It tells which spelling
// of a path a file meant, not whether the program may use what it names.
bool PathExists(const QString& path);

}  // namespace qv
