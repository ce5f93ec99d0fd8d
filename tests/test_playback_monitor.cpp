// The playback monitor, the revert after a preview and the transport buttons,
// on the scripted device: a test moves the clock and runs the ticks.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>
#include <functional>
#include <random>

#include "app/controls.h"
#include "library/tree_handlers.h"
#include "platform/paths.h"
#include "playback/monitor.h"
#include "playback/transport.h"
#include "playlist/playlist_drop.h"
#include "playlist/playlist_edit.h"
#include "support/fake_program.h"

namespace qv {
namespace {

using qvtest::FakeProgram;

// The current entry and the state, as "2 PLAYING".
QString Where(FakeProgram& p) {
    return QString::number(p.player().PlayingID()) + " " + p.player().PlayState();
}

TEST(TimeText, NearestSecondHalvesToEvenAndHoursShown) {
    EXPECT_EQ(NearestSecond(2500), 2);
    EXPECT_EQ(NearestSecond(3500), 4);
    EXPECT_EQ(NearestSecond(1499), 1);
    EXPECT_EQ(NearestSecond(1501), 2);
    EXPECT_EQ(NearestSecond(-20), 0);
    EXPECT_EQ(TimeText(0, 0), "00:00/00:00");
    EXPECT_EQ(TimeText(59600, 61000), "01:00/01:01");
    EXPECT_EQ(TimeText(3599499, 3600500), "59:59/1:00:00");
    EXPECT_EQ(TimeText(3725000, (61 * 60 + 5) * 1000), "1:02:05/1:01:05");
    EXPECT_EQ(TimeText(int64_t{40000} * 1000, 0), "11:06:40/00:00");  // beyond 32767 s
}

class Monitor : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 4; ++i) p.Add(QStringLiteral("t%1.wav").arg(i), 1000);
    }
    clsMediaPlay& player() { return p.player(); }
    // A panel's text, which a screen reader hears as its description.
    QString Panel(int i) {
        EXPECT_EQ(p.form().Panel(i)->accessibleDescription(), p.form().Panel(i)->text());
        return p.form().Panel(i)->text();
    }
    // The playing entry and the state, as "2 PLAYING".
    static QString Where(int id, const QString& state) { return QString::number(id) + " " + state; }
    QString At() { return Where(player().PlayingID(), player().PlayState()); }
    FakeProgram p;
};

TEST_F(Monitor, LoopAllPlaysTheNextEntryWithinATickAndTheFirstAfterTheLast) {
    player().LoopMode(1);
    player().OpenPlay(0);
    for (int expected : {1, 2, 3, 0, 1}) {
        p.Tick(950);
        EXPECT_EQ(player().PlayState(), "PLAYING");
        p.Tick(50);  // the device reaches its end and the tick moves on
        EXPECT_EQ(At(), Where(expected, "PLAYING"));
        EXPECT_FALSE(player().StopByUser());
        EXPECT_EQ(p.form().lstPL->currentRow(), expected);
    }
    EXPECT_EQ(p.media.OpenDevices(), 1);
}

TEST_F(Monitor, LoopOneReplaysWithoutClosing) {
    player().LoopMode(2);
    player().OpenPlay(2);
    p.Take();
    p.Tick(1000);
    EXPECT_EQ(p.Take(), (QStringList{"stop PlayData", "seek PlayData to start", "play PlayData"}));
    EXPECT_EQ(At(), "2 PLAYING");
    p.Tick(400);
    EXPECT_EQ(Panel(4), "playing");
    EXPECT_EQ(Panel(5), "00:00/00:01");  // 0.4 s to the nearest second
}

TEST_F(Monitor, LoopOffRewindsAndStaysStopped) {
    player().LoopMode(0);
    player().OpenPlay(1);
    p.Take();
    p.Tick(1000);
    EXPECT_EQ(p.Take(), (QStringList{"stop PlayData", "seek PlayData to start"}));
    EXPECT_EQ(player().PlayState(), "STOPPED");
    EXPECT_TRUE(player().StopByUser());
    for (int i = 0; i < 20; ++i) p.Tick();
    EXPECT_TRUE(p.Take().isEmpty());
    EXPECT_EQ(player().PlayingID(), 1);
    EXPECT_EQ(Panel(4), "stopped");
    EXPECT_EQ(Panel(5), "00:00/00:01");
}

