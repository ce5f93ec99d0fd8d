// TagLib over our own open file. TagLib reads through a stream of ours over
// the already open TagFile, so a pipe or a device never reaches it, and that
// stream bounds what one file may cost: damaged or hostile files have made
// TagLib scan whole files, allocate what a length field claimed or loop, in
// one version or another. The first bytes are checked before TagLib sees the
// file, so bytes of another format never reach its parsers at all.
#include "tags/taglib_file.h"

#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/vorbisfile.h>

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace qv {
namespace {

// What TagLib may read of one file. Real tags with cover art take a few
// megabytes in at most a few thousand reads (an Ogg page costs three). Past
// either bound every read comes back empty: the walks that check their reads
// end there, and the loops that run to a count taken from the file without
// checking (up to 65,535 ASF attributes each) end at that count, so no file
// keeps TagLib busy for long, whatever its counts and lengths claim.
constexpr int64_t kMaxBytes = 64 << 20;
constexpr int64_t kMaxCalls = 1 << 15;

// TagLib reports damaged files on standard error in some builds; a player
// that reads every file of a library must not print about each bad one.
class QuietListener final : public TagLib::DebugListener {
  public:
    void printMessage(const TagLib::String&) override {}
};

bool StartsWith(const QByteArray& bytes, qsizetype at, const char* marker, qsizetype length) {
    return bytes.size() >= at + length && std::memcmp(bytes.constData() + at, marker, length) == 0;
}

QByteArray Head(TagFile& file, int64_t at, int64_t length) {
    QByteArray bytes(length, Qt::Uninitialized);
    bytes.resize(file.read(at, bytes.data(), length));
    return bytes;
}

// A native FLAC stream: "fLaC" at the start, or right after an ID3v2 tag
// (some taggers put one there). TagLib would otherwise search the whole file
// for the marker.
bool IsFlac(TagFile& file) {
    const QByteArray head = Head(file, 0, 10);
    if (StartsWith(head, 0, "fLaC", 4)) return true;
    if (!StartsWith(head, 0, "ID3", 3) || head.size() < 10) return false;
    int64_t size = 0;
    for (int i = 6; i < 10; ++i) size = size << 7 | (static_cast<uint8_t>(head[i]) & 0x7F);
    const int64_t after = 10 + size + (static_cast<uint8_t>(head[5]) & 0x10 ? 10 : 0);
    return StartsWith(Head(file, after, 4), 0, "fLaC", 4);
}

// The codec of an Ogg file, from its first packet, which names it.
enum class OggCodec { None, Vorbis, Opus, Flac, Speex };

OggCodec OggCodecOf(TagFile& file) {
    const QByteArray page = Head(file, 0, 27 + 255 + 8);
    if (!StartsWith(page, 0, "OggS", 4) || page.size() < 27) return OggCodec::None;
    const qsizetype packet = 27 + static_cast<uint8_t>(page[26]);
    if (StartsWith(page, packet, "\x01vorbis", 7)) return OggCodec::Vorbis;
    if (StartsWith(page, packet, "OpusHead", 8)) return OggCodec::Opus;
    if (StartsWith(page, packet,
                   "\x7F"
                   "FLAC",
                   5))
        return OggCodec::Flac;
    if (StartsWith(page, packet, "Speex   ", 8)) return OggCodec::Speex;
    return OggCodec::None;
}

// MP4 starts with a top-level box: "ftyp" in any file of the last twenty
// years, a few others in older ones.
bool IsMp4(TagFile& file) {
    // Read from 0, so that TagLib's first read is served from the same window.
    const QByteArray head = Head(file, 0, 8).mid(4);
    for (const char* box : {"ftyp", "moov", "mdat", "free", "skip", "wide"})
        if (head == box) return true;
    return false;
}

// The ASF header object's GUID starts every ASF file.
bool IsAsf(TagFile& file) {
    static const char kHeader[] =
        "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
    return Head(file, 0, 16) == QByteArray::fromRawData(kHeader, 16);
}

}  // namespace

TagLib::ByteVector BoundedStream::readBlock(unsigned long length) {
    if (++calls_ > kMaxCalls) return {};
    const int64_t n =
        std::min({static_cast<int64_t>(length), file_.size() - pos_, kMaxBytes - spent_});
    if (n <= 0) return {};
    TagLib::ByteVector bytes(static_cast<unsigned int>(n));
    const int64_t got = file_.read(pos_, bytes.data(), n);
    if (got < n) bytes.resize(static_cast<unsigned int>(std::max<int64_t>(got, 0)));
    pos_ += got;
    spent_ += got;
    return bytes;
}

void BoundedStream::seek(long offset, Position p) {
    ++calls_;
    const int64_t base = p == Beginning ? 0 : p == Current ? pos_ : file_.size();
    // Past the end is allowed (reads there are empty), before the start not.
    if (base + offset >= 0) pos_ = base + offset;
}

void SilenceTagLib() {
    static QuietListener quiet;
    static const bool once = (TagLib::setDebugListener(&quiet), true);
    (void)once;
}

QString ToQString(const TagLib::String& s) {
    if (s.isEmpty()) return {};
    return QString::fromWCharArray(s.toCWString(), static_cast<qsizetype>(s.size()));
}

std::unique_ptr<TagLib::File> OpenTagLibFile(TagFile& file, TagFormat format, BoundedStream& stream,
                                             bool mpegAudio) {
    switch (format) {
        case TagFormat::Flac:
            if (!IsFlac(file)) return nullptr;
            return std::make_unique<TagLib::FLAC::File>(
                &stream, TagLib::ID3v2::FrameFactory::instance(), false);
        case TagFormat::Ogg:
            switch (OggCodecOf(file)) {
                case OggCodec::Vorbis:
                    return std::make_unique<TagLib::Ogg::Vorbis::File>(&stream, false);
                case OggCodec::Opus:
                    return std::make_unique<TagLib::Ogg::Opus::File>(&stream, false);
                case OggCodec::Flac:
                    return std::make_unique<TagLib::Ogg::FLAC::File>(&stream, false);
                case OggCodec::Speex:
                    return std::make_unique<TagLib::Ogg::Speex::File>(&stream, false);
                case OggCodec::None:
                    break;
            }
            return nullptr;
        case TagFormat::Mp4:
            if (!IsMp4(file)) return nullptr;
            return std::make_unique<TagLib::MP4::File>(&stream, false);
        case TagFormat::Asf:
            if (!IsAsf(file)) return nullptr;
            return std::make_unique<TagLib::ASF::File>(&stream, false);
        case TagFormat::ID3:
            // MPEG audio: TagLib finds the ID3v2 tag at the start and the APE
            // tag at the end by their markers alone.
            if (mpegAudio)
                return std::make_unique<TagLib::MPEG::File>(
                    &stream, TagLib::ID3v2::FrameFactory::instance(), false);
            break;
    }
    return nullptr;
}

}  // namespace qv
