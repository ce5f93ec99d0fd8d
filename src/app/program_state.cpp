// The program-wide state: its forms go before the player and the playlist,
// since the forms' last events may still reach both.
#include "app/program_state.h"

#include <QTimer>
#include <utility>

#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/frm_splash.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"

namespace qv {

ProgramState::ProgramState(const QString& appPath, MciSender& mciSender, Dialogs& dialogSeam,
                           Clock& clockSource)
    : ini(appPath), mci(mciSender), dialogs(dialogSeam), clock(clockSource) {}

ProgramState::~ProgramState() {
    FlushSettings();
    hideMenu_.reset();
    splash.reset();
    savePL.reset();
    mainForm.reset();
    objMediaPlay.reset();
    objPlayList.reset();
}

void ProgramState::WriteIniSoon(const QString& Section, const QString& Key, const QString& Value) {
    for (QStringList& pending : pendingSettings_) {
        if (pending[0] == Section && pending[1] == Key) {
            pending[2] = Value;
            return;
        }
    }
    pendingSettings_.append({Section, Key, Value});
    if (!flushContext_) flushContext_ = std::make_unique<QObject>();
    QTimer::singleShot(0, flushContext_.get(), [this] { FlushSettings(); });
}

void ProgramState::FlushSettings() {
    const QList<QStringList> pending = std::exchange(pendingSettings_, {});
    for (const QStringList& s : pending) ini.WriteIni(s[0], s[1], s[2]);
}

frmHideMenu& ProgramState::HideMenu() {
    if (!hideMenu_) hideMenu_ = std::make_unique<frmHideMenu>();
    return *hideMenu_;
}

}  // namespace qv
