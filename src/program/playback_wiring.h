// Connects the main window's playback controls (the two timers and the five
// transport buttons) to the monitor's and the transport's handlers.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// Timer1's and Timer2's timeouts and the clicks of imgPlay, imgStop, imgFF,
// imgREW and imgLoop. A second call for the same window does nothing.
void ConnectPlayback(ProgramState& state, frmQuorvane& form);

}  // namespace qv
