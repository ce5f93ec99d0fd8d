// The program's start and end in the order the user sees them: the splash
// at once, the main window restored as it was left, the playlist of the last
// run (or the files of the command line), and all of it saved again on exit.
#include "program/startup.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <chrono>

#include "app/clock.h"
#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/frm_splash.h"
#include "app/geometry.h"
#include "app/program_state.h"
#include "app/save_failures.h"
#include "app/settings.h"
#include "app/tree_view.h"
#include "library/folder_watch.h"
#include "library/media_db.h"
#include "library/scan.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_walk.h"
#include "program/command_line.h"
#include "program/find_wiring.h"
#include "program/library_wiring.h"
#include "program/main_form_wiring.h"
#include "program/module_objects.h"
#include "program/playback_wiring.h"
#include "program/playlist_wiring.h"

namespace qv {
namespace {

void Yield() {
    QCoreApplication::processEvents();
}

void ShowMainWindow(ProgramState& state) {
    state.mainForm->show();
    state.mainForm->lstPL->setFocus();
}

// Step 13 with a command line. The first ".lst" ends it.
// A command line that adds no entry at all (other kinds of file, folders, a
// playlist file that is missing or empty) brings the last playlist back as a
// start without one does, for the playlist written at exit replaces the last
// one and an empty one would wipe it; but it plays nothing, as such a start
// always did: the user asked for no music.
void ReadCommandLine(ProgramState& state) {
    const QStringList pieces = SplitCommandLine(state.commandLine);
    for (const QString& piece : pieces) {
        const PieceKind kind = KindOfPiece(piece);
        if (kind == PieceKind::Media) {
            state.objPlayList->AddToPlayList(piece);
        } else if (kind == PieceKind::PlayList) {
            const int32_t n = LoadPlayListFile(state, piece);
            if (n > 0) {
                state.objMediaPlay->OpenPlay(0);
            } else if (state.PlayListData.IsEmpty()) {
                RestoreLastPlayList(state, false);
            }
            state.ini.WriteIni(QStringLiteral("File"), QStringLiteral("LastPlayList"), piece);
            return;
        }
    }
    if (state.objPlayList->ListCount() >= 1) {
        state.objMediaPlay->OpenPlay(0);
    } else {
        RestoreLastPlayList(state, false);
    }
}

}  // namespace

void Main(ProgramState& state) {
    state.lngStartTime = state.clock.timeGetTime();
    MakeModuleObjects(state);
    state.PlayListData.Reset();
    state.random.seed(
        static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));

    state.splash = std::make_unique<frmSplash>();
    state.splash->Form_Load();
    state.savePL = std::make_unique<frmSavePL>(state);
    // Before the save dialog lists the playlist folder: a run that ended
    // without its exit left the playlist it had in its recovery file.
    TakeOverRecoveryFile(state);
    state.savePL->Form_Load();
    state.splash->show();
    state.splash->repaint();
    // The window system only puts the splash on the screen from its own
    // events; hand them over once, without user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    state.mainForm = std::make_unique<frmQuorvane>();
    ConnectMainForm(state, *state.mainForm);
    ConnectLibrary(state, *state.mainForm);
    ConnectPlayback(state, *state.mainForm);
    ConnectPlaylistEditing(state, *state.mainForm);
    ConnectSavePlayList(state, *state.mainForm);
    ConnectFindBar(state, *state.mainForm);
    state.mainForm->Form_Load();
}

void UnloadSplash(ProgramState& state) {
    const uint32_t elapsed = state.clock.timeGetTime() - state.lngStartTime;
    if (elapsed < kSplashMinimum) {
        const uint32_t again = state.clock.timeGetTime() - state.lngStartTime;
        if (again < kSplashMinimum) state.clock.Sleep(kSplashMinimum - again);
    }
    state.splash.reset();
}

void LoadMainForm(ProgramState& state) {
    frmQuorvane& form = *state.mainForm;
    clsMediaPlay& player = *state.objMediaPlay;

    state.strFoundMedia = QStringList{QString()};
    player.LoopMode(ReadLoopMode(state.ini));
    player.RestoreVolume(ReadVolume(state.ini));
    player.RestoreReplayGain(ReadReplayGainMode(state.ini), ReadReplayGainPreamp(state.ini));
    player.StopByUser(true);
    player.PlayingID(kNoEntry);

    form.TV1->AddNode(QString(), QStringLiteral("root"),
                      QCoreApplication::translate("Quorvane", "全てのメディア"), 1);
    form.TV1->AddNode(QStringLiteral("root"), QStringLiteral("RegisteredPlayList"),
                      QCoreApplication::translate("Quorvane", "登録済みプレイリスト"), 2);
    form.TV1->AddNode(QStringLiteral("root"), QStringLiteral("SearchedMedia"),
                      QCoreApplication::translate("Quorvane", "検索されたメディア"), 3);
    form.TV1->EnsureVisible(QStringLiteral("SearchedMedia"));

    form.chkSF->setChecked(true);
    form.Text1->setText(
        GetLongPath(state.ini.ReadIni(QStringLiteral("File"), QStringLiteral("LastSearchedPath"))));
    form.Panel(4)->setText(PlayerStateWord(PlayerState::NoDevice));
    form.MoveTwips(ReadStoredGeometry(state.ini));

    LoadMediaDB(state, *form.TV1);
    StartWatching(state);
    RegisterPlayLists(state);
    Yield();

    if (state.commandLine.isEmpty()) {
        RestoreLastPlayList(state, true);
    } else {
        ReadCommandLine(state);
    }
    // Only now: a write during the restore could leave the playlist half
    // read, or empty, if the program died before the restore ended.
    state.objPlayList->KeepRecoveryFile();

    UnloadSplash(state);
    ShowMainWindow(state);
    Yield();
}

void RestoreLastPlayList(ProgramState& state, bool bPlay) {
    const QString path = LastPlayListPath(state);
    if (!FileExists(path)) {
        state.objMediaPlay->PlayingID(0);
        return;
    }
    const int32_t n = LoadPlayListFile(state, path);
    const int32_t first = state.PlayListData.UBound() - n + 1;
    if (n > 0 && bPlay) {
        state.objMediaPlay->OpenPlay(first);
    } else if (n > 0) {
        // Current, selected and stopped at its start: Play plays it.
        state.objMediaPlay->OpenFile(first);
    } else {
        state.objMediaPlay->PlayingID(0);
    }
}

void UnloadMainForm(ProgramState& state) {
    // What cannot be written from here on is named in one box at the end.
    state.unloading = true;
    // A scan still walking ends here as its abort button would end it, so
    // what it found so far is in MediaDB.db before the program goes.
    EndScanOnUnload(state);
    // A playlist walk ends too: the list saved below is the one shown.
    EndPlayListWalks(state);
    state.FlushSettings();
    WriteStoredGeometry(state.ini, state.mainForm->NormalGeometryTwips());
    MCIStop(state.mci);
    MCIClose(state.mci);
    state.ini.WriteIni(QStringLiteral("Quorvane"), QStringLiteral("LoopMode"),
                       QString::number(static_cast<int32_t>(state.objMediaPlay->LoopMode())));
    state.objMediaPlay->SaveVolume();
    state.objPlayList->SaveLastPlayList();
    ShowNotSavedAtExit(state);
    if (state.endProgram) state.endProgram();
}

}  // namespace qv
