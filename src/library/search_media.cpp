// The library walk over FolderWalkThread. The worker announces every folder
// entry, even one it does not descend into; each announcement shows in the
// caption as the user-interface thread reaches it.
#include "library/search_media.h"

#include <QCoreApplication>
#include <QObject>
#include <QWidget>

#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "library/library_file.h"

namespace qv {

MediaSearch::MediaSearch(ProgramState& state, TreeView& tree, QWidget& window,
                         const QString& FolderPath, bool IncludeSubFolders,
                         std::function<void()> ended)
    : state_(state),
      tree_(tree),
      window_(window),
      ended_(std::move(ended)),
      scanning_(QCoreApplication::translate("Quorvane", "メディアをスキャン中... ")),
      batch_(std::in_place, tree),
      walk_({[this](const WalkFind& find) { Found(find); },
             [this] { TurnDone(); },
             [this](const QStringList& unstorable) { Ended(unstorable); },
             {}}) {
    walk_.Start(FolderPath, IncludeSubFolders);
}

MediaSearch::~MediaSearch() {
    *alive_ = false;
    walk_.Stop();
}

void MediaSearch::Abort() {
    walk_.Abort();
}

void MediaSearch::EndNow() {
    if (walk_.Running()) {
        walk_.Stop();
        Ended({});
    }
    // The walk is over and its write asked for: answered here, not later.
    if (writing_) writing_->Finish();
}

void MediaSearch::AppendThen(LibraryFile& file, const QString& root, const QStringList& found,
                             std::function<void(bool)> answered) {
    writing_ = &file;
    file.Append(root, found, [this, alive = alive_, answered = std::move(answered)](bool written) {
        if (!*alive) return;
        writing_ = nullptr;
        answered(written);
        running_ = false;
    });
}

void MediaSearch::Found(const WalkFind& find) {
    if (find.kind == WalkFind::Folder) {
        window_.setWindowTitle(scanning_ + find.detail);
        lastFolder_.clear();
        return;
    }
    // The path is canonical already: the canonical root and the names
    // exactly as listed, of a file that existed when it was listed.
    AddCanonicalMediaNode(state_, tree_, find.path, find.detail, state_.strSearchRoot, true,
                          &lastFolder_);
}

void MediaSearch::TurnDone() {
    // What the window may show or be clicked on must be in the tree.
    tree_.Attach();
    // Nodes may be removed before the next turn (a click on a vanished path).
    lastFolder_.clear();
}

void MediaSearch::Ended(const QStringList& unstorable) {
    batch_.reset();  // the last files' nodes, before a message lets events run
    ReportUnstorablePaths(state_, &window_, unstorable);
    ended_();
    if (!writing_) running_ = false;
}

}  // namespace qv
