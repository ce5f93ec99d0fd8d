// The playlist's folder walks: a folder's media files (and its subfolders')
// become playlist entries, in the order the walk lists them.
#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

namespace qv {

class ProgramState;

// Every media file under FolderPath (its subfolders too when IncludeSubFolders)
// goes to AddToPlayList (its answer is not needed); no abort, no caption. The
// folders are listed on a worker thread, and the files are added here a batch
// at a time between the window's other events; everything the playlist goes
// through meanwhile is one step of the undo with the walk. A folder's own media
// files go in disc and track order when each names its track in its tag (and
// no two the same place), else in name order. Paths that could not
// be kept exactly are named in one message at the end. Walks add their files
// one after another: while one runs, the next waits for its end.
void SearchMediaToPlayList(ProgramState& state, const QString& FolderPath, bool IncludeSubFolders);

// Runs task now when no playlist walk runs or waits, else after those, so that
// what a drop adds after a folder comes after the folder's files.
void AfterPlayListWalks(ProgramState& state, std::function<void()> task);

// True while a playlist walk runs, or a walk or a task waits.
bool PlayListWalking(const ProgramState& state);

// For the main window's unload: the running walk ends where it is (its files
// added so far stay), and what waits is let go.
void EndPlayListWalks(ProgramState& state);

// The walks of one program (ProgramState::playListWalks): the running one and
// what waits for it.
class PlayListWalks final : public QObject {
  public:
    explicit PlayListWalks(ProgramState& state);
    ~PlayListWalks() override;
    PlayListWalks(const PlayListWalks&) = delete;
    PlayListWalks& operator=(const PlayListWalks&) = delete;

  private:
    class Walk;
    friend void SearchMediaToPlayList(ProgramState&, const QString&, bool);
    friend void AfterPlayListWalks(ProgramState&, std::function<void()>);
    friend bool PlayListWalking(const ProgramState&);
    friend void EndPlayListWalks(ProgramState&);

    void Start(const QString& FolderPath, bool IncludeSubFolders);
    void After(std::function<void()> task);
    // A walk ended: the tasks that wait run, up to one that starts a walk.
    void WalkEnded(Walk* walk);

    ProgramState& state_;
    Walk* running_ = nullptr;  // a child, as the walks that ended until they go
    std::deque<std::function<void()>> waiting_;
};

}  // namespace qv