TEST_F(Monitor, StopThenWaitingRestartsNothingInAnyMode) {
    for (int mode : {0, 1, 2}) {
        player().LoopMode(mode);
        player().OpenPlay(0);
        p.Tick(300);
        imgStop_Click(*p.state);
        p.Take();
        for (int i = 0; i < 30; ++i) p.Tick(100);
        EXPECT_TRUE(p.Take().isEmpty()) << mode;
        EXPECT_EQ(player().PlayState(), "STOPPED");
        EXPECT_EQ(player().PlayingID(), 0);
    }
}

TEST_F(Monitor, NothingHappensInAModeWithoutARule) {
    player().LoopMode(3);
    player().OpenPlay(0);
    p.Take();
    p.Tick(1000);
    p.Tick();
    EXPECT_TRUE(p.Take().isEmpty());
    EXPECT_EQ(player().PlayState(), "STOPPED");
    EXPECT_FALSE(player().StopByUser());
}

// Next and previous while stopped hand the new entry to the next tick's
// end-of-track rule.
TEST_F(Monitor, NextAndPreviousWhileStoppedInEachLoopMode) {
    const struct {
        int mode;
        void (*click)(ProgramState&);
        int from;
        int after;
        const char* state;
    } cases[] = {
        {0, imgFF_Click, 1, 2, "STOPPED"},  {2, imgFF_Click, 1, 2, "PLAYING"},
        {1, imgFF_Click, 1, 3, "PLAYING"},   // two steps
        {1, imgFF_Click, 3, 1, "PLAYING"},   // around the end
        {1, imgREW_Click, 2, 2, "PLAYING"},  // one back, one forward
        {1, imgREW_Click, 0, 1, "PLAYING"},  // no step back from the first
        {2, imgREW_Click, 2, 1, "PLAYING"}, {0, imgREW_Click, 2, 1, "STOPPED"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from " << c.from);
        player().LoopMode(c.mode);
        player().OpenPlay(c.from);
        p.Tick(200);
        imgStop_Click(*p.state);
        p.Tick();
        c.click(*p.state);
        EXPECT_FALSE(player().StopByUser());
        p.Tick();
        EXPECT_EQ(At(), Where(c.after, c.state));
        for (int i = 0; i < 5; ++i) p.Tick();  // and it stays so
        EXPECT_EQ(At(), Where(c.after, c.state));
    }
}

TEST_F(Monitor, NextAndPreviousWhilePlayingMoveAtOnce) {
    player().OpenPlay(3);
    imgFF_Click(*p.state);
    EXPECT_EQ(At(), "0 PLAYING");
    imgREW_Click(*p.state);
    EXPECT_EQ(player().PlayingID(), 0);
    imgFF_Click(*p.state);
    imgFF_Click(*p.state);
    imgREW_Click(*p.state);
    EXPECT_EQ(At(), "1 PLAYING");
}

TEST_F(Monitor, PlayButtonPausesResumesAndOpensTheSelectedLine) {
    player().LoopMode(0);
    // Nothing selected: line 0 is, but before the first tick the state is
    // no state at all, and nothing opens.
    imgPlay_Click(*p.state);
    EXPECT_EQ(p.form().lstPL->currentRow(), 0);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(0));
    EXPECT_TRUE(p.Take().isEmpty());
    p.state->objPlayList->SetListIndex(-1);
    p.Tick();
    EXPECT_EQ(player().PlayState(), "ready");  // acts as "READY"
    imgPlay_Click(*p.state);
    EXPECT_EQ(p.form().lstPL->currentRow(), 0);
    EXPECT_EQ(At(), "0 PLAYING");
    p.Tick(300);
    p.Take();
    imgPlay_Click(*p.state);
    EXPECT_EQ(p.Take(), QStringList{"pause PlayData"});
    EXPECT_EQ(player().PlayState(), "PAUSED");
    p.Tick(2000);  // paused: no end of track
    EXPECT_EQ(player().PlayState(), "PAUSED");
    player().StopByUser(true);
    imgPlay_Click(*p.state);
    EXPECT_EQ(p.Take(), QStringList{"resume PlayData"});
    EXPECT_FALSE(player().StopByUser());
    EXPECT_EQ(player().PlayState(), "PLAYING");

    imgStop_Click(*p.state);
    p.state->objPlayList->SetListIndex(2);  // another line than the current entry
    p.Take();
    imgPlay_Click(*p.state);
    EXPECT_EQ(p.Take(),
              (QStringList{"stop PlayData", "close PlayData", p.OpenCommand(2), "play PlayData"}));
    EXPECT_EQ(player().PlayingID(), 2);
    EXPECT_FALSE(player().StopByUser());
}

