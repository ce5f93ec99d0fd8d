// The program's text files: line ends, the code page 932 / UTF-8 choice per
// line, the replacing write that never leaves half a file, and appends.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "support/cp932_python.h"
#include "support/file_size_limit.h"
#include "support/qt_print.h"
#include "support/tempdir.h"

using namespace qv;
using qvtest::ReadAll;
using qvtest::TempDir;

TEST(TextFile, SplitsOnEveryKindOfLineEnd) {
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\r\n\r\n"), QStringList({"a", ""}));
    EXPECT_EQ(SplitTextLines("a\n\rb"), QStringList({"a", "", "b"}));  // LF, then CR
    EXPECT_EQ(SplitTextLines("\r\n"), QStringList({""}));
    EXPECT_EQ(SplitTextLines("last line"), QStringList({"last line"}));
    EXPECT_TRUE(SplitTextLines("").isEmpty());
    EXPECT_EQ(SplitRawLines("\x8b\xc8\r\n\xff\n"), QList<QByteArray>({"\x8b\xc8", "\xff"}));
    TempDir dir;
    EXPECT_EQ(ReadTextFile(dir.write("cr", "a\r\x8b\xc8\r")), QStringList({"a", "曲"}));
    EXPECT_EQ(ReadTextFile(dir.write("empty", "")), QStringList());
    EXPECT_EQ(ReadTextFile(dir.file("missing")), std::nullopt);
    EXPECT_EQ(ReadTextFile(dir.path()), std::nullopt);  // a folder
    EXPECT_EQ(ReadTextFile(QString()), std::nullopt);
}

TEST(TextFile, WritesCp932WhenItCanAndUtf8Otherwise) {
    TempDir dir;
    const QString path = dir.file("MediaDB.db");
    const QStringList lines = {
        "/music/曲.mp3",  // code page 932
        "",               // empty line
        "/music/a〜b",    // wave dash: code page 932 only maps it one way
        "/music/Café 🎵",  // outside code page 932
        "plain",
    };
    ASSERT_TRUE(WriteTextFile(path, lines));
    EXPECT_EQ(ReadAll(path), QByteArray("/music/\x8b\xc8.mp3\r\n"
                                        "\r\n\xEF\xBB\xBF") +
                                 QStringLiteral("/music/a〜b").toUtf8() + "\r\n\xEF\xBB\xBF" +
                                 QStringLiteral("/music/Café 🎵").toUtf8() + "\r\nplain\r\n");
    EXPECT_EQ(ReadTextFile(path), lines);

    ASSERT_TRUE(WriteTextFile(path, {}));
    EXPECT_EQ(ReadAll(path), QByteArray());
    EXPECT_EQ(ReadTextFile(path), QStringList());
}

// A whole file python3 wrote in code page 932, half-width katakana (whose
// bytes are often valid UTF-8 too) in paths, a header and a setting: read
// exactly, and written, replaced or appended, byte for byte the same.
TEST(TextFile, Cp932FileOfAnotherProgramReadsAndWritesAsItWas) {
    const QStringList lines = {
        QStringLiteral("[C:\\Music\\ﾗｼﾞｵ]"),
        QStringLiteral("C:\\Music\\ﾗｼﾞｵ\\01.mp3"),
        QStringLiteral("/home/u/ｱﾙﾊﾞﾑ/ﾃｽﾄ.wav"),
        QStringLiteral("/home/u/音楽/ﾗｼﾞｵ 体操.mid"),
        QStringLiteral("LastSearchedPath=/home/u/ﾗｼﾞｵ"),
    };
    const QByteArray bytes = qvtest::Cp932FileByPython(lines);
    TempDir dir;
    EXPECT_EQ(ReadTextFile(dir.write("python.db", bytes)), lines);
    ASSERT_TRUE(WriteTextFile(dir.file("ours.db"), lines));
    EXPECT_EQ(ReadAll(dir.file("ours.db")), bytes);
    ASSERT_TRUE(AppendTextLines(dir.file("appended.db"), lines));
    EXPECT_EQ(ReadAll(dir.file("appended.db")), bytes);
}

TEST(TextFile, ReadsFilesOfTheWindowsProgram) {
    TempDir dir;
    // Pure code page 932 with CR LF, as the Windows program wrote it; 0x5C is
    // the second byte of 表 and ソ and must not end up as a separator or a yen sign.
    const QString path = dir.write(
        "LastPlayList.lst", QByteArray("C:\\\x89\xb9\x8a\x79\\\xc3\xbd\xc4\x87\x40.mp3\r\n"
                                       "C:\\\x95\x5c\x8e\xa6\\\x83\x5c\x81\x5b\x81\x60.mid\r\n"
                                       "C:\\\x83\x86\x81\x5b\x83\x55\x81\x5b\r\n"
                                       "C:\\Music\\Caf\xe9.wav\r\n"));
    EXPECT_EQ(ReadTextFile(path), QStringList({
                                      QStringLiteral("C:\\音楽\\ﾃｽﾄ①.mp3"),
                                      QStringLiteral("C:\\表示\\ソー～.mid"),
                                      QStringLiteral("C:\\ユーザー"),
                                      // not code page 932: Windows-1252
                                      QStringLiteral("C:\\Music\\Café.wav"),
                                  }));
}

