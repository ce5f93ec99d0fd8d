// The line codec of the program's files and the ANSI decoding of tags, held
// against python3's code page 932 codec.
#include <gtest/gtest.h>

#include "platform/textcodec.h"
#include "support/cp932_python.h"
#include "support/qt_print.h"

using namespace qv;

TEST(TextCodec, EveryCharacterWeEncodeHasPythonsBytesAndDecodesBack) {
    // 0x5C stays a backslash in code page 932, never a yen sign.
    QStringList text = {QStringLiteral("C:\\音楽\\ﾃｽﾄ①～.mp3")};
    for (char16_t u = 0x80; u != 0; ++u) {
        QByteArray bytes;
        if (!QChar::isSurrogate(u) && EncodeCp932(QString(QChar(u)), &bytes)) text.append(QChar(u));
    }
    // JIS X 0208 with the NEC and IBM extensions, half-width katakana, and the
    // 1,880 user-defined characters of the private-use area.
    EXPECT_GT(text.size(), 9000);
    EXPECT_LT(text.size(), 9500);
    const QList<QByteArray> python = qvtest::Cp932ByPython(text);
    ASSERT_EQ(python.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QByteArray ours;
        bool ok = false, back = false;
        ASSERT_TRUE(EncodeCp932(text[i], &ours));
        // For the kanji we write as IBM extensions (lead bytes FA to FC),
        // python3 writes the NEC-selected ones (ED, EE); either reads back.
        const auto lead = static_cast<unsigned char>(python[i][0]);
        ASSERT_TRUE(lead == 0xED || lead == 0xEE || ours == python[i]) << text[i].toStdString();
        ASSERT_EQ(DecodeCp932(ours, &ok) + DecodeCp932(python[i], &back), text[i] + text[i]);
        ASSERT_TRUE(ok && back);
    }
}

TEST(TextCodec, InvalidBytesAnsiAndUtf8Validation) {
    bool ok = true;
    // 0x81 0x20 is no character; a lone lead byte at the end is cut off.
    EXPECT_EQ(DecodeCp932("a\x81\x20z", &ok), QStringLiteral("a\uFFFD z"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(DecodeCp932("ab\x82", &ok), QStringLiteral("ab\uFFFD"));
    EXPECT_FALSE(ok);
    // "Café" in Windows-1252 is not valid code page 932.
    EXPECT_EQ(DecodeAnsi("Caf\xe9") + DecodeAnsi("\x93\xfa\x96\x7b"), QStringLiteral("Café日本"));
    EXPECT_EQ(DecodeWindows1252("\x80\x81\x9f\xff"), QStringLiteral("\u20AC\u0081\u0178\u00FF"));
    EXPECT_TRUE(IsValidUtf8(QStringLiteral("plain 日本🎵").toUtf8()));
    // Overlong "/", a surrogate, cut short, beyond U+10FFFF.
    for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xe6\x97", "\xf4\x90\x80\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

// Lines another program wrote in code page 932 whose bytes are valid UTF-8 as
// well (half-width katakana pair up into two-byte UTF-8 sequences), and lines
// earlier builds wrote in UTF-8 without a mark that are valid code page 932 as
// well: each reads as its writer meant it. What code page 932 holds goes out in it.
TEST(TextCodec, LinesReadAsTheirWriterMeantThemAndGoOutMarkedWhereCodePage932CannotHoldThem) {
    const QStringList windows = {
        QStringLiteral("ﾗｼﾞｵ"),  // U+05FC U+07B5 in UTF-8
        QStringLiteral("C:\\Music\\ﾗｼﾞｵ\\01.mp3"),
        QStringLiteral("[/home/u/ﾗｼﾞｵ]"),                 // a library header
        QStringLiteral("LastSearchedPath=/home/u/DJﾑｼ"),  // "DJѼ": Cyrillic
        QStringLiteral("/home/u/縺ゅ≠/ﾎｼ.mp3"),           // "ああ/μ": all code page 932 has
        QStringLiteral("/home/u/ﾅｶﾆｼ.mp3"),               // "ŶƼ": no ASCII letter
        QStringLiteral("/home/u/ﾃ奴.mp3"),                // "Óz": z is 奴's second byte
        QStringLiteral("/home/u/CDﾃｨ.mp3"),               // "CDè": small after capitals
        QStringLiteral("/home/u/Cafﾃｩ ﾗｼﾞｵ.mp3"),         // "Café" beside Hebrew and Thaana
    };
    const QList<QByteArray> bytes = qvtest::Cp932ByPython(windows);
    ASSERT_EQ(bytes.size(), windows.size());
    for (qsizetype i = 0; i < windows.size(); ++i) {
        ASSERT_TRUE(IsValidUtf8(bytes[i])) << windows[i].toStdString();
        EXPECT_EQ(DecodeLine(bytes[i]), windows[i]);
        // Written back byte for byte as the Windows program has them.
        EXPECT_EQ(EncodeLine(windows[i]), bytes[i]);
    }
    for (const QString& line : {QStringLiteral("/home/u/Música/Beyoncé.mp3"),  // "Mﾃｺsica/Beyoncﾃｩ"
                                QStringLiteral("/home/u/音楽/Café/Tú.mp3"),
                                QStringLiteral("/home/u/Sigur Rós/Ágætis byrjun.mp3"),
                                QStringLiteral("/home/u/Mu\u0301sica.mp3"),  // a combining accent
                                QStringLiteral("/home/u/🎵/Love〜Story • Intro.mp3")}) {
        bool cp932 = false;
        DecodeCp932(line.toUtf8(), &cp932);
        ASSERT_TRUE(cp932) << line.toStdString();
        EXPECT_EQ(DecodeLine(line.toUtf8()), line);
    }
    // What code page 932 cannot hold goes out as UTF-8 behind the mark, and
    // reads back as written.
    for (const QString& line :
         {QStringLiteral("/home/u/Beyoncé.mp3"), QStringLiteral("/home/u/🎵.mp3"),
          QChar(0xFEFF) + QStringLiteral("a"), QStringLiteral("ﾗｼﾞｵé"),
          // The wave dash code page 932 maps one way only.
          QStringLiteral("/home/u/愛〜恋.mp3"), QStringLiteral("a¥b"),
          // Code page 932 holds these, but its bytes would read as "Café".
          QStringLiteral("/home/u/Cafﾃｩ.mp3")}) {
        EXPECT_EQ(EncodeLine(line), "\xEF\xBB\xBF" + line.toUtf8()) << line.toStdString();
        EXPECT_EQ(DecodeLine(EncodeLine(line)), line);
    }
}
