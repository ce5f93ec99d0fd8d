// The playlist object and playlist files with the real main window: the record
// array and its path index, entries built from paths, duplicates, the
// placeholder, ".lst" reading and writing (code page 932, UTF-8, comments,
// missing files, binary data, a folder that cannot be written) and the
// registered-playlist nodes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/playlist_data.h"
#include "app/tree_view.h"
#include "platform/textcodec.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"
#include "playlist/playlist_file.h"
#include "support/file_size_limit.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace qv {
namespace {

class Playlist : public ::testing::Test {
  protected:
    void SetUp() override {
        p.MakeObjects();
        p.state->mainForm->TV1->AddNode("", "root", "r", 1);
        p.state->mainForm->TV1->AddNode("root", "RegisteredPlayList", "p", 2);
    }
    clsPlayList& list() { return *p.state->objPlayList; }
    const PlayListArray& data() { return p.state->PlayListData; }
    QListWidget& box() { return *p.state->mainForm->lstPL; }
    // Written once control is back in the event loop.
    QString LastOpenFile() {
        QCoreApplication::processEvents();
        return p.state->ini.ReadIni("File", "LastOpenFile");
    }
    QStringList Paths() {
        QStringList out;
        for (int i = 0; i < data().Count(); ++i) out.append(data()[i].FilePath);
        return out;
    }

    qvtest::TestProgram p;
};

PlayListItem Item(const QString& path) {
    return PlayListItem{path, "MP3", path, 0};
}

TEST(PlayListArray, NeverEmptyAndIndexFollowsEveryChange) {
    PlayListArray a;
    EXPECT_EQ(a.Count(), 1);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Contains(""));  // the placeholder's path
    a.Set(0, Item("/a"));
    a.Append(Item("/b"));
    a.Append(Item("/c"));
    EXPECT_FALSE(a.Contains(""));
    EXPECT_TRUE(a.Contains("/b"));
    EXPECT_FALSE(a.Contains("/B"));
    a.Swap(0, 2);
    EXPECT_EQ(a[0].FilePath, "/c");
    EXPECT_TRUE(a.Contains("/a"));
    a.Remove(1);
    EXPECT_FALSE(a.Contains("/b"));
    EXPECT_EQ(a.Count(), 2);
    a.Set(1, Item("/d"));
    EXPECT_FALSE(a.Contains("/a"));
    EXPECT_TRUE(a.Contains("/d"));
    a.SetLength(1, 59);
    EXPECT_EQ(a[1].Length, 59);
    a.Remove(0);
    a.Remove(0);  // the last record goes: the placeholder comes back
    EXPECT_EQ(a.Count(), 1);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_FALSE(a.Contains("/d"));
    a.Append(Item("/e"));
    a.Reset();
    EXPECT_EQ(a.Count(), 1);
    EXPECT_FALSE(a.Contains("/e"));
}

TEST(PlayListArray, TwoRecordsOfOnePathAreCountedApart) {
    // Records are copied whole by the editing commands; a path held twice for
    // a moment stays known until its last record goes.
    PlayListArray a;
    a.Set(0, Item("/a"));
    a.Append(Item("/a"));
    a.Remove(0);
    EXPECT_TRUE(a.Contains("/a"));
    a.Set(0, Item("/b"));
    EXPECT_FALSE(a.Contains("/a"));
}

TEST_F(Playlist, FirstAddReusesThePlaceholder) {
    EXPECT_TRUE(data().IsEmpty());
    EXPECT_EQ(list().ListCount(), 0);
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    EXPECT_TRUE(list().AddToPlayList(a));
    EXPECT_EQ(data().Count(), 1);
    EXPECT_EQ(list().ListCount(), 1);
    EXPECT_EQ(data()[0].FilePath, a);
    EXPECT_EQ(data()[0].MediaType, "WAVE");
    EXPECT_EQ(data()[0].DisplayName, "a.wav");
    EXPECT_EQ(data()[0].Length, 0);
    EXPECT_EQ(list().GetList(0), "a.wav");
    EXPECT_EQ(LastOpenFile(), a);
    EXPECT_EQ(box().currentRow(), -1);  // the selection is not touched
}

