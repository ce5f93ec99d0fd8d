// The transport buttons. Next and previous move exactly one entry in every
// state: while nothing plays, "Loop-All" and "Loop-One" play the entry they
// land on, "Loop-Off" leaves it stopped.
#include "playback/transport.h"

#include <algorithm>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"

namespace qv {
namespace {

// The player and the playlist, when the window is up and the playlist has a
// line; nothing otherwise.
clsMediaPlay* Ready(ProgramState& state) {
    if (!state.mainForm || state.mainForm->Unloaded() || !state.objMediaPlay ||
        state.objMediaPlay->ListCount() < 1)
        return nullptr;
    return state.objMediaPlay.get();
}

// The seek slider and keys also move a file the tree plays outside the
// playlist, so they ask only for the player.
clsMediaPlay* Player(ProgramState& state) {
    if (!state.mainForm || state.mainForm->Unloaded()) return nullptr;
    return state.objMediaPlay.get();
}

QString State(const clsMediaPlay& player) {
    return player.PlayState().toUpper();
}

bool StoppedOrPaused(const QString& s) {
    return s == kStatePaused || s == kStateStopped || s == kStateReady;
}

// After a step while nothing played, the new entry goes to the monitor as a
// finished track (StopByUser False): "Loop-One" then plays it, "Loop-Off"
// keeps it stopped. "Loop-All" would step once more on the next tick, to the
// entry after the next (or, after a step back, to the entry that was
// current), while the listener pressed once and expects the entry the button
// names: that mode plays it here.
void GoOnFromStep(clsMediaPlay& player) {
    if (player.LoopMode() == 1) {
        player.Play();
    } else {
        player.StopByUser(false);
    }
}

}  // namespace

void imgPlay_Click(ProgramState& state) {
    clsMediaPlay* player = Ready(state);
    if (!player) return;
    if (player->SelectedLine() < 0) player->SelectLine(0);
    const QString s = State(*player);
    if (s == kStatePlaying) {
        player->Pause();
    } else if (s == kStatePaused) {
        player->PlayResume();
        player->StopByUser(false);
    } else if (s == kStateStopped || s == kStateReady) {
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
    const QString s = State(*player);
    if (s == kStatePlaying) {
        player->PlayNext();
    } else if (StoppedOrPaused(s)) {
        player->SetNext();
        GoOnFromStep(*player);
    }
}

void imgREW_Click(ProgramState& state) {
    clsMediaPlay* player = Ready(state);
    if (!player) return;
    const QString s = State(*player);
    if (s == kStatePlaying) {
        player->PlayPrev();
    } else if (StoppedOrPaused(s)) {
        player->SetPrev();
        GoOnFromStep(*player);
    }
}

void imgLoop_Click(ProgramState& state) {
    clsMediaPlay* player = state.objMediaPlay.get();
    if (!player) return;
    const int32_t mode = player->LoopMode();
    if (mode < 0 || mode > 2) return;
    player->LoopMode((mode + 1) % 3);
    state.WriteIniWithinSecond(QStringLiteral("Quorvane"), QStringLiteral("LoopMode"),
                               QString::number(player->LoopMode()));
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
