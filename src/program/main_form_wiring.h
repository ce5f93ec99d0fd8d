// Connects the main window's own events (its load, its unload, a selected
// playlist line) to the start-up module and the track information.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// loading runs LoadMainForm, unloading UnloadMainForm, and a selected line of
// the playlist puts its path in the caption and its tags in the status bar.
// Every main window is connected so, the running program's and each test's,
// once.
void ConnectMainForm(ProgramState& state, frmQuorvane& form);

}  // namespace qv
