// Playback through the real GStreamer device into the null sink, on short
// generated files: the loop modes end to end with the real monitor timer,
// and entries that are missing, empty, not media, or cut short.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <functional>
#include <random>

#include "app/controls.h"
#include "platform/mci/gst_media_device.h"
#include "platform/paths.h"
#include "playback/transport.h"
#include "playlist/playlist_edit.h"
#include "support/fake_program.h"
#include "support/media_maker.h"

namespace qv {
namespace {

using qvtest::MediaKind;

class GstPlayback : public ::testing::Test {
  protected:
    static MediaDeviceFactory NullAudio() {
        GstDeviceOptions options;
        options.nullAudio = true;
        return GstDeviceFactory(options);
    }
    QString Make(MediaKind kind, const QString& name, int ms) {
        QString error;
        const QString path = qvtest::MakeMedia(kind, p.dir.path(), name, ms, &error);
        EXPECT_FALSE(path.isEmpty()) << error.toStdString();
        return path;
    }
    // Runs the event loop (Timer1 ticking every 50 ms) until done() holds;
    // false after timeoutMs.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = 8000) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > timeoutMs) return false;
            qvtest::RunEvents(10);
        }
        return true;
    }
    int Opens() { return p.commands.filter(QStringLiteral("open ")).size(); }
    qvtest::FakeProgram p{NullAudio()};
};

TEST_F(GstPlayback, LoopAllPlaysThreeKindsThroughAndStartsAgain) {
    const QString a = Make(MediaKind::Wav, "a.wav", 800);
    const QString b = Make(MediaKind::Mp3Xing, "b.mp3", 800);
    const QString c = Make(MediaKind::Midi, "c.mid", 800);
    for (const QString& path : {a, b, c}) p.state->objPlayList->AddToPlayList(path);
    p.player().LoopMode(1);
    p.player().OpenPlay(0);
    p.form().Timer1->start();
    QStringList captions;
    for (int expected : {1, 2, 0}) {
        ASSERT_TRUE(RunUntil([&] { return p.player().PlayingID() == expected; }))
            << "stuck on " << p.player().PlayingID();
        captions << p.form().windowTitle();
    }
    EXPECT_EQ(captions, (QStringList{"Quorvane - " + b, "Quorvane - " + c, "Quorvane - " + a}));
    ASSERT_TRUE(RunUntil([&] { return p.form().Panel(4)->text() == "playing"; }));
    EXPECT_EQ(Opens(), 4);
}

TEST_F(GstPlayback, LoopOneReplaysWithoutReopeningLoopOffRewindsAndStays) {
    Make(MediaKind::Wav, "one.wav", 1500);
    p.state->objPlayList->AddToPlayList(p.dir.file("one.wav"));
    p.player().LoopMode(2);
    p.player().OpenPlay(0);
    p.form().Timer1->start();
    // The time panel advances while it plays.
    ASSERT_TRUE(RunUntil([&] { return p.form().Panel(5)->text() == "00:01/00:02"; }))
        << p.form().Panel(5)->text().toStdString();
    p.commands.clear();
    ASSERT_TRUE(RunUntil([&] { return p.commands.contains("seek PlayData to start"); }));
    EXPECT_EQ(p.commands,
              (QStringList{"stop PlayData", "seek PlayData to start", "play PlayData"}));
    EXPECT_EQ(p.player().PlayState(), "PLAYING");

    p.player().LoopMode(0);
    p.commands.clear();
    ASSERT_TRUE(RunUntil([&] { return p.player().PlayState() == "STOPPED"; }));
    EXPECT_TRUE(p.player().StopByUser());
    qvtest::RunEvents(300);
    EXPECT_EQ(p.commands, (QStringList{"stop PlayData", "seek PlayData to start"}));
    EXPECT_EQ(p.player().PlayState(), "STOPPED");
    EXPECT_EQ(p.form().Panel(4)->text(), "stopped");
    EXPECT_EQ(p.form().Panel(5)->text(), "00:00/00:02");
}

// Files the real device refuses: deleted, zero bytes, random bytes, text
// named .mp3, an MP3 cut after its first bytes. Double-clicked in
// "Loop-Off", each is named as a failure and stays so; in "Loop-All"
// playback goes past all of them, each opened once, to the next good file.
TEST_F(GstPlayback, RefusedFilesAreShownAndLoopAllGoesPastThem) {
    const QString good = Make(MediaKind::Wav, "good.wav", 600);
    const QString deleted = Make(MediaKind::Wav, "deleted.wav", 600);
    const QString zero = p.dir.write("zero.wav", QByteArray());
    QByteArray noise(20000, '\0');
    std::mt19937 random(20261207);
    for (char& byte : noise) byte = static_cast<char>(random());
    const QString randomBytes = p.dir.write("random.mp3", noise);
    const QString text = p.dir.write("text.mp3", QByteArray("this is no music\n").repeated(200));
    const QString full = Make(MediaKind::Mp3Xing, "full.mp3", 2000);
    QFile whole(full);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QString cut = p.dir.write("cut.mp3", whole.read(300));
    const QString good2 = Make(MediaKind::Wav, "good2.wav", 2000);
    const QStringList bad = {deleted, zero, randomBytes, text, cut};
    for (const QString& path : QStringList{good} + bad + QStringList{good2})
        p.state->objPlayList->AddToPlayList(path);
    QFile::remove(deleted);
    p.form().Timer1->start();

    p.player().LoopMode(0);
    for (int i = 1; i <= bad.size(); ++i) {
        SCOPED_TRACE(p.Path(i).toStdString());
        p.state->objPlayList->SetListIndex(i);
        lstPL_DblClick(*p.state);
        qvtest::RunEvents(200);  // about four ticks
        EXPECT_EQ(p.form().Panel(1)->text(), GetFileName(p.Path(i)));
        EXPECT_EQ(p.form().Panel(4)->text(), "failed");
        EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(i));
        EXPECT_EQ(p.player().PlayingID(), i);
    }

    p.player().LoopMode(1);
    p.player().OpenPlay(0);
    p.commands.clear();
    ASSERT_TRUE(RunUntil([&] {
        return p.form().Panel(4)->text() == "playing" && p.player().PlayingID() == 6;
    })) << p.player().PlayingID();
    EXPECT_EQ(Opens(), 6);
    EXPECT_EQ(p.form().Panel(1)->text(), "> good2.wav");
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + good2);
}

}  // namespace
}  // namespace qv
