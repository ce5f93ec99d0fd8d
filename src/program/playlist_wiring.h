// Connects the playlist strip, the playlist box's clicks, keys and drops, the
// popup items that fill the playlist, and the "Save" command to their handlers.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// imgUp, imgDown, lblRemove, lblClear and lblShuffle; a second click on the
// selected line, a double click on a line, Enter and drops on lstPL; the
// items mnAddListNoneOnly … mnAddPlayListCancel. A second call for the same
// window does nothing.
void ConnectPlaylistEditing(ProgramState& state, frmQuorvane& form);

// Connects lblSave of the main window; a second call does nothing.
void ConnectSavePlayList(ProgramState& state, frmQuorvane& form);

}  // namespace qv
