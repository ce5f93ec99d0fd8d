// The player's four values and opening an entry, against a media sender that
// records every command string.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
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

TEST_F(MediaPlay, PlayStateStoresReadyForEmpty) {
    EXPECT_EQ(player().PlayState(), "");
    player().PlayState("");
    EXPECT_EQ(player().PlayState(), "ready");
    player().PlayState("SEEKING");
    EXPECT_EQ(player().PlayState(), "SEEKING");
    player().PlayingID(65535);
    EXPECT_EQ(player().PlayingID(), 65535);
    player().StopByUser(true);
    EXPECT_TRUE(player().StopByUser());
}

TEST_F(MediaPlay, OpenPlayOpensRecordsLengthSelectsAndPlays) {
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    const QString b = p.dir.write("My b.mp3", qvtest::Id3Bytes("Bee", "Band"));
    p.state->objPlayList->AddToPlayList(a);
    p.state->objPlayList->AddToPlayList(b);
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
    EXPECT_EQ(p.state->mainForm->Panel(2)->text(), "Band");

    p.mci.commands.clear();
    player().OpenPlay(0);
    EXPECT_EQ(p.mci.commands.last(), "play PlayData");
    EXPECT_EQ(player().PlayState(), "PLAYING");
    EXPECT_FALSE(player().StopByUser());
    EXPECT_EQ(player().PlayingID(), 0);
    EXPECT_EQ(p.state->mainForm->Panel(1)->text(), "> a.wav");
}

TEST_F(MediaPlay, IndexNamingNoRecordIsIgnored) {
    player().PlayingID(65535);
    player().OpenFile(65535);
    player().OpenFile(-1);
    EXPECT_TRUE(p.mci.commands.isEmpty());
    EXPECT_EQ(player().PlayingID(), 65535);
}

}  // namespace
}  // namespace qv
