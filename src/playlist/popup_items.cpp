// The popup items. None of them starts playback, and strClickedPath keeps its
// value after an add or a replace.
#include "playlist/popup_items.h"

#include "app/program_state.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_edit.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_walk.h"

namespace qv {
namespace {

// The walk yields to the event loop, where another drop may set a new
// strClickedPath; it works on its own copy of the folder.
void AddFolder(ProgramState& state, bool IncludeSubFolders) {
    const QString folder = state.strClickedPath;
    SearchMediaToPlayList(state, folder, IncludeSubFolders);
}

void AddPlayListFile(ProgramState& state) {
    const QString path = state.strClickedPath;
    LoadPlayListFile(state, path);
}

}  // namespace

void mnAddListNoneOnly_Click(ProgramState& state) {
    AddFolder(state, false);
}

void mnAddListNoneSub_Click(ProgramState& state) {
    AddFolder(state, true);
}

void mnAddListClearOnly_Click(ProgramState& state) {
    ResetPlayList(state);
    AddFolder(state, false);
}

void mnAddListClearSub_Click(ProgramState& state) {
    ResetPlayList(state);
    AddFolder(state, true);
}

void mnAddListCancel_Click(ProgramState& state) {
    state.strClickedPath.clear();
}

void mnAddPlayList_Click(ProgramState& state) {
    AddPlayListFile(state);
}

void mnAddPlayListRep_Click(ProgramState& state) {
    // ResetPlayList empties the list box as well, once.
    ResetPlayList(state);
    AddPlayListFile(state);
}

void mnAddPlayListCancel_Click(ProgramState& state) {
    state.strClickedPath.clear();
}

}  // namespace qv
