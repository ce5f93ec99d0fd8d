// Loading a playlist file line by line: each kind of line gives the same
// record and list line as the file test and AddToPlayList would give it one
// by one, the lines reach the list box whole, and the clean-path test that
// lets a line go to the system unchanged agrees with QDir::cleanPath.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>

#include "app/frm_quorvane.h"
#include "app/tree_view.h"
#include "platform/filesystem.h"
#include "platform/textfile.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_file.h"
#include "support/cp932_python.h"
#include "support/media_files.h"
#include "support/qt_print.h"
#include "support/test_program.h"
#include "tags/id3.h"
#include "tags/id3_read.h"

namespace qv {
namespace {

class PlaylistLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        p.MakeObjects();
        p.state->mainForm->TV1->AddNode("", "root", "r", 1);
        p.state->mainForm->TV1->AddNode("root", "RegisteredPlayList", "p", 2);
    }
    const PlayListArray& data() { return p.state->PlayListData; }
    clsPlayList& list() { return *p.state->objPlayList; }
    // Every record as "path|type|line text", and every list line, side by side.
    QStringList Records() {
        QStringList out;
        if (data().IsEmpty()) return out;
        for (int i = 0; i < data().Count(); ++i)
            out.append(data()[i].FilePath + u'|' + data()[i].MediaType + u'|' +
                       data()[i].DisplayName);
        return out;
    }
    QStringList Lines() {
        QStringList out;
        QListWidget& box = *p.state->mainForm->lstPL;
        for (int i = 0; i < box.count(); ++i) out.append(box.item(i)->text());
        return out;
    }
    QString WriteList(const QStringList& lines) {
        QByteArray bytes;
        for (const QString& l : lines) bytes += l.toUtf8() + "\r\n";
        return p.dir.write("PlayLists/t.lst", bytes);
    }

    qvtest::TestProgram p;
};

