// The monitor asks the device afresh on every tick and keeps nothing between
// ticks: the end of a track is the device stopped while StopByUser is False.
#include "playback/monitor.h"

#include <algorithm>

#include "app/playlist_data.h"
#include "app/program_state.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"
#include "playback/player_view.h"
#include "playback/sound_output.h"
#include "playback/track_info.h"

namespace qv {
namespace {

bool EndOfTrack(const clsMediaPlay& player, Looping mode) {
    return player.PlayState() == PlayerState::Stopped && player.LoopMode() == mode &&
           !player.StopByUser();
}

// The player and its view while the window is open; null otherwise.
PlayerView* OpenView(const clsMediaPlay* player) {
    PlayerView* view = player ? player->View() : nullptr;
    return view && view->WindowOpen() ? view : nullptr;
}

QString ClockText(int64_t seconds) {
    const auto two = [](int64_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (seconds < 3600) return two(seconds / 60) + u':' + two(seconds % 60);
    return QString::number(seconds / 3600) + u':' + two(seconds / 60 % 60) + u':' +
           two(seconds % 60);
}

}  // namespace

int64_t NearestSecond(int64_t ms) {
    if (ms <= 0) return 0;
    int64_t seconds = ms / 1000;
    const int64_t rest = ms % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 == 1)) ++seconds;
    return seconds;
}

QString TimeText(int64_t positionMs, int64_t lengthMs) {
    return ClockText(NearestSecond(positionMs)) + u'/' + ClockText(NearestSecond(lengthMs));
}

void Timer1_Timer(ProgramState& state) {
    clsMediaPlay* player = state.objMediaPlay.get();
    PlayerView* view = OpenView(player);
    if (!view) return;

    // 1. The picture follows the state as the last tick (or a button) left it.
    view->ShowPlayButton(player->PlayState() == PlayerState::Paused);

    // A file joined on without a gap is heard now: its entry is the current one.
    player->TakeDeviceEvents();

    // 2. The device's own word; nothing at all is NoDevice.
    player->PlayState(PlayerStateOfMode(MCIGetMode(state.mci)));
    ShowLostOutput(state);

    // A start that failed (StopByUser still False from Play, or from next
    // and previous while stopped): "Loop-All" goes on to the next entry,
    // once round the list at most; every other mode stops on it. Either way
    // this happens once, so a list of bad files is never retried tick after
    // tick.
    if (!player->FailedPath().isEmpty() && !player->StopByUser()) {
        const int32_t count = player->ListCount();
        if (player->LoopMode() != Looping::All || !player->SkipFailed(count))
            player->StopByUser(true);
    }

    // 3 to 5. The end of a track, by loop mode; each rule reads the state
    // afresh, so at most one of them acts.
    if (EndOfTrack(*player, Looping::One)) player->PlayStart(player->PlayingID());
    if (EndOfTrack(*player, Looping::All)) player->PlayNext();
    if (EndOfTrack(*player, Looping::Off)) player->SetStart(player->PlayingID());
    player->KeepJoinsQueued();

    // 6. The mode as the device says it; a failure stays named until
    // another file opens, rather than turning into "ready" (nothing open).
    const QString mode = MCIGetMode(state.mci);
    if (!player->FailedPath().isEmpty()) {
        view->ShowMode(kFailedMode);
    } else {
        view->ShowMode(mode.isEmpty() ? PlayerStateWord(PlayerState::NoDevice)
                                      : ModeText(state.mci, mode));
    }

    // 7. Position and length.
    const int32_t position = MCIGetPosition(state.mci);
    const int32_t length = MCIGetLength(state.mci);
    view->ShowTime(TimeText(position, length));

    // The seek slider follows, except while the user holds it: the place
    // being chosen is the one to show until it is let go.
    if (!view->SeekBarHeld()) view->ShowPosition(position, std::max(length, 0));
}

void Timer2_Timer(ProgramState& state) {
    clsMediaPlay* player = state.objMediaPlay.get();
    PlayerView* view = OpenView(player);
    if (!view) return;
    const int32_t id = player->PlayingID();
    // PlayingID may name no record (nothing chosen yet, or the entry was
    // removed): then the preview stays, as there is nothing to go back to.
    // A file that failed (an entry, or the tree's file) is what the preview
    // returns to until another file opens.
    const bool hasRecord = id >= 0 && id <= state.PlayListData.UBound();
    QString path = player->FailedPath();
    const bool back = !path.isEmpty() || hasRecord;
    if (path.isEmpty() && hasRecord) path = state.PlayListData[id].FilePath;
    if (back) ShowPlayingInfo(state, path);
    view->StopPreviewReturn();
    if (back) view->ShowCaption(QStringLiteral("Quorvane - ") + path);
}

}  // namespace qv
