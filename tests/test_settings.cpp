// Setting.ini: the profile reader and writer (names without letter case,
// values whole, every foreign line kept) and the settings module over it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include "app/settings.h"
#include "platform/profile.h"
#include "platform/textfile.h"
#include "support/file_size_limit.h"
#include "support/qt_print.h"
#include "support/tempdir.h"

using namespace qv;
using qvtest::ReadAll;
using qvtest::TempDir;

TEST(Settings, FreshFileHoldsExactlyWhatWasWritten) {
    TempDir dir;
    const Ini ini(dir.path());
    EXPECT_EQ(ini.ReadIni("Quorvane", "Left"), "");  // no file yet
    EXPECT_EQ(qvtest::EntriesOf(dir.path()), QStringList());

    for (const auto& [key, value] : {std::pair{"Left", "1200"},
                                     {"Top", "900"},
                                     {"Width", "8550"},
                                     {"Height", "6555"},
                                     {"LoopMode", "1"}})
        EXPECT_EQ(ini.WriteIni("Quorvane", key, value), 1);
    EXPECT_EQ(ini.WriteIni("File", "LastPlayList",
                           QStringLiteral("/home/音楽/PlayLists/LastPlayList.lst")),
              1);
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")),
              QByteArray("[Quorvane]\r\nLeft=1200\r\nTop=900\r\nWidth=8550\r\nHeight=6555\r\n"
                         "LoopMode=1\r\n[File]\r\n"
                         "LastPlayList=/home/\x89\xb9\x8a\x79/PlayLists/LastPlayList.lst\r\n"));
    EXPECT_EQ(qvtest::EntriesOf(dir.path()), QStringList({"Setting.ini"}));
}

TEST(Settings, JapaneseAndUnrepresentableValuesRoundTrip) {
    TempDir dir;
    const Ini ini(dir.path());
    const QStringList values = {
        QStringLiteral("/home/ユーザー/音楽/ﾃｽﾄ①"),
        QStringLiteral("/mnt/〜wave dash/Café 🎵"),  // outside code page 932: UTF-8
        QStringLiteral("　全角の空白で始まる　"),   // ideographic spaces are no blanks
        QStringLiteral("  blanks around  "),        // kept by quoting
        QStringLiteral("\"quoted\""),               // quotes of its own
        QStringLiteral("a = b ; c"),
        QString(300, u'a'),  // read back whole: no 254-byte cut
        QString(300, u'音'),
    };
    for (qsizetype i = 0; i < values.size(); ++i)
        ASSERT_EQ(ini.WriteIni("File", QStringLiteral("Key%1").arg(i), values[i]), 1);
    for (qsizetype i = 0; i < values.size(); ++i)
        EXPECT_EQ(ini.ReadIni("File", QStringLiteral("Key%1").arg(i)), values[i]);

    // A second write replaces the value in place.
    ASSERT_EQ(ini.WriteIni("File", "Key0", QStringLiteral("/別の/フォルダ")), 1);
    EXPECT_EQ(ini.ReadIni("File", "Key0"), QStringLiteral("/別の/フォルダ"));
    EXPECT_EQ(ReadTextFile(dir.file("Setting.ini"))->at(1), QStringLiteral("Key0=/別の/フォルダ"));
}

TEST(Settings, NamesMatchWithoutLetterCaseAfterTrimming) {
    TempDir dir;
    const Ini ini(dir.path());
    ASSERT_EQ(ini.WriteIni("Quorvane", "LoopMode", "2"), 1);
    EXPECT_EQ(ini.ReadIni("QUORVANE", "loopmode"), "2");
    EXPECT_EQ(ini.ReadIni("  quorvane ", "\tLOOPMODE  "), "2");

    // Written under another spelling: the same entry, and it keeps its spelling.
    ASSERT_EQ(ini.WriteIni("quorvane", "LOOPMODE", "0"), 1);
    // Full-width letters have a case too.
    ASSERT_EQ(ini.WriteIni(QStringLiteral("Ｆｉｌｅ"), QStringLiteral("Ｐａｔｈ"), "x"), 1);
    ASSERT_EQ(ini.WriteIni(QStringLiteral("ｆｉｌｅ"), QStringLiteral("ｐａｔｈ"), "y"), 1);
    EXPECT_EQ(ini.ReadIni(QStringLiteral("ＦＩＬＥ"), QStringLiteral("ＰＡＴＨ")), "y");
    EXPECT_EQ(ReadTextFile(dir.file("Setting.ini")),
              QStringList({"[Quorvane]", "LoopMode=0", QStringLiteral("[Ｆｉｌｅ]"),
                           QStringLiteral("Ｐａｔｈ=y")}));
}

