// Fuzz target of the INI reader and writer. The input is three lines (section,
// key, value) and then the file's bytes. The value is written; when the write
// takes it, it reads back exactly and every other line of the file is kept
// byte for byte.
#include <QTemporaryDir>

#include "fuzz_media.h"
#include "platform/profile.h"
#include "platform/textfile.h"
#include "support/tempdir.h"

namespace {

// The next line of the input (without its LF) from pos.
QByteArray TakeLine(const QByteArray& in, qsizetype& pos) {
    const qsizetype end = in.indexOf('\n', pos);
    const qsizetype stop = end < 0 ? in.size() : end;
    const QByteArray line = in.sliced(pos, stop - pos);
    pos = end < 0 ? in.size() : end + 1;
    return line;
}

bool HasLineEnd(const QString& s) {
    return s.contains(u'\r') || s.contains(u'\n');
}

// The new lines are the old ones with the written line replaced, one line
// inserted, or a section line and a key line added at the end.
bool OthersKept(const QList<QByteArray>& before, const QList<QByteArray>& after) {
    const qsizetype n = before.size();
    if (after.size() == n) {
        int changed = 0;
        for (qsizetype i = 0; i < n; ++i) changed += before[i] != after[i];
        return changed <= 1;
    }
    if (after.size() == n + 1) {
        for (qsizetype skip = 0; skip <= n; ++skip) {
            QList<QByteArray> rest = after;
            rest.removeAt(skip);
            if (rest == before) return true;
        }
        return false;
    }
    return after.size() == n + 2 && after.first(n) == before;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Setting.ini");
    const QByteArray in = qvfuzz::Bytes(data, size);
    qsizetype pos = 0;
    const QString section = QString::fromUtf8(TakeLine(in, pos));
    const QString key = QString::fromUtf8(TakeLine(in, pos));
    const QString value = QString::fromUtf8(TakeLine(in, pos));
    const QByteArray file = in.sliced(pos);
    if (!qvfuzz::WriteFile(path, file)) qvfuzz::Fail("cannot write the input file", path);

    // Reading whatever is there never fails loudly.
    (void)qv::ReadProfileString(path, section, key);

    const bool written = qv::WriteProfileString(path, section, key, value);
    const QByteArray now = qvtest::ReadAll(path);
    if (!written) {
        if (now != file) qvfuzz::Fail("a refused write changed the file");
        const QString k = key.trimmed();
        // Only names and values the file could not give back are refused in a
        // writable folder.
        const bool refusable = HasLineEnd(section) || HasLineEnd(key) || HasLineEnd(value) ||
                               section.contains(u']') || k.isEmpty() || k.contains(u'=') ||
                               k.startsWith(u'[') || k.startsWith(u';');
        if (!refusable) qvfuzz::Fail("a valid write was refused", section + "/" + key);
        return 0;
    }
    const QString back = qv::ReadProfileString(path, section, key);
    if (back != value) qvfuzz::Fail("value does not read back", value + " -> " + back);
    if (!OthersKept(qv::SplitRawLines(file), qv::SplitRawLines(now)))
        qvfuzz::Fail("a write changed other lines");
    return 0;
}
