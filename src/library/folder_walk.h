// A depth-first walk over a folder's entries in the order the file system
// lists them, safe against unreadable folders and symbolic-link loops.
#pragma once

#include <sys/types.h>

#include <QSet>
#include <QString>
#include <QStringList>
#include <utility>

namespace qv {

class FolderWalk {
  public:
    virtual ~FolderWalk() = default;

    // Lists FolderPath (a trailing "/" is dropped) and calls FolderMet and
    // MediaMet for its entries; hidden ones (a leading ".", so "." and ".."
    // too) and "pagefile.sys" are passed over, as are entries that lead nowhere
    // (broken links). A folder that cannot be opened, or that this walk entered
    // before, is not listed.
    void Walk(const QString& FolderPath, bool IncludeSubFolders);

    // Folders and media files met that the program could not keep exactly (a line end,
    // or bytes the file-name encoding does not hold: app/unstorable_paths.h). They are
    // left out of the walk rather than handed on under a changed name.
    const QStringList& Unstorable() const { return unstorable_; }

  protected:
    // Asked before each entry; true stops the listing of this folder.
    virtual bool Aborted() { return false; }
    // A folder entry: FullPath in FolderPath.
    virtual void FolderMet(const QString& FolderPath, const QString& FullPath,
                           bool IncludeSubFolders) = 0;
    // A regular file whose upper-cased extension is a media kind.
    virtual void MediaMet(const QString& FullPath, const QString& Extension) = 0;

  private:
    QSet<std::pair<dev_t, ino_t>> entered_;
    QStringList unstorable_;
};

}  // namespace qv
