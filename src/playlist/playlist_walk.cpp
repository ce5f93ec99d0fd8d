// The playlist walk over FolderWalk: every media file it meets is offered to
// the playlist.
#include "playlist/playlist_walk.h"

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/folder_walk.h"
#include "playlist/cls_playlist.h"

namespace qv {
namespace {

class PlayListWalk final : public FolderWalk {
  public:
    explicit PlayListWalk(ProgramState& state) : state_(state) {}

  protected:
    void FolderMet(const QString&, const QString& FullPath, bool IncludeSubFolders) override {
        if (IncludeSubFolders) Walk(FullPath, true);
        YieldToEventLoop();
    }
    void MediaMet(const QString& FullPath, const QString&) override {
        if (state_.objPlayList) state_.objPlayList->AddToPlayList(FullPath);
    }

  private:
    ProgramState& state_;
};

}  // namespace

void SearchMediaToPlayList(ProgramState& state, const QString& FolderPath, bool IncludeSubFolders) {
    PlayListWalk walk(state);
    walk.Walk(FolderPath, IncludeSubFolders);
    ReportUnstorablePaths(state, state.mainForm.get(), walk.Unstorable());
}

}  // namespace qv
