// Playback benchmark: CPU seconds of the whole program (its window on the
// offscreen platform, the monitor ticking every 50 ms, the null sink) while
// it plays a 30-second MP3, against gst-launch-1.0 playbin into the same sink.
// Usage: playback [runs]   (default 3; runs alternate, the least of each counts)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "program/command_line.h"
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

// Child mode: the program as it runs, with the file on its command line and
// "Loop-Off" stored; the window is closed when the track has ended.
int PlayProgram(int argc, char** argv, const QString& file, const QString& folder) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFile ini(folder + "Setting.ini");
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[Quorvane]\r\nLoopMode=0\r\n");
    ini.close();

    NoSleepClock clock;
    qv::QtDialogs dialogs;
    qv::GstDeviceOptions options;
    options.nullAudio = true;
    qv::MciInterpreter mci(qv::GstDeviceFactory(options));
    qv::ProgramState state(folder, mci, dialogs, clock);
    state.commandLine = qv::ArgumentText({file});
    state.endProgram = [] { QCoreApplication::exit(0); };
    qv::Main(state);
    qv::ConnectPlayback(state, *state.mainForm);  // once per window: no harm if Main did

    bool started = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString s = state.objMediaPlay->PlayState();
        if (s == qv::kStatePlaying) started = true;
        // "Loop-Off" rewinds at the end and leaves the player stopped by itself.
        if (started && s == qv::kStateStopped && state.objMediaPlay->StopByUser())
            state.mainForm->close();
    });
    watch.start(200);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--play") == 0)
        return PlayProgram(argc, argv, QString::fromLocal8Bit(argv[2]),
                           QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir dir(QDir::tempPath() + "/qvbench-play-XXXXXX");
    QString error;
    const QString mp3 =
        qvtest::MakeMedia(qvtest::MediaKind::Mp3Xing, dir.path(), "30s.mp3", 30000, &error);
    if (mp3.isEmpty()) {
        std::printf("cannot make the 30 s MP3: %s\n", qPrintable(error));
        return 1;
    }
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
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
        "(target at most 1.0)\n",
        runs, o, t, t > 0 ? o / t : 0.0);
    return 0;
}