TEST_F(Playlist, DuplicatesAndLetterCase) {
    EXPECT_TRUE(list().AddToPlayList("/m/A.mid"));
    EXPECT_TRUE(list().AddToPlayList("/m/b.mid"));
    EXPECT_FALSE(list().AddToPlayList("/m/A.mid"));
    EXPECT_EQ(LastOpenFile(), "/m/b.mid");  // a refused duplicate writes nothing
    EXPECT_TRUE(list().AddToPlayList("/m/a.mid"));
    EXPECT_EQ(Paths(), (QStringList{"/m/A.mid", "/m/b.mid", "/m/a.mid"}));
    EXPECT_EQ(list().ListCount(), 3);
    // Missing files and unknown kinds are the callers' business.
    EXPECT_TRUE(list().AddToPlayList("/m/readme.txt"));
    EXPECT_EQ(data()[3].MediaType, "");
    EXPECT_EQ(data()[3].DisplayName, "readme.txt");
}

TEST_F(Playlist, TitlesFromTagsOnlyForMp3) {
    const QString tagged = p.dir.write("t.Mp3", qvtest::Id3Bytes("日本語のタイトル", "歌手"));
    const QString bare = p.dir.write("bare.mp3", QByteArray(64, '\x01'));
    const QString midi = p.dir.write("tune.mid", qvtest::MidiBytes());
    // A WAV file that carries an ID3 tag still shows its file name.
    const QString wav = p.dir.write("w.wav", qvtest::Id3Bytes("Not shown"));
    for (const QString& f : {tagged, bare, midi, wav}) EXPECT_TRUE(list().AddToPlayList(f));
    EXPECT_EQ(list().GetList(0), "日本語のタイトル");
    EXPECT_EQ(data()[0].MediaType, "MP3");
    EXPECT_EQ(list().GetList(1), "bare.mp3");
    EXPECT_EQ(list().GetList(2), "tune.mid");
    EXPECT_EQ(data()[2].MediaType, "MIDI");
    EXPECT_EQ(list().GetList(3), "w.wav");
    EXPECT_EQ(GetEntryTitle("no-folder.mid"), "no-folder.mid");
}

TEST_F(Playlist, ListOperationsAndSelectionRunTheClickHandling) {
    const QString a = p.dir.write("a.mid", qvtest::MidiBytes());
    const QString b = p.dir.write("b.mid", qvtest::MidiBytes());
    list().AddToPlayList(a);
    list().AddToPlayList(b);
    list().SetListIndex(1);
    // Before SetListIndex returned, the caption and the preview followed.
    EXPECT_EQ(p.state->mainForm->windowTitle(), "Quorvane - " + b);
    EXPECT_EQ(p.state->mainForm->Panel(1)->text(), "b.mid");
    list().SetListIndex(-1);
    EXPECT_EQ(box().currentRow(), -1);
    list().SetList(0, "renamed");
    EXPECT_EQ(list().GetList(0), "renamed");
    list().RemoveItem(0);
    EXPECT_EQ(list().GetList(0), "b.mid");
    list().Clear();
    EXPECT_EQ(list().ListCount(), 0);
}

TEST_F(Playlist, MoreThan32767Entries) {
    const int n = 33000;
    for (int i = 0; i < n; ++i) list().AddToPlayList(QString("/m/%1.mid").arg(i));
    EXPECT_EQ(LastOpenFile(), "/m/32999.mid");
    EXPECT_EQ(list().ListCount(), n);
    EXPECT_EQ(data().Count(), n);
    EXPECT_EQ(list().GetList(32768), "32768.mid");
    list().SetListIndex(32999);
    EXPECT_EQ(box().currentRow(), 32999);
    EXPECT_FALSE(list().AddToPlayList("/m/32999.mid"));
}

