// Connects the main window's playback controls (the two timers, the five
// transport buttons, the seek and volume sliders, and the keys Space, Left
// and Right) to the monitor's and the transport's handlers.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// Timer1's and Timer2's timeouts, the clicks of imgPlay, imgStop, imgFF,
// imgREW and imgLoop, sldSeek and sldVolume (with its ReplayGain popup), and
// the window's keys Space
// (play / pause), Left and Right (5 s back, on). A second call for the same
// window does nothing.
void ConnectPlayback(ProgramState& state, frmQuorvane& form);

}  // namespace qv
