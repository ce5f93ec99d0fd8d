// Connects the playlist strip, the playlist box's clicks, keys and drops, and
// the popup items that fill the playlist, to their handlers.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// imgUp, imgDown, lblRemove, lblClear and lblShuffle; a second click on the
// selected line, a double click on a line, Enter and drops on lstPL; the
// items mnAddListNoneOnly … mnAddPlayListCancel. A second call for the same
// window does nothing.
void ConnectPlaylistEditing(ProgramState& state, frmQuorvane& form);

}  // namespace qv
