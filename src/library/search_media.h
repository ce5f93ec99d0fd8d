// The library walk that feeds the media tree and the library file.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/tree_view.h"
#include "library/media_db.h"
#include "platform/folder_walk_thread.h"

class QObject;
class QWidget;

namespace qv {

class ProgramState;
class LibraryFile;

// A walk of FolderPath (and its subfolders when IncludeSubFolders) for media
// files: the folders are listed on a worker thread, and each media file met
// goes to AddCanonicalMediaNode here, in walk order, a batch at a time between
// the window's other events. At every folder entry window's caption shows
// "メディアをスキャン中... " + the folder being listed. Folders it cannot read
// are skipped; a folder reached twice (symbolic links) is walked once.
class MediaSearch {
  public:
    // Starts the walk. ended is called once it is over (aborted too), after
    // its last nodes joined the tree and the paths it could not keep were named.
    MediaSearch(ProgramState& state, TreeView& tree, QWidget& window, const QString& FolderPath,
                bool IncludeSubFolders, std::function<void()> ended);
    // Stops the worker; ended is not called.
    ~MediaSearch();
    MediaSearch(const MediaSearch&) = delete;
    MediaSearch& operator=(const MediaSearch&) = delete;

    // Nothing more joins the tree; ended comes once the worker has stopped.
    void Abort();
    // Abort, and ends it at once: waits for the worker, then calls ended,
    // and waits for the write that ended asked for.
    void EndNow();
    // Until ended has returned and the write it asked for has been answered.
    bool Running() const { return running_; }

    // For ended: appends to the library file through file, then answered
    // with the result; the scan is running until then.
    void AppendThen(LibraryFile& file, const QString& root, const QStringList& found,
                    std::function<void(bool)> answered);

  private:
    void Found(const WalkFind& find);
    void TurnDone();
    void Ended(const QStringList& unstorable);

    ProgramState& state_;
    TreeView& tree_;
    QWidget& window_;
    std::function<void()> ended_;
    const QString scanning_;  // the caption before the folder
    FolderCursor lastFolder_;
    // The nodes of a turn's files join the tree together, at its end.
    std::optional<TreeView::Batch> batch_;
    bool running_ = true;
    // The file the write that ended asked for goes through, until answered.
    LibraryFile* writing_ = nullptr;
    // Told whether this walk is still there when the answer comes.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    FolderWalkThread walk_;
};

}  // namespace qv
