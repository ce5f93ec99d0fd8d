// The one place where a file's lines are decoded as a whole: Setting.ini,
// MediaDB.db and playlist files all read through here.
#include "platform/line_reading.h"

#include "platform/filesystem.h"
#include "platform/textcodec.h"

namespace qv {
namespace {

bool NamesEntry(const LinePath& pathOf, const QString& line) {
    const QString path = pathOf(line);
    return !path.isEmpty() && PathExists(path);
}

template <typename Lines>
QStringList decodeFileLines(const Lines& lines, const LinePath& pathOf) {
    const LineEncoding file = FileLineEncoding(lines);
    QStringList out;
    out.reserve(lines.size());
    QString cp932, utf8;
    for (const auto& line : lines) {
        // The file system knows which spelling is real; only when it cannot
        // tell (both there, or neither) does the file's evidence decide.
        if (pathOf && ReadsBothWays(line, &cp932, &utf8)) {
            const bool cp932Exists = NamesEntry(pathOf, cp932);
            if (cp932Exists != NamesEntry(pathOf, utf8)) {
                out.append(cp932Exists ? cp932 : utf8);
                continue;
            }
        }
        out.append(DecodeLine(line, file));
    }
    return out;
}

}  // namespace

QStringList DecodeFileLines(const QList<QByteArray>& lines, const LinePath& pathOf) {
    return decodeFileLines(lines, pathOf);
}

QStringList DecodeFileLines(const QList<QByteArrayView>& lines, const LinePath& pathOf) {
    return decodeFileLines(lines, pathOf);
}

}  // namespace qv
