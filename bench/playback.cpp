// Playback benchmark: the monitor tick's own time while the program plays,
// without and with MPRIS; then CPU seconds of the whole program (its window on
// the offscreen platform, the monitor ticking every 50 ms, the null sink)
// while it plays a 30-second MP3, against gst-launch-1.0 playbin into the same
// sink.
// Then resident memory over gapless joins of 0.2-second files.
// Usage: playback [runs] [joins]   (default 3 and 1000; runs alternate, the
// least of each counts)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/dialogs_qt.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "child_cpu.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_interpreter.h"
#include "playback/media_play.h"
#include "playback/monitor.h"
#include "program/command_line.h"
#include "program/mpris.h"
#include "program/playback_wiring.h"
#include "program/startup.h"
#include "support/media_maker.h"

extern char** environ;

namespace {

using qvbench::ChildCpu;

// The real clock, except that the splash's 2.5 s are not waited for.
class NoSleepClock final : public qv::Clock {
  public:
    uint32_t timeGetTime() override { return real_.timeGetTime(); }
    void Sleep(uint32_t) override {}

  private:
    qv::SystemClock real_;
};

qv::GstDeviceOptions NullAudio() {
    qv::GstDeviceOptions options;
    options.nullAudio = true;
    return options;
}

// The program started by Main with the file on its command line, on the
// offscreen platform with the real media layer into the null sink.
struct StartedProgram {
    StartedProgram(const QString& folder, const QString& file)
        : state(folder, mci, dialogs, clock) {
        state.commandLine = qv::ArgumentText({file});
        state.endProgram = [] { QCoreApplication::exit(0); };
        qv::Main(state);
    }
    NoSleepClock clock;
    qv::QtDialogs dialogs;
    qv::MciInterpreter mci{qv::GstDeviceFactory(NullAudio())};
    qv::ProgramState state;
};

// Child mode: the program as it runs, with the file on its command line and
// "Loop-Off" stored; the window is closed when the track has ended.
int PlayProgram(int argc, char** argv, const QString& file, const QString& folder) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFile ini(folder + "Setting.ini");
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[Quorvane]\r\nLoopMode=0\r\n");
    ini.close();

    StartedProgram program(folder, file);
    qv::ProgramState& state = program.state;
    qv::ConnectPlayback(state, *state.mainForm);  // once per window: no harm if Main did

    // Watched on the monitor's own ticks: a timer of the benchmark's would
    // wake the program more often than it wakes itself.
    bool started = false;
    QObject::connect(state.mainForm->Timer1, &QTimer::timeout, [&] {
        const qv::PlayerState s = state.objMediaPlay->PlayState();
        if (s == qv::PlayerState::Playing) started = true;
        // "Loop-Off" rewinds at the end and leaves the player stopped by itself.
        if (started && s == qv::PlayerState::Stopped && state.objMediaPlay->StopByUser())
            state.mainForm->close();
    });
    return QApplication::exec();
}

// Resident memory of this process, in kilobytes.
long ResidentKb() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// Child mode: "Loop-All" over five 0.2-second files, joined one into the
// next, for `joins` joins: resident memory after a warm-up and at the end,
// and how many of the joins were made by opening a file instead.
int Joins(int argc, char** argv, const QString& folder, int joins) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList files;
    for (int i = 0; i < 5; ++i) {
        QString error;
        files << qvtest::MakeMedia(qvtest::MediaKind::Wav, folder, QString("%1.wav").arg(i), 200,
                                   &error);
        if (files.last().isEmpty()) return 1;
    }
    QFile ini(folder + "Setting.ini");
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[Quorvane]\r\nLoopMode=1\r\n");
    ini.close();
    NoSleepClock clock;
    qv::QtDialogs dialogs;
    qv::MciInterpreter mci{qv::GstDeviceFactory(NullAudio())};
    int opens = 0;
    mci.SetRecorder([&](const QString& command) { opens += command.startsWith("open "); });
    qv::ProgramState state(folder, mci, dialogs, clock);
    state.commandLine = qv::ArgumentText(files);
    state.endProgram = [] { QCoreApplication::exit(0); };
    qv::Main(state);
    int changes = 0, opensAtWarm = 0;
    long warm = 0;
    QString last = state.objMediaPlay->CurrentPath();
    QElapsedTimer t;
    t.start();
    QObject::connect(state.mainForm->Timer1, &QTimer::timeout, [&] {
        if (state.objMediaPlay->CurrentPath() == last) return;
        last = state.objMediaPlay->CurrentPath();
        if (++changes == 50) {
            warm = ResidentKb();
            opensAtWarm = opens;
            t.restart();
        }
        if (changes == 50 + joins) {
            const long end = ResidentKb();
            std::printf(
                "  %d joins in %.1f s: resident %ld kB after 50, %ld kB at the end, "
                "growth %ld kB (target under 2048); %d of them made by an open\n",
                joins, t.elapsed() / 1000.0, warm, end, end - warm, opens - opensAtWarm);
            state.mainForm->close();
        }
    });
    return QApplication::exec();
}

