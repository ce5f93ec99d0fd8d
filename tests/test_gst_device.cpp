// The GStreamer device on short files of every kind made here, into the null
// sink in real time: what the player relies on, bad input, nothing left
// behind after close, the quorvane-mci tool; and the player's loop rules
// through it with the real monitor timer.
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryFile>

#include "app/controls.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_errors.h"
#include "support/fake_program.h"
#include "support/media_maker.h"

namespace {

using namespace qv::mcierr;
using qvtest::MediaKind;

// What fn writes to standard error: library noise would land in the user's
// terminal.
template <typename Fn>
QByteArray Stderr(Fn fn) {
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    fflush(stderr);
    const int saved = dup(2);
    dup2(file.handle(), 2);
    fn();
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    return qvtest::ReadAll(file.fileName());
}

// Polls until done() holds, running the event loop; false after timeoutMs.
template <typename Done>
bool WaitUntil(Done done, int timeoutMs = 8000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        qvtest::RunEvents(5);
    }
    return true;
}

qv::GstDeviceOptions NullAudio() {
    qv::GstDeviceOptions options;
    options.nullAudio = true;
    return options;
}

class GstDevice : public ::testing::Test {
  protected:
    QString Make(MediaKind kind, const QString& name, int ms = 1200) {
        QString error;
        const QString path = qvtest::MakeMedia(kind, dir.path(), name, ms, &error);
        EXPECT_FALSE(path.isEmpty()) << error.toStdString();
        return path;
    }
    int Send(const QString& command) {
        reply = "junk";
        return mci.SendString(command, &reply, 64);
    }
    QString Ask(const QString& command) { return Send(command) == 0 ? reply : "failed"; }
    qint64 Position() { return Ask("status a position").toLongLong(); }
    // Waits for the device to stop by itself; the milliseconds it took.
    qint64 MsToStop(int timeoutMs = 4000) {
        QElapsedTimer t;
        t.start();
        return WaitUntil([&] { return Ask("status a mode") == "stopped"; }, timeoutMs) ? t.elapsed()
                                                                                       : -1;
    }

    qvtest::TempDir dir;
    qv::MciInterpreter mci{qv::GstDeviceFactory(NullAudio())};
    QString reply;
};

class EveryKind : public GstDevice, public ::testing::WithParamInterface<MediaKind> {};

// The name holds blanks, quotes and Japanese, as paths do.
TEST_P(EveryKind, OpensStoppedPlaysPausesStopsEndsAndReplays) {
    const QString path = Make(GetParam(), "say \"hi\" 日本語." + qvtest::KindExtension(GetParam()));
    ASSERT_EQ(Send("open \"" + QString(path).replace("\"", "\"\"") + "\" type " +
                   qvtest::KindDeviceType(GetParam()) + " alias a"),
              0);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_EQ(Position(), 0);
    const qint64 length = Ask("status a length").toLongLong();
    // Encoders pad to whole frames; 50 ms is the bound the player can live
    // with (it keeps whole seconds).
    EXPECT_NEAR(length, 1200, 50);
    EXPECT_EQ(Send("play a"), 0);
    EXPECT_EQ(Ask("status a mode"), "playing");
    QThread::msleep(250);
    const qint64 playing = Position();
    EXPECT_GT(playing, 100);
    EXPECT_LT(playing, 700);
    EXPECT_EQ(Send("pause a"), 0);
    const qint64 paused = Position();
    QThread::msleep(100);
    EXPECT_EQ(Ask("status a mode"), "paused");
    EXPECT_NEAR(Position(), paused, 2);
    EXPECT_EQ(Send("resume a"), 0);
    QThread::msleep(100);
    EXPECT_EQ(Ask("status a mode"), "playing");
    EXPECT_GT(Position(), paused + 40);
    EXPECT_EQ(Send("stop a"), 0);
    const qint64 stopped = Position();
    QThread::msleep(100);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_NEAR(Position(), stopped, 2);
    // From the start to the end in real time; stopped there, where play does
    // nothing.
    EXPECT_EQ(Send("seek a to start"), 0);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Send("play a"), 0);
    EXPECT_GE(MsToStop(), length - 80);
    EXPECT_EQ(Position(), length);
    EXPECT_EQ(Send("play a"), 0);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    // A rewind plays it again without reopening.
    EXPECT_EQ(Send("seek a to start"), 0);
    EXPECT_EQ(Send("play a"), 0);
    QThread::msleep(200);
    EXPECT_EQ(Ask("status a mode"), "playing");
    EXPECT_GT(Position(), 80);
    // A seek inside leaves it stopped there, and it plays on to the end.
    ASSERT_EQ(Send("seek a to 900"), 0);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_NEAR(Position(), 900, 30);
    ASSERT_EQ(Send("play a"), 0);
    EXPECT_GE(MsToStop(), length - 900 - 80);
    EXPECT_EQ(Position(), length);
    EXPECT_EQ(Send("seek a to end"), 0);
    EXPECT_EQ(Position(), length);
    EXPECT_EQ(Send("close a"), 0);
    EXPECT_EQ(Send("play a"), kInvalidDeviceName);
}

