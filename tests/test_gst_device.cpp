// The GStreamer device behind the command interpreter, on short files of
// every kind made here: what the player relies on, bad input, and that close
// leaves nothing behind. Audio goes to the null sink, in real time.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <random>

#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "support/media_maker.h"
#include "support/tempdir.h"

namespace qvtest {
// Test names and messages show the kind by name.
void PrintTo(MediaKind kind, std::ostream* os) {
    *os << KindName(kind);
}
}  // namespace qvtest

namespace {

using namespace qv::mcierr;
using qvtest::MediaKind;

constexpr int kMs = 1200;  // length of the generated files

void Sleep(int ms) {
    QThread::msleep(ms);
}

// Collects what is written to standard error meanwhile (library noise would
// land in the user's terminal).
class StderrCapture {
  public:
    explicit StderrCapture(const QString& file) : file_(file) {
        fflush(stderr);
        saved_ = dup(2);
        const int fd =
            open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    QByteArray Finish() {
        fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        return qvtest::ReadAll(file_);
    }

  private:
    QString file_;
    int saved_ = -1;
};

class GstDevice : public ::testing::Test {
  protected:
    explicit GstDevice(qv::GstDeviceOptions options = Null())
        : mci(qv::GstDeviceFactory(std::move(options))) {}
    static qv::GstDeviceOptions Null() {
        qv::GstDeviceOptions options;
        options.nullAudio = true;
        return options;
    }

    QString Make(MediaKind kind, const QString& name, int ms = kMs) {
        QString error;
        const QString path = qvtest::MakeMedia(kind, dir.path(), name, ms, &error);
        EXPECT_FALSE(path.isEmpty()) << error.toStdString();
        return path;
    }
    static QString Quote(const QString& path) {
        QString q = path;
        return '"' + q.replace("\"", "\"\"") + '"';
    }
    int Send(const QString& command) {
        reply = "junk";
        return mci.SendString(command, &reply, 64);
    }
    QString Ask(const QString& command) {
        Send(command);
        return reply;
    }
    qint64 Position() { return Ask("status a position").toLongLong(); }
    // Polls the mode until it reads `mode`; the milliseconds waited, or -1.
    qint64 WaitForMode(const QString& mode, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (Ask("status a mode") == mode) return timer.elapsed();
            Sleep(5);
        }
        return -1;
    }

    qvtest::TempDir dir;
    qv::MciInterpreter mci;
    QString reply;
};

class EveryKind : public GstDevice, public ::testing::WithParamInterface<MediaKind> {
  protected:
    QString OpenCommand(const QString& path) {
        return "open " + Quote(path) + " type " + qvtest::KindDeviceType(GetParam()) + " alias a";
    }
};

TEST_P(EveryKind, OpensStoppedPlaysPausesStopsEndsAndReplays) {
    const QString path = Make(GetParam(), QString("m.") + qvtest::KindExtension(GetParam()));
    ASSERT_FALSE(path.isEmpty());
    ASSERT_EQ(Send(OpenCommand(path)), 0)
        << qv::MciGetErrorString(Send(OpenCommand(path))).toStdString();
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_EQ(Position(), 0);
    const qint64 length = Ask("status a length").toLongLong();
    // Encoders add up to one frame of padding; 50 ms is the bound the player
    // can live with (it keeps whole seconds).
    EXPECT_NEAR(length, kMs, 50);

    EXPECT_EQ(Send("play a"), 0);
    EXPECT_EQ(Ask("status a mode"), "playing");
    Sleep(250);
    const qint64 playing = Position();
    EXPECT_GT(playing, 100);
    EXPECT_LT(playing, 700);

    EXPECT_EQ(Send("pause a"), 0);
    EXPECT_EQ(Ask("status a mode"), "paused");
    const qint64 paused = Position();
    Sleep(100);
    EXPECT_NEAR(Position(), paused, 2);
    EXPECT_GE(paused, playing);

    EXPECT_EQ(Send("resume a"), 0);
    EXPECT_EQ(Ask("status a mode"), "playing");
    Sleep(100);
    EXPECT_GT(Position(), paused + 40);

    EXPECT_EQ(Send("stop a"), 0);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    const qint64 stopped = Position();
    Sleep(100);
    EXPECT_NEAR(Position(), stopped, 2);

    EXPECT_EQ(Send("seek a to start"), 0);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_EQ(Position(), 0);

    // From the start to the end in real time; then stopped at the length.
    EXPECT_EQ(Send("play a"), 0);
    const qint64 took = WaitForMode("stopped", length + 3000);
    EXPECT_GE(took, length - 80);
    EXPECT_LE(took, length + 1000);
    EXPECT_EQ(Position(), length);
    Sleep(50);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_EQ(Send("play a"), 0);  // at the end: nothing left to play
    EXPECT_EQ(Ask("status a mode"), "stopped");

    // A rewind plays it again without reopening: the position must move.
    EXPECT_EQ(Send("seek a to start"), 0);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Send("play a"), 0);
    Sleep(200);
    EXPECT_EQ(Ask("status a mode"), "playing");
    EXPECT_GT(Position(), 80);

