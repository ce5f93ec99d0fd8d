// Builds the bytes of ID3 tags for tests and the tag benchmark's corpus: v1,
// v2.2, v2.3 and v2.4 frames, headers, text bodies and unsynchronisation.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace qvtest::id3 {

inline QByteArray BigEndian(uint32_t v, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) out.append(static_cast<char>(v >> (8 * i) & 0xFF));
    return out;
}

inline QByteArray Synchsafe(uint32_t v) {
    QByteArray out;
    for (int i = 3; i >= 0; --i) out.append(static_cast<char>(v >> (7 * i) & 0x7F));
    return out;
}

// UTF-16 code units of text, optionally after a byte-order mark.
inline QByteArray Utf16(const QString& text, bool littleEndian, bool mark = true) {
    QByteArray out;
    if (mark) out.append(littleEndian ? "\xFF\xFE" : "\xFE\xFF", 2);
    for (QChar c : text) {
        const char hi = static_cast<char>(c.unicode() >> 8), lo = static_cast<char>(c.unicode());
        out.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return out;
}

// A text frame body: the encoding byte, then the text as given.
inline QByteArray TextBody(int encoding, const QByteArray& text) {
    return QByteArray(1, static_cast<char>(encoding)) + text;
}

// A comment frame body: encoding, language "eng", description, terminator, text.
inline QByteArray CommentBody(int encoding, const QByteArray& description, const QByteArray& text) {
    const int nulWidth = (encoding == 1 || encoding == 2) ? 2 : 1;
    return QByteArray(1, static_cast<char>(encoding)) + "eng" + description +
           QByteArray(nulWidth, '\0') + text;
}

inline QByteArray Frame22(const char* id, const QByteArray& body) {
    return QByteArray(id, 3) + BigEndian(body.size(), 3) + body;
}

// flags: the two flag bytes, format flags in the low byte. The size counts the
// body as given (extra bytes of the flags included).
inline QByteArray Frame23(const char* id, const QByteArray& body, uint16_t flags = 0) {
    return QByteArray(id, 4) + BigEndian(body.size(), 4) + BigEndian(flags, 2) + body;
}

inline QByteArray Frame24(const char* id, const QByteArray& body, uint16_t flags = 0) {
    return QByteArray(id, 4) + Synchsafe(body.size()) + BigEndian(flags, 2) + body;
}

// The ten-byte header of an ID3v2 tag of the given size (bytes after it).
inline QByteArray Header(int major, uint8_t flags, uint32_t size) {
    return QByteArray("ID3") + static_cast<char>(major) + '\0' + static_cast<char>(flags) +
           Synchsafe(size);
}

// Header, content, and padding zero bytes counted in the tag size.
inline QByteArray Tag(int major, const QByteArray& content, uint8_t flags = 0, int padding = 0) {
    return Header(major, flags, content.size() + padding) + content + QByteArray(padding, '\0');
}

// The unsynchronisation scheme: 0x00 after every 0xFF that is followed by
// 0x00 or a byte of 0xE0 and above, and after a final 0xFF.
inline QByteArray Unsynchronise(const QByteArray& in) {
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const auto next = static_cast<unsigned char>(i + 1 < in.size() ? in[i + 1] : 0);
        out.append(in[i]);
        if (uchar(in[i]) == 0xFF && (next == 0 || next >= 0xE0)) out.append('\0');
    }
    return out;
}

// A 128-byte ID3v1 tag; fields are cut or NUL-padded to their widths. A track
// above 0 makes it a 1.1 tag.
inline QByteArray V1(const QByteArray& title, const QByteArray& artist = {},
                     const QByteArray& album = {}, const QByteArray& comment = {}, int track = 0,
                     const QByteArray& year = "2001", uint8_t genre = 12) {
    auto field = [](const QByteArray& b, int width) { return b.leftJustified(width, '\0', true); };
    const QByteArray tail =
        track > 0 ? field(comment, 28) + '\0' + static_cast<char>(track) : field(comment, 30);
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + tail +
           static_cast<char>(genre);
}

// Stand-in audio: whole MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, 417
// bytes each, as a reader that checks the next frame header expects) of filler.
inline QByteArray Audio(int bytes) {
    QByteArray out;
    while (out.size() < bytes) out.append("\xFF\xFB\x90\x64", 4).append(413, '\x55');
    return out.left(bytes);
}

}  // namespace qvtest::id3
