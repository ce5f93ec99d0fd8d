// The track information panels: playing and selected files, the "> " prefix,
// panels hidden while empty, nothing changed for an empty path or a missing,
// hidden or folder path, and Timer2 restarted by every preview.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QThread>
#include <QTimer>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "playback/track_info.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace qv {
namespace {

class TrackInfo : public ::testing::Test {
  protected:
    void SetUp() override { p.MakeObjects(); }
    QString Text(int i) { return p.state->mainForm->Panel(i)->text(); }
    bool Shown(int i) { return !p.state->mainForm->Panel(i)->isHidden(); }
    QString Panels() {
        QString s;
        for (int i = 1; i <= 3; ++i) s += Text(i) + (Shown(i) ? "|" : "(hidden)|");
        return s;
    }
    qvtest::TestProgram p;
};

TEST_F(TrackInfo, PlayingMp3WithTitleAndArtistButNoComment) {
    const QString f = p.dir.write("s.mp3", qvtest::Id3Bytes("曲名", "Artist", "", "Album"));
    ShowPlayingInfo(*p.state, f);
    EXPECT_EQ(Panels(), "> 曲名|Artist|(hidden)|");
    EXPECT_FALSE(p.state->mainForm->Timer2->isActive());
}

TEST_F(TrackInfo, AllThreeAndTheAlbumNeverShown) {
    const QString f = p.dir.write("s.mp3", qvtest::Id3Bytes("T", "A", "Nice", "Album X"));
    ShowPlayingInfo(*p.state, f);
    EXPECT_EQ(Panels(), "> T|A|Nice|");
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(Text(i).contains("Album X"));
}

TEST_F(TrackInfo, MidiShowsItsFileNameOnly) {
    const QString f = p.dir.write("tune.mid", qvtest::MidiBytes());
    ShowPlayingInfo(*p.state, f);
    EXPECT_EQ(Panels(), "> tune.mid|(hidden)|(hidden)|");
    ShowSelectedInfo(*p.state, f);
    EXPECT_EQ(Panels(), "tune.mid|(hidden)|(hidden)|");
}

TEST_F(TrackInfo, PreviewRestartsTimer2) {
    const QString f = p.dir.write("s.mp3", qvtest::Id3Bytes("T", "A", "C"));
    QTimer& timer = *p.state->mainForm->Timer2;
    ShowSelectedInfo(*p.state, f);
    EXPECT_EQ(Panels(), "T|A|C|");
    EXPECT_TRUE(timer.isActive());
    EXPECT_GT(timer.remainingTime(), 1500);
    QThread::msleep(300);
    ShowSelectedInfo(*p.state, f);
    EXPECT_GT(timer.remainingTime(), 1500);  // counted afresh
}

TEST_F(TrackInfo, NothingChangesForEmptyMissingHiddenOrFolderPaths) {
    const QString f = p.dir.write("s.mp3", qvtest::Id3Bytes("T", "A"));
    ShowPlayingInfo(*p.state, f);
    const QString before = Panels();
    const QString hidden = p.dir.write(".h.mp3", qvtest::Id3Bytes("Hidden"));
    QDir().mkpath(p.folder() + "dir.mp3");
    QTimer& timer = *p.state->mainForm->Timer2;
    for (const QString& path :
         {QString(), p.folder() + "missing.mp3", hidden, p.folder() + "dir.mp3"}) {
        timer.stop();
        ShowPlayingInfo(*p.state, path);
        ShowSelectedInfo(*p.state, path);
        EXPECT_EQ(Panels(), before) << path.toStdString();
        // The line's path went up in the caption all the same; it comes back.
        EXPECT_EQ(timer.isActive(), !path.isEmpty()) << path.toStdString();
    }
}

}  // namespace
}  // namespace qv
