// The library walk over FolderWalk. It announces and yields at every folder entry, even one it does
// not descend into, so the window and playback stay alive and the abort is seen.
#include "library/search_media.h"

#include <QCoreApplication>
#include <QWidget>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "app/unstorable_paths.h"
#include "library/media_db.h"
#include "platform/folder_walk.h"

namespace qv {
namespace {

class LibraryWalk final : public FolderWalk {
  public:
    LibraryWalk(ProgramState& state, TreeView& tree, QWidget& window)
        : state_(state), tree_(tree), window_(window) {}

  protected:
    bool Aborted() override { return state_.bAbortScan; }
    void FolderMet(const QString& FolderPath, const QString& FullPath,
                   bool IncludeSubFolders) override {
        window_.setWindowTitle(QCoreApplication::translate("Quorvane", "メディアをスキャン中... ") +
                               FolderPath);
        // What the window may show or be clicked on must be in the tree.
        tree_.Attach();
        YieldToEventLoop();
        if (IncludeSubFolders) Walk(FullPath, true);
        // Nodes may have been removed meanwhile (a click on a vanished path).
        lastFolder_.clear();
    }
    void MediaMet(const QString& FullPath, const QString& Extension) override {
        // The path is canonical already: the canonical root and the names
        // exactly as listed, of a file that exists.
        AddCanonicalMediaNode(state_, tree_, FullPath, Extension, state_.strSearchRoot, true,
                              &lastFolder_);
    }

  private:
    ProgramState& state_;
    TreeView& tree_;
    QWidget& window_;
    FolderCursor lastFolder_;
    // The nodes of a run of files join the tree together, at the next yield.
    const TreeView::Batch batch_{tree_};
};

}  // namespace

void SearchMedia(ProgramState& state, TreeView& tree, QWidget& window, const QString& FolderPath,
                 bool IncludeSubFolders) {
    LibraryWalk walk(state, tree, window);
    walk.Walk(FolderPath, IncludeSubFolders);
    tree.Attach();  // the last files' nodes, before a message lets events run
    ReportUnstorablePaths(state, &window, walk.Unstorable());
}

}  // namespace qv
