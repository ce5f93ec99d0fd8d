// The items of the folder popup and the playlist-file popup that add to the
// playlist or replace it; they act on strClickedPath, which a drop on the
// playlist or a click on a tree node left there.
#pragma once

namespace qv {

class ProgramState;

// Adds the folder's media files: this folder only, or with its subfolders.
void mnAddListNoneOnly_Click(ProgramState& state);
void mnAddListNoneSub_Click(ProgramState& state);
// Empties the playlist (the device stopped), then adds as above.
void mnAddListClearOnly_Click(ProgramState& state);
void mnAddListClearSub_Click(ProgramState& state);
// Forgets the target.
void mnAddListCancel_Click(ProgramState& state);

// Appends the ".lst" file's entries.
void mnAddPlayList_Click(ProgramState& state);
// Empties the playlist (the device stopped), then loads the ".lst" file.
void mnAddPlayListRep_Click(ProgramState& state);
// Forgets the target.
void mnAddPlayListCancel_Click(ProgramState& state);

}  // namespace qv