INSTANTIATE_TEST_SUITE_P(Media, EveryKind,
                         ::testing::Values(MediaKind::Wav, MediaKind::AuPcm, MediaKind::AuAlaw,
                                           MediaKind::Midi, MediaKind::Mp3Xing,
                                           MediaKind::Mp3NoXing, MediaKind::Wma, MediaKind::Asf),
                         [](const auto& info) { return qvtest::KindName(info.param); });

TEST_F(GstDevice, BadFilesFailWithACodeQuicklyAndQuietly) {
    QByteArray noise(20000, '\0');
    for (int i = 0; i < noise.size(); ++i) noise[i] = char(i * 7919 % 251);
    dir.write("noise.mid", noise);
    dir.write("zero.wav", "");
    dir.write("text.mp3", QByteArray("This is not music at all.\n").repeated(20));
    dir.write("stub.mp3", qvtest::ReadAll(Make(MediaKind::Mp3Xing, "whole.mp3")).left(100));
    QDir().mkpath(dir.file("folder.wav"));
    const struct {
        const char *name, *type;
        int code;
    } cases[] = {
        {"missing.mp3", "MPEGVideo", kFileNotFound}, {"zero.wav", "WaveAudio", kInvalidFile},
        {"folder.wav", "WaveAudio", kInvalidFile},   {"text.mp3", "MPEGVideo", kInvalidFile},
        {"noise.mid", "Sequencer", kInvalidFile},    {"stub.mp3", "MPEGVideo", kInvalidFile}};
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(Stderr([&] {
                  for (const auto& c : cases) {
                      EXPECT_EQ(
                          Send(QString("open %1 type %2 alias a").arg(dir.file(c.name), c.type)),
                          c.code)
                          << c.name;
                      EXPECT_EQ(Send("status a mode"), kInvalidDeviceName);
                  }
              }),
              "");
    EXPECT_LT(timer.elapsed(), 3000);
}

// A stream that breaks off plays to where it ends; its length counts the
// whole frames there are.
TEST_F(GstDevice, ATruncatedMp3PlaysToItsEnd) {
    const QByteArray bytes = qvtest::ReadAll(Make(MediaKind::Mp3NoXing, "whole.mp3"));
    ASSERT_EQ(Send("open " + dir.write("half.mp3", bytes.left(bytes.size() / 2 + 77)) +
                   " type MPEGVideo alias a"),
              0);
    const qint64 length = Ask("status a length").toLongLong();
    EXPECT_GT(length, 300);
    EXPECT_LT(length, 1100);
    ASSERT_EQ(Send("play a"), 0);
    EXPECT_GE(MsToStop(), 0);
    EXPECT_EQ(Position(), length);
}

// An open that does not preroll in time fails; MIDI without a soundfont is
// refused with a text that says why, quietly, and other kinds do not need one.
TEST_F(GstDevice, SlowOpensAndMidiWithoutASoundfontFail) {
    const QString midi = Make(MediaKind::Midi, "slow.mid");
    qv::GstDeviceOptions options = NullAudio();
    options.openTimeoutMs = 1;
    qv::GstMediaDevice slow(options);
    EXPECT_EQ(slow.Open(midi), kDeviceNotReady);
    EXPECT_EQ(slow.Mode(), qv::MediaMode::NotReady);
    EXPECT_EQ(slow.Play(), kDeviceNotReady);
    options = NullAudio();
    options.soundfontDataDirs = QStringList{dir.file("no-such-data-folder")};
    qv::GstMediaDevice noFont(options);
    EXPECT_EQ(Stderr([&] { EXPECT_EQ(noFont.Open(midi), kSeqNoMidiPresent); }), "");
    EXPECT_TRUE(qv::MciGetErrorString(kSeqNoMidiPresent).contains("soundfont"));
    EXPECT_EQ(noFont.Open(Make(MediaKind::Wav, "a.wav", 300)), 0);
    EXPECT_EQ(Send("open " + midi + " type Sequencer alias a"), 0);  // the usual bound
}

// With the desktop's output (none on a build machine: the automatic choice
// falls back to a null sink) nothing may reach standard error.
TEST_F(GstDevice, TheDefaultOutputPlaysQuietly) {
    const QString path = dir.write("silence.wav", qvtest::WavFile(300));
    EXPECT_EQ(Stderr([&] {
                  qv::GstMediaDevice device;
                  EXPECT_EQ(device.Open(path), 0);
                  EXPECT_EQ(device.Play(), 0);
                  QThread::msleep(100);
                  EXPECT_EQ(device.Mode(), qv::MediaMode::Playing);
              }),
              "");
}

