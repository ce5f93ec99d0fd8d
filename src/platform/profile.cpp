// The INI reader and writer behind Setting.ini: the rules of the Windows profile
// functions, over the line codec and the safe write of textfile.h.
#include "platform/profile.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

#include "platform/textcodec.h"
#include "platform/textfile.h"

namespace qv {
namespace {

// Only ASCII blanks are trimmed, as the Windows functions do: an ideographic
// space at the start of a Japanese value belongs to the value.
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QStringView trimBlanks(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin])) ++begin;
    while (end > begin && isBlank(s[end - 1])) --end;
    return s.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

enum class Kind { Other, Section, Key };

// One line of the file as the reader sees it. Everything that is neither a
// section line nor a key line (comments, blank lines, lines without "=",
// garbage) is Other and is never touched.
struct Entry {
    Kind kind = Kind::Other;
    QString name;   // section or key name, trimmed
    QString value;  // key lines: the value, trimmed, outer double quotes removed
};

Entry parseLine(const QString& text) {
    Entry e;
    const QStringView t = trimBlanks(text);
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            e.kind = Kind::Section;
            e.name = trimBlanks(t.sliced(1, close - 1)).toString();
        }
        return e;
    }
    if (t.startsWith(u';')) return e;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) return e;
    const QStringView name = trimBlanks(t.first(eq));
    if (name.isEmpty()) return e;
    QStringView value = trimBlanks(t.sliced(eq + 1));
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.sliced(1, value.size() - 2);
    e.kind = Kind::Key;
    e.name = name.toString();
    e.value = value.toString();
    return e;
}

// Where a section and a key sit in the file. Only the first section of a
// name counts, and within it only the first key of a name.
struct Location {
    qsizetype section = -1;  // index of the section line
    qsizetype lastKey = -1;  // last key line of that section
    qsizetype key = -1;      // the key's line
    Entry keyEntry;
};

Location locate(const QList<QByteArray>& lines, QStringView section, QStringView key) {
    Location at;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Entry e = parseLine(DecodeLine(lines[i]));
        if (e.kind == Kind::Section) {
            if (at.section >= 0) break;
            if (sameName(e.name, section)) at.section = i;
        } else if (e.kind == Kind::Key && at.section >= 0) {
            at.lastKey = i;
            if (at.key < 0 && sameName(e.name, key)) {
                at.key = i;
                at.keyEntry = std::move(e);
            }
        }
    }
    return at;
}

// The lines of the file; an empty list when there is no file, nullopt when
// there is one that cannot be read (a write must not replace it blindly).
std::optional<QList<QByteArray>> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (QFileInfo(path).exists()) return std::nullopt;
        return QList<QByteArray>();
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return SplitRawLines(data);
}

bool hasLineEnd(QStringView s) {
    return s.contains(u'\r') || s.contains(u'\n');
}

// A value with blanks at either end, or one that is itself in double quotes,
// would not read back as written; in quotes it does.
QString storedValue(const QString& value) {
    const bool needsQuotes = trimBlanks(value).size() != value.size() ||
                             (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'));
    return needsQuotes ? u'"' + value + u'"' : value;
}

}  // namespace

QString ReadProfileString(const QString& file, const QString& section, const QString& key) {
    const std::optional<QList<QByteArray>> lines = readLines(file);
    if (!lines) return QString();
    const Location at = locate(*lines, trimBlanks(section), trimBlanks(key));
    return at.key >= 0 ? at.keyEntry.value : QString();
}

bool WriteProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value) {
    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    // Names and values that the file could not give back as the same entry: a
    // line end would split the line, "]" would end the section name early, and
    // "=" would end the key name early.
    if (hasLineEnd(section) || hasLineEnd(key) || hasLineEnd(value)) return false;
    if (sectionName.contains(u']') || keyName.isEmpty() || keyName.contains(u'=') ||
        keyName.startsWith(u'[') || keyName.startsWith(u';'))
        return false;

    std::optional<QList<QByteArray>> lines = readLines(file);
    if (!lines) return false;
    const Location at = locate(*lines, sectionName, keyName);
    if (at.key >= 0) {
        // Replaced in place under the key's own spelling.
        lines->replace(at.key, EncodeLine(at.keyEntry.name + u'=' + storedValue(value)));
    } else {
        const QByteArray line = EncodeLine(keyName.toString() + u'=' + storedValue(value));
        if (at.section >= 0) {
            lines->insert((at.lastKey >= 0 ? at.lastKey : at.section) + 1, line);
        } else {
            lines->append(EncodeLine(u'[' + sectionName.toString() + u']'));
            lines->append(line);
        }
    }
    return WriteRawLines(file, *lines);
}

}  // namespace qv
