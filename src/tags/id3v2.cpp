// The ID3v2 tag at the start of a file: header, extended header and the frame
// walk in the 2.2, 2.3 and 2.4 layouts. A damaged tag ends the walk quietly.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "tags/id3.h"
#include "tags/id3_read.h"

namespace qv {
namespace {

constexpr int64_t kHeaderLength = 10;

enum class Field {
    None,
    ContentGroup,
    Title,
    Subtitle,
    LeadArtist,
    Band,
    Conductor,
    Remixer,
    Album,
    Year,
    Comment,
    Track,
    PartOfSet,
    Genre,
};

struct FrameKind {
    std::string_view id;
    Field field;
};

// The frames we keep, in the four-letter ids of 2.3/2.4 and the three-letter
// ids of 2.2. Every other frame is stepped over without reading its body.
constexpr FrameKind kFrames[] = {
    {"TALB", Field::Album},     {"TAL", Field::Album},         {"TCON", Field::Genre},
    {"TCO", Field::Genre},      {"TIT1", Field::ContentGroup}, {"TT1", Field::ContentGroup},
    {"TIT2", Field::Title},     {"TT2", Field::Title},         {"TIT3", Field::Subtitle},
    {"TT3", Field::Subtitle},   {"TPE1", Field::LeadArtist},   {"TP1", Field::LeadArtist},
    {"TPE2", Field::Band},      {"TP2", Field::Band},          {"TPE3", Field::Conductor},
    {"TP3", Field::Conductor},  {"TPE4", Field::Remixer},      {"TP4", Field::Remixer},
    {"TRCK", Field::Track},     {"TRK", Field::Track},         {"TYER", Field::Year},
    {"TYE", Field::Year},       {"COMM", Field::Comment},      {"COM", Field::Comment},
    {"TPOS", Field::PartOfSet}, {"TPA", Field::PartOfSet},
};

Field fieldOf(const char* id, size_t length) {
    for (const FrameKind& k : kFrames)
        if (k.id.size() == length && std::memcmp(k.id.data(), id, length) == 0) return k.field;
    return Field::None;
}

uint32_t bigEndian(const QByteArray& b) {
    uint32_t v = 0;
    for (char c : b) v = v << 8 | static_cast<unsigned char>(c);
    return v;
}

uint32_t synchsafe(const unsigned char* b, int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) v = v << 7 | (b[i] & 0x7F);
    return v;
}

// A 2.4 frame size is synchsafe; some writers put a plain integer there. A
// byte with its top bit set cannot be synchsafe, so such a size is taken plain.
uint32_t frameSize24(const unsigned char* b) {
    if ((b[0] | b[1] | b[2] | b[3]) & 0x80)
        return uint32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
    return synchsafe(b, 4);
}

// The number at the start of a year text, held to the 16-bit range.
int16_t leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), 32768);
    if (negative) return static_cast<int16_t>(-std::min(value, 32768));
    return static_cast<int16_t>(std::min(value, 32767));
}

// Undoes unsynchronisation inside one 2.4 frame body: 0x00 after 0xFF goes.
QByteArray resynchronise(const QByteArray& raw) {
    if (!raw.contains('\xFF')) return raw;
    QByteArray out;
    out.reserve(raw.size());
    bool afterFF = false;
    for (char c : raw) {
        if (afterFF && c == 0) {
            afterFF = false;
            continue;
        }
        out.append(c);
        afterFF = static_cast<unsigned char>(c) == 0xFF;
    }
    return out;
}

void store(ID3v2Tag& tag, Field field, const QByteArray& body) {
    int64_t q = 0;
    if (field == Field::Comment) {
        const int encoding = body.isEmpty() ? 0 : static_cast<unsigned char>(body[0]);
        // An encoding byte of 255 is simply unknown here, not "read it from the data".
        const int e = encoding < kEncodingFromData ? encoding : -1;
        q = 4;  // encoding byte and three-letter language
        tag.CommentDescription = ReadFrameText(body, q, e);
        tag.CommentText = ReadFrameText(body, q, e);
        return;
    }
    const QString text = ReadFrameText(body, q, kEncodingFromData);
    switch (field) {
        case Field::ContentGroup:
            tag.ContentGroup = text;
            break;
        case Field::Title:
            tag.Title = text;
            break;
        case Field::Subtitle:
            tag.Subtitle = text;
            break;
        case Field::LeadArtist:
            tag.LeadArtist = text;
            break;
        case Field::Band:
            tag.Band = text;
            break;
        case Field::Conductor:
            tag.Conductor = text;
            break;
        case Field::Remixer:
            tag.Remixer = text;
            break;
        case Field::Album:
            tag.Album = text;
            break;
        case Field::Year:
            tag.Year = leadingNumber(text);
            break;
        case Field::Track:
            tag.Track = text;
            break;
        case Field::PartOfSet:
            tag.PartOfSet = text;
            break;
        case Field::Genre:
            tag.Genre = text;
            break;
        case Field::Comment:
        case Field::None:
            break;
    }
}

