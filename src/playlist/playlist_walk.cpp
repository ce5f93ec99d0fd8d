// The playlist walk over FolderWalkThread: every media file it meets is offered to
// the playlist, an album's in disc and track order.
#include "playlist/playlist_walk.h"

#include <optional>
#include <utility>

#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "platform/folder_walk_thread.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_undo.h"
#include "tags/track_number.h"

namespace qv {
namespace {

// A folder whose every media file has a track number is an album, and
// plays in its order ("10 Intro.mp3" may be its first track); any other
// folder in the order of its names. On the worker: the tags are read there.
std::vector<size_t> ArrangeMediaFiles(const QStringList& paths) {
    if (paths.size() < 2) return {};
    const auto numbers = ReadTrackNumbersOfAll(paths);
    return numbers ? AlbumOrder(*numbers) : std::vector<size_t>();
}

PlayListWalks& Walks(ProgramState& state) {
    if (!state.playListWalks) state.playListWalks = std::make_unique<PlayListWalks>(state);
    return *state.playListWalks;
}

}  // namespace

class PlayListWalks::Walk final : public QObject {
  public:
    Walk(PlayListWalks& walks, const QString& FolderPath, bool IncludeSubFolders)
        : QObject(&walks),
          state_(walks.state_),
          step_(std::in_place, walks.state_),
          walks_(walks),
          walk_({[this](const WalkFind& find) { MediaMet(find); }, [this] { lines_.reset(); },
                 [this](const QStringList& unstorable) { Ended(unstorable); }, ArrangeMediaFiles}) {
        walk_.Start(FolderPath, IncludeSubFolders);
    }

    // The files not added yet are left out; the step ends.
    void Stop() {
        walk_.Stop();
        lines_.reset();
        step_.reset();
    }

  private:
    void MediaMet(const WalkFind& find) {
        if (find.kind != WalkFind::Media || !state_.objPlayList) return;
        // A turn's lines reach the list box in one insertion.
        if (!lines_) lines_.emplace(*state_.objPlayList);
        state_.objPlayList->AddToPlayList(find.path);
    }
    void Ended(const QStringList& unstorable) {
        lines_.reset();
        ReportUnstorablePaths(state_, state_.MainWindow(), unstorable);
        // Before what waits runs: each is a step of its own.
        step_.reset();
        // Its handler is on the stack, and a task that waits may open a popup.
        deleteLater();
        walks_.WalkEnded(this);
    }

    ProgramState& state_;
    // What opened the walk and the walk are one step of the undo.
    std::optional<PlayListUndo::Step> step_;
    std::optional<clsPlayList::LineBatch> lines_;
    PlayListWalks& walks_;
    FolderWalkThread walk_;
};

PlayListWalks::PlayListWalks(ProgramState& state) : state_(state) {}

PlayListWalks::~PlayListWalks() {
    // The steps of what waits end before the running walk's.
    waiting_.clear();
    delete running_;
}

void PlayListWalks::Start(const QString& FolderPath, bool IncludeSubFolders) {
    if (running_) {
        waiting_.push_back(
            [this, FolderPath, IncludeSubFolders] { Start(FolderPath, IncludeSubFolders); });
        return;
    }
    running_ = new Walk(*this, FolderPath, IncludeSubFolders);
}

void PlayListWalks::After(std::function<void()> task) {
    if (running_ || !waiting_.empty()) {
        waiting_.push_back(std::move(task));
        return;
    }
    task();
}

void PlayListWalks::WalkEnded(Walk* walk) {
    if (running_ == walk) running_ = nullptr;
    while (!running_ && !waiting_.empty()) {
        const std::function<void()> task = std::move(waiting_.front());
        waiting_.pop_front();
        task();
    }
}

void SearchMediaToPlayList(ProgramState& state, const QString& FolderPath, bool IncludeSubFolders) {
    Walks(state).Start(FolderPath, IncludeSubFolders);
}

void AfterPlayListWalks(ProgramState& state, std::function<void()> task) {
    Walks(state).After(std::move(task));
}

bool PlayListWalking(const ProgramState& state) {
    const PlayListWalks* walks = state.playListWalks.get();
    return walks && (walks->running_ || !walks->waiting_.empty());
}

void EndPlayListWalks(ProgramState& state) {
    if (!state.playListWalks) return;
    state.playListWalks->waiting_.clear();
    if (PlayListWalks::Walk* walk = std::exchange(state.playListWalks->running_, nullptr)) {
        walk->Stop();
        walk->deleteLater();
    }
}

}  // namespace qv
