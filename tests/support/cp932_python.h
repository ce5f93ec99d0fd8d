// Code page 932 bytes made by an encoder outside the program: python3's
// "cp932" codec, the one other programs on Windows text use; or another codec.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

namespace qvtest {

// Each line in code page 932 (or `codec`), in one run of python3. Neither
// code page 932 nor UTF-8 has CR or LF inside a character, so the line ends of
// its output split it again.
inline QList<QByteArray> Cp932ByPython(const QStringList& lines, const QString& codec = "cp932") {
    QProcess python;
    python.start(
        "python3",
        {"-c",
         "import sys\n"
         "lines = sys.stdin.buffer.read().decode('utf-8').split('\\n')\n"
         "sys.stdout.buffer.write(''.join(l + '\\r\\n' for l in lines).encode(sys.argv[1]))",
         codec});
    python.write(lines.join(u'\n').toUtf8());
    python.closeWriteChannel();
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        ADD_FAILURE() << "python3 failed: " << python.readAllStandardError().toStdString();
        return {};
    }
    QList<QByteArray> out = python.readAllStandardOutput().split('\n');
    out.removeLast();                           // after the last line end
    for (QByteArray& line : out) line.chop(1);  // its CR
    return out;
}

}  // namespace qvtest