TEST(Settings, ReadsBlanksQuotesAndEmptyValuesAsTheWindowsFunctionsDo) {
    TempDir dir;
    dir.write("Setting.ini",
              "  [ Quorvane ]  \r\n"
              "  Left  =  12  \r\n"
              "Top=\r\n"
              "Width=\"  8550 \"\r\n"
              "Height=\"6555\r\n"
              "; LoopMode=2\r\n"
              "=orphan\r\n"
              "[File]\r\n"  // code page 932, as the Windows program wrote it
              "LastSearchedPath=C:\\\x89\xb9\x8a\x79\\\x95\x5c\x8e\xa6\r\n");
    const Ini ini(dir.path());
    EXPECT_EQ(ini.ReadIni("Quorvane", "Left"), "12");
    EXPECT_EQ(ini.ReadIni("Quorvane", "Top"), "");  // empty reads like missing
    EXPECT_EQ(ini.ReadIni("Quorvane", "Width"), "  8550 ");
    EXPECT_EQ(ini.ReadIni("Quorvane", "Height"), "\"6555");  // no matching quote
    EXPECT_EQ(ini.ReadIni("Quorvane", "LoopMode"), "");      // commented out
    EXPECT_EQ(ini.ReadIni("Quorvane", ""), "");
    EXPECT_EQ(ini.ReadIni("File", "Left"), "");
    EXPECT_EQ(ini.ReadIni("Quorvane", "Missing"), "");
    EXPECT_EQ(ini.ReadIni("File", "LastSearchedPath"), QStringLiteral("C:\\音楽\\表示"));
}

TEST(Settings, EveryOtherLineIsKeptAsItWas) {
    TempDir dir;
    // A hand-edited file with comments, blank lines, unknown keys and sections,
    // a line without "=", and a line in Windows-1252 that code page 932 cannot read.
    const QByteArray before =
        "; settings of Quorvane\r\n"
        "\r\n"
        "[Quorvane]\r\n"
        "Left = 100\r\n"
        "Unknown=keep me\r\n"
        "just some text\r\n"
        "Top=5\r\n"
        "\r\n"
        "; Width=8550 is the default\r\n"
        "[Other]\n"  // an LF line end
        "Caf\xe9=cr\xe8me\r\n"
        "[File]\r\n";
    dir.write("Setting.ini", before);
    const Ini ini(dir.path());
    EXPECT_EQ(ini.ReadIni("Quorvane", "just some text"), "");
    EXPECT_EQ(ini.ReadIni("Other", QStringLiteral("Café")), QStringLiteral("crème"));

    ASSERT_EQ(ini.WriteIni("Quorvane", "Left", "200"), 1);             // replaced in place
    ASSERT_EQ(ini.WriteIni("Quorvane", "LoopMode", "1"), 1);           // after the last key
    ASSERT_EQ(ini.WriteIni("Quorvane", "just some text", "3"), 1);     // a key of its own
    ASSERT_EQ(ini.WriteIni("File", "LastPlayList", "/a.lst"), 1);      // into an empty section
    ASSERT_EQ(ini.WriteIni(QStringLiteral("新しい"), "Key", "v"), 1);  // a new section at the end
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")), QByteArray("; settings of Quorvane\r\n"
                                                           "\r\n"
                                                           "[Quorvane]\r\n"
                                                           "Left=200\r\n"
                                                           "Unknown=keep me\r\n"
                                                           "just some text\r\n"
                                                           "Top=5\r\n"
                                                           "LoopMode=1\r\n"
                                                           "just some text=3\r\n"
                                                           "\r\n"
                                                           "; Width=8550 is the default\r\n"
                                                           "[Other]\r\n"
                                                           "Caf\xe9=cr\xe8me\r\n"
                                                           "[File]\r\n"
                                                           "LastPlayList=/a.lst\r\n"
                                                           "[\x90\x56\x82\xb5\x82\xa2]\r\n"
                                                           "Key=v\r\n"));
    EXPECT_EQ(ini.ReadIni("Quorvane", "just some text"), "3");
}

TEST(Settings, OnlyTheFirstOfTwoSectionsOrKeysCounts) {
    TempDir dir;
    dir.write("Setting.ini",
              "[File]\r\nA=1\r\na=5\r\n[Quorvane]\r\nA=2\r\n[file]\r\nA=3\r\nB=4\r\n");
    const Ini ini(dir.path());
    EXPECT_EQ(ini.ReadIni("File", "A"), "1");
    EXPECT_EQ(ini.ReadIni("File", "B"), "");
    ASSERT_EQ(ini.WriteIni("FILE", "a", "9"), 1);
    ASSERT_EQ(ini.WriteIni("File", "B", "8"), 1);
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")),
              QByteArray("[File]\r\nA=9\r\na=5\r\nB=8\r\n[Quorvane]\r\nA=2\r\n"
                         "[file]\r\nA=3\r\nB=4\r\n"));
}

