// The player object: its four values, and opening and playing an entry. The
// other transport operations come with the playback monitor.
#include "playback/media_play.h"

#include <QPixmap>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "playback/mod_mci.h"
#include "playback/track_info.h"
#include "playlist/cls_playlist.h"

namespace qv {

clsMediaPlay::clsMediaPlay(ProgramState& state) : state_(state) {}

void clsMediaPlay::LoopMode(int32_t lLoopMode) {
    if (frmQuorvane* form = state_.mainForm.get()) {
        const ClickLabel* from = nullptr;
        QString tip;
        switch (lLoopMode) {
            case 0:
                from = form->imgLoopOff;
                tip = QStringLiteral("Loop-Off");
                break;
            case 1:
                from = form->imgLoopAll;
                tip = QStringLiteral("Loop-All");
                break;
            case 2:
                from = form->imgLoopOne;
                tip = QStringLiteral("Loop-One");
                break;
            default:
                break;
        }
        if (from) {
            form->imgLoop->setToolTip(tip);
            form->imgLoop->setPixmap(from->pixmap());
        }
    }
    lLoopMode_ = lLoopMode;
}

void clsMediaPlay::PlayState(const QString& strPlayState) {
    strPlayState_ = strPlayState.isEmpty() ? QStringLiteral("ready") : strPlayState;
}

void clsMediaPlay::OpenFile(int32_t SongID) {
    if (SongID < 0 || SongID > state_.PlayListData.UBound()) return;
    MCIStop(state_.mci);
    MCIClose(state_.mci);
    MCIOpen(state_.mci, state_.PlayListData[SongID].FilePath);
    state_.PlayListData.SetLength(SongID, MCIGetLength(state_.mci) / 1000);
    state_.objPlayList->SetListIndex(SongID);
    PlayingID(SongID);
    PlayState(QStringLiteral("READY"));
    ShowPlayingInfo(state_, state_.PlayListData[PlayingID()].FilePath);
    StopByUser(true);
}

void clsMediaPlay::OpenPlay(int32_t SongID) {
    OpenFile(SongID);
    Play();
}

void clsMediaPlay::Play() {
    MCIPlay(state_.mci);
    PlayState(QStringLiteral("PLAYING"));
    StopByUser(false);
}

}  // namespace qv
