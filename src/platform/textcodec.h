// Text codecs of the program's files and tags: code page 932 (the encoding the
// Windows program wrote), UTF-8 for what code page 932 cannot hold, and
// Windows-1252 as the last resort for Western tags.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace qv {

// Encodes text in code page 932. Returns false when a character has no exact
// code page 932 form (including the characters glibc maps one way only, such as
// the wave dash), leaving *out unspecified.
bool EncodeCp932(QStringView text, QByteArray* out);

// Decodes code page 932 bytes. Returns false in *ok (when given) for bytes that
// are not valid code page 932; the result then holds U+FFFD for them.
QString DecodeCp932(QByteArrayView bytes, bool* ok = nullptr);

// Decodes Windows-1252; bytes it leaves undefined map to the C1 code points.
QString DecodeWindows1252(QByteArrayView bytes);

// The "ANSI" text of tags and old files: code page 932 when the bytes are valid
// code page 932, otherwise Windows-1252, so Western tags still read.
QString DecodeAnsi(QByteArrayView bytes);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(QByteArrayView bytes);

// One line of a program file, without its line end. Code page 932 when every
// character has an exact form there (what the Windows program reads); otherwise
// UTF-8 behind a mark, the bytes EF BB BF (U+FEFF), so no path is ever lost and
// the reader can tell the line from code page 932. A line starting with U+FEFF
// itself keeps it behind the mark. In the rare case that the code page 932
// bytes would read back as a UTF-8 line of earlier builds (see DecodeLine), the
// line goes out marked as well: every line reads back exactly as written.
QByteArray EncodeLine(QStringView line);

// One line of a program file, without its line end:
// - behind the mark EF BB BF and valid UTF-8 after it: UTF-8, one mark dropped;
// - valid code page 932: code page 932 (what the Windows program wrote),
//   unless the bytes are also valid UTF-8 that reads as a line earlier builds
//   wrote in UTF-8 without a mark: it holds a character code page 932 lacks,
//   and each such character is an accented Latin letter in a word with an
//   ASCII letter ("Beyoncé"), or one of 〜 ‖ − – • ™ or an emoji;
// - otherwise UTF-8 when valid, else Windows-1252.
QString DecodeLine(QByteArrayView bytes);

}  // namespace qv
