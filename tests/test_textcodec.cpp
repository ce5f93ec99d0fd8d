// The line codec of the program's files and the ANSI decoding of tags.
#include <gtest/gtest.h>

#include "platform/textcodec.h"
#include "support/cp932_python.h"

using namespace qv;

namespace {

// What goes before a line written in UTF-8.
const QByteArray kMark = "\xEF\xBB\xBF";

}  // namespace

TEST(TextCodec, JapaneseRoundTripsThroughCp932) {
    const QString text = QStringLiteral("C:\\音楽\\ﾃｽﾄ①～髙.mp3");
    QByteArray bytes;
    ASSERT_TRUE(EncodeCp932(text, &bytes));
    // 0x5C stays a backslash in code page 932, never a yen sign.
    EXPECT_EQ(bytes.left(3), QByteArray("C:\\"));
    EXPECT_EQ(bytes.mid(3, 4), QByteArray("\x89\xb9\x8a\x79"));
    bool ok = false;
    EXPECT_EQ(DecodeCp932(bytes, &ok), text);
    EXPECT_TRUE(ok);
}

TEST(TextCodec, OneWayCharactersCountAsUnrepresentable) {
    QByteArray bytes;
    for (const char16_t c :
         {u'\u301C', u'\u00A5', u'\u203E', u'\u2016', u'\u2212', u'\u00A2', u'\u00AC', u'\u00E9'}) {
        EXPECT_FALSE(EncodeCp932(QString(QChar(c)), &bytes)) << int(c);
        // Such a line goes out as marked UTF-8 and comes back whole.
        const QString line = QStringLiteral("a") + QChar(c) + QStringLiteral("音");
        EXPECT_EQ(EncodeLine(line), kMark + line.toUtf8());
        EXPECT_EQ(DecodeLine(EncodeLine(line)), line);
    }
    EXPECT_FALSE(EncodeCp932(QStringLiteral("🎵"), &bytes));
}

TEST(TextCodec, InvalidCp932IsReportedAndReplaced) {
    bool ok = true;
    // 0x81 0x20 is no character; a lone lead byte at the end is cut off.
    EXPECT_EQ(DecodeCp932(QByteArray("a\x81\x20z"), &ok), QStringLiteral("a\uFFFD z"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(DecodeCp932(QByteArray("ab\x82"), &ok), QStringLiteral("ab\uFFFD"));
    EXPECT_FALSE(ok);
}

TEST(TextCodec, AnsiFallsBackToWindows1252) {
    // "Café" in Windows-1252 ends on a lone lead byte in code page 932.
    EXPECT_EQ(DecodeAnsi(QByteArray("Caf\xe9")), QStringLiteral("Café"));
    EXPECT_EQ(DecodeAnsi(QByteArray("\x93\xfa\x96\x7b")), QStringLiteral("日本"));
    EXPECT_EQ(DecodeWindows1252(QByteArray("\x80\x81\x9f\xff")),
              QStringLiteral("\u20AC\u0081\u0178\u00FF"));
}

TEST(TextCodec, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8(QByteArray("plain")));
    EXPECT_TRUE(IsValidUtf8(QStringLiteral("日本🎵").toUtf8()));
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xc0\xaf")));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xed\xa0\x80")));      // surrogate
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xe6\x97")));          // cut short
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xf4\x90\x80\x80")));  // beyond U+10FFFF
}

TEST(TextCodec, EveryRepresentableCharacterRoundTrips) {
    int representable = 0;
    for (char32_t u = 0x80; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const QString one(QChar(static_cast<char16_t>(u)));
        QByteArray bytes;
        if (!EncodeCp932(one, &bytes)) continue;
        ++representable;
        bool ok = false;
        ASSERT_EQ(DecodeCp932(bytes, &ok), one) << std::hex << uint32_t(u);
        ASSERT_TRUE(ok);
    }
    // JIS X 0208 with the NEC and IBM extensions, half-width katakana, and the
    // 1,880 user-defined characters of the private-use area.
    EXPECT_GT(representable, 9000);
    EXPECT_LT(representable, 9500);
}

// Lines another program wrote in code page 932 whose bytes are valid UTF-8 as
// well (half-width katakana pair up into two-byte UTF-8 sequences), and lines
// earlier builds wrote in UTF-8 without a mark that are valid code page 932 as
// well: each reads as its writer meant it.
TEST(TextCodec, LinesValidBothWaysReadAsTheirWriterMeantThem) {
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
        EXPECT_EQ(EncodeLine(windows[i]), bytes[i]) << windows[i].toStdString();
    }

    const QString earlier[] = {
        QStringLiteral("/home/u/Música/Beyoncé.mp3"),  // "Mﾃｺsica/Beyoncﾃｩ" in code page 932
        QStringLiteral("/home/u/音楽/Café/Tú.mp3"),
        QStringLiteral("/home/u/Sigur Rós/Ágætis byrjun.mp3"),
        QStringLiteral("/home/u/Mu\u0301sica.mp3"),  // a combining accent
        QStringLiteral("/home/u/🎵/Love〜Story • Intro.mp3"),
    };
    for (const QString& line : earlier) {
        bool cp932 = false;
        DecodeCp932(line.toUtf8(), &cp932);
        ASSERT_TRUE(cp932) << line.toStdString();
        EXPECT_EQ(DecodeLine(line.toUtf8()), line);
    }
}

// What code page 932 holds goes out in it; everything else goes out as UTF-8
// behind the mark, and every line reads back as written.
TEST(TextCodec, LinesCodePage932CannotHoldGoOutMarked) {
    const QString lines[] = {
        QStringLiteral("/home/u/Beyoncé.mp3"),
        QStringLiteral("/home/u/🎵.mp3"),
        QChar(0xFEFF) + QStringLiteral("a"),
        QStringLiteral("ﾗｼﾞｵé"),
        QStringLiteral("/home/u/愛〜恋.mp3"),  // the wave dash code page 932 maps one way
        // Code page 932 holds these, but its bytes would read as "Café".
        QStringLiteral("/home/u/Cafﾃｩ.mp3"),
    };
    for (const QString& line : lines) {
        EXPECT_EQ(EncodeLine(line), kMark + line.toUtf8()) << line.toStdString();
        EXPECT_EQ(DecodeLine(EncodeLine(line)), line);
    }
}