TEST_F(Playlist, SaveWritesExactBytesAndRecordsTheFile) {
    const QString listFile = PlayListFolder(*p.state) + "x.lst";
    list().AddToPlayList("C:/a.mp3");
    list().AddToPlayList("C:/b.mid");
    EXPECT_TRUE(SavePlayListFile(*p.state, listFile));
    EXPECT_EQ(qvtest::ReadAll(listFile), QByteArray("C:/a.mp3\r\nC:/b.mid\r\n"));
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastPlayList"), listFile);
}

TEST_F(Playlist, LoadSkipsCommentsEmptyLinesAndMissingFiles) {
    const QString a = p.dir.write("a.mp3", qvtest::Id3Bytes("A"));
    const QString b = p.dir.write("b.mp3", qvtest::Id3Bytes("B"));
    const QString gone = p.dir.write("gone.mp3", qvtest::Id3Bytes("G"));
    QFile::remove(gone);
    const QString hidden = p.dir.write(".hidden.mp3", qvtest::Id3Bytes("H"));
    QDir().mkpath(p.folder() + "folder.mp3");
    const QString f = p.dir.write("l.lst", ("//" + a + "\r\n\r\n" + gone + "\r\n" + hidden +
                                            "\r\n" + p.folder() + "folder.mp3\r\n" + b + "\r\n")
                                               .toUtf8());
    EXPECT_EQ(LoadPlayListFile(*p.state, f), 1);
    EXPECT_EQ(Paths(), QStringList{b});
    // Loading it again adds nothing; the node is there once.
    EXPECT_EQ(LoadPlayListFile(*p.state, f), 0);
    EXPECT_EQ(Paths(), QStringList{b});
    QTreeWidgetItem* node = p.state->mainForm->TV1->Node(f);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->text(0), "l");
    EXPECT_EQ(p.state->mainForm->TV1->Image(node), 9);
    EXPECT_EQ(node->parent(), p.state->mainForm->TV1->Node("RegisteredPlayList"));
    EXPECT_EQ(node->parent()->childCount(), 1);

    // A missing playlist file still gets its node; a binary one adds nothing.
    const QString missing = p.folder() + "nothing.here.lst";
    EXPECT_EQ(LoadPlayListFile(*p.state, missing), 0);
    ASSERT_TRUE(p.state->mainForm->TV1->Node(missing));
    EXPECT_EQ(p.state->mainForm->TV1->Node(missing)->text(0), "nothing.here");
    QByteArray junk;
    for (int i = 0; i < 70000; ++i) junk.append(static_cast<char>((i * 7919) % 256));
    EXPECT_EQ(LoadPlayListFile(*p.state, p.dir.write("junk.lst", junk)), 0);
    EXPECT_EQ(Paths(), QStringList{b});
}

TEST_F(Playlist, LineEndsOtherThanCrLfAndUntrimmedLines) {
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    const QString b = p.dir.write("b.wav", qvtest::WavBytes());
    const QString c = p.dir.write("c.wav", qvtest::WavBytes());
    const QString f = p.dir.write("l.lst", (a + "\n" + b + "\r" + c + " \r\n" + c).toUtf8());
    // "c.wav " with its blank names no file; the last line has no line end.
    EXPECT_EQ(LoadPlayListFile(*p.state, f), 3);
    EXPECT_EQ(Paths(), (QStringList{a, b, c}));
}

TEST_F(Playlist, CodePage932FileFromTheWindowsProgram) {
    const QString song = p.dir.write("曲/ソング①.mid", qvtest::MidiBytes());
    QByteArray sjis;
    ASSERT_TRUE(EncodeCp932(song, &sjis));
    const QString f = p.dir.write("win.lst", sjis + "\r\n");
    EXPECT_EQ(LoadPlayListFile(*p.state, f), 1);
    EXPECT_EQ(Paths(), QStringList{song});
    // Written back byte for byte as the Windows program wrote it.
    const QString out = PlayListFolder(*p.state) + "back.lst";
    ASSERT_TRUE(SavePlayListFile(*p.state, out));
    EXPECT_EQ(qvtest::ReadAll(out), sjis + "\r\n");
}

