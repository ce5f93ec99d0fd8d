// What the program asks of the file system: the canonical spelling of an
// existing path, the path handed to the media device, and the two existence
// tests. Hidden = the entry's own name starts with "."; system = neither a
// regular file nor a folder (socket, device, pipe).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <optional>

namespace qv {

// The names in folders, each folder read once, for one long task that asks
// GetLongPath about many paths (the library's load): a library whose files
// were deleted would otherwise read a large folder again for every line.
// What changes on disk while it is alive is not seen.
class FolderNames {
  public:
    // The stored name in folder that is name exactly, else the one that
    // matches it ignoring letter case; "" when none does. Nothing for a folder
    // that cannot be read (*known false).
    QByteArray StoredName(const QByteArray& folder, const QByteArray& name, bool* known);
    // Whether folder was read already (readable or not).
    bool Listed(const QByteArray& folder) const { return folders_.contains(folder); }

  private:
    struct Listing {
        bool read = false;
        QSet<QByteArray> names;
        QHash<QString, QByteArray> folded;  // case-folded name -> its first stored form
    };
    QHash<QByteArray, Listing> folders_;
};

// The names in the folder last asked about, read once: for paths that come
// folder by folder, as the library file lists them, one listing of a folder
// answers for all of its files where each would cost a look-up of its whole
// path. A folder met again after another is not read twice (paths in a
// scattered order would read a large folder once a path): it answers
// nothing, nor does a folder that cannot be read.
class LastFolderNames {
  public:
    // Whether folder holds name, as the folder lists it (so a link counts
    // whatever it points at); nothing when the folder does not say.
    std::optional<bool> Holds(const QByteArray& folder, QByteArrayView name);

  private:
    QByteArray folder_;
    bool read_ = false;
    QByteArray names_;            // every name, each ended by a NUL
    QSet<QByteArrayView> index_;  // views into names_
    QSet<QByteArray> passed_;     // folders read before the last
};

// The stored spelling of an existing file or folder: every component resolved
// (exact name if it exists, else the one entry whose name matches ignoring
// letter case), "." and ".." and doubled separators folded, symbolic links kept,
// a trailing "/" kept. "" for a missing path. No length limit. With names,
// folders are read through it.
QString GetLongPath(const QString& path, FolderNames* names = nullptr);

// The path the media device is given: an existing file's path unchanged, ""
// for a missing one (there are no short names here).
QString GetShortPath(const QString& path);

// True only for a path that is its own cleaned form (QDir::cleanPath): no
// "." or ".." component, no doubled "/", no "/" at the end but for "/" itself,
// no NUL. The system then finds exactly the file that the two tests below look
// at. ("." and ".." alone, and relative paths that start with "..", are clean
// too but answered false: they are rare and take the slower way.)
bool IsCleanPath(const QString& path);

// True when no file system here can hold the path: PATH_MAX bytes or more,
// or a name longer than NAME_MAX bytes. Such a path names no file, and a
// very long one would only slow down everything that shows or stores it.
bool PathTooLong(const QString& path);

// Why a file handed in from outside (a second start, the desktop's media
// controls) cannot go into the playlist, in a few English words; "" when it
// can: an absolute, clean path (IsCleanPath) without a line end, at most
// PATH_MAX bytes with no name longer than NAME_MAX, naming an existing,
// non-empty regular file (symbolic links followed). What is refused here
// would fail only later, when played, or could not be kept in a playlist file.
QString WhyNotTakeable(const QString& path);

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
