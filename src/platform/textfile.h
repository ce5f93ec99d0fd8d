// The program's text files (Setting.ini, MediaDB.db, .lst), line by line.
// Every line is written in code page 932 when it can be, else in UTF-8 behind a
// mark, with CR LF after it; on reading, CR LF, LF and lone CR all end a line,
// and the lines are decoded as their file was written (see line_reading.h).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "platform/line_reading.h"

namespace qv {

// Splits file bytes into decoded lines (DecodeFileLines, with pathOf). A final
// line end does not make an extra empty line; "a\r\n\r\n" is {"a", ""}.
QStringList SplitTextLines(QByteArrayView data, const LinePath& pathOf = nullptr);

// The same split, with each line's bytes left as they are in the file.
QList<QByteArray> SplitRawLines(QByteArrayView data);

// The lines of a file, as SplitTextLines gives them; nullopt when the file
// cannot be opened or read.
std::optional<QStringList> ReadTextFile(const QString& path, const LinePath& pathOf = nullptr);

// Writes the lines to a temporary file in the same folder, then renames it over
// path: on any failure the previous file stays whole and no temporary file is
// left. Returns true on success.
bool WriteTextFile(const QString& path, const QStringList& lines);

// WriteTextFile for lines already encoded (EncodeLine of textcodec.h, or bytes kept from
// the file as they were); CR LF goes after each.
bool WriteRawLines(const QString& path, const QList<QByteArray>& lines);

// Appends the lines to the end of path (creating it). A file whose last line
// has no line end gets one first, so the new lines start on their own line.
// Returns true on success.
bool AppendTextLines(const QString& path, const QStringList& lines);

// One line as AppendTextLines writes it, its line end included, added to out.
void AppendTextLine(QStringView line, QByteArray* out);
// Appends lines already written by AppendTextLine, as AppendTextLines does.
bool AppendTextBytes(const QString& path, const QByteArray& data);

}  // namespace qv
