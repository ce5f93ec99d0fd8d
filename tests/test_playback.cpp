// The player, the playback monitor, the transport buttons, the previews and
// the track information, on the scripted device: a test moves the clock and
// runs the ticks.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>

#include "app/controls.h"
#include "library/tree_handlers.h"
#include "playback/track_info.h"
#include "playback/transport.h"
#include "support/fake_program.h"

namespace qv {
namespace {

class Playback : public ::testing::Test {
  protected:
    // t0.wav ... t<n-1>.wav in the playlist, each lengthMs long on the device.
    void Entries(int n, qint64 lengthMs) {
        for (int i = 0; i < n; ++i) p.Add(QStringLiteral("t%1.wav").arg(i), lengthMs + 1000 * i);
    }
    clsMediaPlay& player() { return p.player(); }
    // A panel's text, which a screen reader hears as its description.
    QString Panel(int i) {
        EXPECT_EQ(p.form().Panel(i)->accessibleDescription(), p.form().Panel(i)->text());
        return p.form().Panel(i)->text();
    }
    // The playing entry and the state, as "2 PLAYING".
    QString At() { return QString::number(player().PlayingID()) + " " + player().PlayState(); }
    // The commands sent since the last call, by their first word, an open with
    // the entry it opens: "stop close open2 play".
    QString Sent() {
        QStringList words;
        for (const QString& command : p.Take()) {
            words << command.section(' ', 0, 0);
            for (int i = 0; words.last() == "open" && i < p.form().lstPL->count(); ++i)
                if (command == p.OpenCommand(i)) words.last() += QString::number(i);
        }
        return words.join(' ');
    }
    qvtest::FakeProgram p;
};

TEST(TimeText, NearestSecondHalvesToEvenAndHoursShown) {
    EXPECT_EQ(NearestSecond(2500), 2);
    EXPECT_EQ(NearestSecond(3500), 4);
    EXPECT_EQ(NearestSecond(-20), 0);
    EXPECT_EQ(TimeText(0, 0), "00:00/00:00");
    EXPECT_EQ(TimeText(59600, 61000), "01:00/01:01");
    EXPECT_EQ(TimeText(3599499, 3600500), "59:59/1:00:00");
    EXPECT_EQ(TimeText(3725000, (61 * 60 + 5) * 1000), "1:02:05/1:01:05");
    EXPECT_EQ(TimeText(int64_t{40000} * 1000, 0), "11:06:40/00:00");  // beyond 32767 s
}

// Every operation of the player, one after the other: the commands it sends,
// the entry and state it leaves and StopByUser. PlayingID starts at 65535,
// naming no entry; nothing may read past the last record.
TEST_F(Playback, EachPlayerOperationSendsItsCommandsAndLeavesItsState) {
    Entries(5, 10000);
    const struct {
        void (*op)(clsMediaPlay&);
        const char *sent, *at;
        bool byUser;
    } rows[] = {
        {[](clsMediaPlay& m) { m.SetPrev(); }, "", "65535 ", true},  // 65534 names nothing
        {[](clsMediaPlay& m) { m.PlayStart(7); }, "", "65535 ", true},
        {[](clsMediaPlay& m) { m.SetStart(-3); }, "", "65535 ", true},
        {[](clsMediaPlay& m) { m.OpenPlay(5); }, "", "65535 ", true},
        {[](clsMediaPlay& m) { m.SetNext(); }, "stop close open0", "0 STOPPED", true},
        {[](clsMediaPlay& m) { m.OpenFile(2); }, "stop close open2", "2 READY", true},
        {[](clsMediaPlay& m) { m.OpenPlay(3); }, "stop close open3 play", "3 PLAYING", false},
        {[](clsMediaPlay& m) { m.PlayStart(1); }, "stop close open1 play", "1 PLAYING", false},
        {[](clsMediaPlay& m) { m.PlayStart(1); }, "stop seek play", "1 PLAYING", false},
        {[](clsMediaPlay& m) { m.SetStart(4); }, "stop close open4", "4 STOPPED", true},
        {[](clsMediaPlay& m) { m.Play(); }, "play", "4 PLAYING", false},
        {[](clsMediaPlay& m) { m.Pause(); }, "pause", "4 PAUSED", false},
        {[](clsMediaPlay& m) { m.PlayResume(); }, "resume", "4 PLAYING", false},
        {[](clsMediaPlay& m) { m.StopByUser(true); }, "", "4 PLAYING", true},
        {[](clsMediaPlay& m) { m.Pause(); }, "pause", "4 PAUSED", true},  // StopByUser left
        {[](clsMediaPlay& m) { m.PlayResume(); }, "resume", "4 PLAYING", true},
        {[](clsMediaPlay& m) { m.SetStart(4); }, "stop seek", "4 STOPPED", true},
        {[](clsMediaPlay& m) { m.PlayNext(); }, "stop close open0 play", "0 PLAYING", false},
        {[](clsMediaPlay& m) { m.PlayPrev(); }, "stop seek play", "0 PLAYING", false},
        {[](clsMediaPlay& m) { m.StopPlay(); }, "stop seek", "0 STOPPED", true},
        {[](clsMediaPlay& m) { m.SetPrev(); }, "stop seek", "0 STOPPED", true},
        {[](clsMediaPlay& m) { m.SetNext(); }, "stop close open1", "1 STOPPED", true},
        {[](clsMediaPlay& m) { m.PlayPrev(); }, "stop close open0 play", "0 PLAYING", false},
        // One past the end, the last entry removed: back to the new last, on to the first.
        {[](clsMediaPlay& m) { m.PlayingID(5); }, "", "5 PLAYING", false},
        {[](clsMediaPlay& m) { m.SetPrev(); }, "stop close open4", "4 STOPPED", true},
        {[](clsMediaPlay& m) { m.PlayingID(5); }, "", "5 STOPPED", true},
        {[](clsMediaPlay& m) { m.SetNext(); }, "stop close open0", "0 STOPPED", true},
        // Rewinding the current entry needs no record.
        {[](clsMediaPlay& m) { m.PlayingID(9); }, "", "9 STOPPED", true},
        {[](clsMediaPlay& m) { m.PlayStart(9); }, "stop seek play", "9 PLAYING", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        row.op(player());
        EXPECT_EQ(Sent(), row.sent);
        EXPECT_EQ(At(), row.at);
        EXPECT_EQ(player().StopByUser(), row.byUser);
        EXPECT_LE(p.media.OpenDevices(), 1);
    }
}

TEST_F(Playback, OpenFileShowsTheEntryAndLoopModeTheButton) {
    const QString tagged = p.dir.write("My b.mp3", qvtest::Id3Bytes("Bee", "Band"));
    p.Add("a.wav");
    p.state->objPlayList->AddToPlayList(tagged);
    p.media.SetLength(tagged, 59900);
    player().OpenFile(1);
    EXPECT_EQ(p.state->PlayListData[1].Length, 59);  // the fraction dropped
    EXPECT_EQ(p.form().lstPL->currentRow(), 1);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + tagged);
    EXPECT_EQ(Panel(1) + "|" + Panel(2), "> Bee|Band");
    player().OpenPlay(0);
    p.media.Advance(2999);
    EXPECT_EQ(player().GetTime(), 2);
    EXPECT_EQ(Panel(1), "> a.wav");
    player().PlayState("");  // stored as "ready"
    EXPECT_EQ(player().PlayState(), "ready");
    frmQuorvane& f = p.form();
    const struct {
        int mode;
        const char* tip;
        ClickLabel* from;
    } cases[] = {{1, "Loop-All", f.imgLoopAll},
                 {2, "Loop-One", f.imgLoopOne},
                 {0, "Loop-Off", f.imgLoopOff},
                 {3, "Loop-Off", f.imgLoopOff}};  // stored, the button left as it was
    for (const auto& c : cases) {
        player().LoopMode(c.mode);
        EXPECT_EQ(player().LoopMode(), c.mode);
        EXPECT_EQ(f.imgLoop->toolTip(), c.tip);
        EXPECT_EQ(f.imgLoop->pixmap().toImage(), c.from->pixmap().toImage());
    }
}

// At the end of a track, within the tick that sees it, "Loop-All" plays the
// next entry (the first after the last), "Loop-One" replays without closing,
// "Loop-Off" rewinds and stays, and other modes do nothing. A stop by the
// user is never undone, whatever the mode.
TEST_F(Playback, TheLoopModeDecidesWhatFollowsTheEndOfATrack) {
    Entries(4, 1000);
    const struct {
        int mode, from;
        const char *sent, *at;
        bool byUser;
        const char *mode4, *time;
    } cases[] = {{1, 3, "stop close open0 play", "0 PLAYING", false, "playing", "00:00/00:01"},
                 {2, 2, "stop seek play", "2 PLAYING", false, "playing", "00:00/00:03"},
                 {0, 1, "stop seek", "1 STOPPED", true, "stopped", "00:00/00:02"},
                 {3, 0, "", "0 STOPPED", false, "stopped", "00:01/00:01"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        player().LoopMode(c.mode);
        player().OpenPlay(c.from);
        p.Tick(950 + 1000 * c.from);
        EXPECT_EQ(player().PlayState(), "PLAYING");
        p.Take();
        p.Tick(50);
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(At(), c.at);
        EXPECT_EQ(player().StopByUser(), c.byUser);
        EXPECT_EQ(p.form().lstPL->currentRow(), player().PlayingID());
        for (int i = 0; i < 8; ++i) p.Tick();  // 0.4 s on, to the nearest second
        EXPECT_EQ(Sent(), "");
        EXPECT_EQ(Panel(4), c.mode4);
        EXPECT_EQ(Panel(5), c.time);
        imgStop_Click(*p.state);
        for (int i = 0; i < 30; ++i) p.Tick(100);
        EXPECT_EQ(Sent(), "stop seek");
        EXPECT_EQ(player().PlayState(), "STOPPED");
    }
    EXPECT_EQ(p.media.OpenDevices(), 1);
}

// Next and previous while stopped hand the new entry to the next tick's
// end-of-track rule; while playing they move at once.
TEST_F(Playback, NextAndPreviousInEachLoopMode) {
    Entries(4, 1000);
    const struct {
        int mode;
        void (*click)(ProgramState&);
        int from;
        const char* at;
    } cases[] = {{0, imgFF_Click, 1, "2 STOPPED"},  {2, imgFF_Click, 1, "2 PLAYING"},
                 {1, imgFF_Click, 1, "3 PLAYING"},   // two steps
                 {1, imgFF_Click, 3, "1 PLAYING"},   // around the end
                 {1, imgREW_Click, 2, "2 PLAYING"},  // one back, one forward
                 {1, imgREW_Click, 0, "1 PLAYING"},  // no step back from the first
                 {2, imgREW_Click, 2, "1 PLAYING"}, {0, imgREW_Click, 2, "1 STOPPED"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from " << c.from);
        player().LoopMode(c.mode);
        player().OpenPlay(c.from);
        imgStop_Click(*p.state);
        p.Tick();
        c.click(*p.state);
        EXPECT_FALSE(player().StopByUser());
        p.Tick();
        EXPECT_EQ(At(), c.at);
        for (int i = 0; i < 5; ++i) p.Tick();  // and it stays so
        EXPECT_EQ(At(), c.at);
    }
    player().OpenPlay(3);
    imgFF_Click(*p.state);
    EXPECT_EQ(At(), "0 PLAYING");
    imgREW_Click(*p.state);
    imgFF_Click(*p.state);
    imgFF_Click(*p.state);
    imgREW_Click(*p.state);
    EXPECT_EQ(At(), "1 PLAYING");
}

// The play button pauses, resumes and opens the selected line; its picture
// follows the state as the tick before left it.
TEST_F(Playback, PlayButtonOpensTheSelectedLinePausesAndResumes) {
    Entries(4, 1000);
    frmQuorvane& f = p.form();
    const auto shows = [&](ClickLabel* from) {
        return f.imgPlay->pixmap().toImage() == from->pixmap().toImage();
    };
    // Nothing selected: line 0 is, but before the first tick the state is no
    // state at all, and nothing opens.
    imgPlay_Click(*p.state);
    EXPECT_EQ(f.lstPL->currentRow(), 0);
    EXPECT_EQ(f.windowTitle(), "Quorvane - " + p.Path(0));
    EXPECT_EQ(Sent(), "");
    p.state->objPlayList->SetListIndex(-1);
    p.Tick();
    EXPECT_EQ(player().PlayState(), "ready");  // acts as "READY"
    imgPlay_Click(*p.state);
    EXPECT_EQ(f.lstPL->currentRow(), 0);
    EXPECT_EQ(At(), "0 PLAYING");
    p.Tick(300);
    EXPECT_TRUE(shows(f.imgPlayOn));
    p.Take();
    imgPlay_Click(*p.state);
    EXPECT_EQ(Sent(), "pause");
    EXPECT_TRUE(shows(f.imgPlayOn));
    p.Tick(2000);  // paused: no end of track
    EXPECT_EQ(player().PlayState(), "PAUSED");
    EXPECT_EQ(Panel(4), "paused");
    EXPECT_TRUE(shows(f.imgPlayOff));
    player().StopByUser(true);
    imgPlay_Click(*p.state);
    EXPECT_EQ(Sent(), "resume");
    EXPECT_FALSE(player().StopByUser());
    EXPECT_EQ(player().PlayState(), "PLAYING");
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOn));
    // The device paused behind the player's back shows on the second tick.
    p.mci.SendString("pause PlayData", nullptr, 0);
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOn));
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOff));
    imgStop_Click(*p.state);
    p.state->objPlayList->SetListIndex(2);  // another line than the current entry
    p.Take();
    imgPlay_Click(*p.state);
    EXPECT_EQ(Sent(), "stop close open2 play");
    EXPECT_FALSE(player().StopByUser());
}

