// Start-up benchmark: from the entry of main to the main window shown, with
// the splash's minimum taken out (the clock's sleep is recorded, not slept),
// for an empty program folder and for a LastPlayList.lst of 20,000 entries
// (MP3 alone, and a mix of every kind with a tag); and the time to add 20,000
// files to the playlist, tag reads included.
// Usage: startup [runs]   (prints one line per figure; medians over the runs)
#include "program/startup.h"

#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/clock.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_interpreter.h"
#include "playlist/cls_playlist.h"
#include "support/media_files.h"
#include "support/scripted_dialogs.h"

namespace {

// The real clock, except that the splash's sleep only counts.
class NoSleepClock final : public qv::Clock {
  public:
    uint32_t timeGetTime() override { return real_.timeGetTime(); }
    void Sleep(uint32_t ms) override { slept += ms; }
    uint32_t slept = 0;

  private:
    qv::SystemClock real_;
};

struct Folder {
    QTemporaryDir dir{QDir::tempPath() + "/qvbench-XXXXXX"};
    QString path() const { return dir.path() + "/"; }
};

// n media files: the first a WAV the device really opens, the rest MP3 files
// with an ID3v2 tag, so every entry's title comes from a tag.
QStringList MakeMedia(const QString& folder, int n) {
    QDir().mkpath(folder + "media");
    QStringList files;
    for (int i = 0; i < n; ++i) {
        const QString f = folder + QString(i == 0 ? "media/%1.wav" : "media/%1.mp3").arg(i);
        QFile out(f);
        if (!out.open(QIODevice::WriteOnly)) continue;
        out.write(i == 0 ? qvtest::WavBytes(500)
                         : qvtest::Id3Bytes(QString("Title %1").arg(i), "Artist", "Comment"));
        files.append(f);
    }
    return files;
}

// n media files of the given kinds in turn, the first a WAV the device really
// opens: MP3 with an ID3v2 tag, WAV and MIDI written here, the others copies
// of short files made by ffmpeg, with a tag of their own where the kind has one.
QStringList MakeMixedMedia(const QString& folder, int n, const QList<qvtest::MediaKind>& kinds) {
    using qvtest::MediaKind;
    const QString where = folder + "mixed/";
    QDir().mkpath(where);
    QList<std::pair<QString, QByteArray>> sources;  // extension, bytes
    for (MediaKind kind : kinds) {
        QByteArray bytes = kind == MediaKind::Mp3Xing ? qvtest::Id3Bytes("Title", "Artist", "Note")
                           : kind == MediaKind::Wav   ? qvtest::WavBytes(200)
                           : kind == MediaKind::Midi  ? qvtest::MidiBytes()
                                                      : QByteArray();
        if (bytes.isEmpty()) {
            QString error;
            const QString made =
                qvtest::MakeMedia(kind, folder, "one." + qvtest::KindExtension(kind), 200, &error,
                                  {"title=曲名 Title", "artist=Artist", "comment=Comment"});
            QFile f(made);
            if (made.isEmpty() || !f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "startup: %s\n", qPrintable(error));
                std::exit(1);
            }
            bytes = f.readAll();
        }
        sources.append({qvtest::KindExtension(kind), bytes});
    }
    QStringList files;
    for (int i = 0; i < n; ++i) {
        const auto& [extension, bytes] = sources[i % sources.size()];
        const QString f = where + QString::number(i) + "." + (i == 0 ? "wav" : extension);
        QFile out(f);
        if (out.open(QIODevice::WriteOnly) && out.write(i == 0 ? qvtest::WavBytes(500) : bytes) > 0)
            files.append(f);
    }
    return files;
}

void WriteLastPlayList(const QString& folder, const QStringList& files) {
    QDir().mkpath(folder + "PlayLists");
    QFile list(folder + "PlayLists/LastPlayList.lst");
    if (list.open(QIODevice::WriteOnly))
        for (const QString& f : files) list.write(f.toUtf8() + "\r\n");
}

qv::GstDeviceOptions NullAudio() {
    qv::GstDeviceOptions options;
    options.nullAudio = true;
    return options;
}

