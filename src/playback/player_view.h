// What the player shows and asks of the window: the loop button, the volume
// slider and the playlist's lines. The program sets one over the real controls; without one
// the player changes no control and sees an empty playlist.
#pragma once

#include <cstdint>

#include "app/settings.h"

namespace qv {

class PlayerView {
  public:
    virtual ~PlayerView() = default;

    // The loop button's picture and tooltip.
    virtual void ShowLoopMode(Looping mode) = 0;
    // The volume slider at lngVolume, 0 ... 1000.
    virtual void ShowVolume(int32_t lngVolume) = 0;
    // The number of lines in the playlist.
    virtual int32_t LineCount() = 0;
    // Selects playlist line lngIndex; the selection's click handling has run
    // by the time this returns.
    virtual void SelectLine(int32_t lngIndex) = 0;
    // The playlist line selected, -1 when none is.
    virtual int32_t SelectedLine() = 0;
};

}  // namespace qv