TEST_F(Playback, OnlyTheLoopButtonActsOnAnEmptyPlaylist) {
    player().LoopMode(0);
    for (auto click : {imgPlay_Click, imgStop_Click, imgFF_Click, imgREW_Click}) {
        for (const char* state : {"PLAYING", "PAUSED", "STOPPED", "READY"}) {
            player().PlayState(state);
            click(*p.state);
            EXPECT_EQ(player().PlayState(), state);
        }
    }
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(player().PlayingID(), 65535);
    for (int expected : {1, 2, 0}) {
        imgLoop_Click(*p.state);
        EXPECT_EQ(player().LoopMode(), expected);
    }
    player().LoopMode(7);
    imgLoop_Click(*p.state);
    EXPECT_EQ(player().LoopMode(), 7);
    p.Tick();
    EXPECT_EQ(player().PlayState(), "ready");
    EXPECT_EQ(Panel(4) + " " + Panel(5), "ready 00:00/00:00");
}

// After a refused file "Loop-All" goes on to the next entry that opens, at
// most once round the list; "Loop-Off" and "Loop-One" stop on it. Later
// ticks send nothing.
TEST(PlaybackFailure, TheLoopModeDecidesWhatFollowsARefusedFile) {
    const struct {
        const char* list;  // G opens, B is refused
        int mode, start;
        bool playFails;
        const char* at;
        int opens;
        const char *panel1, *panel4;
    } cases[] = {{"GBGG", 0, 1, false, "1 ready", 1, "1B.wav", "failed"},
                 {"GBGG", 2, 1, false, "1 ready", 1, "1B.wav", "failed"},
                 {"GBB", 1, 1, false, "0 PLAYING", 3, "> 0G.wav", "playing"},  // round the end
                 {"BBB", 1, 0, false, "2 ready", 3, "2B.wav", "failed"},       // once round only
                 {"GG", 1, 0, true, "1 STOPPED", 2, "1G.wav", "failed"}};  // opens, will not start
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.list << " mode " << c.mode);
        qvtest::FakeProgram p;
        for (int i = 0; c.list[i]; ++i) {
            const QString path = p.Add(QStringLiteral("%1%2.wav").arg(i).arg(c.list[i]));
            if (c.list[i] == 'B') p.media.FailOpen(path, 296);
        }
        if (c.playFails) p.media.FailCall("play", 282);
        p.player().LoopMode(c.mode);
        p.player().OpenPlay(c.start);
        for (int i = 0; i < 40; ++i) p.Tick();
        EXPECT_EQ(p.Take().filter("open ").size(), c.opens);
        for (int i = 0; i < 20; ++i) p.Tick();
        EXPECT_TRUE(p.Take().isEmpty());
        EXPECT_EQ(QString::number(p.player().PlayingID()) + " " + p.player().PlayState(), c.at);
        EXPECT_EQ(p.form().Panel(1)->text(), c.panel1);
        EXPECT_EQ(p.form().Panel(4)->text(), c.panel4);
    }
}