TEST(TextFile, ReplacingKeepsPermissionsAndSymbolicLinks) {
    TempDir dir;
    const QString real = dir.write("dotfiles/Setting.ini", "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    const QString link = dir.file("Setting.ini");
    ASSERT_TRUE(QFile::link(real, link));

    ASSERT_TRUE(WriteTextFile(link, {"new"}));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadAll(real), QByteArray("new\r\n"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(qvtest::EntriesOf(dir.file("dotfiles")), QStringList({"Setting.ini"}));
}

TEST(TextFile, FailedWritesLeaveTheOldFileAndNoTemporary) {
    TempDir dir;
    // A folder where the file should be: the final rename cannot replace it.
    dir.write("Setting.ini/keep", "inside");
    EXPECT_FALSE(WriteTextFile(dir.file("Setting.ini"), {"x"}));
    EXPECT_EQ(ReadAll(dir.file("Setting.ini/keep")), QByteArray("inside"));
    EXPECT_EQ(qvtest::EntriesOf(dir.path()), QStringList({"Setting.ini"}));

    // A folder that is really a file: nothing can be created under it, root or not.
    const QString plain = dir.write("plain", "plain\r\n");
    EXPECT_FALSE(WriteTextFile(plain + "/Setting.ini", {"x"}));
    EXPECT_FALSE(WriteTextFile("/proc/qv-no-such-file", {"x"}));
    EXPECT_FALSE(WriteTextFile(QString(), {"x"}));
    EXPECT_FALSE(WriteTextFile(plain + QChar(0) + "junk", {"x"}));
    EXPECT_FALSE(AppendTextLines(plain + QChar(0) + "junk", {"x"}));
    EXPECT_EQ(ReadAll(plain), QByteArray("plain\r\n"));

    // The disk fills up half-way through the new content.
    const QString db = dir.write("MediaDB.db", "old content\r\n");
    {
        qvtest::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(WriteTextFile(db, QStringList(1000, QStringLiteral("/music/曲.mp3"))));
    }
    EXPECT_EQ(ReadAll(db), QByteArray("old content\r\n"));
    EXPECT_EQ(qvtest::EntriesOf(dir.path()), QStringList({"MediaDB.db", "Setting.ini", "plain"}));
}

TEST(TextFile, AppendStartsNewLinesOnTheirOwnLine) {
    TempDir dir;
    const QString created = dir.file("new.db");
    ASSERT_TRUE(AppendTextLines(created, {"[/music]", "/music/曲.mp3"}));
    ASSERT_TRUE(AppendTextLines(created, {"/music/b.mp3"}));
    EXPECT_EQ(ReadAll(created), QByteArray("[/music]\r\n/music/\x8b\xc8.mp3\r\n/music/b.mp3\r\n"));

    // Edited by hand and saved without a final line end.
    const QString unfinished = dir.write("unfinished.db", "/music/a.mp3");
    ASSERT_TRUE(AppendTextLines(unfinished, {"/music/b.mp3"}));
    EXPECT_EQ(ReadAll(unfinished), QByteArray("/music/a.mp3\r\n/music/b.mp3\r\n"));
    EXPECT_EQ(ReadTextFile(unfinished), QStringList({"/music/a.mp3", "/music/b.mp3"}));

    // LF and CR already end the last line: nothing is added before the new ones.
    const QString lf = dir.write("lf.db", "a\n");
    ASSERT_TRUE(AppendTextLines(lf, {"b"}));
    EXPECT_EQ(ReadAll(lf), QByteArray("a\nb\r\n"));
    const QString cr = dir.write("cr.db", "a\r");
    ASSERT_TRUE(AppendTextLines(cr, {"b"}));
    EXPECT_EQ(ReadTextFile(cr), QStringList({"a", "b"}));

    EXPECT_FALSE(AppendTextLines(dir.path(), {"x"}));  // a folder
    EXPECT_FALSE(AppendTextLines(dir.write("plain", "x") + "/file", {"x"}));
}

TEST(TextFile, AppendThatRunsOutOfSpaceTakesBackItsPart) {
    TempDir dir;
    const QString db = dir.write("MediaDB.db", "[/music]\r\n/music/a.mp3\r\n");
    {
        qvtest::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(AppendTextLines(db, QStringList(1000, QStringLiteral("/music/b.mp3"))));
    }
    EXPECT_EQ(ReadAll(db), QByteArray("[/music]\r\n/music/a.mp3\r\n"));
    ASSERT_TRUE(AppendTextLines(db, {"/music/c.mp3"}));
    EXPECT_EQ(ReadTextFile(db), QStringList({"[/music]", "/music/a.mp3", "/music/c.mp3"}));
}

TEST(TextFile, ReplacingSweepsOldLeftoversOfKilledWrites) {
    TempDir dir;
    const QString ini = dir.write("Setting.ini", "old\r\n");
    const auto age = [&](const QString& name, int seconds) {
        const QString path = dir.write(name, "half");
        const struct timeval back[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
        ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), back), 0);
    };
    age("Setting.ini.tmp-a1b2c3d4", 3600);  // a killed write's: swept
    age("Setting.ini.tmp-e5f6g7h8", 5);     // may be a write still running: kept
    age("MediaDB.db.tmp-a1b2c3d4", 3600);   // another file's: kept
    age("Setting.ini.tmp-Notes123", 3600);  // not a name the writer makes: kept
    ASSERT_TRUE(WriteTextFile(ini, {"new"}));
    EXPECT_EQ(ReadAll(ini), QByteArray("new\r\n"));
    EXPECT_EQ(qvtest::EntriesOf(dir.path()),
              QStringList({"MediaDB.db.tmp-a1b2c3d4", "Setting.ini", "Setting.ini.tmp-Notes123",
                           "Setting.ini.tmp-e5f6g7h8"}));
}
