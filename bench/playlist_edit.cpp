// Playlist editing benchmark: shuffle, move and remove on a 20,000-entry
// playlist in a shown main window (offscreen), each timed alone and with the
// event-loop turn after it, the undo and redo of a shuffle, the write of
// LastPlayList.lst that follows edits, and the replacement of the playlist by
// a 20,000-line ".lst" through the playlist popup's replace item.
// Usage: playlist_edit [ENTRIES] [RUNS]   (defaults 20000 and 5)
#include "playlist/playlist_edit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "bench_program.h"
#include "platform/mci/mci.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_undo.h"
#include "playlist/popup_items.h"
#include "support/media_files.h"
#include "support/scripted_dialogs.h"

namespace {

// The device is left out: these commands only touch it to reopen an entry.
struct Program : qvbench::BenchProgram<qvtest::ScriptedDialogs> {
    explicit Program(const QString& folder) : BenchProgram(folder) {
        state.mainForm->Timer1->stop();
        state.mainForm->resize(900, 700);
        state.mainForm->show();
        QApplication::processEvents();
    }
};

// MP3 files with an ID3v2 tag each, so every title comes from a tag.
QStringList MakeMedia(const QString& folder, int n) {
    QDir().mkpath(folder + "media");
    QStringList files;
    for (int i = 0; i < n; ++i) {
        const QString f = folder + QString("media/%1.mp3").arg(i);
        QFile out(f);
        if (!out.open(QIODevice::WriteOnly)) continue;
        out.write(qvtest::Id3Bytes(QString("Title %1").arg(i), "Artist", "Comment"));
        files.append(f);
    }
    return files;
}

// Times of one command: the command alone, and with the event-loop turn
// after it (the list laid out and the window painted again).
struct Figures {
    std::vector<double> alone, turn;
    template <typename F>
    void Run(F&& command) {
        QElapsedTimer t;
        t.start();
        command();
        alone.push_back(t.nsecsElapsed() / 1e6);
        QApplication::processEvents();
        turn.push_back(t.nsecsElapsed() / 1e6);
    }
    void Print(const char* what) {
        std::sort(alone.begin(), alone.end());
        std::sort(turn.begin(), turn.end());
        std::printf(
            "%-34s median %8.3f ms, worst %8.3f | with the turn: median %8.3f, worst %8.3f  "
            "(%zu)\n",
            what, alone[alone.size() / 2], alone.back(), turn[turn.size() / 2], turn.back(),
            alone.size());
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::max(10, atoi(argv[1])) : 20000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTemporaryDir dir(QDir::tempPath() + "/qvbench-XXXXXX");
    const QString folder = dir.path() + "/";
    const QStringList files = MakeMedia(folder, n);
    {
        QFile list(folder + "big.lst");
        list.open(QIODevice::WriteOnly);
        for (const QString& f : files) list.write(f.toUtf8() + "\r\n");
    }
    std::printf("playlist of %lld entries, %d runs\n", static_cast<long long>(files.size()), runs);

    Program p(folder);
    qv::ProgramState& state = p.state;
    QElapsedTimer fill;
    fill.start();
    for (const QString& f : files) state.objPlayList->AddToPlayList(f);
    QApplication::processEvents();
    std::printf("%-44s %9.3f ms\n", "filling it (AddToPlayList each)", fill.nsecsElapsed() / 1e6);
    const int mid = n / 2;
    state.objMediaPlay->PlayingID(mid);
    state.objMediaPlay->PlayState(qv::PlayerState::Playing);

    Figures shuffle;
    for (int r = 0; r < runs; ++r) shuffle.Run([&] { qv::ShufflePlayList(state); });
    shuffle.Print("ShufflePlayList");

    // Undo and redo of the last shuffle: the whole list put back, every line anew.
    Figures undo, redo;
    for (int r = 0; r < runs; ++r) {
        undo.Run([&] { state.objPlayListUndo->Undo(); });
        redo.Run([&] { state.objPlayListUndo->Redo(); });
    }
    undo.Print("Undo of a shuffle");
    redo.Print("Redo of a shuffle");

    // What a second of edits costs once: the whole playlist written again.
    QDir().mkpath(folder + "PlayLists");
    Figures keep;
    for (int r = 0; r < runs; ++r) keep.Run([&] { state.objPlayList->SaveLastPlayList(); });
    keep.Print("LastPlayList.lst written whole");

    Figures up, down;
    for (int r = 0; r < 200; ++r) {
        state.objPlayList->SetListIndex(mid + 50);
        up.Run([&] { qv::imgUp_Click(state); });
        down.Run([&] { qv::imgDown_Click(state); });
    }
    up.Print("imgUp");
    down.Print("imgDown");

    Figures removeMid, removeFirst, removePlaying;
    for (int r = 0; r < 200; ++r) {
        state.objPlayList->SetListIndex(state.PlayListData.UBound() / 3);
        removeMid.Run([&] { qv::lblRemove_Click(state); });
        state.objPlayList->SetListIndex(0);
        removeFirst.Run([&] { qv::lblRemove_Click(state); });
    }
    for (int r = 0; r < 20; ++r) {  // the playing one: the follower is opened and played
        state.objPlayList->SetListIndex(state.objMediaPlay->PlayingID());
        removePlaying.Run([&] { qv::lblRemove_Click(state); });
    }
    removeMid.Print("lblRemove, a line a third down");
    removeFirst.Print("lblRemove, the first line");
    removePlaying.Print("lblRemove, the playing line");

    Figures replace;
    state.strClickedPath = folder + "big.lst";
    for (int r = 0; r < std::min(runs, 3); ++r) {
        replace.Run([&] { qv::mnAddPlayListRep_Click(state); });
        if (state.PlayListData.Count() != files.size()) {
            std::printf("replace left %d entries, not %lld\n", state.PlayListData.Count(),
                        static_cast<long long>(files.size()));
            return 1;
        }
    }
    replace.Print("mnAddPlayListRep with the .lst");
    return 0;
}
