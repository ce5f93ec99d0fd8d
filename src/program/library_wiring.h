// Connects the main window's library controls (scan box, tree, the tree's
// popup items) to the library's handlers.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// The scan box's buttons, Enter, double click and drops on the folder box,
// the tree's clicks (either mouse button, or the context-menu key and
// Shift+F10 on the current node), its drag out and the drop of files
// onto it, and the popup items mnTreeExpand, mnRemoveRoot,
// mnClickNodeMediaPlay and mnClickNodeMediaAdd. A second call for the same window does nothing.
void ConnectLibrary(ProgramState& state, frmQuorvane& form);

}  // namespace qv
