// Files of ours that could not be written (a full disk, a folder gone
// read-only): nothing is lost without the user hearing of it.
#pragma once

#include <QString>

namespace qv {

class ProgramState;

// While the program runs: the status bar says so for a while, and standard
// error once a file. During the exit (ProgramState::unloading): kept for
// ShowNotSavedAtExit, as the status bar is about to go.
void ReportNotSaved(ProgramState& state, const QString& path);

// The end of the exit's writes: one message box (OK) naming every file the
// exit could not write; nothing when all were written.
void ShowNotSavedAtExit(ProgramState& state);

}  // namespace qv
