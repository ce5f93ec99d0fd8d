// A depth-first walk over a folder's entries in name order, safe against
// unreadable folders and symbolic-link loops. It runs on any one thread
// (platform/folder_walk_thread.h runs it on a worker).
#pragma once

#include <sys/types.h>

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

namespace qv {

class FolderWalk {
  public:
    // arrangesFiles: ArrangeMediaFiles is asked for each folder's files.
    explicit FolderWalk(bool arrangesFiles = false);
    virtual ~FolderWalk();

    // Lists FolderPath (a trailing "/" is dropped) and calls FolderMet and
    // MediaMet for its entries in name order: natural ("2" before "10") and
    // regardless of letter case, names that differ only there (or in leading
    // zeros) in the order of their bytes. Hidden entries (a leading ".", so "."
    // and ".." too) and "pagefile.sys" are passed over, as are entries that lead
    // nowhere (broken links) and entries that are neither a folder nor a regular
    // file. A folder that cannot be opened, or that this walk entered before, is
    // not listed; one renamed or removed during FolderMet is listed no further.
    void Walk(const QString& FolderPath, bool IncludeSubFolders);

    // Folders and media files met that the program could not keep exactly (a line end,
    // or bytes the file-name encoding does not hold: app/unstorable_paths.h tells the user). They
    // are left out of the walk rather than handed on under a changed name.
    const QStringList& Unstorable() const { return unstorable_; }

  protected:
    // Asked before each entry; true stops the listing of this folder.
    virtual bool Aborted() { return false; }
    // A folder entry: FullPath in FolderPath.
    virtual void FolderMet(const QString& FolderPath, const QString& FullPath,
                           bool IncludeSubFolders) = 0;
    // A regular file whose upper-cased extension is a media kind.
    virtual void MediaMet(const QString& FullPath, const QString& Extension) = 0;
    // For a walk made with arrangesFiles: once a folder is listed, its media
    // files in name order. The answer is the order to hand them on in (entry
    // k: the index in paths of the file that goes k-th), or empty for name
    // order. They are handed on in the places that name order gives media
    // files among the folder's entries, so the subfolders keep theirs.
    virtual std::vector<size_t> ArrangeMediaFiles(const QStringList& paths) {
        (void)paths;
        return {};
    }

  private:
    class Listing;

    // The places in listing of the entries Walk hands to MediaMet, in name order.
    std::vector<size_t> MediaPlaces(const Listing& listing, const QByteArray& encodedPrefix) const;

    QSet<std::pair<dev_t, ino_t>> entered_;
    // One listing per level of the walk, kept for the next folder at that level.
    std::vector<std::unique_ptr<Listing>> listings_;
    size_t depth_ = 0;
    QStringList unstorable_;
    bool arrangesFiles_;
};

}  // namespace qv
