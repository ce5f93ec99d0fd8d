// Inputs the fuzzers (tests/fuzz/) found that broke a reader, kept as bytes so
// each fault stays fixed: one group per reader, each input through the same
// checks the fuzzer made.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>

#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "support/tempdir.h"

namespace {

QByteArray Bytes(std::initializer_list<uint8_t> bytes) {
    QByteArray out;
    for (uint8_t b : bytes) out.append(static_cast<char>(b));
    return out;
}

// The fuzzer's second view of its input: byte pairs as UTF-16 units (low first).
QString Utf16Units(const QByteArray& bytes) {
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out.append(QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                               static_cast<uint8_t>(bytes[i + 1]) << 8)));
    return out;
}

// A line that starts with U+FEFF lost it on the way back: the UTF-8 reader
// takes a leading byte-order mark for a file's mark and drops it.
TEST(FuzzRegressions, LineCodecKeepsALeadingByteOrderMark) {
    const QList<QByteArray> inputs = {
        Bytes({0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE}),
        Bytes({0xFF, 0xFE, 0xFF, 0xFE, 'a', 0x00}),
        Bytes({0xFF, 0xFE}),
    };
    for (const QByteArray& input : inputs) {
        const QString line = Utf16Units(input);
        ASSERT_TRUE(line.startsWith(QChar(0xFEFF)));
        EXPECT_EQ(qv::DecodeLine(qv::EncodeLine(line)), line) << input.toHex().constData();
    }

    // In a file: the first line and later ones alike.
    const qvtest::TempDir dir;
    const QStringList lines = {Utf16Units(inputs[0]), QStringLiteral("plain"),
                               QChar(0xFEFF) + QStringLiteral("音楽/曲.mp3")};
    ASSERT_TRUE(qv::WriteTextFile(dir.file("a.lst"), lines));
    EXPECT_EQ(qv::ReadTextFile(dir.file("a.lst")), lines);

    // A mark that a text editor put before the first line is still no part of it.
    const QString saved = dir.write("b.ini", "\xEF\xBB\xBF[Quorvane]\r\nLoopMode=1\r\n");
    EXPECT_EQ(qv::ReadTextFile(saved), (QStringList{"[Quorvane]", "LoopMode=1"}));
}

}  // namespace
