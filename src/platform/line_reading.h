// How the lines of one of the program's files are read: the file's own
// evidence of how it was written, and the file system for lines that name a path.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace qv {

// The path a decoded line names (all of it, or the part that is a path), or ""
// for a line that names none.
using LinePath = std::function<QString(const QString& line)>;

// The raw lines of one file, decoded. A line valid both as code page 932 and
// as UTF-8 whose one reading names an existing entry (pathOf, when given) and
// the other does not takes the reading that exists; any other line reads as
// the whole file says it was written (FileLineEncoding), and only in a file
// that does not say, by the rule of a single line (DecodeLine).
QStringList DecodeFileLines(const QList<QByteArray>& lines, const LinePath& pathOf = nullptr);
QStringList DecodeFileLines(const QList<QByteArrayView>& lines, const LinePath& pathOf = nullptr);

}  // namespace qv
