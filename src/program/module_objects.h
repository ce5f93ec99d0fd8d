// The player and the playlist object, made with their views over the main
// window's controls: the one place where the modules meet the widgets they
// change.
#pragma once

namespace qv {

class ProgramState;

// Makes state.objMediaPlay, state.objPlayList and its undo afresh. Their views look the
// window up on every use, so the window may come later and go first.
void MakeModuleObjects(ProgramState& state);

}  // namespace qv
