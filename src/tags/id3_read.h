// The byte-level reading under the ID3 reader: an open tag file with a small
// read window, and the primitives that take bytes and text out of it.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace qv {

// A media file opened for reading its tag. Only regular files open: a pipe or
// a device would block or never end. Small reads are served from one window
// of the file, so walking a tag's frames costs one or two system calls.
// Positions are 0-based byte offsets into the file.
class TagFile {
  public:
    explicit TagFile(const QString& path);
    ~TagFile();
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The length when opened; reads never go past it.
    int64_t size() const { return size_; }
    // Copies up to count bytes at offset into out; fewer at the end of the
    // file or on a read error. Returns the number copied.
    int64_t read(int64_t offset, char* out, int64_t count);
    // The byte at offset, or -1 past the end.
    int byteAt(int64_t offset);

  private:
    static constexpr int64_t kWindow = 4096;

    int64_t readDirect(int64_t offset, char* out, int64_t count);

    int fd_ = -1;
    int64_t size_ = 0;
    int64_t windowStart_ = 0;
    int64_t windowLength_ = 0;
    std::array<char, kWindow> window_;
};

// Up to length bytes of the file at pos (not past the first NUL when stopAtNul
// is set; the NUL is not included), decoded as code page 932 or, failing that,
// Windows-1252. pos is not changed.
QString ReadFileString(TagFile& file, int64_t pos, int64_t length, bool stopAtNul);

// count bytes of the file from pos; pos moves past what was consumed. With
// unsync set, a 0x00 byte that follows a 0xFF byte in the file is consumed but
// not returned, and count counts returned bytes. Fewer bytes come back when the
// file ends first; the result is never larger than what the file holds.
QByteArray ReadTagBytes(TagFile& file, int64_t& pos, int64_t count, bool unsync);

// Like ReadTagBytes but keeps nothing: moves pos past count returned bytes and
// tells how many there were.
int64_t SkipTagBytes(TagFile& file, int64_t& pos, int64_t count, bool unsync);

// count bytes of data from pos (fewer at its end); pos moves on by count.
QByteArray ReadBytes(const QByteArray& data, int64_t& pos, int64_t count);

// Encoding value that makes ReadFrameText take the encoding from the data.
constexpr int kEncodingFromData = 255;

// One NUL-terminated text of a frame body from pos; pos moves past its
// terminator. An encoding of kEncodingFromData or more means the byte at pos
// names it. 0: code page 932 (Windows-1252 fallback); 1 and 2: UTF-16, with a
// byte-order mark only when the first two bytes are FF FE or FE FF, big-endian
// otherwise; 3: UTF-8. Any other encoding gives "" and leaves pos after the
// encoding byte.
QString ReadFrameText(const QByteArray& data, int64_t& pos, int encoding);

// s without the U+0020 blanks at either end: a tag's other white space is kept.
QString TrimBlanks(const QString& s);

// True when value AND 2^bit is not zero.
inline bool BitSet(uint8_t value, uint8_t bit) {
    return bit < 8 && (value >> bit) & 1;
}

// The readers over a file already open, so one call of ReadID3Tag opens the
// file once.
struct ID3v1Tag;
struct ID3v2Tag;
enum class ID3Version { None, V1, V2 };
ID3Version DetectID3Version(TagFile& file);
ID3v1Tag ReadID3v1(TagFile& file);
ID3v2Tag ReadID3v2(TagFile& file);
// ReadID3Tag of a file the caller opened already (FilePath gives the title of
// a file without a tag); the playlist opens each file once to test and read it.
struct TagInfo;
TagInfo ReadID3Tag(TagFile& file, const QString& FilePath);

}  // namespace qv