// The tool answers each line as it arrives, so a script can wait between
// commands while the device plays on; or each -c in turn.
TEST_F(GstDevice, TheToolAnswersEveryLineAtOnceWithCodeReplyAndText) {
    const QString wav = dir.write("t.wav", qvtest::WavFile(300));
    QProcess tool;
    tool.start(QV_BUILD_DIR "/tools/quorvane-mci", {"--null-audio"});
    const auto ask = [&](const QString& line) {
        tool.write((line + "\n").toUtf8());
        while (!tool.canReadLine())
            if (!tool.waitForReadyRead(5000)) return QString("(no answer)");
        return QString::fromUtf8(tool.readLine());
    };
    EXPECT_EQ(ask("open " + wav + " type WaveAudio alias a"), "0\t\n");
    EXPECT_EQ(ask("play a"), "0\t\n");
    EXPECT_EQ(ask("status a mode"), "0\tplaying\n");
    QThread::msleep(500);
    EXPECT_EQ(ask("status a mode"), "0\tstopped\n");
    tool.closeWriteChannel();
    EXPECT_TRUE(tool.waitForFinished(5000));
    tool.start(QV_BUILD_DIR "/tools/quorvane-mci",
               {"--null-audio", "-c", "open \"" + wav + "\" type waveaudio alias b", "-c",
                "status b length", "-c", "bogus b"});
    EXPECT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()),
              "0\t\n0\t300\n261\t\t" + qv::MciGetErrorString(261) + "\n");
}

int CountEntries(const char* folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
}

// The process's threads once GLib's pool has let its idle workers go (after
// half a second without a task): at most `atMost`, or, with none given, once
// the count has held still for a second; ten seconds at most.
int IdleThreads(int atMost = -1) {
    int count = CountEntries("/proc/self/task");
    QElapsedTimer total, still;
    total.start();
    still.start();
    while (count > atMost && total.elapsed() < 10000 && (atMost >= 0 || still.elapsed() < 1000)) {
        QThread::msleep(50);
        const int now = CountEntries("/proc/self/task");
        if (now != count) still.restart();
        count = now;
    }
    return count;
}

TEST_F(GstDevice, HundredsOfOpensAndClosesLeaveNoThreadOrFileBehind) {
    // Workers leave the process when they leave the pool, rather than a few
    // staying parked for later, so that the idle count is the same each time.
    g_thread_pool_set_max_unused_threads(0);
    const QString paths[] = {Make(MediaKind::Wav, "a.wav", 300),
                             Make(MediaKind::Mp3NoXing, "b.mp3"), Make(MediaKind::Midi, "c.mid")};
    const char* types[] = {"WaveAudio", "MPEGVideo", "Sequencer"};
    const auto cycle = [&](int i) {
        const int kind = i % 20 == 10 ? 1 : i % 40 == 0 ? 2 : 0;
        EXPECT_EQ(Send("open " + paths[kind] + " type " + types[kind] + " alias a"), 0) << i;
        if (i % 40 == 0) Send("play a");
        EXPECT_EQ(Send("close a"), 0);
    };
    for (int i = 0; i < 40; ++i) cycle(i);  // threads and files opened once for good come first
    const int threads = IdleThreads(), fds = CountEntries("/proc/self/fd");
    for (int i = 0; i < 200; ++i) cycle(i);
    EXPECT_LE(IdleThreads(threads), threads);
    EXPECT_LE(CountEntries("/proc/self/fd"), fds);
}

// The player through the real device and the real monitor timer: "Loop-All"
// plays three kinds through, past a refused file, and starts again; then
// "Loop-One" replays without reopening and "Loop-Off" rewinds and stays.
TEST_F(GstDevice, TheLoopRulesPlayRealFilesThrough) {
    qvtest::FakeProgram p{qv::GstDeviceFactory(NullAudio())};
    const QString a = Make(MediaKind::Wav, "a.wav", 1500),
                  b = Make(MediaKind::Mp3Xing, "b.mp3", 600),
                  c = Make(MediaKind::Midi, "c.mid", 600);
    for (const QString& path : {a, b, dir.write("cut.mp3", qvtest::ReadAll(b).left(300)), c})
        p.state->objPlayList->AddToPlayList(path);
    p.player().LoopMode(1);
    p.player().OpenPlay(0);
    p.form().Timer1->start();
    for (const QString& path : {b, c, a}) {
        ASSERT_TRUE(WaitUntil([&] { return p.form().windowTitle() == "Quorvane - " + path; }))
            << p.player().PlayingID();
        EXPECT_EQ(p.form().Panel(4)->text(), "playing");
    }
    EXPECT_EQ(p.commands.filter("open ").size(), 5);
    p.player().LoopMode(2);
    // The time panel follows the position.
    ASSERT_TRUE(WaitUntil([&] { return p.form().Panel(5)->text() == "00:01/00:02"; }));
    p.commands.clear();
    ASSERT_TRUE(WaitUntil([&] { return p.commands.contains("play PlayData"); }));
    EXPECT_EQ(p.commands,
              (QStringList{"stop PlayData", "seek PlayData to start", "play PlayData"}));
    p.player().LoopMode(0);
    p.commands.clear();
    ASSERT_TRUE(WaitUntil([&] { return p.player().PlayState() == "STOPPED"; }));
    qvtest::RunEvents(300);
    EXPECT_EQ(p.commands, (QStringList{"stop PlayData", "seek PlayData to start"}));
    EXPECT_EQ(p.player().PlayState() + p.form().Panel(4)->text(), "STOPPEDstopped");
    EXPECT_EQ(p.form().Panel(5)->text(), "00:00/00:02");
}

}  // namespace
