// The line codec of the program's files and the ANSI decoding of tags, held against python3's
// code page 932 codec; then the program's files on a real folder tree: path text, the stored
// spelling of a path and the existence tests, text files (line ends, code pages, appends, the
// replacing write) and Setting.ini with the number text of its values.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <QCoreApplication>
#include <QDir>

#include "app/number_text.h"
#include "app/settings.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "support/cp932_python.h"
#include "support/qt_print.h"
#include "support/tempdir.h"

using namespace qv;
using qvtest::EntriesOf;
using qvtest::ReadAll;

// Every character we encode against python3's codec, then lines whose bytes read both ways.
TEST(TextCodec, EveryCharacterHasPythonsBytesAndLinesReadAsTheirWriterMeantThemAndGoOutMarked) {
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
    // Lines another program wrote in code page 932 whose bytes are valid UTF-8 as
    // well (half-width katakana pair up into two-byte UTF-8 sequences), and lines
    // earlier builds wrote in UTF-8 without a mark that are valid code page 932 as
    // well: each reads as its writer meant it. What code page 932 holds goes out in it.
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
    const QList<QByteArray> python = qvtest::Cp932ByPython(text + windows);
    ASSERT_EQ(python.size(), text.size() + windows.size());
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
    const QList<QByteArray> bytes = python.mid(text.size());
    for (qsizetype i = 0; i < windows.size(); ++i) {
        ASSERT_TRUE(IsValidUtf8(bytes[i])) << windows[i].toStdString();
        EXPECT_EQ(DecodeLine(bytes[i]), windows[i]);
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
          QStringLiteral("/home/u/愛〜恋.mp3"), QStringLiteral("a¥b")}) {
        EXPECT_EQ(EncodeLine(line), "\xEF\xBB\xBF" + line.toUtf8()) << line.toStdString();
        EXPECT_EQ(DecodeLine(EncodeLine(line)), line);
    }
    // Code page 932 holds this, so it goes out so (as the Windows program writes it), though
    // alone its bytes read as "Café".
    EXPECT_EQ(EncodeLine(QStringLiteral("/Cafﾃｩ")), QByteArray("/Caf\xC3\xA9"));
    EXPECT_EQ(DecodeLine("/Caf\xC3\xA9"), QStringLiteral("/Café"));
    bool ok = true;
    // 0x81 0x20 is no character; a lone lead byte at the end is cut off.
    EXPECT_EQ(DecodeCp932("a\x81\x20z", &ok), QStringLiteral("a\uFFFD z"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(DecodeCp932("ab\x82", &ok), QStringLiteral("ab\uFFFD"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(DecodeWindows1252("\x80\x81\x9f\xff"), QStringLiteral("\u20AC\u0081\u0178\u00FF"));
    EXPECT_TRUE(IsValidUtf8(QStringLiteral("plain 日本🎵").toUtf8()));
    // Overlong "/", a surrogate, cut short, beyond U+10FFFF.
    for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xe6\x97", "\xf4\x90\x80\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

// Lines whose bytes read both as code page 932 and as UTF-8: the reading that names an existing
// entry, else the one the rest of the file tells, else the rule of a single line.
TEST(TextFile, ALineReadingBothWaysTakesTheReadingThatExistsElseTheOneItsFileTells) {
    qvtest::TempDir dir;
    dir.write(QStringLiteral("Beyoncé"), "x");
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QByteArray dj = "DJ\xC5\xB6", tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC",
                     beyonce = "Beyonc\xC3\xA9", on = "\x89\xB9",
                     nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", mark = "\xEF\xBB\xBF";
    // The file's bytes, lines taken as paths or not (only "Beyoncé" exists), and their reading.
    const std::tuple<QByteArray, bool, QStringList> cases[] = {
        // A line only code page 932 reads (the Windows program's file), but the file system first.
        {on + "\n" + beyonce, true, {"音", "Beyoncé"}},
        {on + "\n" + beyonce, false, {"音", "Beyoncﾃｩ"}},
        // Our mark before what code page 932 lacks; made on Linux (a line only UTF-8 reads, or an
        // editor's mark before the first line).
        {mark + "\xC3\xA9\n" + dj, true, {"é", "DJﾅｶ"}},
        {dj + "\n" + mark + "\xC3\xA9", true, {"DJﾅｶ", "é"}},
        {nihongo + "\n" + tokyo, true, {"日本語", "東京"}},
        {mark + tokyo + "\n" + tokyo, true, {"東京", "東京"}},
        // Telling nothing, or both (earlier builds' files): each line by itself.
        {dj + "\n" + tokyo + "\n" + beyonce + "2", true, {"DJŶ", "譚ｱ莠ｬ", "Beyoncé2"}},
        {on + "\n" + nihongo + "\n" + dj, true, {"音", "日本語", "DJŶ"}},
    };
    for (const auto& [bytes, paths, lines] : cases)
        EXPECT_EQ(SplitTextLines(bytes, paths ? +[](const QString& l) { return l; } : nullptr),
                  lines)
            << bytes.toStdString();
    QDir::setCurrent(old);
}

// The rest of the path splitters' edges is in every test that adds, scans or names a file.
TEST(FileSystem, PathTextStoredSpellingAndExistenceOnARealTree) {
    EXPECT_EQ(GetBaseName("/My.Music/song"), "song");  // a dot in a folder name is no extension
    EXPECT_EQ(GetExtension("/My.Music/song"), "Music/song");
    qvtest::TempDir dir;
    const QString root = dir.path();
    for (const char* name : {"My Music/Song One.MP3", "Case/Foo/a", "Case/FOO/a", ".config/v.mp3"})
        dir.write(name, "x");
    ASSERT_TRUE(QFile::link("My Music", root + "link") && QFile::link("nowhere", root + "dead"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "fifo").constData(), 0600), 0);
    // Below root: the stored spelling ("" for none), the file test, the folder-or-file test.
    const std::tuple<QString, QString, bool, bool> cases[] = {
        {"MY MUSIC/song one.mp3", "My Music/Song One.MP3", false, false},
        {"My Music/./Song One.MP3", "My Music/Song One.MP3", true, true},
        // "." and ".." fold by the text alone, even over a name that does not exist.
        {"./missing/../my music/", "My Music/", false, false},
        {"My Music/", "My Music/", false, true},
        // Letter-case twins: the exact name, else the first in byte order.
        {"case/Foo/a", "Case/Foo/a", false, false},
        {"case/foo/a", "Case/FOO/a", false, false},
        // A link keeps its own name, and ".." goes back over it.
        {"LINK/song one.mp3", "link/Song One.MP3", false, false},
        {"link/../case", "Case", false, false},
        {"link", "link", false, true},
        {".config/v.mp3", ".config/v.mp3", true, true},  // only the last name counts as hidden
        {".config", ".config", false, false},
        {"fifo", "fifo", false, false},
        {"My Music/Song One.MP3/", "", false, false},
        {"dead", "", false, false},
        // The system would see "My Music".
        {QString("My Music") + QChar(0) + "x", "", false, false},
    };
    for (const auto& [in, stored, file, any] : cases) {
        SCOPED_TRACE(in.toStdString());
        EXPECT_EQ(GetLongPath(root + in), stored.isEmpty() ? "" : root + stored);
        EXPECT_EQ(FileExists(root + in), file);
        EXPECT_EQ(FileOrFolderExists(root + in), any);
    }
    // The whole path upper-cased, the temporary folder's own name included.
    EXPECT_EQ(GetLongPath((root + "My Music/Song One.mp3").toUpper()),
              root + "My Music/Song One.MP3");
    EXPECT_EQ(GetLongPath("/.."), "/");
    // A relative path stays relative, ".." above the working folder included.
    const QString old = QDir::currentPath(), self = QDir(root).dirName();
    QDir::setCurrent(root);
    EXPECT_EQ(GetLongPath("../" + self.toUpper() + "/case"), "../" + self + "/Case");
    QDir::setCurrent(old);
    EXPECT_EQ(GetShortPath(root + "My Music/Song One.MP3") + GetShortPath(root + "My Music"),
              root + "My Music/Song One.MP3");
}

TEST(TextFile, LineEndsCodePagesAppendsAndTheReplacingWriteThatKeepsLinkAndMode) {
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd\n\re\r"), QStringList({"a", "b", "c", "d", "", "e"}));
    qvtest::TempDir dir;
    const QString db = dir.file("MediaDB.db");
    const QStringList lines = {QStringLiteral("/曲.mp3"), "", QStringLiteral("/Café"),
                               QStringLiteral("/ﾗｼﾞｵ"), "x"};
    ASSERT_TRUE(WriteTextFile(db, lines.mid(0, 4)));
    ASSERT_TRUE(AppendTextLines(db, {"x"}));
    // Code page 932 where it holds the line, else UTF-8 behind its mark; CR LF after each. The
    // half-width katakana's bytes are valid UTF-8 as well, and read as they were meant.
    EXPECT_EQ(ReadAll(db),
              "/\x8b\xc8.mp3\r\n\r\n\xEF\xBB\xBF/Caf\xC3\xA9\r\n/\xd7\xbc\xde\xb5\r\nx\r\n");
    EXPECT_EQ(ReadTextFile(db), lines);
    // Whatever ended the last line, or none.
    for (const auto& [old, after] :
         {std::pair{"", "b\r\n"}, {"a", "a\r\nb\r\n"}, {"a\n", "a\nb\r\n"}, {"a\r", "a\rb\r\n"}}) {
        ASSERT_TRUE(AppendTextLines(dir.write("old.db", old), {"b"}));
        EXPECT_EQ(ReadAll(dir.file("old.db")), after);
    }
    for (const QString& unreadable : {dir.file("missing"), dir.path()})
        EXPECT_EQ(ReadTextFile(unreadable), std::nullopt) << unreadable.toStdString();
    const QString nul = dir.file("new") + QChar(0) + "x";  // the system would see "new"
    EXPECT_FALSE(WriteTextFile(nul, {"x"}) || AppendTextLines(nul, {"x"}));
    EXPECT_FALSE(AppendTextLines(dir.path(), {"x"}));
    EXPECT_EQ(EntriesOf(dir.path()), QStringList({"MediaDB.db", "old.db"}));

    // Replacing keeps the link and the mode, and sweeps only old leftovers of its own.
    const QString real = dir.write("dotfiles/Setting.ini", "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(real, dir.file("Setting.ini")));
    // A killed write's leftover, one that may be a write still running, another file's, and
    // names the writer does not make.
    for (const QString name :
         {"Setting.ini.tmp-a1b2c3d4", "Setting.ini.tmp-e5f6g7h8", "MediaDB.db.tmp-a1b2c3d4",
          "Setting.ini.tmp-Notes123", "Setting.ini.tmp-a1b2c3d45"}) {
        const time_t at = time(nullptr) - (name.endsWith("e5f6g7h8") ? 5 : 3600);
        const timeval back[2] = {{at, 0}, {at, 0}};
        const QString path = dir.write("dotfiles/" + name, "half");
        ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), back), 0);
    }
    ASSERT_TRUE(WriteTextFile(dir.file("Setting.ini"), {"new"}));
    EXPECT_TRUE(QFileInfo(dir.file("Setting.ini")).isSymLink());
    EXPECT_EQ(ReadAll(real), "new\r\n");
    EXPECT_EQ(QFile::permissions(real), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                            QFile::WriteUser | QFile::ReadGroup);
    EXPECT_EQ(EntriesOf(dir.file("dotfiles")),
              QStringList({"MediaDB.db.tmp-a1b2c3d4", "Setting.ini", "Setting.ini.tmp-Notes123",
                           "Setting.ini.tmp-a1b2c3d45", "Setting.ini.tmp-e5f6g7h8"}));
}

TEST(Settings, HandEditedFileReadsAsWindowsDoesWithTheNumberTextOfItsValues) {
    qvtest::TempDir dir;
    // The section first, blanks, quotes, comments, foreign lines, twice the same key and section, a
    // line in Windows-1252 (not code page 932) and one whose 0x5C is the second byte of 表.
    QList<QByteArray> lines = QByteArray(
                                  "  [ quorvane ]  \n; settings\n  Left  =  12  \nTop=\n"
                                  "Width=\"  8550 \"\nHeight=\"6555\n; LoopMode=2\n"
                                  "just some text\n=orphan\nLEFT=99\n\n[File]\n[Other]\n"
                                  "Caf\xe9=cr\xe8me\nPath=C:\\\x89\xb9\x8a\x79\\\x95\x5c\x8e\xa6\n"
                                  "[QUORVANE]\nLoopMode=5")
                                  .split('\n');
    dir.write("Setting.ini", lines.join("\r\n"));
    const Ini ini(dir.path());
    // Only the first section and key of a name count.
    QStringList read;
    for (const char* key : {"Left", "Top", "Width", "Height", "LoopMode", "just some text", ""})
        read << ini.ReadIni("Quorvane", key);
    read << ini.ReadIni(" QUORVANE\t", " left ") << ini.ReadIni("File", "Path")
         << ini.ReadIni("Other", "Café") << ini.ReadIni("Other", "Path");
    EXPECT_EQ(read, QStringList({"12", "", "  8550 ", "\"6555", "", "", "", "12", "", "crème",
                                 "C:\\音楽\\表示"}));
    // In place under the key's own spelling, after the section's last key, into an empty
    // section, a new section at the end; quoted where the value would not read back.
    ASSERT_EQ(ini.WriteIni("quorvane", "left", "200"), 1);
    ASSERT_EQ(ini.WriteIni("Quorvane", "LoopMode", "1"), 1);
    ASSERT_EQ(ini.WriteIni("File", "Path", "\"q\""), 1);
    ASSERT_EQ(ini.WriteIni(QStringLiteral("新しい"), "Key", " v"), 1);
    lines[2] = "Left=200";
    lines.insert(10, "LoopMode=1");
    lines.insert(13, "Path=\"\"q\"\"");
    lines << "[\x90\x56\x82\xb5\x82\xa2]"
          << "Key=\" v\"";
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")), lines.join("\r\n") + "\r\n");
    EXPECT_EQ(ini.ReadIni("File", "Path") + ini.ReadIni(QStringLiteral("新しい"), "Key"),
              "\"q\" v");
    // What the file could not give back as written is refused, and nothing changes.
    for (const char* value : {"/a\n[Quorvane]", "/a\rb"})
        EXPECT_EQ(ini.WriteIni("File", "Key", value), 0) << value;
    for (const char* key : {"A=B", "  ", "[Key]", ";Key", "Key\r"})
        EXPECT_EQ(ini.WriteIni("File", key, "x"), 0) << key;
    for (const char* section : {"Fi]le", "File\n"})
        EXPECT_EQ(ini.WriteIni(section, "Key", "x"), 0) << section;
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")), lines.join("\r\n") + "\r\n");
    EXPECT_EQ(Ini(dir.write("plain", "plain")).WriteIni("File", "Key", "x"), 0);  // under a file
    // Made on Linux in UTF-8, read so (no folder named); a value whose code page 932 bytes would
    // read otherwise there goes in UTF-8 as well.
    const Ini linux(dir.file("linux"));
    dir.write("linux/Setting.ini", "[File]\nA=/日本語\nB=/東京\n");
    ASSERT_EQ(linux.WriteIni("File", "C", QStringLiteral("/ﾗｼﾞｵ")), 1);
    EXPECT_EQ(linux.ReadIni("File", "B") + linux.ReadIni("File", "C"),
              QStringLiteral("/東京/ﾗｼﾞｵ"));
    EXPECT_EQ(ReadAll(dir.file("linux/Setting.ini")),
              "[File]\r\nA=/日本語\r\nB=/東京\r\nC=/ﾗｼﾞｵ\r\n");

    // The program folder ends in exactly one "/", even when named with a doubled one; the test
    // program's own is writable. (A program folder without the file: the start tests.)
    const Ini fresh(dir.file("fresh//"));
    EXPECT_EQ(QStringList({fresh.GetAppPath(), Ini("/").GetAppPath(), Ini("/opt/q").GetAppPath(),
                           Ini::DefaultAppPath()}),
              QStringList({dir.file("fresh/"), "/", "/opt/q/",
                           QCoreApplication::applicationDirPath() + "/"}));
    // The leading number, blanks ignored anywhere; hexadecimal and octal after "&H" and "&O".
    const std::pair<const char*, double> numbers[] = {
        {"", 0},        {"abc", 0},  {"12abc", 12}, {"  -3 4x", -34}, {"1.5e2z", 150},
        {"1.5e", 1.5},  {".", 0},    {"&H1F", 31},  {"&O17", 15},     {"&H10", 16},
        {"&H100", 256}, {"&O10", 8}, {"１２", 0}};
    for (const auto& [text, value] : numbers) EXPECT_EQ(Val(text), value) << text;
    // Half to even, inside the 32-bit range.
    for (const auto& [value, n] :
         {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {1e20, INT32_MAX}, {-1e20, INT32_MIN}})
        EXPECT_EQ(CLng(value), n) << value;
}

// The gain settings: a mode other than 0, 1 or 2 is the track gain; a preamplification past
// 20 dB either way is that end, one that is no finite number none.
TEST(Settings, ReplayGainModeAndPreampReadWithTheirDefaults) {
    qvtest::TempDir dir;
    const Ini ini(dir.path());
    const struct {
        const char* mode;
        int32_t read;
        const char* preamp;
        double db;
    } rows[] = {{nullptr, 1, nullptr, 0}, {"0", 0, "-3.5", -3.5}, {" 2 ", 2, "+6", 6},
                {"3", 1, "40", 20},       {"-1", 1, "x", 0},      {"1.5", 1, "-inf", 0},
                {"", 1, "nan", 0}};
    for (const auto& row : rows) {
        if (row.mode) ini.WriteIni("Quorvane", "ReplayGain", row.mode);
        if (row.preamp) ini.WriteIni("Quorvane", "ReplayGainPreamp", row.preamp);
        EXPECT_EQ(ReadReplayGainMode(ini), row.read) << row.mode;
        EXPECT_EQ(ReadReplayGainPreamp(ini), row.db) << row.preamp;
    }
}
