// The INI reader and writer behind Setting.ini: the rules of the Windows profile
// functions, over the line codec and the safe write of textfile.h.
#include "platform/profile.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

#include "platform/line_reading.h"
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

// The value of a key line: where Setting.ini keeps its folders and files.
QString valuePath(const QString& line) {
    const Entry e = parseLine(line);
    return e.kind == Kind::Key ? e.value : QString();
}

Location locate(const QList<QByteArray>& lines, QStringView section, QStringView key) {
    Location at;
    const QStringList text = DecodeFileLines(lines, valuePath);
    for (qsizetype i = 0; i < text.size(); ++i) {
        Entry e = parseLine(text[i]);
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

// What goes before a line written in UTF-8 (textcodec.h).
constexpr char kMark[] = "\xEF\xBB\xBF";

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
    // The new lines go in as placeholders, then get their bytes below.
    QStringList texts;
    qsizetype first = at.key;
    if (at.key >= 0) {
        // Replaced in place under the key's own spelling.
        texts.append(at.keyEntry.name + u'=' + storedValue(value));
        (*lines)[at.key].clear();
    } else {
        first = at.section >= 0 ? (at.lastKey >= 0 ? at.lastKey : at.section) + 1 : lines->size();
        if (at.section < 0) texts.append(u'[' + sectionName.toString() + u']');
        texts.append(keyName.toString() + u'=' + storedValue(value));
        lines->insert(first, texts.size(), QByteArray());
    }
    const qsizetype keyLine = first + texts.size() - 1;
    // Code page 932 where it holds the text, as the Windows program writes it.
    // A line valid both ways reads as the rest of the file says, so in a file
    // made in UTF-8 on Linux the new lines may have to be UTF-8 as the others
    // are, and behind the mark they read back anywhere; a value no form gives
    // back (a new line changes how the file reads its older ones) is refused.
    const bool utf8File = FileLineEncoding(*lines) == LineEncoding::Utf8;
    for (int form = 0; form < 3; ++form) {
        if (form == 1 && !utf8File) continue;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QByteArray utf8 = texts[i].toUtf8();
            (*lines)[first + i] = form == 0   ? EncodeLine(texts[i])
                                  : form == 1 ? utf8
                                              : kMark + utf8;
        }
        const Location now = locate(*lines, sectionName, keyName);
        if (now.key == keyLine && now.keyEntry.value == value) return WriteRawLines(file, *lines);
    }
    return false;
}

}  // namespace qv
