// Benchmark of the media-control layer: the seven commands the playback
// monitor sends every 50 ms, open latency per media kind, and the CPU time to
// play a 30-second MP3 against gst-launch-1.0's playbin into the same sink.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "child_cpu.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/media_kinds.h"
#include "support/media_maker.h"

extern char** environ;

namespace {

using qvbench::ChildCpu;

using qvtest::MediaKind;

struct Stats {
    double median = 0, p99 = 0, worst = 0;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 99 / 100], v.back()};
}

std::unique_ptr<qv::MciInterpreter> NullMci() {
    qv::GstDeviceOptions options;
    options.nullAudio = true;
    return std::make_unique<qv::MciInterpreter>(qv::GstDeviceFactory(options));
}

QString Open(const QString& path) {
    return "open \"" + path + "\" type " +
           qv::FindMediaKind(qv::EntryExtension(path))->deviceType.toString() + " alias PlayData";
}

// The monitor's seven strings per tick, as Mod_MCI sends them.
const char* const kTick[] = {"status PlayData mode",
                             "status PlayData mode",
                             "set PlayData time format milliseconds",
                             "status PlayData position",
                             "set PlayData time format milliseconds",
                             "status PlayData length",
                             "status PlayData mode"};

void Queries(const QString& mp3) {
    auto mci = NullMci();
    QString reply;
    if (mci->SendString(Open(mp3), nullptr, 0) != 0 ||
        mci->SendString("play PlayData", nullptr, 0) != 0) {
        std::printf("queries: cannot open %s\n", qPrintable(mp3));
        return;
    }
    const char* distinct[] = {"status PlayData mode", "set PlayData time format milliseconds",
                              "status PlayData position", "status PlayData length"};
    constexpr int kRounds = 20000;
    std::printf("Monitor queries while playing (%d calls each, microseconds):\n", kRounds);
    std::printf("  %-40s %8s %8s %8s\n", "command", "median", "p99", "worst");
    for (const char* command : distinct) {
        std::vector<double> us;
        us.reserve(kRounds);
        const QString c = QString::fromLatin1(command);
        for (int i = 0; i < kRounds; ++i) {
            QElapsedTimer t;
            t.start();
            mci->SendString(c, &reply, 16);
            us.push_back(t.nsecsElapsed() / 1000.0);
        }
        const Stats s = Summarise(us);
        std::printf("  %-40s %8.2f %8.2f %8.1f\n", command, s.median, s.p99, s.worst);
    }
    std::vector<double> tick;
    for (int i = 0; i < 2000; ++i) {
        QElapsedTimer t;
        t.start();
        for (const char* command : kTick) mci->SendString(QString::fromLatin1(command), &reply, 16);
        tick.push_back(t.nsecsElapsed() / 1000.0);
    }
    const Stats s = Summarise(tick);
    std::printf("  %-40s %8.2f %8.2f %8.1f\n", "whole tick (7 commands)", s.median, s.p99, s.worst);
}

void OpenLatency(const std::vector<std::pair<MediaKind, QString>>& files) {
    std::printf(
        "\nOpen latency (open + close, ms): first in this process, then median/worst of 20\n");
    std::printf("  %-10s %8s %8s %8s %8s\n", "kind", "first", "median", "worst", "close");
    auto mci = NullMci();
    for (const auto& [kind, path] : files) {
        std::vector<double> opens, closes;
        double first = 0;
        for (int i = 0; i < 21; ++i) {
            QElapsedTimer t;
            t.start();
            const int code = mci->SendString(Open(path), nullptr, 0);
            const double ms = t.nsecsElapsed() / 1e6;
            t.restart();
            mci->SendString("close PlayData", nullptr, 0);
            if (code != 0) std::printf("  %s: open failed %d\n", qvtest::KindName(kind), code);
            if (i == 0)
                first = ms;
            else
                opens.push_back(ms), closes.push_back(t.nsecsElapsed() / 1e6);
        }
        const Stats s = Summarise(opens);
        std::printf("  %-10s %8.1f %8.1f %8.1f %8.1f\n", qvtest::KindName(kind), first, s.median,
                    s.worst, Summarise(closes).median);
    }
}

double SelfCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// Child mode: plays the file to its end through the interpreter as the
// program does, with the monitor's seven commands every 50 ms.
int PlayThrough(const QString& path, const QString& report) {
    auto mci = NullMci();
    const double before = SelfCpu();
    if (mci->SendString(Open(path), nullptr, 0) != 0) return 1;
    mci->SendString("play PlayData", nullptr, 0);
    QString mode;
    do {
        QThread::msleep(50);
        for (const char* command : kTick) mci->SendString(QString::fromLatin1(command), &mode, 16);
        mci->SendString("status PlayData mode", &mode, 10);
    } while (mode == qv::kModePlaying);
    mci->SendString("close PlayData", nullptr, 0);
    QFile out(report);
    if (out.open(QIODevice::WriteOnly)) out.write(QByteArray::number(SelfCpu() - before, 'f', 3));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--play-through") == 0)
        return PlayThrough(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    int runs = 3;
    bool skipCpu = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::atoi(argv[++i]);
        if (std::strcmp(argv[i], "--no-cpu") == 0) skipCpu = true;
    }

    QTemporaryDir dir;
    QString error;
    std::vector<std::pair<MediaKind, QString>> files;
    for (MediaKind kind : {MediaKind::Wav, MediaKind::AuPcm, MediaKind::AuAlaw, MediaKind::Midi,
                           MediaKind::Mp3Xing, MediaKind::Mp3NoXing, MediaKind::Wma, MediaKind::Asf,
                           MediaKind::Flac, MediaKind::Vorbis, MediaKind::Opus, MediaKind::M4a}) {
        const QString name = QString(qvtest::KindName(kind)) + "." + qvtest::KindExtension(kind);
        const QString path = qvtest::MakeMedia(kind, dir.path(), name, 2000, &error);
        if (path.isEmpty()) {
            std::printf("cannot make %s: %s\n", qvtest::KindName(kind), qPrintable(error));
            return 1;
        }
        files.emplace_back(kind, path);
    }
    const QString long30 =
        qvtest::MakeMedia(MediaKind::Mp3Xing, dir.path(), "30s.mp3", 30000, &error);
    if (long30.isEmpty()) {
        std::printf("cannot make the 30 s MP3: %s\n", qPrintable(error));
        return 1;
    }

    OpenLatency(files);
    std::printf("\n");
    Queries(long30);
    if (skipCpu) return 0;

    std::printf("\nCPU seconds to play a 30-second MP3 into fakeaudiosink (whole process):\n");
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const std::string location = QFile::encodeName(long30).toStdString();
    const std::string uriArg = "uri=" + QUrl::fromLocalFile(long30).toEncoded().toStdString();
    // Runs alternate, and the least of each counts: on a shared machine the
    // other load only ever adds CPU time.
    std::vector<double> oursAll, theirsAll;
    for (int r = 0; r < runs; ++r) {
        const QString report = dir.filePath("cpu.txt");
        const double ours =
            ChildCpu({self, "--play-through", location, QFile::encodeName(report).toStdString()});
        QFile reported(report);
        reported.open(QIODevice::ReadOnly);
        const double playing = reported.readAll().toDouble();
        const double theirs =
            ChildCpu({"gst-launch-1.0", "-q", "playbin", uriArg, "audio-sink=fakeaudiosink"});
        std::printf(
            "  run %d: our device %.3f s (%.3f s of it from open to close), gst-launch-1.0 "
            "playbin %.3f s, ratio %.2f\n",
            r + 1, ours, playing, theirs, theirs > 0 ? ours / theirs : 0.0);
        oursAll.push_back(ours);
        theirsAll.push_back(theirs);
    }
    const double bestOurs = *std::min_element(oursAll.begin(), oursAll.end());
    const double bestTheirs = *std::min_element(theirsAll.begin(), theirsAll.end());
    std::printf("  best of %d: our device %.3f s, gst-launch-1.0 playbin %.3f s, ratio %.2f\n",
                runs, bestOurs, bestTheirs, bestTheirs > 0 ? bestOurs / bestTheirs : 0.0);
    return 0;
}
