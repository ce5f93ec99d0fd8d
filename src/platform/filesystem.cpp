// The canonical spelling of a path and the two existence tests, in terms of
// what a Linux file system stores: exact names, hidden dot entries, special files.
#include "platform/filesystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <climits>
#include <cstring>

namespace qv {
namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.isEmpty() ? "." : path.constData(), &st) == 0;
}

// The stored name in folder that matches name ignoring letter case, or "" when
// none does. Of several such names (possible on a case-sensitive file system:
// "Song.mp3" and "SONG.mp3"), the first in byte order is taken, so that the
// same path always gives the same answer whatever order the folder lists in.
// Calls take(name) for every entry of folder but "." and ".."; false when the
// folder cannot be read.
template <typename Take>
bool eachName(const QByteArray& folder, Take take) {
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray candidate(entry->d_name);
        if (candidate != "." && candidate != "..") take(candidate);
    }
    ::closedir(dir);
    return true;
}

// Keeps the first in byte order of the names that match.
void keepFirst(QByteArray* best, const QByteArray& candidate) {
    if (best->isEmpty() || std::strcmp(candidate.constData(), best->constData()) < 0)
        *best = candidate;
}

QByteArray storedName(const QByteArray& folder, const QByteArray& name) {
    const QString wanted = QFile::decodeName(name);
    QByteArray best;
    eachName(folder, [&](const QByteArray& candidate) {
        if (QString::compare(QFile::decodeName(candidate), wanted, Qt::CaseInsensitive) == 0)
            keepFirst(&best, candidate);
    });
    return best;
}

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.isEmpty() || folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// A hidden entry, or an entry that is missing, cannot pass either test.
// Playlists and the library test every line: a path that is clean already
// (nearly all are) goes to the system as it is, without being rebuilt.
bool statVisible(const QString& path, struct stat* st) {
    if (path.isEmpty() || path.contains(QChar(0))) return false;
    const QString clean = IsCleanPath(path) ? path : QDir::cleanPath(path);
    if (QStringView(clean).mid(clean.lastIndexOf(u'/') + 1).startsWith(u'.')) return false;
    return ::stat(QFile::encodeName(clean).constData(), st) == 0;
}

}  // namespace

bool IsCleanPath(const QString& path) {
    if (path.isEmpty()) return false;
    if (path == u"/") return true;
    if (path.endsWith(u'/')) return false;
    // Each component between separators: not empty (a doubled "/", except the
    // leading one of an absolute path), not "." and not "..".
    const QChar* p = path.constData();
    const qsizetype n = path.size();
    qsizetype start = p[0] == u'/' ? 1 : 0;
    for (qsizetype i = start; i <= n; ++i) {
        if (i < n && p[i] != u'/') {
            if (p[i].unicode() == 0) return false;
            continue;
        }
        const qsizetype length = i - start;
        if (length == 0) return false;
        if (p[start] == u'.' && (length == 1 || (length == 2 && p[start + 1] == u'.')))
            return false;
        start = i + 1;
    }
    return true;
}

bool PathTooLong(const QString& path) {
    // Counted in characters first: no UTF-8 form is shorter.
    if (path.size() >= PATH_MAX) return true;
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= PATH_MAX) return true;
    for (const QByteArray& name : bytes.split('/'))
        if (name.size() > NAME_MAX) return true;
    return false;
}

QString WhyNotTakeable(const QString& path) {
    if (!path.startsWith(u'/')) return QStringLiteral("not an absolute path");
    if (!IsCleanPath(path)) return QStringLiteral("not a clean path");
    if (path.contains(u'\n') || path.contains(u'\r'))
        return QStringLiteral("a path with a line end");
    if (PathTooLong(path)) return QStringLiteral("path too long");
    const QByteArray bytes = QFile::encodeName(path);
    struct stat st {};
    if (::stat(bytes.constData(), &st) != 0) return QStringLiteral("no such file");
    if (!S_ISREG(st.st_mode)) return QStringLiteral("not a regular file");
    if (st.st_size == 0) return QStringLiteral("empty file");
    return QString();
}