TEST_F(Monitor, PlayPictureFollowsTheStateAtTheTickAfter) {
    frmQuorvane& f = p.form();
    const auto shows = [&](ClickLabel* from) {
        return f.imgPlay->pixmap().toImage() == from->pixmap().toImage();
    };
    player().OpenPlay(0);
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOn));
    imgPlay_Click(*p.state);  // paused
    EXPECT_TRUE(shows(f.imgPlayOn));
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOff));
    EXPECT_EQ(p.form().Panel(4)->text(), "paused");
    imgPlay_Click(*p.state);  // resumed
    EXPECT_TRUE(shows(f.imgPlayOff));
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOn));
    // The state before the poll decides: the device paused behind the
    // player's back shows on the second tick.
    p.mci.SendString("pause PlayData", nullptr, 0);
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOn));
    p.Tick();
    EXPECT_TRUE(shows(f.imgPlayOff));
}

TEST(MonitorEmpty, OnlyTheLoopButtonActsOnAnEmptyPlaylist) {
    FakeProgram p;
    p.player().LoopMode(0);
    for (auto click : {imgPlay_Click, imgStop_Click, imgFF_Click, imgREW_Click}) {
        for (const char* state : {"PLAYING", "PAUSED", "STOPPED", "READY"}) {
            p.player().PlayState(state);
            click(*p.state);
            EXPECT_EQ(p.player().PlayState(), state);
        }
    }
    EXPECT_TRUE(p.Take().isEmpty());
    EXPECT_EQ(p.player().PlayingID(), 65535);
    for (int expected : {1, 2, 0}) {
        imgLoop_Click(*p.state);
        EXPECT_EQ(p.player().LoopMode(), expected);
    }
    EXPECT_EQ(p.form().imgLoop->toolTip(), "Loop-Off");
    p.player().LoopMode(7);
    imgLoop_Click(*p.state);
    EXPECT_EQ(p.player().LoopMode(), 7);
    p.Tick();
    EXPECT_EQ(p.player().PlayState(), "ready");
    EXPECT_EQ(p.form().Panel(4)->text(), "ready");
    EXPECT_EQ(p.form().Panel(5)->text(), "00:00/00:00");
}

// A file the device refuses, however it was started: its name in panel 1,
// no tags of the file before it, "failed" in panel 4 and its path in the
// caption; later ticks keep it so and send nothing.
TEST(MonitorFailure, EveryWayOfStartingARefusedFileShowsIt) {
    using Start = std::function<QString(FakeProgram&)>;  // the file it starts
    const auto bad = [](FakeProgram& p, const QString& name) {
        const QString path = p.dir.write(name, qvtest::WavBytes(50));
        p.media.FailOpen(path, 296);
        return path;
    };
    const auto stopped = [](FakeProgram& p) {
        imgStop_Click(*p.state);
        p.Tick();
    };
    const struct {
        const char* how;
        Start start;
    } ways[] = {
        {"Enter, as a double-click",
         [](FakeProgram& p) {
             p.state->objPlayList->SetListIndex(1);
             lstPL_KeyPress(*p.state, Qt::Key_Return);
             return p.Path(1);
         }},
        {"play button",
         [&](FakeProgram& p) {
             stopped(p);
             p.state->objPlayList->SetListIndex(1);
             imgPlay_Click(*p.state);
             return p.Path(1);
         }},
        {"next button",
         [](FakeProgram& p) {
             imgFF_Click(*p.state);
             return p.Path(1);
         }},
        {"end of track in Loop-All",
         [](FakeProgram& p) {
             p.player().LoopMode(1);
             p.Tick(10000);
             return p.Path(1);
         }},
        {"tree's play item",
         [&](FakeProgram& p) {
             p.state->strClickedFile = bad(p, "tree.wav");
             mnClickNodeMediaPlay_Click(*p.state);
             return p.state->strClickedFile;
         }},
        {"drop",
         [&](FakeProgram& p) {
             stopped(p);
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(bad(p, "dropped.wav"))});
             lstPL_OLEDragDrop(*p.state, data);
             return p.Path(3);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        FakeProgram p;
        const QString tagged = p.dir.write("tagged.mp3", qvtest::Id3Bytes("Song", "Band", "Note"));
        p.state->objPlayList->AddToPlayList(tagged);
        p.state->objPlayList->AddToPlayList(bad(p, "bad.wav"));
        p.Add("after.wav");
        p.player().OpenPlay(0);
        p.Tick();
        ASSERT_EQ(p.form().Panel(2)->text(), "Band");
        const QString failed = way.start(p);
        p.player().LoopMode(0);
        p.Take();
        for (int tick = 0; tick < 20; ++tick) {
            const frmQuorvane& f = p.form();
            ASSERT_EQ(f.Panel(1)->text(), GetFileName(failed)) << tick;
            EXPECT_TRUE(f.Panel(2)->isHidden() && f.Panel(3)->isHidden());
            EXPECT_EQ(f.Panel(2)->text() + f.Panel(3)->text(), "");
            EXPECT_EQ(f.Panel(4)->text(), "failed");
            EXPECT_EQ(f.windowTitle(), "Quorvane - " + failed);
            p.Tick();
            EXPECT_TRUE(p.Take().isEmpty());
        }
        EXPECT_EQ(p.form().Panel(5)->text(), "00:00/00:00");
    }
}