// Median and 99th percentile of a run of times, in microseconds.
void PrintTimes(const char* what, std::vector<double> us) {
    std::sort(us.begin(), us.end());
    std::printf("  %-44s median %6.1f µs, p99 %6.1f µs\n", what, us[us.size() / 2],
                us[us.size() * 99 / 100]);
}

// Child mode: the program playing the file, its monitor stopped and its tick
// called here, alone and followed by MPRIS's look at what changed.
int TimeTicks(int argc, char** argv, const QString& file, const QString& folder) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StartedProgram program(folder, file);
    qv::ProgramState& state = program.state;
    state.mainForm->Timer1->stop();
    qv::Timer1_Timer(state);
    if (state.objMediaPlay->PlayState() != qv::PlayerState::Playing) {
        std::printf("  the file does not play\n");
        return 1;
    }
    constexpr int kTicks = 4000;
    const auto time = [](const std::function<void()>& step) {
        std::vector<double> us;
        QElapsedTimer t;
        for (int i = 0; i < kTicks; ++i) {
            t.start();
            step();
            us.push_back(double(t.nsecsElapsed()) / 1000.0);
        }
        return us;
    };
    PrintTimes("tick without MPRIS", time([&] { qv::Timer1_Timer(state); }));
    const std::unique_ptr<qv::Mpris> mpris = qv::Mpris::Start(state);
    if (!mpris) {
        std::printf("  no session bus: MPRIS not measured (run under dbus-run-session)\n");
        return 0;
    }
    PrintTimes("tick with MPRIS, nothing changed", time([&] {
                   qv::Timer1_Timer(state);
                   mpris->Refresh();
               }));
    PrintTimes("MPRIS alone, nothing changed", time([&] { mpris->Refresh(); }));
    // Each call a change to send: the loop mode, set as the button would.
    qv::Looping mode = qv::Looping::Off;
    PrintTimes("MPRIS alone, the loop mode changed", time([&] {
                   mode = mode == qv::Looping::Off ? qv::Looping::All : qv::Looping::Off;
                   state.objMediaPlay->LoopMode(mode);
                   mpris->Refresh();
               }));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--play") == 0)
        return PlayProgram(argc, argv, QString::fromLocal8Bit(argv[2]),
                           QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "--ticks") == 0)
        return TimeTicks(argc, argv, QString::fromLocal8Bit(argv[2]),
                         QString::fromLocal8Bit(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "--joins") == 0)
        return Joins(argc, argv, QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int joins = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;

    QTemporaryDir dir(QDir::tempPath() + "/qvbench-play-XXXXXX");
    QString error;
    const QString mp3 =
        qvtest::MakeMedia(qvtest::MediaKind::Mp3Xing, dir.path(), "30s.mp3", 30000, &error);
    if (mp3.isEmpty()) {
        std::printf("cannot make the 30 s MP3: %s\n", qPrintable(error));
        return 1;
    }
    const std::string self = QCoreApplication::applicationFilePath().toStdString();

    // In a process of its own: the program's QApplication is not this one.
    std::printf("The monitor's tick while the 30-second MP3 plays:\n");
    std::fflush(stdout);
    {
        const QString folder = dir.path() + "/ticks/";
        QDir().mkpath(folder);
        if (ChildCpu({self, "--ticks", QFile::encodeName(mp3).toStdString(),
                      QFile::encodeName(folder).toStdString()}) < 0)
            return 1;
    }

    std::printf("Gapless joins of 0.2-second WAV files in Loop-All:\n");
    std::fflush(stdout);
    {
        const QString folder = dir.path() + "/joins/";
        QDir().mkpath(folder);
        if (ChildCpu({self, "--joins", QFile::encodeName(folder).toStdString(),
                      std::to_string(joins)}) < 0)
            return 1;
    }

    const std::string uriArg = "uri=" + QUrl::fromLocalFile(mp3).toEncoded().toStdString();

    std::printf("CPU seconds to play a 30-second MP3 into fakeaudiosink (whole process):\n");
    std::vector<double> ours, theirs;
    for (int r = 0; r < runs; ++r) {
        const QString folder = dir.path() + QString("/prog%1/").arg(r);
        QDir().mkpath(folder);
        const double o = ChildCpu({self, "--play", QFile::encodeName(mp3).toStdString(),
                                   QFile::encodeName(folder).toStdString()});
        const double t =
            ChildCpu({"gst-launch-1.0", "-q", "playbin", uriArg, "audio-sink=fakeaudiosink"});
        std::printf("  run %d: the program %.3f s, gst-launch-1.0 playbin %.3f s, ratio %.2f\n",
                    r + 1, o, t, t > 0 ? o / t : 0.0);
        if (o < 0 || t < 0) return 1;
        ours.push_back(o);
        theirs.push_back(t);
    }
    const double o = *std::min_element(ours.begin(), ours.end());
    const double t = *std::min_element(theirs.begin(), theirs.end());
    std::printf(
        "  least of %d: the program %.3f s, gst-launch-1.0 playbin %.3f s, ratio %.2f "
        "(target at most 0.7)\n",
        runs, o, t, t > 0 ? o / t : 0.0);
    return 0;
}
