// The playback monitor (Timer1, every 50 ms) and the return of the caption
// and the tag panels to the playing entry after a preview (Timer2).
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

class ProgramState;

// One tick: the play button's picture, the device's mode mirrored into the
// player, the loop mode applied at the end of a track, the mode and time
// panels, and the seek slider (left alone while the user holds it).
void Timer1_Timer(ProgramState& state);

// Shows the playing entry again and switches Timer2 off.
void Timer2_Timer(ProgramState& state);

// Milliseconds to the nearest whole second, halves to the even second.
int64_t NearestSecond(int64_t ms);

// The time panel's text: position and length as "nn:ss/nn:ss"; from one hour
// on a time is written "h:mm:ss" rather than letting the minutes wrap.
QString TimeText(int64_t positionMs, int64_t lengthMs);

}  // namespace qv
