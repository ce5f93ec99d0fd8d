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
QByteArray storedName(const QByteArray& folder, const QByteArray& name) {
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir) return {};
    const QString wanted = QFile::decodeName(name);
    QByteArray best;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray candidate(entry->d_name);
        if (candidate == "." || candidate == "..") continue;
        if (QString::compare(QFile::decodeName(candidate), wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (best.isEmpty() || std::strcmp(candidate.constData(), best.constData()) < 0)
            best = candidate;
    }
    ::closedir(dir);
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

QString GetLongPath(const QString& path) {
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
    if (!exists(result)) {
        result = start;
        for (const QByteArray& part : parts) {
            QByteArray name = part;
            if (part != ".." && !exists(joined(result, part))) {
                name = storedName(result, part);
                if (name.isEmpty()) return QString();
            }
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
