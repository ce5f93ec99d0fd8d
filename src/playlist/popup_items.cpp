// The popup items. None of them starts playback, and strClickedPath keeps its
// value after an add or a replace.
#include "playlist/popup_items.h"

#include "app/program_state.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_edit.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_undo.h"
#include "playlist/playlist_walk.h"

namespace qv {
namespace {

// Each item is one step of the undo, the emptying of a replace with the walk
// or the file that follows it: one undo brings the list back as it was. A
// walk waits for the one before it to end, and a replace empties the list as
// its own walk starts; it walks its own copy of the folder, as another drop
// may set a new strClickedPath meanwhile.
void AddFolder(ProgramState& state, bool IncludeSubFolders, bool replace) {
    const QString folder = state.strClickedPath;
    AfterPlayListWalks(state, [&state, folder, IncludeSubFolders, replace] {
        const PlayListUndo::Step step(state);
        if (replace) ResetPlayList(state);
        SearchMediaToPlayList(state, folder, IncludeSubFolders);
    });
}

void AddPlayListFile(ProgramState& state, bool replace) {
    const PlayListUndo::Step step(state);
    const QString path = state.strClickedPath;
    // ResetPlayList empties the list box as well, once.
    if (replace) ResetPlayList(state);
    LoadPlayListFile(state, path);
}

}  // namespace

void mnAddListNoneOnly_Click(ProgramState& state) {
    AddFolder(state, false, false);
}

void mnAddListNoneSub_Click(ProgramState& state) {
    AddFolder(state, true, false);
}

void mnAddListClearOnly_Click(ProgramState& state) {
    AddFolder(state, false, true);
}

void mnAddListClearSub_Click(ProgramState& state) {
    AddFolder(state, true, true);
}

void mnAddListCancel_Click(ProgramState& state) {
    state.strClickedPath.clear();
}

void mnAddPlayList_Click(ProgramState& state) {
    AddPlayListFile(state, false);
}

void mnAddPlayListRep_Click(ProgramState& state) {
    AddPlayListFile(state, true);
}

void mnAddPlayListCancel_Click(ProgramState& state) {
    state.strClickedPath.clear();
}

}  // namespace qv