enum class Step { Next, Stop };

struct Walk {
    TagFile& file;
    ID3v2Tag& tag;
    int64_t pos;
    int64_t tagEnd;  // the first byte after the tag; no frame may reach past it
    bool unsync;
    bool idStartsWithNul = false;
};

bool headerFits(const Walk& w, int64_t length) {
    return w.pos + length <= w.tagEnd && w.pos + length <= w.file.size();
}

// The body of a 2.2 or 2.3 frame of size bytes (counted after
// unsynchronisation): read and stored when we keep the frame, else stepped over.
Step takeBody(Walk& w, Field field, int64_t size) {
    if (size > w.file.size() - w.pos) return Step::Stop;
    if (field == Field::None) {
        if (SkipTagBytes(w.file, w.pos, size, w.unsync) < size) return Step::Stop;
        return w.pos <= w.tagEnd ? Step::Next : Step::Stop;
    }
    const QByteArray body = ReadTagBytes(w.file, w.pos, size, w.unsync);
    if (body.size() < size || w.pos > w.tagEnd) return Step::Stop;
    store(w.tag, field, body);
    return Step::Next;
}

Step frame22(Walk& w) {
    if (!headerFits(w, 6)) return Step::Stop;
    char id[3];
    w.file.read(w.pos, id, 3);
    w.pos += 3;
    w.idStartsWithNul = id[0] == 0;
    const QByteArray size = ReadTagBytes(w.file, w.pos, 3, w.unsync);
    if (size.size() < 3) return Step::Stop;
    return takeBody(w, fieldOf(id, 3), bigEndian(size));
}

Step frame23(Walk& w) {
    if (!headerFits(w, 10)) return Step::Stop;
    char id[4];
    w.file.read(w.pos, id, 4);
    w.pos += 4;
    w.idStartsWithNul = id[0] == 0;
    const QByteArray sizeBytes = ReadTagBytes(w.file, w.pos, 4, w.unsync);
    const QByteArray flags = ReadTagBytes(w.file, w.pos, 2, w.unsync);
    if (sizeBytes.size() < 4 || flags.size() < 2) return Step::Stop;
    int64_t size = bigEndian(sizeBytes);
    const auto format = static_cast<uint8_t>(flags[1]);
    // We do not inflate: a compressed frame ends the walk.
    if (BitSet(format, 7)) return Step::Stop;
    const bool encrypted = BitSet(format, 6);
    if (encrypted) size -= SkipTagBytes(w.file, w.pos, 1, w.unsync);          // method
    if (BitSet(format, 5)) size -= SkipTagBytes(w.file, w.pos, 1, w.unsync);  // group id
    if (size < 0) return Step::Stop;
    // An encrypted body is not text: stepped over rather than shown as garbage.
    return takeBody(w, encrypted ? Field::None : fieldOf(id, 4), size);
}

Step frame24(Walk& w) {
    if (!headerFits(w, 10)) return Step::Stop;
    unsigned char h[10];
    w.file.read(w.pos, reinterpret_cast<char*>(h), 10);
    w.pos += 10;
    w.idStartsWithNul = h[0] == 0;
    const int64_t size = frameSize24(h + 4);
    if (size > std::min(w.tagEnd, w.file.size()) - w.pos) return Step::Stop;
    const int64_t frameEnd = w.pos + size;
    const uint8_t format = h[9];
    if (BitSet(format, 3)) return Step::Stop;  // compressed
    // Group id, encryption method and data length come before the data.
    const int64_t extra =
        (BitSet(format, 6) ? 1 : 0) + (BitSet(format, 2) ? 1 : 0) + (BitSet(format, 0) ? 4 : 0);
    Field field = fieldOf(reinterpret_cast<const char*>(h), 4);
    // A frame too short for its own extra bytes is broken by itself; the
    // frames after it are still sound, so only this one is dropped.
    if (BitSet(format, 2) || extra > size) field = Field::None;
    if (field != Field::None) {
        QByteArray body(size - extra, Qt::Uninitialized);
        if (w.file.read(w.pos + extra, body.data(), body.size()) < body.size()) return Step::Stop;
        if (BitSet(format, 1) || w.unsync) body = resynchronise(body);
        store(w.tag, field, body);
    }
    w.pos = frameEnd;
    return Step::Next;
}