// After a refused file "Loop-All" goes on to the next entry that opens, at
// most once round the list; "Loop-Off" and "Loop-One" stop on it. Later
// ticks send nothing.
TEST(MonitorFailure, TheLoopModeDecidesWhatFollowsARefusedFile) {
    const struct {
        const char* list;  // G opens, B is refused
        int mode;
        int start;
        bool playFails;
        const char* at;
        int opens;
        const char* panel1;
        const char* panel4;
    } cases[] = {
        {"GBGG", 0, 1, false, "1 ready", 1, "1B.wav", "failed"},
        {"GBGG", 2, 1, false, "1 ready", 1, "1B.wav", "failed"},
        {"GBB", 1, 1, false, "0 PLAYING", 3, "> 0G.wav", "playing"},  // round the end
        {"BBB", 1, 0, false, "2 ready", 3, "2B.wav", "failed"},       // once round only
        {"GG", 1, 0, true, "1 STOPPED", 2, "1G.wav", "failed"},       // opens, will not start
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.list << " mode " << c.mode);
        FakeProgram p;
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
        EXPECT_EQ(Where(p), c.at);
        EXPECT_EQ(p.form().Panel(1)->text(), c.panel1);
        EXPECT_EQ(p.form().Panel(4)->text(), c.panel4);
    }
}

// Round after round: bad entries around a good one never end "Loop-All".
TEST(MonitorFailure, LoopAllGoesRoundAgainAfterTheGoodEntryPlayed) {
    FakeProgram p;
    p.Add("good.wav", 1000);
    for (const char* name : {"bad1.wav", "bad2.wav"}) p.media.FailOpen(p.Add(name), 296);
    p.player().LoopMode(1);
    p.player().OpenPlay(0);
    for (int round = 0; round < 4; ++round) {
        int ticks = 0;
        while (!p.Take().contains(p.OpenCommand(0)) && ++ticks < 30) p.Tick();
        ASSERT_LT(ticks, 30) << "round " << round;
    }
}