    // A seek to a place inside plays on from there to the end.
    ASSERT_EQ(Send("seek a to 900"), 0);
    EXPECT_EQ(Ask("status a mode"), "stopped");
    EXPECT_NEAR(Position(), 900, 30);
    ASSERT_EQ(Send("play a"), 0);
    Sleep(100);
    EXPECT_GT(Position(), 950);
    EXPECT_GE(WaitForMode("stopped", 3000), length - 900 - 100 - 80);
    EXPECT_EQ(Position(), length);
    EXPECT_EQ(Send("seek a to end"), 0);
    EXPECT_EQ(Position(), length);
    EXPECT_EQ(Send("seek a to " + QString::number(length + 1)), kOutOfRange);

    // Closed: every command on the alias fails and answers nothing.
    EXPECT_EQ(Send("close a"), 0);
    for (const char* command :
         {"play a", "stop a", "pause a", "resume a", "close a", "seek a to start", "seek a to 10",
          "set a time format milliseconds", "status a length", "status a mode"}) {
        EXPECT_EQ(Send(command), kInvalidDeviceName) << command;
        EXPECT_EQ(reply, "") << command;
    }
}

INSTANTIATE_TEST_SUITE_P(Media, EveryKind,
                         ::testing::Values(MediaKind::Wav, MediaKind::AuPcm, MediaKind::AuAlaw,
                                           MediaKind::Midi, MediaKind::Mp3Xing,
                                           MediaKind::Mp3NoXing, MediaKind::Wma, MediaKind::Asf),
                         [](const auto& info) {
                             return std::string(qvtest::KindName(info.param));
                         });

TEST_F(GstDevice, BadFilesFailWithACodeQuicklyAndQuietly) {
    dir.write("zero.wav", "");
    dir.write("text.mp3", "This is not music at all.\nJust a few lines of text.\n");
    std::mt19937 random(7);
    QByteArray noise(20000, '\0');
    for (char& c : noise) c = char(random());
    dir.write("noise.mid", noise);
    const QString mp3 = Make(MediaKind::Mp3Xing, "whole.mp3");
    dir.write("stub.mp3", qvtest::ReadAll(mp3).left(100));
    QDir().mkpath(dir.file("folder.wav"));

    StderrCapture capture(dir.file("stderr.txt"));
    QElapsedTimer timer;
    timer.start();
    const struct {
        const char *name, *type;
        int code;
    } cases[] = {
        {"missing.mp3", "MPEGVideo", kFileNotFound}, {"zero.wav", "WaveAudio", kInvalidFile},
        {"folder.wav", "WaveAudio", kInvalidFile},   {"text.mp3", "MPEGVideo", kInvalidFile},
        {"noise.mid", "Sequencer", kInvalidFile},    {"stub.mp3", "MPEGVideo", kInvalidFile}};
    for (const auto& c : cases) {
        EXPECT_EQ(Send(QString("open %1 type %2 alias a").arg(dir.file(c.name), c.type)), c.code)
            << c.name;
        EXPECT_EQ(Send("status a mode"), kInvalidDeviceName);
    }
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(capture.Finish(), "");
}

