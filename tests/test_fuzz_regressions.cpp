// Inputs the fuzzers (tests/fuzz/) found that broke a reader, kept so each
// fault stays fixed, through the same checks the fuzzer made.
#include <gtest/gtest.h>

#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "support/tempdir.h"

namespace {

// A line that starts with U+FEFF lost it on the way back: the UTF-8 reader
// takes a leading byte-order mark for a file's mark and drops it. The inputs
// were the bytes FF FE FE FE FE FE FE FE, FF FE FF FE 61 00 and FF FE, read as
// UTF-16 units, low byte first.
TEST(FuzzRegressions, LineCodecKeepsALeadingByteOrderMark) {
    const QStringList found = {QStringLiteral("\uFEFF\uFEFE\uFEFE\uFEFE"),
                               QStringLiteral("\uFEFF\uFEFFa"), QStringLiteral("\uFEFF")};
    for (const QString& line : found) EXPECT_EQ(qv::DecodeLine(qv::EncodeLine(line)), line);

    // In a file: the first line and later ones alike.
    const qvtest::TempDir dir;
    const QStringList lines = {found[0], "plain", QStringLiteral("\uFEFF音楽/曲.mp3")};
    ASSERT_TRUE(qv::WriteTextFile(dir.file("a.lst"), lines));
    EXPECT_EQ(qv::ReadTextFile(dir.file("a.lst")), lines);

    // A mark that a text editor put before the first line is still no part of it.
    const QString saved = dir.write("b.ini", "\xEF\xBB\xBF[Quorvane]\r\nLoopMode=1\r\n");
    EXPECT_EQ(qv::ReadTextFile(saved), (QStringList{"[Quorvane]", "LoopMode=1"}));
}

}  // namespace