TEST_F(Playlist, PathThatCodePage932CannotHoldSurvivesWhole) {
    const QString song = p.dir.write("café 🎵.wav", qvtest::WavBytes());
    const QString plain = p.dir.write("plain.wav", qvtest::WavBytes());
    list().AddToPlayList(song);
    list().AddToPlayList(plain);
    const QString out = PlayListFolder(*p.state) + "utf8.lst";
    ASSERT_TRUE(SavePlayListFile(*p.state, out));
    // In UTF-8 behind its mark, which no code page 932 line starts with.
    EXPECT_EQ(qvtest::ReadAll(out), "\xEF\xBB\xBF" + (song + "\r\n" + plain + "\r\n").toUtf8());
    qvtest::TestProgram q;
    q.MakeObjects();
    EXPECT_EQ(LoadPlayListFile(*q.state, out), 2);
    EXPECT_EQ(q.state->PlayListData[0].FilePath, song);
}

TEST_F(Playlist, TwentyThousandLines) {
    QByteArray text;
    QStringList files;
    for (int i = 0; i < 20000; ++i) {
        const QString f = p.folder() + QString("m/%1.mid").arg(i);
        files.append(f);
        text += f.toUtf8() + "\r\n";
    }
    QDir().mkpath(p.folder() + "m");
    for (const QString& f : files) {
        QFile out(f);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    }
    const QString listFile = p.dir.write("big.lst", text + text);  // every path twice
    EXPECT_EQ(LoadPlayListFile(*p.state, listFile), 20000);
    EXPECT_EQ(list().ListCount(), 20000);
    EXPECT_EQ(Paths(), files);
    const QString out = PlayListFolder(*p.state) + "big-out.lst";
    ASSERT_TRUE(SavePlayListFile(*p.state, out));
    EXPECT_EQ(qvtest::ReadAll(out), text);
}

TEST_F(Playlist, FailedWriteKeepsThePreviousFile) {
    const QString folder = PlayListFolder(*p.state);
    const QString f = folder + "kept.lst";
    p.dir.write("PlayLists/kept.lst", "old\r\n");
    list().AddToPlayList("/" + QString(5000, 'x') + ".mid");
    {
        // A full disk: no file may grow past 100 bytes.
        qvtest::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.ok());
        EXPECT_FALSE(SavePlayListFile(*p.state, f));
    }
    EXPECT_EQ(qvtest::ReadAll(f), QByteArray("old\r\n"));
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastPlayList"), "");  // nothing was written
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"kept.lst"});

    // A folder that cannot be written (only for a user the permissions hold for).
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const bool enforced = !QFile(folder + "probe").open(QIODevice::WriteOnly);
    if (enforced) {
        EXPECT_FALSE(SavePlayListFile(*p.state, f));
        EXPECT_EQ(qvtest::ReadAll(f), QByteArray("old\r\n"));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(Playlist, RegisteredPlaylistsInSortedOrder) {
    for (const char* name : {"b.lst", "A.lst", "c.LST", "a.lst", "z.txt"}) {
        p.dir.write(QString("PlayLists/") + name, "\r\n");
    }
    p.state->savePL->Form_Load();
    RegisterPlayLists(*p.state);
    QTreeWidgetItem* registered = p.state->mainForm->TV1->Node("RegisteredPlayList");
    QStringList texts;
    QStringList keys;
    for (int i = 0; i < registered->childCount(); ++i) {
        texts.append(registered->child(i)->text(0));
        keys.append(TreeView::Key(registered->child(i)));
    }
    // The pattern matches as on Windows, without regard to letter case.
    EXPECT_EQ(texts, (QStringList{"A", "a", "b", "c"}));
    EXPECT_EQ(keys.last(), PlayListFolder(*p.state) + "c.LST");
    // Again: no second node for any of them.
    RegisterPlayLists(*p.state);
    EXPECT_EQ(registered->childCount(), 4);
}

}  // namespace
}  // namespace qv