TEST_F(GstDevice, PathsWithBlanksQuotesAndJapaneseOpen) {
    const QString plain = Make(MediaKind::Wav, "plain.wav", 300);
    QDir().mkpath(dir.file("私の 音楽"));
    const QString odd = dir.file("私の 音楽/say \"hi\" 日本語.wav");
    ASSERT_TRUE(QFile::copy(plain, odd));
    EXPECT_EQ(Send("open " + Quote(odd) + " type WaveAudio alias PlayData"), 0);
    EXPECT_EQ(Ask("status PlayData length"), "300");
    EXPECT_EQ(Send("close PlayData"), 0);
}

TEST_F(GstDevice, ATruncatedMp3AndAFileDeletedWhilePlayingPlayToTheirEnd) {
    const QByteArray bytes = qvtest::ReadAll(Make(MediaKind::Mp3NoXing, "whole.mp3"));
    const QString half = dir.write("half.mp3", bytes.left(bytes.size() / 2 + 77));
    ASSERT_EQ(Send("open " + half + " type MPEGVideo alias a"), 0);
    const qint64 length = Ask("status a length").toLongLong();
    EXPECT_GT(length, 300);
    EXPECT_LT(length, kMs - 300);
    ASSERT_EQ(Send("play a"), 0);
    EXPECT_GE(WaitForMode("stopped", length + 3000), 0);
    EXPECT_EQ(Position(), length);
    ASSERT_EQ(Send("close a"), 0);

    const QString path = Make(MediaKind::Wav, "gone.wav", 600);
    ASSERT_EQ(Send("open " + path + " type WaveAudio alias a"), 0);
    ASSERT_EQ(Send("play a"), 0);
    Sleep(100);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_GE(WaitForMode("stopped", 3000), 0);
    EXPECT_EQ(Position(), 600);
    // The data is still there for a replay, and nothing hangs either way.
    Send("seek a to start");
    Send("play a");
    EXPECT_GE(WaitForMode("stopped", 3000), 0);
    EXPECT_EQ(Send("close a"), 0);
    EXPECT_EQ(Send("open " + path + " type WaveAudio alias a"), kFileNotFound);
}

TEST_F(GstDevice, AnOpenThatDoesNotPrerollInTimeFails) {
    qv::GstDeviceOptions options = Null();
    options.openTimeoutMs = 1;
    qv::GstMediaDevice device(options);
    const QString midi = Make(MediaKind::Midi, "slow.mid");
    EXPECT_EQ(device.Open(midi), kDeviceNotReady);
    EXPECT_EQ(device.Mode(), qv::MediaMode::NotReady);
    EXPECT_EQ(device.Play(), kDeviceNotReady);
    // The same file opens with the usual bound.
    EXPECT_EQ(Send("open " + midi + " type Sequencer alias a"), 0);
}

class NoSoundfont : public GstDevice {
  protected:
    NoSoundfont() : GstDevice(Options()) {}
    static qv::GstDeviceOptions Options() {
        qv::GstDeviceOptions options = Null();
        options.soundfontDataDirs = QStringList{QDir::tempPath() + "/qv-no-such-data-folder"};
        return options;
    }
};

TEST_F(NoSoundfont, MidiIsRefusedWithATextThatSaysWhy) {
    const QString midi = Make(MediaKind::Midi, "a.mid");
    StderrCapture capture(dir.file("stderr.txt"));
    const int code = Send("open " + midi + " type Sequencer alias a");
    EXPECT_EQ(capture.Finish(), "");
    EXPECT_EQ(code, kSeqNoMidiPresent);
    EXPECT_TRUE(qv::MciGetErrorString(code).contains("soundfont"));
    // Other kinds do not need one.
    EXPECT_EQ(Send("open " + Make(MediaKind::Wav, "a.wav", 300) + " type WaveAudio alias w"), 0);
}

