// The transport strip's buttons: play/pause, stop, next, previous and the
// loop mode. Each acts on the player by the play state it finds.
#pragma once

namespace qv {

class ProgramState;

void imgPlay_Click(ProgramState& state);
void imgStop_Click(ProgramState& state);
void imgFF_Click(ProgramState& state);
void imgREW_Click(ProgramState& state);
void imgLoop_Click(ProgramState& state);

}  // namespace qv
