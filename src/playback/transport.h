// The transport strip's buttons: play/pause, stop, next, previous and the
// loop mode, each acting on the player by the play state it finds; and its
// seek and volume sliders.
#pragma once

#include <cstdint>

namespace qv {

class ProgramState;

void imgPlay_Click(ProgramState& state);
void imgStop_Click(ProgramState& state);
void imgFF_Click(ProgramState& state);
void imgREW_Click(ProgramState& state);
void imgLoop_Click(ProgramState& state);

// The seek slider let go (or its wheel turned) at lngValue milliseconds: the
// open file moves there, playing on if it played.
void sldSeek_Change(ProgramState& state, int32_t lngValue);
// The volume slider moved to lngValue (0 ... 1000).
void sldVolume_Change(ProgramState& state, int32_t lngValue);
// The arrow keys: lngMilliseconds on from where the open file is (back when
// negative), kept within its start and its end.
void SeekBy(ProgramState& state, int32_t lngMilliseconds);

}  // namespace qv