TEST(Settings, GarbageAndHugeLinesNeitherCrashNorGetLost) {
    TempDir dir;
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(20240607);
    for (char& c : garbage) c = static_cast<char>(random.bounded(256));
    garbage += "\r\n";
    dir.write("Setting.ini", garbage);
    const Ini ini(dir.path());
    EXPECT_EQ(ini.ReadIni("Quorvane", "LoopMode"), "");
    ASSERT_EQ(ini.WriteIni("Quorvane", "LoopMode", "1"), 1);
    EXPECT_EQ(ini.ReadIni("Quorvane", "LoopMode"), "1");
    // Not one byte of the garbage is changed, only its line ends are CR LF now.
    QList<QByteArray> lines = SplitRawLines(ReadAll(dir.file("Setting.ini")));
    QList<QByteArray> expected = SplitRawLines(garbage);
    ASSERT_EQ(lines.size(), expected.size() + 2);
    EXPECT_EQ(lines.takeLast(), "LoopMode=1");
    EXPECT_EQ(lines.takeLast(), "[Quorvane]");
    EXPECT_EQ(lines, expected);

    // A 1 MB line without "=", and a 1 MB value.
    const QByteArray huge(1024 * 1024, 'x');
    dir.write("Setting.ini", "[File]\r\n" + huge + "\r\nBig=" + huge + "\r\n");
    EXPECT_EQ(ini.ReadIni("File", "Big"), QString::fromLatin1(huge));
    ASSERT_EQ(ini.WriteIni("File", "LastOpenFile", "/a.mp3"), 1);
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")),
              "[File]\r\n" + huge + "\r\nBig=" + huge + "\r\nLastOpenFile=/a.mp3\r\n");
}

TEST(Settings, FailedWritesAreQuietAndLeaveTheOldFile) {
    TempDir dir;
    // The folder is a regular file: nothing can be created under it, root or not.
    const QString plain = dir.write("plain", "plain");
    const Ini underFile(plain);
    EXPECT_EQ(underFile.WriteIni("Quorvane", "Left", "1"), 0);
    EXPECT_EQ(underFile.ReadIni("Quorvane", "Left"), "");
    EXPECT_EQ(ReadAll(plain), QByteArray("plain"));
    // Other failed renames and creations are the text file tests'.

    // The disk fills up while the new file is written.
    TempDir full;
    const Ini ini(full.path());
    ASSERT_EQ(ini.WriteIni("Quorvane", "Left", "1"), 1);
    const QByteArray old = ReadAll(full.file("Setting.ini"));
    {
        qvtest::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_EQ(ini.WriteIni("File", "LastSearchedPath", QString(8000, u'a')), 0);
    }
    EXPECT_EQ(ReadAll(full.file("Setting.ini")), old);
    EXPECT_EQ(qvtest::EntriesOf(full.path()), QStringList({"Setting.ini"}));
    EXPECT_EQ(ini.ReadIni("Quorvane", "Left"), "1");
}

TEST(Settings, RefusesWhatTheFileCouldNotGiveBack) {
    TempDir dir;
    const Ini ini(dir.path());
    ASSERT_EQ(ini.WriteIni("File", "LastOpenedPath", "/ok"), 1);
    const QByteArray before = ReadAll(dir.file("Setting.ini"));
    // A line end in a value would plant a line of its own ("[Quorvane]" here).
    EXPECT_EQ(ini.WriteIni("File", "LastOpenedPath", "/a\n[Quorvane]\nLoopMode=2"), 0);
    EXPECT_EQ(ini.WriteIni("File", "LastOpenedPath", "/a\rb"), 0);
    EXPECT_EQ(ini.WriteIni("File", "A=B", "x"), 0);
    EXPECT_EQ(ini.WriteIni("File", "  ", "x"), 0);
    EXPECT_EQ(ini.WriteIni("File", "[Key]", "x"), 0);
    EXPECT_EQ(ini.WriteIni("File", ";Key", "x"), 0);
    EXPECT_EQ(ini.WriteIni("Fi]le", "Key", "x"), 0);
    EXPECT_EQ(ReadAll(dir.file("Setting.ini")), before);
}

TEST(Settings, ProgramFolderEndsInExactlyOneSlash) {
    EXPECT_EQ(Ini("/").GetAppPath(), "/");
    EXPECT_EQ(Ini("/opt/quorvane").GetAppPath(), "/opt/quorvane/");
    EXPECT_EQ(Ini("/opt/quorvane//").GetAppPath(), "/opt/quorvane/");
    // The test program's own folder is writable, so it is the program folder.
    EXPECT_EQ(Ini::DefaultAppPath(), QCoreApplication::applicationDirPath() + "/");

    TempDir dir;
    const Ini ini(dir.path() + "/");
    ASSERT_EQ(ini.WriteIni("Quorvane", "Top", "1"), 1);
    EXPECT_EQ(qvtest::EntriesOf(dir.path()), QStringList({"Setting.ini"}));
    EXPECT_EQ(ReadProfileString(dir.file("Setting.ini"), "Quorvane", "Top"), "1");
}

TEST(Settings, LoopModeOutsideTheThreeModesReadsAsLoopOff) {
    TempDir dir;
    const Ini ini(dir.path());
    for (const auto& [stored, mode] :
         {std::pair{"0", 0}, {"2", 2}, {"2.6", 0}, {"-1", 0}, {"99999999999", 0}}) {
        ASSERT_EQ(ini.WriteIni("Quorvane", "LoopMode", stored), 1);
        EXPECT_EQ(ReadLoopMode(ini), mode) << stored;
    }
}