// CPU time of the whole process, in ms: on a busy machine it moves less than
// the wall time, and it holds the tag readers' threads as well as the main
// one (and the media device's, which do little before a play).
double ProcessCpuMs() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double StartOnce(const QString& folder, double* slept, double* cpu = nullptr) {
    QElapsedTimer t;
    t.start();
    const double cpu0 = ProcessCpuMs();
    NoSleepClock clock;
    qvtest::ScriptedDialogs dialogs;
    qv::MciInterpreter mci(qv::GstDeviceFactory(NullAudio()));
    double shown = 0;
    {
        qv::ProgramState state(folder, mci, dialogs, clock);
        qv::Main(state);
        shown = t.nsecsElapsed() / 1e6;
        if (cpu) *cpu = ProcessCpuMs() - cpu0;
        *slept = clock.slept;
        state.endProgram = [] {};
        // Leave the folder as it was: no unload, nothing written.
    }
    return shown;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const double appReady = sinceMain.nsecsElapsed() / 1e6;

    Folder empty;
    double slept = 0;
    const double first = StartOnce(empty.path(), &slept);
    std::printf("QApplication created after            %8.1f ms\n", appReady);
    std::printf("first start, empty folder (cold)      %8.1f ms  (splash sleep skipped: %.0f ms)\n",
                first, slept);
    std::vector<double> warm;
    for (int i = 0; i < runs; ++i) warm.push_back(StartOnce(empty.path(), &slept));
    std::printf("start, empty folder (median of %d)     %8.1f ms\n", runs, Median(warm));

    using qvtest::MediaKind;
    Folder big, every, tagged;
    const QStringList files = MakeMedia(big.path(), 20000);
    WriteLastPlayList(big.path(), files);
    WriteLastPlayList(
        every.path(),
        MakeMixedMedia(every.path(), 20000,
                       {MediaKind::Mp3Xing, MediaKind::Flac, MediaKind::Vorbis, MediaKind::OggFlac,
                        MediaKind::Opus, MediaKind::M4a, MediaKind::Wma, MediaKind::Asf,
                        MediaKind::Wav, MediaKind::Midi, MediaKind::AuPcm}));
    WriteLastPlayList(tagged.path(),
                      MakeMixedMedia(tagged.path(), 20000,
                                     {MediaKind::Mp3Xing, MediaKind::Flac, MediaKind::Vorbis,
                                      MediaKind::Opus, MediaKind::M4a, MediaKind::Wma}));
    for (const auto& [folder, what] :
         {std::pair{&big, "MP3      "}, {&every, "all kinds"}, {&tagged, "tag kinds"}}) {
        std::vector<double> loaded, loadedCpu;
        for (int i = 0; i < runs; ++i) {
            double cpu = 0;
            loaded.push_back(StartOnce(folder->path(), &slept, &cpu));
            loadedCpu.push_back(cpu);
        }
        std::printf("start, LastPlayList of %d %s (median) %8.1f ms  (CPU of the process %.1f ms)\n",
                    int(files.size()), what, Median(loaded), Median(loadedCpu));
    }

    std::vector<double> adds, addsCpu;
    for (int i = 0; i < runs; ++i) {
        NoSleepClock clock;
        qvtest::ScriptedDialogs dialogs;
        qv::MciInterpreter mci(qv::GstDeviceFactory(NullAudio()));
        Folder folder;
        qv::ProgramState state(folder.path(), mci, dialogs, clock);
        qv::Main(state);
        QElapsedTimer t;
        t.start();
        const double cpu0 = ProcessCpuMs();
        for (const QString& f : files) state.objPlayList->AddToPlayList(f);
        QCoreApplication::processEvents();  // the one write of LastOpenFile
        adds.push_back(t.nsecsElapsed() / 1e6);
        addsCpu.push_back(ProcessCpuMs() - cpu0);
    }
    std::printf("AddToPlayList x %d, tags read (median) %8.1f ms  (CPU of the process %.1f ms)\n",
                int(files.size()), Median(adds), Median(addsCpu));
    return 0;
}
