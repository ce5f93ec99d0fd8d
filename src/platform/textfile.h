// The program's text files (Setting.ini, MediaDB.db, .lst), line by line.
// Every line is written in code page 932 when it can be, else UTF-8, with CR LF
// after it; on reading, CR LF, LF and lone CR all end a line (see textcodec.h).
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace qv {

// Splits file bytes into decoded lines. A final line end does not make an
// extra empty line; "a\r\n\r\n" is {"a", ""}.
QStringList SplitTextLines(QByteArrayView data);

// The lines of a file; nullopt when the file cannot be opened or read.
std::optional<QStringList> ReadTextFile(const QString& path);

// Writes the lines to a temporary file in the same folder, then renames it over
// path: on any failure the previous file stays whole and no temporary file is
// left. Returns true on success.
bool WriteTextFile(const QString& path, const QStringList& lines);

// Appends the lines to the end of path (creating it). Returns true on success.
bool AppendTextLines(const QString& path, const QStringList& lines);

}  // namespace qv
