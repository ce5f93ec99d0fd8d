// The folder listing behind both walks. Folders are remembered by device and
// inode, so a link to an ancestor or two links to one folder cannot make the
// walk go round for ever or list a folder twice.
#include "library/folder_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <cstring>

#include "app/unstorable_paths.h"
#include "library/media_kinds.h"

namespace qv {
namespace {

enum class EntryKind { Folder, File, Other };

// The kind of an entry, following symbolic links; Other for an entry that
// leads nowhere or is neither a folder nor a regular file.
EntryKind KindOf(const dirent* entry, const QByteArray& prefix) {
    if (entry->d_type == DT_DIR) return EntryKind::Folder;
    if (entry->d_type == DT_REG) return EntryKind::File;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return EntryKind::Other;
    struct stat st;
    if (::stat((prefix + entry->d_name).constData(), &st) != 0) return EntryKind::Other;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

// A name that is not valid in the file-name encoding decodes to another name,
// under which the entry cannot be reached.
bool Reachable(const QString& name, const char* raw) {
    return !name.contains(QChar::ReplacementCharacter) || QFile::encodeName(name) == raw;
}

// True while path still names the folder that was opened as `opened`.
bool StillThere(const QByteArray& path, const struct stat& opened) {
    struct stat now;
    return ::stat(path.constData(), &now) == 0 && now.st_dev == opened.st_dev &&
           now.st_ino == opened.st_ino;
}

// Hidden names (a leading ".", "." and ".." among them) are what the existence
// tests count as absent: taken, they would vanish again at the next start.
bool Skipped(const char* name) {
    return name[0] == '.' || !std::strcmp(name, "pagefile.sys");
}

}  // namespace

void FolderWalk::Walk(const QString& FolderPath, bool IncludeSubFolders) {
    QString folder = FolderPath;
    if (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    if (HasLineEnd(folder)) {
        unstorable_.append(folder);
        return;
    }
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir) return;  // unreadable or gone: the walk goes on elsewhere
    struct stat opened;
    if (::fstat(::dirfd(dir), &opened) != 0 || entered_.contains({opened.st_dev, opened.st_ino})) {
        ::closedir(dir);
        return;
    }
    entered_.insert({opened.st_dev, opened.st_ino});

    const QString prefix = folder == u"/" ? folder : folder + u'/';
    const QByteArray encodedPrefix = QFile::encodeName(prefix);
    bool listing = true;
    while (listing && !Aborted()) {
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        const char* raw = entry->d_name;
        if (Skipped(raw)) continue;
        const EntryKind kind = KindOf(entry, encodedPrefix);
        if (kind == EntryKind::Other) continue;
        const QString name = QFile::decodeName(raw);
        if (!Reachable(name, raw) || HasLineEnd(name)) {
            if (kind == EntryKind::Folder || IsMediaKind(EntryExtension(name)))
                unstorable_.append(prefix + name);
            continue;
        }
        switch (kind) {
            case EntryKind::Folder:
                FolderMet(folder, prefix + name, IncludeSubFolders);
                // Anything may have happened during the yield: a folder that
                // was renamed or removed meanwhile is listed no further, as
                // the paths built from its old name lead nowhere.
                listing = StillThere(encoded, opened);
                break;
            case EntryKind::File: {
                const QString ext = EntryExtension(name);
                if (IsMediaKind(ext)) MediaMet(prefix + name, ext);
                break;
            }
            case EntryKind::Other:
                break;
        }
    }
    ::closedir(dir);
}

}  // namespace qv
