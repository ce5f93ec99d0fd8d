// The scan driver and the scan box's buttons: start and abort with one button,
// the folder picker, and what a scan shows in the window caption.
#pragma once

#include <QString>

class QWidget;

namespace qv {

class ProgramState;
class TreeView;

// Scans Path (replaced by its canonical form) into the tree under
// "SearchedMedia" and appends what was found to MediaDB.db, also after an
// abort. Messages and captions go to window.
void ScanFolder(ProgramState& state, TreeView& tree, QWidget& window, QString& Path,
                bool IncludeSubFolders);

// The scan button: starts a scan of the folder box's path while idle
// ("スキャン"), aborts the running scan otherwise ("中止").
void cmdScan_Click(ProgramState& state);

// "参照...": the folder picker, opening on LastOpenedPath (else the home
// folder); a chosen folder goes into the folder box and LastOpenedPath.
void cmdRef_Click(ProgramState& state);

// True while a scan's walk is on the stack (also while it unwinds after an abort).
bool ScanRunning(const ProgramState& state);

// For the main window's unload: a running scan is aborted and what it found
// so far is saved at once, since the program ends before the walk unwinds.
void EndScanOnUnload(ProgramState& state);

}  // namespace qv
