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

// One line of a program file, without its line end: code page 932 when every
// character has an exact form there and the bytes cannot be mistaken for UTF-8,
// otherwise UTF-8, so no path is ever lost and every line reads back as written.
QByteArray EncodeLine(QStringView line);

// One line of a program file, without its line end: UTF-8 when valid UTF-8,
// otherwise code page 932 (then Windows-1252 for bytes code page 932 lacks).
QString DecodeLine(QByteArrayView bytes);

}  // namespace qv