// Some writers set the extended-header flag without writing one: a frame id
// then stands where the extended header's size should be. No real extended
// header size looks like four capitals and digits.
bool looksLikeFrameId(TagFile& file, int64_t pos) {
    char id[4];
    if (file.read(pos, id, 4) < 4) return false;
    if (id[0] < 'A' || id[0] > 'Z') return false;
    for (char c : id)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

// The 2.3 extended header; gives the padding size, which ends the walk early.
int64_t readExtendedHeader23(Walk& w) {
    SkipTagBytes(w.file, w.pos, 4, w.unsync);  // its size: the fields below are fixed
    const QByteArray flags = ReadTagBytes(w.file, w.pos, 2, w.unsync);
    w.tag.CrcPresent = !flags.isEmpty() && BitSet(static_cast<uint8_t>(flags[0]), 7);
    int64_t padding = 0;
    // Combined in steps of 128: the result never exceeds the real padding, so
    // the walk can only go further, where the zero padding stops it anyway.
    for (char b : ReadTagBytes(w.file, w.pos, 4, w.unsync))
        padding = padding * 128 + static_cast<unsigned char>(b);
    if (w.tag.CrcPresent) w.tag.Crc = bigEndian(ReadTagBytes(w.file, w.pos, 4, w.unsync));
    return padding;
}

// The 2.4 extended header: synchsafe size of the whole header, flag bytes,
// then one length-prefixed field per flag (update, CRC, restrictions).
bool readExtendedHeader24(Walk& w) {
    unsigned char h[6];
    if (w.file.read(w.pos, reinterpret_cast<char*>(h), 6) < 6) return false;
    const int64_t size = synchsafe(h, 4);
    if (size < 6 || size > std::min(w.tagEnd, w.file.size()) - w.pos) return false;
    const uint8_t flags = h[5];
    int64_t q = w.pos + 5 + h[4];
    for (uint8_t bit : {6, 5, 4}) {
        if (!BitSet(flags, bit)) continue;
        const int length = w.file.byteAt(q++);
        if (length < 0) break;
        if (bit == 5 && length == 5) {
            unsigned char crc[5];
            if (w.file.read(q, reinterpret_cast<char*>(crc), 5) == 5) {
                w.tag.CrcPresent = true;
                w.tag.Crc =
                    static_cast<uint32_t>(uint64_t(crc[0] & 0x7F) << 28 | synchsafe(crc + 1, 4));
            }
        }
        q += length;
    }
    w.pos += size;
    return true;
}

}  // namespace

ID3v2Tag ReadID3v2(TagFile& file) {
    ID3v2Tag tag;
    unsigned char h[kHeaderLength] = {};
    const int64_t got = file.read(0, reinterpret_cast<char*>(h), kHeaderLength);
    if (got < 3 || std::memcmp(h, "ID3", 3) != 0) return tag;
    tag.MajorVersion = h[3];
    tag.Revision = h[4];
    tag.Unsynchronisation = BitSet(h[5], 7);
    tag.ExtendedHeader = BitSet(h[5], 6);
    tag.Experimental = BitSet(h[5], 5);
    tag.TagSize = synchsafe(h + 6, 4);
    if (got < kHeaderLength) return tag;

    Step (*frame)(Walk&) = nullptr;
    switch (tag.MajorVersion) {
        case 2:
            frame = frame22;
            break;
        case 3:
            frame = frame23;
            break;
        case 4:
            frame = frame24;
            break;
        // A version we do not know has a layout we cannot guess: walking it
        // as another would only turn its bytes into garbage titles.
        default:
            return tag;
    }
    Walk w{file, tag, kHeaderLength, kHeaderLength + tag.TagSize, tag.Unsynchronisation};
    int64_t padding = 0;
    if (tag.MajorVersion >= 3 && tag.ExtendedHeader && !looksLikeFrameId(file, w.pos)) {
        if (tag.MajorVersion == 3)
            padding = readExtendedHeader23(w);
        else if (!readExtendedHeader24(w))
            return tag;
    }
    const int64_t walkEnd = w.tagEnd - padding;
    while (frame(w) == Step::Next && !w.idStartsWithNul && w.pos < walkEnd) {
    }
    return tag;
}

}  // namespace qv