// Round after round: bad entries around a good one never end "Loop-All".
TEST_F(Playback, LoopAllGoesRoundAgainAfterTheGoodEntryPlayed) {
    p.Add("good.wav", 1000);
    for (const char* name : {"bad1.wav", "bad2.wav"}) p.media.FailOpen(p.Add(name), 296);
    player().LoopMode(1);
    player().OpenPlay(0);
    for (int round = 0; round < 4; ++round) {
        int ticks = 0;
        while (!p.Take().contains(p.OpenCommand(0)) && ++ticks < 30) p.Tick();
        ASSERT_LT(ticks, 30) << "round " << round;
    }
}

// A preview (another line selected) shows that line and starts Timer2; when
// it fires, the panels and the caption come back to the playing entry, or
// to the file that failed, the tree's included. With no entry to come back
// to, the preview stays.
TEST_F(Playback, APreviewComesBackToThePlayingEntryOrToTheFailure) {
    const QString tagged = p.dir.write("tagged.mp3", qvtest::Id3Bytes("Song", "Band", "Note"));
    p.state->objPlayList->AddToPlayList(tagged);
    const QString missing = p.Add("missing.wav");
    const QString good = p.Add("good.wav");
    QFile::remove(missing);
    const auto panels = [&] {
        QStringList texts;
        for (int i = 1; i <= 4; ++i) texts << Panel(i);
        return texts.join('|') + " - " + p.form().windowTitle();
    };
    player().OpenPlay(0);
    p.Tick();
    p.Take();
    player().OpenPlay(1);
    for (int i = 0; i < 5; ++i) p.Tick();
    const QString failure = "missing.wav|||failed - Quorvane - " + missing;
    EXPECT_EQ(panels(), failure);  // no tags of the file before
    EXPECT_TRUE(p.form().Panel(2)->isHidden() && p.form().Panel(3)->isHidden());
    EXPECT_EQ(Sent(), "stop close open play");
    EXPECT_EQ(p.state->PlayListData[1].Length, 0);
    p.state->objPlayList->SetListIndex(0);
    EXPECT_EQ(panels(), "Song|Band|Note|failed - Quorvane - " + tagged);
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), failure);

    player().OpenPlay(2);
    Timer2_Timer(*p.state);  // the open's own preview is over
    p.Tick();
    p.state->objPlayList->SetListIndex(1);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + missing);
    EXPECT_TRUE(p.form().Timer2->isActive());
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), "> good.wav|||playing - Quorvane - " + good);
    EXPECT_FALSE(p.form().Timer2->isActive());

    p.state->strClickedFile = missing;
    mnClickNodeMediaPlay_Click(*p.state);
    p.state->objPlayList->SetListIndex(0);
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), failure);

    player().OpenPlay(2);
    player().PlayingID(4);
    p.state->objPlayList->SetListIndex(0);
    Timer2_Timer(*p.state);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + tagged);
    EXPECT_FALSE(p.form().Timer2->isActive());
}

