// The playlist walk over FolderWalk: every media file it meets is offered to
// the playlist, an album's in disc and track order.
#include "playlist/playlist_walk.h"

#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/folder_walk.h"
#include "playlist/cls_playlist.h"
#include "tags/track_number.h"

namespace qv {
namespace {

class PlayListWalk final : public FolderWalk {
  public:
    explicit PlayListWalk(ProgramState& state) : FolderWalk(true), state_(state) {}

  protected:
    void FolderMet(const QString&, const QString& FullPath, bool IncludeSubFolders) override {
        if (IncludeSubFolders) Walk(FullPath, true);
        YieldToEventLoop();
    }
    void MediaMet(const QString& FullPath, const QString&) override {
        if (state_.objPlayList) state_.objPlayList->AddToPlayList(FullPath);
    }
    // A folder whose every media file has a track number is an album, and
    // plays in its order ("10 Intro.mp3" may be its first track); any other
    // folder in the order of its names.
    std::vector<size_t> ArrangeMediaFiles(const QStringList& paths) override {
        if (paths.size() < 2) return {};
        const auto numbers = ReadTrackNumbersOfAll(paths);
        return numbers ? AlbumOrder(*numbers) : std::vector<size_t>();
    }

  private:
    ProgramState& state_;
};

}  // namespace

void SearchMediaToPlayList(ProgramState& state, const QString& FolderPath, bool IncludeSubFolders) {
    PlayListWalk walk(state);
    walk.Walk(FolderPath, IncludeSubFolders);
    ReportUnstorablePaths(state, state.MainWindow(), walk.Unstorable());
}

}  // namespace qv
