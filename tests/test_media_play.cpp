// The player's four values and every operation: the command strings it sends
// and the state it leaves, against a recording sender and the scripted device.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "support/fake_program.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace qv {
namespace {

class MediaPlay : public ::testing::Test {
  protected:
    void SetUp() override { p.MakeObjects(); }
    clsMediaPlay& player() { return *p.state->objMediaPlay; }
    qvtest::TestProgram p;
};

TEST_F(MediaPlay, LoopModeBringsTheButtonInLineFirst) {
    frmQuorvane& f = *p.state->mainForm;
    const struct {
        int mode;
        const char* tip;
        ClickLabel* from;
    } cases[] = {{1, "Loop-All", f.imgLoopAll},
                 {2, "Loop-One", f.imgLoopOne},
                 {0, "Loop-Off", f.imgLoopOff}};
    for (const auto& c : cases) {
        player().LoopMode(c.mode);
        EXPECT_EQ(player().LoopMode(), c.mode);
        EXPECT_EQ(f.imgLoop->toolTip(), c.tip);
        EXPECT_EQ(f.imgLoop->pixmap().toImage(), c.from->pixmap().toImage());
    }
    player().LoopMode(3);  // stored, the button left as it was
    EXPECT_EQ(player().LoopMode(), 3);
    EXPECT_EQ(f.imgLoop->toolTip(), "Loop-Off");
    EXPECT_EQ(f.imgLoop->pixmap().toImage(), f.imgLoopOff->pixmap().toImage());
}

TEST_F(MediaPlay, OpenPlayOpensRecordsLengthSelectsAndPlays) {
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    const QString b = p.dir.write("My b.mp3", qvtest::Id3Bytes("Bee", "Band"));
    p.state->objPlayList->AddToPlayList(a);
    p.state->objPlayList->AddToPlayList(b);
    EXPECT_EQ(player().PlayState(), "");
    player().PlayState("");  // stored as "ready"
    EXPECT_EQ(player().PlayState(), "ready");
    p.mci.lengthReply = "59900";
    player().OpenFile(1);
    EXPECT_EQ(p.mci.commands,
              (QStringList{"stop PlayData", "close PlayData",
                           "open \"" + b + "\" type MPEGVideo alias PlayData",
                           "set PlayData time format milliseconds", "status PlayData length"}));
    EXPECT_EQ(p.state->PlayListData[1].Length, 59);  // the fraction dropped
    EXPECT_EQ(p.state->mainForm->lstPL->currentRow(), 1);
    EXPECT_EQ(p.state->mainForm->windowTitle(), "Quorvane - " + b);
    EXPECT_EQ(player().PlayingID(), 1);
    EXPECT_EQ(player().PlayState(), "READY");
    EXPECT_TRUE(player().StopByUser());
    EXPECT_EQ(p.state->mainForm->Panel(1)->text(), "> Bee");
    // What a screen reader hears: the panel's name is its control name.
    EXPECT_EQ(p.state->mainForm->Panel(1)->accessibleDescription(), "> Bee");
    EXPECT_EQ(p.state->mainForm->Panel(2)->text(), "Band");

    p.mci.commands.clear();
    player().OpenPlay(0);
    EXPECT_EQ(p.mci.commands.last(), "play PlayData");
    EXPECT_EQ(player().PlayState(), "PLAYING");
    EXPECT_FALSE(player().StopByUser());
    EXPECT_EQ(player().PlayingID(), 0);
    EXPECT_EQ(p.state->mainForm->Panel(1)->text(), "> a.wav");
}

// Every row of the player's table of net effects, on the scripted device.
class PlayerTable : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) p.Add(QStringLiteral("t%1.wav").arg(i), 10000 + 1000 * i);
    }
    void Expect(const QStringList& commands, const char* state, bool stopByUser, int id) {
        EXPECT_EQ(p.Take(), commands);
        EXPECT_EQ(p.player().PlayState(), state);
        EXPECT_EQ(p.player().StopByUser(), stopByUser);
        EXPECT_EQ(p.player().PlayingID(), id);
        EXPECT_LE(p.media.OpenDevices(), 1);
    }
    QString Stop() { return "stop PlayData"; }
    QString Close() { return "close PlayData"; }
    QString Play() { return "play PlayData"; }
    QString Seek() { return "seek PlayData to start"; }
    qvtest::FakeProgram p;
};

TEST_F(PlayerTable, OpenAndStartRows) {
    p.player().OpenFile(2);
    Expect({Stop(), Close(), p.OpenCommand(2)}, "READY", true, 2);
    EXPECT_EQ(p.state->PlayListData[2].Length, 12);
    EXPECT_EQ(p.form().lstPL->currentRow(), 2);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(2));

    p.player().OpenPlay(3);
    Expect({Stop(), Close(), p.OpenCommand(3), Play()}, "PLAYING", false, 3);

    p.player().PlayStart(1);  // not the current entry: reopened
    Expect({Stop(), Close(), p.OpenCommand(1), Play()}, "PLAYING", false, 1);
    p.media.Advance(3000);
    p.player().PlayStart(1);  // the current one: rewound, not reopened
    Expect({Stop(), Seek(), Play()}, "PLAYING", false, 1);
    EXPECT_EQ(p.player().GetTime(), 0);
    p.media.Advance(2999);
    EXPECT_EQ(p.player().GetTime(), 2);  // the fraction dropped
    EXPECT_EQ(p.form().lstPL->currentRow(), 1);

    p.player().SetStart(4);
    Expect({Stop(), Close(), p.OpenCommand(4)}, "STOPPED", true, 4);
    p.player().Play();
    Expect({Play()}, "PLAYING", false, 4);
    p.media.Advance(500);
    p.player().SetStart(4);
    Expect({Stop(), Seek()}, "STOPPED", true, 4);
    EXPECT_EQ(p.player().GetTime(), 0);
}