// With the desktop's output (none on a build machine: the automatic choice
// falls back to a null sink) nothing may reach standard error.
TEST(GstDeviceOutput, TheDefaultOutputPlaysQuietly) {
    qvtest::TempDir dir;
    const QString path = dir.write("silence.wav", qvtest::WavFile(300, true));
    StderrCapture capture(dir.file("stderr.txt"));
    {
        qv::GstMediaDevice device;
        ASSERT_EQ(device.Open(path), 0);
        EXPECT_EQ(device.Length(), 300);
        EXPECT_EQ(device.Play(), 0);
        Sleep(100);
        EXPECT_EQ(device.Mode(), qv::MediaMode::Playing);
    }
    EXPECT_EQ(capture.Finish(), "");
}

// The tool answers each line as it arrives, so a script can wait between
// commands while the device plays on.
TEST(QuorvaneMciTool, AnswersEveryLineAtOnceWithCodeReplyAndText) {
    qvtest::TempDir dir;
    const QString wav = dir.write("t.wav", qvtest::WavFile(300));
    QProcess tool;
    tool.start(QV_BUILD_DIR "/tools/quorvane-mci", {"--null-audio"});
    ASSERT_TRUE(tool.waitForStarted());
    auto ask = [&](const QString& line) {
        tool.write((line + "\n").toUtf8());
        while (!tool.canReadLine())
            if (!tool.waitForReadyRead(5000)) return QString("(no answer)");
        return QString::fromUtf8(tool.readLine());
    };
    EXPECT_EQ(ask("open " + wav + " type WaveAudio alias a"), "0\t\n");
    EXPECT_EQ(ask("status a length"), "0\t300\n");
    EXPECT_EQ(ask("play a"), "0\t\n");
    EXPECT_EQ(ask("status a mode"), "0\tplaying\n");
    Sleep(500);
    EXPECT_EQ(ask("status a mode"), "0\tstopped\n");
    EXPECT_EQ(ask("bogus a"), "261\t\t" + qv::MciGetErrorString(261) + "\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(5000));
    EXPECT_EQ(tool.exitCode(), 0);

    QProcess once;
    once.start(QV_BUILD_DIR "/tools/quorvane-mci",
               {"--null-audio", "-c", "open \"" + wav + "\" type waveaudio alias b", "-c",
                "status b position", "-c", "status c mode"});
    ASSERT_TRUE(once.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(once.readAllStandardOutput()),
              "0\t\n0\t0\n263\t\t" + qv::MciGetErrorString(263) + "\n");
}

int CountEntries(const char* folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
}

// The process's threads once the pool's idle workers are gone: GStreamer runs
// its streaming threads in GLib's shared pool, whose workers wait half a second
// for another task before they leave. Polls until the count is at most
// `atMost` or, with none given, has held still for a second; ten seconds at most.
int IdleThreads(int atMost = -1) {
    int count = CountEntries("/proc/self/task");
    QElapsedTimer total, still;
    total.start();
    still.start();
    while (count > atMost && total.elapsed() < 10000 && (atMost >= 0 || still.elapsed() < 1000)) {
        Sleep(50);
        const int now = CountEntries("/proc/self/task");
        if (now != count) still.restart();
        count = now;
    }
    return count;
}

TEST_F(GstDevice, FiveHundredOpensAndClosesLeaveNoThreadOrFileBehind) {
    // Workers leave the process when they leave the pool, rather than a few
    // staying parked for later, so that the idle count is the same each time.
    g_thread_pool_set_max_unused_threads(0);
    const QString wav = Make(MediaKind::Wav, "a.wav", 300);
    const QString mp3 = Make(MediaKind::Mp3NoXing, "b.mp3");
    const QString mid = Make(MediaKind::Midi, "c.mid");
    auto cycle = [&](int i) {
        const QString* path = i % 25 == 10 ? &mp3 : i % 50 == 0 ? &mid : &wav;
        const char* type = path == &wav ? "WaveAudio" : path == &mp3 ? "MPEGVideo" : "Sequencer";
        ASSERT_EQ(Send("open " + *path + " type " + type + " alias a"), 0) << i;
        if (i % 50 == 0) {
            Send("play a");
            Sleep(20);
        }
        ASSERT_EQ(Send("close a"), 0);
    };
    for (int i = 0; i < 50; ++i) cycle(i);  // threads and files opened once for good come first
    const int threads = IdleThreads();
    const int fds = CountEntries("/proc/self/fd");
    for (int i = 0; i < 500; ++i) cycle(i);
    EXPECT_LE(IdleThreads(threads), threads);
    EXPECT_LE(CountEntries("/proc/self/fd"), fds);
}

TEST_F(GstDevice, TenThousandRandomCommandsNeitherCrashNorHang) {
    const QString wav = Make(MediaKind::Wav, "r.wav", 200);
    QStringList words = QStringLiteral(
                            "open play stop pause resume close seek set status record PlayData "
                            "playdata a all type alias to start end time format milliseconds ms "
                            "frames length position mode ready WaveAudio MPEGVideo MPEGVideo2 "
                            "Sequencer CDAudio wait notify 0 150 -3 99999999999999999999")
                            .split(' ');
    words << wav << Quote(wav) << "\""
          << "\"\""
          << "\"open"
          << "日本語"
          << "\t"
          << "x\"y";
    // Well-formed commands, often bent a little, reach the device; the rest
    // are word salad for the parser.
    const QStringList templates =
        QStringLiteral(
            "play @|stop @|pause @|resume @|close @|seek @ to start|seek @ to end|"
            "seek @ to 120|set @ time format milliseconds|status @ length|"
            "status @ position|status @ mode|status @ ready|close all")
            .split('|');
    const QStringList aliases = {"a", "PlayData", "b"};
    std::mt19937 random(20240601);
    auto pick = [&](const QStringList& list) { return list[int(random() % list.size())]; };
    int succeeded = 0;
    for (int n = 0; n < 10000; ++n) {
        QStringList parts;
        if (random() % 5 < 3) {
            QString command =
                random() % 30 == 0 ? "open " + wav + " type WaveAudio alias @" : pick(templates);
            // "@" stands for the alias: no temporary folder's name holds one.
            parts = command.replace("@", pick(aliases)).split(' ');
            if (random() % 3 == 0) parts[int(random() % parts.size())] = pick(words);
            if (random() % 3 == 0) parts[0] = parts[0].toUpper();
        } else {
            for (int i = int(random() % 7); i > 0; --i) {
                if (random() % 10 == 0) {
                    QString junk;
                    for (int j = int(random() % 6); j > 0; --j)
                        junk += QChar(char16_t(random() % 0x3100));
                    parts << junk;
                } else {
                    parts << pick(words);
                }
            }
        }
        const QString command = parts.join(random() % 4 ? " " : "  ");
        const int length = int(random() % 20);
        QString answer = "junk";
        const int code = mci.SendString(command, &answer, length);
        if (code != 0) {
            ASSERT_FALSE(qv::MciGetErrorString(code).isEmpty()) << code;
            ASSERT_EQ(answer, "") << command.toStdString();
        } else {
            ++succeeded;
        }
        ASSERT_LE(answer.size(), std::max(0, length - 1));
    }
    EXPECT_GT(succeeded, 500);
    EXPECT_EQ(Send("close all"), 0);
    EXPECT_EQ(Send("open " + wav + " type WaveAudio alias PlayData"), 0);
    EXPECT_EQ(Ask("status PlayData length"), "200");
}

}  // namespace
