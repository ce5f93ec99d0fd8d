// The byte-level reading under the ID3 reader: plain POSIX reads through one
// window, never past the file's end, never an allocation larger than the file.
#include "tags/id3_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/textcodec.h"

namespace qv {

TagFile::TagFile(const QString& path) {
    // A NUL inside the name would silently open a different, shorter path.
    if (path.isEmpty() || path.contains(QChar(u'\0'))) return;
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = st.st_size;
}

TagFile::~TagFile() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TagFile::readDirect(int64_t offset, char* out, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t r = ::pread(fd_, out + done, static_cast<size_t>(count - done),
                                  static_cast<off_t>(offset + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;  // error, or the file shrank since it was opened
        done += r;
    }
    return done;
}

int64_t TagFile::read(int64_t offset, char* out, int64_t count) {
    if (fd_ < 0 || offset < 0 || offset >= size_ || count <= 0) return 0;
    count = std::min(count, size_ - offset);
    const bool inWindow = offset >= windowStart_ && offset + count <= windowStart_ + windowLength_;
    if (!inWindow) {
        if (count >= kWindow) return readDirect(offset, out, count);
        windowStart_ = offset;
        windowLength_ = readDirect(offset, window_.data(), std::min(kWindow, size_ - offset));
        count = std::min(count, windowLength_);
    }
    std::memcpy(out, window_.data() + (offset - windowStart_), static_cast<size_t>(count));
    return count;
}

int TagFile::byteAt(int64_t offset) {
    char c;
    return read(offset, &c, 1) == 1 ? static_cast<unsigned char>(c) : -1;
}

QString ReadFileString(TagFile& file, int64_t pos, int64_t length, bool stopAtNul) {
    const int64_t available = std::min(length, file.size() - pos);
    if (pos < 0 || available <= 0) return {};
    QByteArray bytes(available, Qt::Uninitialized);
    bytes.resize(file.read(pos, bytes.data(), available));
    if (stopAtNul) {
        const qsizetype nul = bytes.indexOf('\0');
        if (nul >= 0) bytes.truncate(nul);
    }
    return DecodeAnsi(bytes);
}

namespace {

// Consumes raw bytes from pos until count bytes are produced, undoing the
// unsynchronisation scheme when asked; out (when given) receives them.
int64_t consumeTagBytes(TagFile& file, int64_t& pos, int64_t count, bool unsync, char* out) {
    if (count <= 0 || pos < 0) return 0;
    if (!unsync) {
        const int64_t n = std::min(count, file.size() - pos);
        if (n <= 0) return 0;
        const int64_t got = out ? file.read(pos, out, n) : n;
        pos += got;
        return got;
    }
    // The pair FF 00 may straddle two calls: look at the byte before pos.
    bool afterFF = pos > 0 && file.byteAt(pos - 1) == 0xFF;
    int64_t produced = 0;
    char chunk[1024];
    while (produced < count) {
        const int64_t n = file.read(pos, chunk, sizeof chunk);
        if (n <= 0) break;
        int64_t i = 0;
        while (i < n && produced < count) {
            if (afterFF && chunk[i] == 0) {
                afterFF = false;
                ++i;
                continue;
            }
            // Everything up to and including the next 0xFF passes unchanged.
            const void* ff = std::memchr(chunk + i, 0xFF, static_cast<size_t>(n - i));
            const int64_t runEnd = ff ? static_cast<const char*>(ff) - chunk + 1 : n;
            const int64_t take = std::min(runEnd - i, count - produced);
            if (out) std::memcpy(out + produced, chunk + i, static_cast<size_t>(take));
            produced += take;
            i += take;
            afterFF = static_cast<unsigned char>(chunk[i - 1]) == 0xFF;
        }
        pos += i;
    }
    return produced;
}

// count UTF-16 code units from p; an unpaired surrogate becomes U+FFFD so the
// text always converts to valid UTF-8.
QString decodeUtf16(const unsigned char* p, int64_t units, bool littleEndian) {
    QString s(units, Qt::Uninitialized);
    auto* d = reinterpret_cast<char16_t*>(s.data());
    for (int64_t i = 0; i < units; ++i) {
        const unsigned a = p[2 * i], b = p[2 * i + 1];
        d[i] = static_cast<char16_t>(littleEndian ? (b << 8 | a) : (a << 8 | b));
    }
    for (int64_t i = 0; i < units; ++i) {
        if (QChar::isHighSurrogate(d[i]) && i + 1 < units && QChar::isLowSurrogate(d[i + 1])) {
            ++i;
        } else if (QChar::isSurrogate(d[i])) {
            d[i] = QChar::ReplacementCharacter;
        }
    }
    return s;
}

}  // namespace

QByteArray ReadTagBytes(TagFile& file, int64_t& pos, int64_t count, bool unsync) {
    // Never trust count for the allocation: a damaged size may claim gigabytes.
    const int64_t room = std::min(count, file.size() - pos);
    if (room <= 0 || pos < 0) return {};
    QByteArray out(room, Qt::Uninitialized);
    out.resize(consumeTagBytes(file, pos, room, unsync, out.data()));
    return out;
}

int64_t SkipTagBytes(TagFile& file, int64_t& pos, int64_t count, bool unsync) {
    return consumeTagBytes(file, pos, count, unsync, nullptr);
}

QByteArray ReadBytes(const QByteArray& data, int64_t& pos, int64_t count) {
    QByteArray out;
    if (count <= 0) return out;
    if (pos >= 0 && pos < data.size())
        out = data.mid(pos, std::min<int64_t>(count, data.size() - pos));
    pos += count;
    return out;
}

QString ReadFrameText(const QByteArray& data, int64_t& pos, int encoding) {
    const int64_t n = data.size();
    const auto* d = reinterpret_cast<const unsigned char*>(data.constData());
    if (pos < 0) pos = 0;
    if (encoding >= kEncodingFromData) {
        if (pos >= n) {
            pos = n;
            return {};
        }
        encoding = d[pos++];
    }
    const int64_t start = std::min(pos, n);
    switch (encoding) {
        case 0:
        case 3: {
            const void* nul = std::memchr(d + start, 0, static_cast<size_t>(n - start));
            const int64_t end = nul ? static_cast<const unsigned char*>(nul) - d : n;
            pos = end + 1;
            const QByteArrayView bytes(d + start, end - start);
            return encoding == 0 ? DecodeAnsi(bytes) : QString::fromUtf8(bytes);
        }
        case 1:
        case 2: {
            // Encoding 2 is big-endian without a mark, but a mark written anyway
            // is honoured the same way, so both take one path.
            int64_t p = start;
            bool littleEndian = false;
            if (n - p >= 2 &&
                ((d[p] == 0xFF && d[p + 1] == 0xFE) || (d[p] == 0xFE && d[p + 1] == 0xFF))) {
                littleEndian = d[p] == 0xFF;
                p += 2;
            }
            int64_t end = p;
            while (n - end >= 2 && (d[end] != 0 || d[end + 1] != 0)) end += 2;
            pos = end + 2;
            return decodeUtf16(d + p, (end - p) / 2, littleEndian);
        }
        default:
            return {};
    }
}

}  // namespace qv
