// The program state's making and ending, here where the modules' types are
// whole: the walks go first, their workers stopped while everything they
// reach is there; the forms go before the player and the playlist, since the
// forms' last events may still reach both.
#include <QTimer>

#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/frm_splash.h"
#include "app/playlist_data.h"
#include "app/program_state.h"
#include "app/save_failures.h"
#include "library/library_file.h"
#include "library/search_media.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"
#include "playlist/playlist_undo.h"
#include "playlist/playlist_walk.h"

namespace qv {

ProgramState::ProgramState(const QString& appPath, MciSender& mciSender, Dialogs& dialogSeam,
                           Clock& clockSource)
    : playListRecords_(std::make_unique<PlayListArray>()),
      ini(appPath),
      mci(mciSender),
      dialogs(dialogSeam),
      clock(clockSource),
      PlayListData(*playListRecords_) {
    ini.onWriteFailed = [this](const QString& path) { ReportNotSaved(*this, path); };
}

ProgramState::~ProgramState() {
    mediaSearch.reset();
    // What the scan and the watch found is written before the program goes.
    libraryFile.reset();
    playListWalks.reset();
    FlushSettings();
    hideMenu_.reset();
    splash.reset();
    savePL.reset();
    mainForm.reset();
    objPlayListUndo.reset();
    objMediaPlay.reset();
    objPlayList.reset();
}

}  // namespace qv