// The buttons, Timer1 and Timer2 through real clicks and the real timers:
// wired once, however often the wiring runs.
TEST_F(Playback, ButtonsAndTimersAreWiredOnce) {
    Entries(4, 1000);
    ConnectPlayback(*p.state, p.form());
    p.form().show();
    player().OpenPlay(0);
    qvtest::Click(p.form().imgPlay);
    EXPECT_EQ(player().PlayState(), "PAUSED");
    qvtest::Click(p.form().imgLoop);
    EXPECT_EQ(player().LoopMode(), 1);
    qvtest::Click(p.form().imgFF);
    EXPECT_EQ(player().PlayingID(), 1);
    qvtest::Click(p.form().imgREW);
    EXPECT_EQ(player().PlayingID(), 0);
    qvtest::Click(p.form().imgStop);
    EXPECT_EQ(player().PlayState(), "STOPPED");
    p.form().Panel(4)->setText("x");
    p.form().Timer1->start();
    p.state->objPlayList->SetListIndex(1);
    qvtest::RunEvents(1000);
    EXPECT_EQ(Panel(4), "stopped");
    p.state->objPlayList->SetListIndex(2);
    qvtest::RunEvents(1200);  // 2.2 s after the first preview, 1.2 s after the last
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(2));
    qvtest::RunEvents(800);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(0));
}