TEST_F(PlaylistLoad, EachKindOfLineAsTheFileTestAndAddWouldHaveIt) {
    const QString d = p.dir.path();
    const QString tagged = p.dir.write("m/tagged.mp3", qvtest::Id3Bytes("Tagged Title"));
    const QString bare = p.dir.write("m/bare.mp3", "no tag at all");
    const QString wav = p.dir.write("m/w.wav", qvtest::WavBytes());
    p.dir.write("m/.hidden.mp3", qvtest::Id3Bytes("Hidden"));
    QDir().mkpath(d + "m/folder.mp3");
    ASSERT_EQ(::symlink(tagged.toUtf8().constData(), (d + "m/link.mp3").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink((d + "m/gone.mp3").toUtf8().constData(),
                        (d + "m/dangling.mp3").toUtf8().constData()),
              0);
    ASSERT_EQ(::mkfifo((d + "m/pipe.mp3").toUtf8().constData(), 0600), 0);
    // Paths that are not clean: the file test cleans them by text, the tag is
    // read through the path as written ("nowhere" does not exist, so that
    // read fails and the file name stands in for the title).
    const QString doubled = d + "m//tagged.mp3";
    const QString dotted = d + "m/./bare.mp3";
    const QString throughMissing = d + "m/nowhere/../tagged.mp3";

    const QString listFile =
        WriteList({tagged, bare, wav, d + "m/.hidden.mp3", d + "m/folder.mp3", d + "m/link.mp3",
                   d + "m/dangling.mp3", d + "m/pipe.mp3", d + "m/missing.mp3", doubled, dotted,
                   throughMissing, tagged, "", "// " + bare});
    EXPECT_EQ(LoadPlayListFile(*p.state, listFile), 7);
    EXPECT_EQ(Records(), QStringList({tagged + "|MP3|Tagged Title", bare + "|MP3|bare.mp3",
                                      wav + "|WAVE|w.wav", d + "m/link.mp3|MP3|Tagged Title",
                                      doubled + "|MP3|Tagged Title", dotted + "|MP3|bare.mp3",
                                      throughMissing + "|MP3|tagged.mp3"}));
    EXPECT_EQ(Lines(), QStringList({"Tagged Title", "bare.mp3", "w.wav", "Tagged Title",
                                    "Tagged Title", "bare.mp3", "tagged.mp3"}));

    // Each line again, by the file test and AddToPlayList into a fresh program:
    // the same records in the same order.
    qvtest::TestProgram q;
    q.MakeObjects();
    const QStringList lines = ReadTextFile(listFile).value_or(QStringList());
    ASSERT_EQ(lines.size(), 15);
    for (const QString& line : lines)
        if (!line.isEmpty() && !line.startsWith("//") && FileExists(line))
            q.state->objPlayList->AddToPlayList(line);
    QStringList one;
    for (int i = 0; i < q.state->PlayListData.Count(); ++i)
        one.append(q.state->PlayListData[i].FilePath + u'|' + q.state->PlayListData[i].MediaType +
                   u'|' + q.state->PlayListData[i].DisplayName);
    EXPECT_EQ(one, Records());
}

TEST_F(PlaylistLoad, LinesFollowEntriesAlreadyThereAndKnownPathsAddNothing) {
    const QString a = p.dir.write("a.mp3", qvtest::Id3Bytes("A"));
    const QString b = p.dir.write("b.mid", qvtest::MidiBytes());
    const QString c = p.dir.write("c.mp3", qvtest::Id3Bytes("C"));
    ASSERT_TRUE(list().AddToPlayList(a));
    EXPECT_EQ(LoadPlayListFile(*p.state, WriteList({a, b, c, b})), 2);
    EXPECT_EQ(Lines(), QStringList({"A", "b.mid", "C"}));
    EXPECT_EQ(list().ListCount(), data().Count());
    // The last file added is the one remembered.
    QCoreApplication::processEvents();
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastOpenFile"), c);
}

TEST_F(PlaylistLoad, ACodePage932ListOfAnotherProgramLoadsAndSavesAsItWas) {
    // In code page 932 "ﾗｼﾞｵ" is D7 BC DE B5, valid UTF-8 as well.
    const QString a = p.dir.write(QStringLiteral("ﾗｼﾞｵ/01.wav"), qvtest::WavBytes());
    const QString b = p.dir.write(QStringLiteral("ﾗｼﾞｵ/ｱﾙﾊﾞﾑ 曲.wav"), qvtest::WavBytes());
    const QByteArray bytes = qvtest::Cp932FileByPython({a, b});
    EXPECT_EQ(LoadPlayListFile(*p.state, p.dir.write("PlayLists/t.lst", bytes)), 2);
    EXPECT_EQ(Records(),
              QStringList({a + "|WAVE|01.wav", b + QStringLiteral("|WAVE|ｱﾙﾊﾞﾑ 曲.wav")}));
    ASSERT_TRUE(SavePlayListFile(*p.state, p.dir.file("PlayLists/saved.lst")));
    EXPECT_EQ(qvtest::ReadAll(p.dir.file("PlayLists/saved.lst")), bytes);
}

TEST_F(PlaylistLoad, HeldLinesAreThereForAnyoneWhoLooks) {
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    const QString b = p.dir.write("b.wav", qvtest::WavBytes());
    {
        const clsPlayList::LineBatch batch(list());
        ASSERT_TRUE(list().AddToPlayList(a));
        ASSERT_TRUE(list().AddToPlayList(b));
        EXPECT_EQ(list().ListCount(), 2);
        EXPECT_EQ(list().GetList(1), "b.wav");
        // Lines added after a look wait again, and still come in order.
        list().AddToPlayList(p.dir.write("c.wav", qvtest::WavBytes()));
        list().SetListIndex(2);
        EXPECT_EQ(p.state->mainForm->lstPL->currentRow(), 2);
        list().AddToPlayList(p.dir.write("d.wav", qvtest::WavBytes()));
    }
    EXPECT_EQ(Lines(), QStringList({"a.wav", "b.wav", "c.wav", "d.wav"}));
}

TEST(CleanPath, OnlyPathsThatCleaningLeavesAlone) {
    // Clean: QDir::cleanPath gives each back unchanged.
    for (const QString path : {"/", "/a", "/a/b.mp3", "a", "a/b", "/a/.b/c", "/a/..b", "/a/b..",
                               "/a/.../c", "/ü/曲.mp3"}) {
        EXPECT_TRUE(IsCleanPath(path)) << path.toStdString();
        EXPECT_EQ(QDir::cleanPath(path), path);
    }
    // Not clean: cleaning changes each of these. The dot-only relative paths
    // ("." , "..", "../a") are left to cleaning too, which keeps them.
    for (const QString path : {"//a", "/a//b", "/a/", "a/", "/./a", "/a/.", "/a/..", "./a",
                               "/a/b/../c", "", ".", "..", "../a"}) {
        EXPECT_FALSE(IsCleanPath(path)) << path.toStdString();
    }
    EXPECT_FALSE(IsCleanPath(QStringLiteral("/a") + QChar(0) + QStringLiteral("b")));
}

TEST(TagOfAnOpenedFile, SameAsReadingByPath) {
    qvtest::TempDir dir;
    const QString files[] = {dir.write("v2.mp3", qvtest::Id3Bytes("T", "Ar", "Co")),
                             dir.write("none.mp3", "plain bytes"),
                             dir.write("empty.mp3", QByteArray())};
    for (const QString& f : files) {
        TagFile file(f);
        ASSERT_TRUE(file.isOpen()) << f.toStdString();
        const TagInfo opened = ReadID3Tag(file, f), byPath = ReadID3Tag(f);
        EXPECT_EQ(opened.Title, byPath.Title) << f.toStdString();
        EXPECT_EQ(opened.Artist, byPath.Artist) << f.toStdString();
        EXPECT_EQ(opened.Comment, byPath.Comment) << f.toStdString();
    }
    TagFile tagged(files[0]), untagged(files[1]);
    EXPECT_EQ(ReadID3Tag(tagged, files[0]).Title, "T");
    EXPECT_EQ(ReadID3Tag(untagged, files[1]).Title, "none.mp3");
}

}  // namespace
}  // namespace qv