QByteArray FolderNames::StoredName(const QByteArray& folder, const QByteArray& name, bool* known) {
    auto it = folders_.find(folder);
    if (it == folders_.end()) {
        Listing listing;
        listing.read = eachName(folder, [&listing](const QByteArray& candidate) {
            listing.names.insert(candidate);
            keepFirst(&listing.folded[QFile::decodeName(candidate).toCaseFolded()], candidate);
        });
        it = folders_.insert(folder, std::move(listing));
    }
    *known = it->read;
    if (!it->read) return {};
    if (it->names.contains(name)) return name;
    return it->folded.value(QFile::decodeName(name).toCaseFolded());
}

std::optional<bool> LastFolderNames::Holds(const QByteArray& folder, QByteArrayView name) {
    if (folder != folder_ || folder_.isNull()) {
        if (passed_.contains(folder)) return std::nullopt;
        if (!folder_.isNull()) passed_.insert(folder_);
        folder_ = folder;
        names_.clear();
        index_.clear();
        // The names go into one buffer first and are indexed once it no
        // longer moves: no allocation per name.
        DIR* dir = ::opendir(folder.constData());
        read_ = dir != nullptr;
        if (!dir) return std::nullopt;
        while (const dirent* entry = ::readdir(dir))
            names_.append(entry->d_name, qstrlen(entry->d_name) + 1);
        ::closedir(dir);
        for (qsizetype at = 0; at < names_.size();) {
            const QByteArrayView one(names_.constData() + at, qstrlen(names_.constData() + at));
            index_.insert(one);
            at += one.size() + 1;
        }
    }
    if (!read_) return std::nullopt;
    return index_.contains(QByteArrayView(name));
}

QString GetLongPath(const QString& path, FolderNames* names) {
    // The system calls would stop at a NUL and look at a shorter path.
    if (path.isEmpty() || path.contains(QChar(0))) return QString();
    const bool absolute = path.startsWith(u'/');
    const bool trailingSlash = path.endsWith(u'/');

    // Fold ".", ".." and doubled separators by the text alone, as Windows does:
    // a symbolic link stays in the path under its own name.
    QList<QByteArray> parts;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!parts.isEmpty() && parts.last() != "..")
                parts.removeLast();
            else if (!absolute)
                parts.append("..");  // above the working folder: kept
            continue;
        }
        parts.append(QFile::encodeName(part));
    }

    const QByteArray start = absolute ? QByteArray("/") : QByteArray();
    // On a case-sensitive file system an existing path is already spelled as
    // stored: one look-up settles the common case without listing any folder.
    QByteArray result = start;
    for (const QByteArray& part : parts) result = joined(result, part);
    // With the folders' names at hand, they answer without a system call.
    if (names || !exists(result)) {
        result = start;
        for (const QByteArray& part : parts) {
            QByteArray name = part;
            bool known = false;
            if (part != ".." && names) name = names->StoredName(result, part, &known);
            if (part != ".." && !known && !exists(joined(result, part)))
                name = storedName(result, part);
            if (name.isEmpty()) return QString();
            result = joined(result, name);
        }
    }
    if (result.isEmpty()) result = ".";  // "a/.." names the working folder

    // The path must lead somewhere: a link to nothing does not count.
    struct stat st;
    if (::stat(result.constData(), &st) != 0) return QString();
    if (trailingSlash && !result.endsWith('/')) {
        if (!S_ISDIR(st.st_mode)) return QString();
        result += '/';
    }
    return QFile::decodeName(result);
}

QString GetShortPath(const QString& path) {
    return QFileInfo(path).isFile() ? path : QString();
}

bool FileExists(const QString& path) {
    struct stat st;
    if (path.endsWith(u'/') || !statVisible(path, &st)) return false;
    return S_ISREG(st.st_mode);
}

bool FileOrFolderExists(const QString& path) {
    struct stat st;
    if (!statVisible(path, &st)) return false;
    return S_ISREG(st.st_mode) ? !path.endsWith(u'/') : S_ISDIR(st.st_mode);
}

bool PathExists(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0))) return false;
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

}  // namespace qv
