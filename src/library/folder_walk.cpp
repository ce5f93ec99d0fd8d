// The folder listing behind both walks. Folders are remembered by device and
// inode, so a link to an ancestor or two links to one folder cannot make the
// walk go round for ever or list a folder twice.
#include "library/folder_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <cstring>

#include "library/media_kinds.h"

namespace qv {
namespace {

enum class EntryKind { Folder, File, Other };

// The kind of an entry, following symbolic links; nullopt-like Other for an
// entry that leads nowhere or is neither a folder nor a regular file.
EntryKind KindOf(const dirent* entry, const QString& fullPath) {
    if (entry->d_type == DT_DIR) return EntryKind::Folder;
    if (entry->d_type == DT_REG) return EntryKind::File;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return EntryKind::Other;
    struct stat st;
    if (::stat(QFile::encodeName(fullPath).constData(), &st) != 0) return EntryKind::Other;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

}  // namespace

void FolderWalk::Walk(const QString& FolderPath, bool IncludeSubFolders) {
    QString folder = FolderPath;
    if (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return;  // unreadable or gone: the walk goes on elsewhere
    struct stat st;
    if (::fstat(::dirfd(dir), &st) != 0 || entered_.contains({st.st_dev, st.st_ino})) {
        ::closedir(dir);
        return;
    }
    entered_.insert({st.st_dev, st.st_ino});

    const QString prefix = folder == u"/" ? folder : folder + u'/';
    while (!Aborted()) {
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        const char* raw = entry->d_name;
        if (!std::strcmp(raw, ".") || !std::strcmp(raw, "..") || !std::strcmp(raw, "pagefile.sys"))
            continue;
        const QString name = QFile::decodeName(raw);
        const QString fullPath = prefix + name;
        switch (KindOf(entry, fullPath)) {
            case EntryKind::Folder:
                FolderMet(folder, fullPath, IncludeSubFolders);
                break;
            case EntryKind::File: {
                const QString ext = EntryExtension(name);
                if (IsMediaKind(ext)) MediaMet(fullPath, ext);
                break;
            }
            case EntryKind::Other:
                break;
        }
    }
    ::closedir(dir);
}

}  // namespace qv
