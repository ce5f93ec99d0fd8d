// The volume wedge's popup: which ReplayGain the player applies (off, the
// track's, the album's), the current one checked.
#pragma once

#include <QPoint>
#include <cstdint>
#include <optional>

namespace qv {

class ProgramState;

// sldVolume asked for its popup (the right button, the context-menu key):
// mnReplayGain opens at the screen point at (at the mouse without one).
void sldVolume_ContextMenu(ProgramState& state, std::optional<QPoint> at);
// An item of mnReplayGain: 0 off, 1 track, 2 album.
void mnReplayGain_Click(ProgramState& state, int32_t lngMode);

}  // namespace qv