TEST_F(PlayerTable, StopPauseResumeRows) {
    p.player().OpenPlay(0);
    p.Take();
    p.media.Advance(4000);
    p.player().Pause();
    Expect({"pause PlayData"}, "PAUSED", false, 0);
    p.media.Advance(4000);  // a paused device keeps its place
    EXPECT_EQ(p.player().GetTime(), 4);
    p.player().PlayResume();
    Expect({"resume PlayData"}, "PLAYING", false, 0);
    // Pause and resume leave StopByUser alone, whatever it was.
    p.player().StopByUser(true);
    p.player().Pause();
    p.player().PlayResume();
    Expect({"pause PlayData", "resume PlayData"}, "PLAYING", true, 0);

    p.player().StopPlay();
    Expect({Stop(), Seek()}, "STOPPED", true, 0);
    EXPECT_EQ(p.player().GetTime(), 0);  // stopping rewinds
}

TEST_F(PlayerTable, NextAndPreviousRows) {
    p.player().OpenPlay(3);
    p.Take();
    p.player().SetNext();
    Expect({Stop(), Close(), p.OpenCommand(4)}, "STOPPED", true, 4);
    p.player().PlayNext();  // after the last comes the first
    Expect({Stop(), Close(), p.OpenCommand(0), Play()}, "PLAYING", false, 0);
    p.player().PlayPrev();  // before the first, the first again: rewound
    Expect({Stop(), Seek(), Play()}, "PLAYING", false, 0);
    p.player().SetPrev();
    Expect({Stop(), Seek()}, "STOPPED", true, 0);
    p.player().OpenFile(2);
    p.Take();
    p.player().SetPrev();
    Expect({Stop(), Close(), p.OpenCommand(1)}, "STOPPED", true, 1);
    p.player().PlayPrev();
    Expect({Stop(), Close(), p.OpenCommand(0), Play()}, "PLAYING", false, 0);
}

TEST(PlayerOneEntry, NextAndPreviousReplayWithoutReopening) {
    qvtest::FakeProgram p;
    p.Add("only.wav");
    p.player().OpenPlay(0);
    p.Take();
    p.player().PlayNext();
    EXPECT_EQ(p.Take(), (QStringList{"stop PlayData", "seek PlayData to start", "play PlayData"}));
    p.player().PlayPrev();
    EXPECT_EQ(p.Take(), (QStringList{"stop PlayData", "seek PlayData to start", "play PlayData"}));
    EXPECT_EQ(p.player().PlayingID(), 0);
    EXPECT_EQ(p.media.OpenDevices(), 1);
}

// PlayingID naming no record: 65535 before anything is chosen, or beyond the
// end after entries went away. Nothing may read past the last record.
TEST(PlayerNoEntry, IndexesBeyondTheEndAreNeverRead) {
    qvtest::FakeProgram p;
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) p.Add(name);
    ASSERT_EQ(p.player().PlayingID(), 65535);

    p.player().SetPrev();  // 65534 names nothing: ignored
    EXPECT_TRUE(p.Take().isEmpty());
    EXPECT_EQ(p.player().PlayingID(), 65535);
    p.player().PlayStart(7);  // neither current nor a record: ignored
    p.player().SetStart(-3);
    p.player().OpenPlay(3);
    EXPECT_TRUE(p.Take().isEmpty());
    EXPECT_EQ(p.player().PlayingID(), 65535);

    p.player().SetNext();  // from no entry to the first
    EXPECT_EQ(p.Take(), (QStringList{"stop PlayData", "close PlayData", p.OpenCommand(0)}));
    EXPECT_EQ(p.player().PlayingID(), 0);

    // One past the end (the last entry removed while paused): previous goes
    // to the new last entry, next to the first.
    p.player().PlayingID(3);
    p.player().SetPrev();
    EXPECT_EQ(p.player().PlayingID(), 2);
    p.player().PlayingID(3);
    p.player().SetNext();
    EXPECT_EQ(p.player().PlayingID(), 0);

    // Rewinding the current entry needs no record.
    p.player().PlayingID(9);
    p.Take();
    p.player().PlayStart(9);
    EXPECT_EQ(p.Take(), (QStringList{"stop PlayData", "seek PlayData to start", "play PlayData"}));
    EXPECT_EQ(p.player().PlayingID(), 9);
    EXPECT_EQ(p.player().PlayState(), "PLAYING");
}

}  // namespace
}  // namespace qv
