// tags FOLDER [ROUNDS]: reads the tag of every file in FOLDER with our reader,
// with TagLib, and with the bare I/O floor; prints files per second for each.
//
// Each round runs the three over the same files one after the other, after a
// warm-up pass, so all of them see the same page cache; the best round counts.
// TagLib reads MPEG files without audio properties, its cheapest way, and the
// floor opens, reads the first 10 and the last 128 bytes, and closes.
#include <fcntl.h>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tags FOLDER [ROUNDS]\n", stderr);
        return 2;
    }
    const QDir folder(QFile::decodeName(argv[1]));
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<QString> paths;
    std::vector<std::string> nativePaths;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        paths.push_back(folder.filePath(name));
        nativePaths.push_back(QFile::encodeName(paths.back()).toStdString());
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
    return 0;
}