// A preview comes back to the refused file, not to the tags of what played
// before it; the preview of a missing file comes back like any other.
TEST(MonitorFailure, PreviewsComeBackToTheFailureAndFromAMissingFile) {
    FakeProgram p;
    const QString tagged = p.dir.write("tagged.mp3", qvtest::Id3Bytes("Song", "Band", "Note"));
    p.state->objPlayList->AddToPlayList(tagged);
    const QString missing = p.Add("missing.wav");
    const QString good = p.Add("good.wav");
    QFile::remove(missing);
    const auto panels = [&] {
        QStringList texts;
        for (int i = 1; i <= 4; ++i) texts << p.form().Panel(i)->text();
        return texts.join('|') + " - " + p.form().windowTitle();
    };
    const QString failure = "missing.wav|||failed - Quorvane - " + missing;
    p.player().OpenPlay(1);
    p.Tick();
    EXPECT_EQ(panels(), failure);
    EXPECT_EQ(p.state->PlayListData[1].Length, 0);
    p.state->objPlayList->SetListIndex(0);
    EXPECT_EQ(panels(), "Song|Band|Note|failed - Quorvane - " + tagged);
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), failure);

    p.player().OpenPlay(2);
    Timer2_Timer(*p.state);  // the open's own preview is over
    p.Tick();
    p.state->objPlayList->SetListIndex(1);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + missing);
    EXPECT_TRUE(p.form().Timer2->isActive());
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), "> good.wav|||playing - Quorvane - " + good);

    // The tree's file is no entry, but a preview comes back to it too.
    p.state->strClickedFile = missing;
    mnClickNodeMediaPlay_Click(*p.state);
    p.state->objPlayList->SetListIndex(0);
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), failure);
}

TEST_F(Monitor, TheRevertShowsThePlayingEntry) {
    player().OpenPlay(1);
    p.state->objPlayList->SetListIndex(3);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(3));
    EXPECT_EQ(Panel(1), "t3.wav");
    EXPECT_TRUE(p.form().Timer2->isActive());
    Timer2_Timer(*p.state);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(1));
    EXPECT_EQ(Panel(1), "> t1.wav");
    EXPECT_FALSE(p.form().Timer2->isActive());

    // No record for PlayingID: the preview stays, and the timer stops.
    player().PlayingID(4);
    p.state->objPlayList->SetListIndex(0);
    Timer2_Timer(*p.state);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(0));
    EXPECT_EQ(Panel(1), "t0.wav");
    EXPECT_FALSE(p.form().Timer2->isActive());
}

// Through the real timer: 1.7 s after the last of two previews.
TEST_F(Monitor, TheRevertComesAfterTheLastPreview) {
    player().OpenPlay(0);
    const auto wait = [](int ms) { qvtest::RunEvents(ms); };
    p.state->objPlayList->SetListIndex(1);
    wait(1000);
    p.state->objPlayList->SetListIndex(2);
    wait(1200);  // 2.2 s after the first preview
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(2));
    wait(800);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(0));
    EXPECT_EQ(Panel(1), "> t0.wav");
}

TEST_F(Monitor, ButtonsAndTimerAreWiredOnce) {
    ConnectPlayback(*p.state, p.form());  // a second call adds nothing
    p.form().show();
    player().LoopMode(0);
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
    EXPECT_TRUE(player().StopByUser());
    p.form().Panel(4)->setText("x");
    p.form().Timer1->start();
    qvtest::RunEvents(200);
    EXPECT_EQ(p.form().Panel(4)->text(), "stopped");
}

// Any click in any state, quickly, many times: never two devices, never an
// index past the end, never a state the player does not know.
TEST(MonitorStress, ThousandRandomClicksLeaveAConsistentPlayer) {
    FakeProgram p;
    for (int i = 0; i < 5; ++i) p.Add(QStringLiteral("r%1.wav").arg(i), 300 + 200 * i);
    p.media.FailOpen(p.Path(3), 275);
    std::mt19937 random(20261206);
    void (*const clicks[])(ProgramState&) = {imgPlay_Click, imgStop_Click, imgFF_Click,
                                             imgREW_Click, imgLoop_Click};
    const QStringList known = {"", "ready", "READY", "PLAYING", "PAUSED", "STOPPED"};
    for (int i = 0; i < 1000; ++i) {
        clicks[random() % 5](*p.state);
        if (random() % 3 == 0) p.Tick(random() % 700);
        if (random() % 50 == 0) p.state->objPlayList->SetListIndex(random() % 5);
        ASSERT_LE(p.media.OpenDevices(), 1) << i;
        const int id = p.player().PlayingID();
        ASSERT_TRUE(id == 65535 || (id >= 0 && id <= 4)) << i << " " << id;
        ASSERT_TRUE(known.contains(p.player().PlayState())) << p.player().PlayState().toStdString();
        ASSERT_GE(p.player().LoopMode(), 0);
        ASSERT_LE(p.player().LoopMode(), 2);
    }
    EXPECT_NE(p.player().PlayingID(), 65535);
}

}  // namespace
}  // namespace qv
