// Text codecs of the program's files and tags: code page 932 (the encoding the
// Windows program wrote), UTF-8 for what code page 932 cannot hold, and
// Windows-1252 as the last resort for Western tags.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
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
// character has an exact form there (what the Windows program reads, byte for
// byte as it writes it); otherwise UTF-8 behind a mark, the bytes EF BB BF
// (U+FEFF), so no path is ever lost and the reader can tell the line from code
// page 932. A line starting with U+FEFF itself keeps it behind the mark.
QByteArray EncodeLine(QStringView line);
// The same bytes, appended to out.
void AppendEncodedLine(QStringView line, QByteArray* out);

// How the unmarked lines of a file were written, as far as the file tells:
// only the lines valid both as code page 932 and as UTF-8 need to be told.
enum class LineEncoding { Unknown, Cp932, Utf8 };

// One line of a program file, without its line end:
// - behind the mark EF BB BF and valid UTF-8 after it: UTF-8, one mark dropped;
// - valid only as code page 932, or only as UTF-8: so;
// - valid both ways: as the file was written (see FileLineEncoding); in a file
//   that does not tell, code page 932 (what the Windows program wrote), unless
//   the UTF-8 reading is a line earlier builds wrote in UTF-8 without a mark:
//   it holds a character code page 932 lacks, and each such character is an
//   accented Latin letter in a word with an ASCII letter ("Beyoncé"), or one
//   of 〜 ‖ − – • ™ or an emoji;
// - valid neither way: Windows-1252.
QString DecodeLine(QByteArrayView bytes, LineEncoding file = LineEncoding::Unknown);

// Whether the bytes are an unmarked line that reads differently as code page
// 932 and as UTF-8, and then both readings.
bool ReadsBothWays(QByteArrayView bytes, QString* cp932, QString* utf8);

// What the raw lines of one file say of its unmarked lines:
// - Cp932 when a line is valid only as code page 932 (the Windows program's
//   files), or carries the mark our writer puts before what code page 932
//   lacks (a file of ours, whose other lines are all code page 932);
// - Utf8 when a line is valid only as UTF-8 (a list made on Linux by an editor
//   or find), or the first line carries the mark before text that code page
//   932 holds (our writer never marks such text: it is an editor's mark);
// - Unknown when no line tells, or lines tell both (files of earlier builds,
//   which wrote lines code page 932 lacks in UTF-8 without the mark).
LineEncoding FileLineEncoding(const QList<QByteArray>& lines);
LineEncoding FileLineEncoding(const QList<QByteArrayView>& lines);

}  // namespace qv
