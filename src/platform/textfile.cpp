// Reading, replacing and appending the program's line-based text files, with
// the line codec of textcodec.h and a write that never leaves half a file.
#include "platform/textfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/textcodec.h"

namespace qv {
namespace {

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

QByteArray joinLines(const QList<QByteArray>& lines) {
    qsizetype total = 0;
    for (const QByteArray& line : lines) total += line.size() + 2;
    QByteArray out;
    out.reserve(total);
    for (const QByteArray& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

// Encodes each line into out with CR LF after it, in one pass and one buffer.
void appendEncoded(const QStringList& lines, QByteArray* out) {
    qsizetype estimate = out->size();
    for (const QString& line : lines) estimate += line.size() + 2;
    out->reserve(estimate);
    for (const QString& line : lines) AppendTextLine(line, out);
}

QList<QByteArray> encodeLines(const QStringList& lines) {
    QList<QByteArray> out;
    out.reserve(lines.size());
    for (const QString& line : lines) out.append(EncodeLine(line));
    return out;
}

// The file a write replaces. Through a symbolic link it is the link's target,
// so that the link stays a link (settings kept with the user's other files).
QByteArray replacedFile(const QByteArray& path) {
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.constData(), nullptr);
    if (!real) return path;
    QByteArray target(real);
    std::free(real);
    return target;
}

// Opens a new file beside target under a name nobody else uses.
int createTemporary(const QByteArray& target, QByteArray* tempPath) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = target + ".tmp-";
        for (int i = 0; i < 8; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(int(sizeof(kLetters) - 1))];
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *tempPath = name;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// A write killed between creating its temporary file and the rename leaves
// that file behind; without a sweep every such kill would leave one more in
// the program folder. Only leftovers of this target's own names are removed,
// and only old ones: a young one may belong to a write still running.
void removeStaleTemporaries(const QByteArray& target) {
    static constexpr time_t kStaleSeconds = 600;
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : target.left(slash);
    const QByteArray prefix = target.mid(slash + 1) + ".tmp-";
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != prefix.size() + 8 || !name.startsWith(prefix)) continue;
        const QByteArray tail = name.sliced(prefix.size());
        if (!std::all_of(tail.begin(), tail.end(),
                         [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }))
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || now - st.st_mtime < kStaleSeconds) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// After the rename, the folder entry itself must reach the disk too.
void syncFolderOf(const QByteArray& file) {
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

namespace {

// The lines as views into data: a library file's hundreds of thousands of
// lines are decoded without a copy of each line's bytes first.
QList<QByteArrayView> splitLineViews(QByteArrayView data) {
    QList<QByteArrayView> lines;
    const qsizetype n = data.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const char c = data[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.append(data.sliced(start, i - start));
        if (c == '\r' && i + 1 < n && data[i + 1] == '\n') ++i;
        start = ++i;
    }
    if (start < n) lines.append(data.sliced(start));
    return lines;
}

}  // namespace

QList<QByteArray> SplitRawLines(QByteArrayView data) {
    const QList<QByteArrayView> views = splitLineViews(data);
    QList<QByteArray> lines;
    lines.reserve(views.size());
    for (const QByteArrayView line : views) lines.append(line.toByteArray());
    return lines;
}

QStringList SplitTextLines(QByteArrayView data, const LinePath& pathOf) {
    return DecodeFileLines(splitLineViews(data), pathOf);
}

std::optional<QStringList> ReadTextFile(const QString& path, const LinePath& pathOf) {
    if (path.isEmpty()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return SplitTextLines(data, pathOf);
}

bool WriteTextFile(const QString& path, const QStringList& lines) {
    return WriteRawLines(path, encodeLines(lines));
}

bool WriteRawLines(const QString& path, const QList<QByteArray>& lines) {
    // open() would stop at a NUL and write a file of a shorter name.
    if (path.isEmpty() || path.contains(QChar(0))) return false;
    const QByteArray target = replacedFile(QFile::encodeName(path));
    QByteArray temp;
    const int fd = createTemporary(target, &temp);
    if (fd < 0) return false;

    // The new file keeps the permissions of the one it replaces.
    struct stat old;
    if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);

    const QByteArray data = joinLines(lines);
    bool ok = writeAll(fd, data.constData(), data.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    syncFolderOf(target);
    removeStaleTemporaries(target);
    return true;
}

void AppendTextLine(QStringView line, QByteArray* out) {
    AppendEncodedLine(line, out);
    *out += "\r\n";
}

bool AppendTextLines(const QString& path, const QStringList& lines) {
    QByteArray data;
    appendEncoded(lines, &data);
    return AppendTextBytes(path, data);
}

bool AppendTextBytes(const QString& path, const QByteArray& data) {
    if (path.isEmpty() || path.contains(QChar(0))) return false;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }

    bool ok = true;
    if (st.st_size > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, st.st_size - 1) != 1) {
            ::close(fd);
            return false;
        }
        // Without this the first new line would be glued to the last old one.
        if (last != '\n' && last != '\r') ok = writeAll(fd, "\r\n", 2);
    }

    // A write the disk did not confirm counts as failed: the caller is told so,
    // and the file must then hold what it held before.
    ok = ok && writeAll(fd, data.constData(), data.size()) && ::fsync(fd) == 0;
    // Half a line at the end would corrupt the next append as well: take back
    // whatever part of this one got written.
    if (!ok) {
        if (::ftruncate(fd, st.st_size) != 0) {
            // Nothing more to be done: the caller hears of the failure.
        }
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

}  // namespace qv