// Panels 1 to 3 show title ("> " while it plays), artist and comment, each
// hidden while empty; never the album. A file without tags shows its name.
TEST_F(Playback, TrackInfoShowsTheTagsWhileTheyHoldText) {
    const auto panels = [&] {
        QString s;
        for (int i = 1; i <= 3; ++i) s += Panel(i) + (p.form().Panel(i)->isHidden() ? "(-)|" : "|");
        return s;
    };
    ShowPlayingInfo(*p.state,
                    p.dir.write("a.mp3", qvtest::Id3Bytes("曲名", "Artist", "", "Album")));
    EXPECT_EQ(panels(), "> 曲名|Artist|(-)|");
    EXPECT_FALSE(p.form().Timer2->isActive());
    ShowSelectedInfo(*p.state, p.dir.write("b.mp3", qvtest::Id3Bytes("T", "A", "Nice", "Album")));
    EXPECT_EQ(panels(), "T|A|Nice|");
    EXPECT_GT(p.form().Timer2->remainingTime(), 1500);
    ShowPlayingInfo(*p.state, p.dir.write("tune.mid", qvtest::MidiBytes()));
    EXPECT_EQ(panels(), "> tune.mid|(-)|(-)|");
    // Nothing changes for an empty path or one that names no ordinary file;
    // a line's path went up in the caption all the same, so Timer2 runs.
    const QString hidden = p.dir.write(".h.mp3", qvtest::Id3Bytes("Hidden"));
    QDir().mkpath(p.dir.file("dir.mp3"));
    for (const QString& path :
         {QString(), p.dir.file("missing.mp3"), hidden, p.dir.file("dir.mp3")}) {
        p.form().Timer2->stop();
        ShowPlayingInfo(*p.state, path);
        ShowSelectedInfo(*p.state, path);
        EXPECT_EQ(panels(), "> tune.mid|(-)|(-)|") << path.toStdString();
        EXPECT_EQ(p.form().Timer2->isActive(), !path.isEmpty()) << path.toStdString();
    }
}

}  // namespace
}  // namespace qv
