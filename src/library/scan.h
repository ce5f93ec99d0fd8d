// The scan driver and the scan box's buttons: start and abort with one button,
// the folder picker, and what a scan shows in the window caption.
#pragma once

#include <QString>

class QWidget;

namespace qv {

class ProgramState;
class TreeView;

// Starts a scan of Path (replaced by its canonical form) into the tree under
// "SearchedMedia"; when its walk is over, what was found is appended to
// MediaDB.db, also after an abort. Messages and captions go to window. False
// when no scan started: a path refused (after its message), or a scan running.
bool ScanFolder(ProgramState& state, TreeView& tree, QWidget& window, QString& Path,
                bool IncludeSubFolders);

// The scan button: starts a scan of the folder box's path while idle
// ("スキャン"), aborts the running scan otherwise ("中止").
void cmdScan_Click(ProgramState& state);

// "参照...": the folder picker, opening on LastOpenedPath (else the home
// folder); a chosen folder goes into the folder box and LastOpenedPath.
void cmdRef_Click(ProgramState& state);

// True from the start of a scan until its end has saved what it found (also
// while its worker winds down after an abort).
bool ScanRunning(const ProgramState& state);

// For the main window's unload: a running scan is aborted, its worker ended,
// and what it found so far is saved at once, since the program ends next.
void EndScanOnUnload(ProgramState& state);

}  // namespace qv
