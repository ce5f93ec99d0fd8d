// The transport buttons. Next and previous move exactly one entry in every
// state: while nothing plays, "Loop-All" and "Loop-One" play the entry they
// land on, "Loop-Off" leaves it stopped.
#include "playback/transport.h"

#include <algorithm>

#include "app/program_state.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"
#include "playback/player_view.h"

namespace qv {
namespace {

// The seek slider and keys also move a file the tree plays outside the
// playlist, so they ask only for the player, and a window that is open.
clsMediaPlay* Player(ProgramState& state) {
    clsMediaPlay* player = state.objMediaPlay.get();
    PlayerView* view = player ? player->View() : nullptr;
    return view && view->WindowOpen() ? player : nullptr;
}

// The player, when the window is open and the playlist has a line; nothing
// otherwise.
clsMediaPlay* Ready(ProgramState& state) {
    clsMediaPlay* player = Player(state);
    return player && player->ListCount() >= 1 ? player : nullptr;
}

// After a step while nothing played, the new entry goes to the monitor as a
// finished track (StopByUser False): "Loop-One" then plays it, "Loop-Off"
// keeps it stopped. "Loop-All" would step once more on the next tick, to the
// entry after the next (or, after a step back, to the entry that was
// current), while the listener pressed once and expects the entry the button
// names: that mode plays it here.
void GoOnFromStep(clsMediaPlay& player) {
    if (player.LoopMode() == Looping::All) {
        player.Play();
    } else {
        player.StopByUser(false);
    }
}

// The loop button turns the modes round: Off, All, One, Off again.
Looping NextLooping(Looping mode) {
    switch (mode) {
        case Looping::Off:
            return Looping::All;
        case Looping::All:
            return Looping::One;
        case Looping::One:
            break;
    }
    return Looping::Off;
}

}  // namespace

void imgPlay_Click(ProgramState& state) {
    clsMediaPlay* player = Ready(state);
    if (!player) return;
    if (player->SelectedLine() < 0) player->SelectLine(0);
    const PlayerState s = player->PlayState();
    if (s == PlayerState::Playing) {
        player->Pause();
    } else if (s == PlayerState::Paused) {
        player->PlayResume();
        player->StopByUser(false);
    } else if (player->IsIdle()) {
        // The selected line, which need not be the current entry; the
        // selection handling above may have run a handler that emptied it.
        const int line = player->SelectedLine();
        if (line < 0) return;
        player->OpenPlay(line);
        player->StopByUser(false);
    }
}

void imgStop_Click(ProgramState& state) {
    if (clsMediaPlay* player = Ready(state)) player->StopPlay();
}

void imgFF_Click(ProgramState& state) {
    clsMediaPlay* player = Ready(state);
    if (!player) return;
    if (player->PlayState() == PlayerState::Playing) {
        player->PlayNext();
    } else if (player->IsIdle() || player->PlayState() == PlayerState::Paused) {
        player->SetNext();
        GoOnFromStep(*player);
    }
}

void imgREW_Click(ProgramState& state) {
    clsMediaPlay* player = Ready(state);
    if (!player) return;
    if (player->PlayState() == PlayerState::Playing) {
        player->PlayPrev();
    } else if (player->IsIdle() || player->PlayState() == PlayerState::Paused) {
        player->SetPrev();
        GoOnFromStep(*player);
    }
}

void imgLoop_Click(ProgramState& state) {
    clsMediaPlay* player = state.objMediaPlay.get();
    if (!player) return;
    player->LoopMode(NextLooping(player->LoopMode()));
    state.WriteIniWithinSecond(QStringLiteral("Quorvane"), QStringLiteral("LoopMode"),
                               QString::number(static_cast<int32_t>(player->LoopMode())));
}

void sldSeek_Change(ProgramState& state, int32_t lngValue) {
    if (clsMediaPlay* player = Player(state)) player->SeekTo(lngValue);
}

void sldVolume_Change(ProgramState& state, int32_t lngValue) {
    // The slider also moves when the player shows a volume set elsewhere.
    clsMediaPlay* player = Player(state);
    if (player && lngValue != player->Volume()) player->SetVolume(lngValue);
}

void SeekBy(ProgramState& state, int32_t lngMilliseconds) {
    clsMediaPlay* player = Player(state);
    if (!player) return;
    const int64_t to = int64_t{MCIGetPosition(state.mci)} + lngMilliseconds;
    player->SeekTo(int32_t(std::clamp<int64_t>(to, 0, INT32_MAX)));
}

}  // namespace qv
