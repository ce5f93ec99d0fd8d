// tags FOLDER [ROUNDS]: reads the tag of every file in FOLDER with our reader,
// with TagLib, and with the bare I/O floor; prints files per second for each.
// Then the same as whole processes: quorvane-tags over all the files against
// tags-process taglib (the same lines, read by TagLib) and tags-process floor.
//
// Each round runs the three over the same files one after the other, after a
// warm-up pass, so all of them see the same page cache; the best round counts.
// TagLib reads MPEG files without audio properties, its cheapest way, and the
// floor opens, reads the first 10 and the last 128 bytes, and closes.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/tdebuglistener.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tags FOLDER [ROUNDS]\n", stderr);
        return 2;
    }
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
    QuietListener quiet;
    TagLib::setDebugListener(&quiet);

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
