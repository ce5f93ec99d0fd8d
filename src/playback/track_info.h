// What is playing, or was just selected, in the status bar's panels 1 to 3:
// title, artist and comment from the file's tag.
#pragma once

#include <QString>

namespace qv {

class ProgramState;

// The playing entry: "> " before the title. An empty path, or one that names
// no ordinary file, changes nothing.
void ShowPlayingInfo(ProgramState& state, const QString& FilePath);

// A preview of a selected file, without the prefix; restarts Timer2, which
// brings the playing entry back when it fires.
void ShowSelectedInfo(ProgramState& state, const QString& FilePath);

}  // namespace qv
