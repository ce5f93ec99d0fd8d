// tags FOLDER [ROUNDS]: reads the tag of every file in FOLDER with our reader,
// with TagLib, and with the bare I/O floor; prints files per second for each.
// Then the same as whole processes: quorvane-tags over all the files against
// tags-process taglib (the same lines, read by TagLib) and tags-process floor.
//
// tags --formats [FILES] [ROUNDS]: for FLAC, Ogg Vorbis, Opus, M4A and WMA,
// FILES (2,000) copies of one tagged file made by ffmpeg, each read through our
// one call (ReadTags, TagLib behind it) and through TagLib's class for the
// kind called directly, both without audio properties; files per second and
// our time over TagLib's.
//
// Each round runs the three over the same files one after the other, after a
// warm-up pass, so all of them see the same page cache; the best round counts.
// TagLib reads MPEG files without audio properties, its cheapest way, and the
// floor opens, reads the first 10 and the last 128 bytes, and closes.
#include "tags/tags.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tag.h>
#include <taglib/tdebuglistener.h>
#include <taglib/vorbisfile.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/media_maker.h"
#include "tags/id3.h"

namespace {

// TagLib reports damaged frames on stderr; the corpus holds some on purpose.
class QuietListener : public TagLib::DebugListener {
  public:
    void printMessage(const TagLib::String&) override {}
};

struct Reader {
    const char* name;
    std::function<size_t(size_t)> read;  // file index -> a checksum of what was read
    double best = 0;                     // files per second
};

struct Process {
    const char* name;
    std::vector<std::string> command;  // the files are appended
    double best = 0;                   // files per second, wall time
    double cpu = 0;                    // user + system seconds of that run
};

// Runs command with the files as arguments in folder, its output thrown away;
// gives the wall seconds and sets cpu to the child's user + system seconds.
double run(const Process& p, const std::string& folder, const std::vector<std::string>& files,
           double& cpu) {
    std::vector<char*> args;
    for (const std::string& s : p.command) args.push_back(const_cast<char*>(s.c_str()));
    for (const std::string& s : files) args.push_back(const_cast<char*>(s.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null < 0 || ::dup2(null, 1) < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "tags: %s failed\n", p.name);
        std::exit(1);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return took.count();
}

size_t Sizes(const TagLib::File& f) {
    const TagLib::Tag* t = f.isValid() ? f.tag() : nullptr;
    if (!t) return 0;
    return t->title().size() + t->artist().size() + t->album().size() + t->comment().size();
}

template <class File>
size_t ReadWith(const char* path) {
    return Sizes(File(path, false));
}

size_t ReadFlac(const char* path) {
    return Sizes(TagLib::FLAC::File(path, TagLib::ID3v2::FrameFactory::instance(), false));
}

int Formats(int count, int rounds) {
    using qvtest::MediaKind;
    struct Row {
        MediaKind kind;
        size_t (*taglib)(const char* path);
        std::vector<QString> paths;
        std::vector<std::string> native;
        double ours = 0, theirs = 0;  // best files per second
    };
    Row rows[] = {{MediaKind::Flac, ReadFlac, {}, {}},
                  {MediaKind::Vorbis, ReadWith<TagLib::Ogg::Vorbis::File>, {}, {}},
                  {MediaKind::Opus, ReadWith<TagLib::Ogg::Opus::File>, {}, {}},
                  {MediaKind::M4a, ReadWith<TagLib::MP4::File>, {}, {}},
                  {MediaKind::Wma, ReadWith<TagLib::ASF::File>, {}, {}}};
    QTemporaryDir dir;
    for (Row& row : rows) {
        QString error;
        const QString one = qvtest::MakeMedia(
            row.kind, dir.path(), QString("one.") + qvtest::KindExtension(row.kind), 3000, &error,
            {"title=夜明けの曲 Dawn", "artist=アーティスト", "album=アルバム", "comment=Comment"});
        if (one.isEmpty()) {
            std::fprintf(stderr, "tags: %s\n", qPrintable(error));
            return 1;
        }
        for (int i = 0; i < count; ++i) {
            row.paths.push_back(
                dir.filePath(QString("%1-%2.").arg(qvtest::KindName(row.kind)).arg(i) +
                             qvtest::KindExtension(row.kind)));
            row.native.push_back(QFile::encodeName(row.paths.back()).toStdString());
            QFile::copy(one, row.paths.back());
        }
    }
    size_t checksum = 0;
    const auto ours = [&](const Row& row) {
        for (const QString& path : row.paths) {
            const qv::TagInfo t = qv::ReadTags(path);
            checksum += t.Title.size() + t.Artist.size() + t.Album.size() + t.Comment.size();
        }
    };
    const auto theirs = [&](const Row& row) {
        for (const std::string& path : row.native) checksum += row.taglib(path.c_str());
    };
    const auto perSecond = [](size_t n, const std::function<void()>& f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        return n / took.count();
    };
    std::printf("%d files of each kind, best of %d rounds\n", count, rounds);
    for (Row& row : rows) {
        ours(row);  // warm-up: the files are in the page cache
        theirs(row);
        for (int round = 0; round < rounds; ++round) {
            row.ours = std::max(row.ours, perSecond(count, [&] { ours(row); }));
            row.theirs = std::max(row.theirs, perSecond(count, [&] { theirs(row); }));
        }
        std::printf(
            "  %-7s ReadTags %8.0f files/s %6.2f us/file   TagLib %8.0f files/s %6.2f "
            "us/file   ours / TagLib = %.2fx time (target <= 1.2)\n",
            qvtest::KindName(row.kind), row.ours, 1e6 / row.ours, row.theirs, 1e6 / row.theirs,
            row.theirs / row.ours);
    }
    std::printf("(checksum %zu)\n", checksum);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tags FOLDER [ROUNDS] | tags --formats [FILES] [ROUNDS]\n", stderr);
        return 2;
    }
    QuietListener quiet;
    TagLib::setDebugListener(&quiet);
    if (std::string(argv[1]) == "--formats")
        return Formats(argc > 2 ? std::max(1, std::atoi(argv[2])) : 2000,
                       argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    const QDir folder(QFile::decodeName(argv[1]));
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<QString> paths;
    std::vector<std::string> nativePaths, names;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        paths.push_back(folder.filePath(name));
        nativePaths.push_back(QFile::encodeName(paths.back()).toStdString());
        names.push_back(QFile::encodeName(name).toStdString());
    }
    if (paths.empty()) {
        std::fprintf(stderr, "tags: no files in %s\n", argv[1]);
        return 1;
    }
    std::vector<Reader> readers = {
        {"quorvane",
         [&](size_t i) {
             const qv::TagInfo t = qv::ReadID3Tag(paths[i]);
             return size_t(t.Title.size() + t.Artist.size() + t.Album.size() + t.Comment.size());
         }},
        {"taglib",
         [&](size_t i) {
             TagLib::MPEG::File f(nativePaths[i].c_str(), false);
             const TagLib::Tag* t = f.isValid() ? f.tag() : nullptr;
             if (!t) return size_t(0);
             return size_t(t->title().size() + t->artist().size() + t->album().size() +
                           t->comment().size());
         }},
        {"io-floor",
         [&](size_t i) {
             const int fd = ::open(nativePaths[i].c_str(), O_RDONLY | O_CLOEXEC);
             if (fd < 0) return size_t(0);
             char head[10], tail[128];
             ssize_t got = ::read(fd, head, sizeof head);
             if (::lseek(fd, -128, SEEK_END) >= 0) got += ::read(fd, tail, sizeof tail);
             ::close(fd);
             return size_t(got);
         }},
    };

    size_t checksum = 0;
    for (Reader& r : readers)  // warm-up: every page any reader touches is cached
        for (size_t i = 0; i < paths.size(); ++i) checksum += r.read(i);
    for (int round = 0; round < rounds; ++round) {
        for (Reader& r : readers) {
            const auto start = std::chrono::steady_clock::now();
            for (size_t i = 0; i < paths.size(); ++i) checksum += r.read(i);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            r.best = std::max(r.best, paths.size() / took.count());
        }
    }

    std::printf("%zu files, best of %d rounds (checksum %zu)\n", paths.size(), rounds, checksum);
    for (const Reader& r : readers)
        std::printf("  %-9s %10.0f files/s  %7.2f us/file\n", r.name, r.best, 1e6 / r.best);
    const double ours = readers[0].best, taglib = readers[1].best, floor = readers[2].best;
    std::printf("quorvane / taglib   = %.2fx throughput (target >= 3)\n", ours / taglib);
    std::printf("io-floor / quorvane = %.2fx time (target <= 2)\n", floor / ours);

    // Whole processes, each given every file name (relative to the folder, so
    // 20,000 of them fit on one command line): start-up, reading and output.
    std::vector<Process> processes = {
        {"quorvane-tags", {QV_TAGS_TOOL}},
        {"taglib", {QV_TAGS_PROCESS, "taglib"}},
        {"io-floor", {QV_TAGS_PROCESS, "floor"}},
    };
    const std::string where = QFile::encodeName(folder.absolutePath()).toStdString();
    double cpu = 0;
    for (Process& p : processes) run(p, where, names, cpu);  // warm-up
    for (int round = 0; round < rounds; ++round) {
        for (Process& p : processes) {
            const double wall = run(p, where, names, cpu);
            if (names.size() / wall > p.best) {
                p.best = names.size() / wall;
                p.cpu = cpu;
            }
        }
    }
    std::printf("whole processes over the %zu files, best of %d rounds\n", names.size(), rounds);
    for (const Process& p : processes)
        std::printf("  %-13s %10.0f files/s  %7.2f us/file  %6.1f ms (cpu %.1f ms)\n", p.name,
                    p.best, 1e6 / p.best, 1e3 * names.size() / p.best, 1e3 * p.cpu);
    const Process &tool = processes[0], &taglibTool = processes[1], &floorTool = processes[2];
    std::printf("quorvane-tags / taglib   = %.2fx throughput, %.2fx by cpu (target >= 3)\n",
                tool.best / taglibTool.best, taglibTool.cpu / tool.cpu);
    std::printf("io-floor / quorvane-tags = %.2fx time, %.2fx by cpu (target <= 2)\n",
                floorTool.best / tool.best, tool.cpu / floorTool.cpu);
    return 0;
}
