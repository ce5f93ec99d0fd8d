// The ReplayGain popup's handlers: the mode's item is checked before the
// menu opens, and a chosen item goes to the player, which applies and keeps it.
#include "playback/replay_gain_menu.h"

#include <QAction>
#include <QMenu>

#include "app/dialogs.h"
#include "app/frm_hide_menu.h"
#include "app/program_state.h"
#include "playback/media_play.h"
#include "playback/player_view.h"

namespace qv {

void sldVolume_ContextMenu(ProgramState& state, std::optional<QPoint> at) {
    PlayerView* view = state.objMediaPlay ? state.objMediaPlay->View() : nullptr;
    if (!view || !view->WindowOpen()) return;
    frmHideMenu& menus = state.HideMenu();
    const int32_t mode = state.objMediaPlay->ReplayGainMode();
    menus.mnReplayGainOff->setChecked(mode == 0);
    menus.mnReplayGainTrack->setChecked(mode == 1);
    menus.mnReplayGainAlbum->setChecked(mode == 2);
    state.dialogs.PopupMenu(*menus.mnReplayGain, at);
}

void mnReplayGain_Click(ProgramState& state, int32_t lngMode) {
    if (state.objMediaPlay) state.objMediaPlay->SetReplayGainMode(lngMode);
}

}  // namespace qv
