// The playlist on a real main window over the scripted device: the records and their
// lines, ".lst" files and the save dialog, the editing commands, the list's clicks, keys and
// drops, and the popup items that add or replace.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QUrl>
#include <map>

#include "app/controls.h"
#include "app/find_bar.h"
#include "app/frm_hide_menu.h"
#include "app/tree_view.h"
#include "id3_builder.h"
#include "platform/filesystem.h"
#include "playlist/playlist_drop.h"
#include "playlist/playlist_edit.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_walk.h"
#include "program/find_wiring.h"
#include "program/playlist_wiring.h"
#include "support/cp932_python.h"
#include "support/fake_program.h"
#include "tags/tags.h"

namespace qv {
namespace {

// Editing wired, the registered-playlist node in the tree, one WAV file per letter in the
// playlist ("ABC": a.wav …), and entry `playing` opened and played.
struct Program : qvtest::FakeProgram {
    explicit Program(const QString& letters = {}, int playing = -1) {
        ConnectPlaylistEditing(*state, form());
        form().TV1->AddNode("", "root", "r", 1);
        form().TV1->AddNode("root", "RegisteredPlayList", "p", 2);
        for (QChar c : letters) Add(QString(c.toLower()) + ".wav");
        if (playing >= 0) player().OpenPlay(playing);
        Take();
    }
    QListWidget& list() { return *form().lstPL; }
    // Every entry as "path|type|line text", after checking that line i shows record i.
    QStringList Records() {
        const PlayListArray& data = state->PlayListData;
        EXPECT_EQ(list().count(), data.IsEmpty() ? 0 : data.Count());
        QStringList out;
        for (int i = 0; i < list().count() && i < data.Count(); ++i) {
            EXPECT_EQ(list().item(i)->text(), data[i].DisplayName);
            out << data[i].FilePath + '|' + data[i].MediaType + '|' + data[i].DisplayName;
        }
        return out;
    }
    // The first letters of the entries' lines.
    QString Order() {
        QString out;
        for (const QString& r : Records()) out += r.section('|', 2).left(1).toUpper();
        return out;
    }
    // The commands that open entry i and play it.
    QStringList Opened(int i) {
        return {"stop PlayData", "close PlayData", OpenCommand(i),
                "setaudio PlayData volume to 1000", "play PlayData"};
    }
    // The message boxes since the last call as "prompt|BI|title": B the buttons (0 OK, 1 Yes
    // and No), I the icon (0 none, 1 information).
    QStringList Asked() {
        QStringList out;
        for (const qvtest::AskedMessage& m : std::exchange(dialogs.asked, {}))
            out << m.prompt + QString("|%1%2|").arg(int(m.buttons)).arg(int(m.icon)) + m.title;
        return out;
    }
    // Writes n.wav, F/f.wav, F/sub/g.wav and x.LST, which names L/o.wav and L/p.wav; returns
    // the list file's path.
    QString DropFiles() {
        for (const char* f : {"n.wav", "F/f.wav", "F/sub/g.wav", "L/o.wav", "L/p.wav"})
            dir.write(f, qvtest::WavBytes(50));
        return dir.write("x.LST", (dir.file("L/o.wav\r\n") + dir.file("L/p.wav\r\n")).toUtf8());
    }
    // Drops the text, or the files of a file manager, on the list.
    void Drop(const QString& text, const QList<QUrl>& urls = {}) {
        QMimeData data;
        urls.isEmpty() ? data.setText(text) : data.setUrls(urls);
        QDragEnterEvent enter({}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list().viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop({}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list().viewport(), &drop);
        QApplication::processEvents();  // the drop is acted on once it is answered
        EXPECT_TRUE(WalksEnd());
    }
    // Waits for the playlist's walks, which add their files a batch at a time.
    bool WalksEnd() {
        return QTest::qWaitFor([this] { return !qv::PlayListWalking(*state); });
    }
};

const QStringList kStopped = {"stop PlayData", "seek PlayData to start"};

TEST(PlayListArray, NeverEmptyAndItsIndexCountsEveryRecordAndOnlyCleanPathsAreLines) {
    const auto item = [](const QString& path) { return PlayListItem{path, "MP3", path, 0}; };
    PlayListArray a;
    a.Set(0, item("/a"));
    a.Append(item("/a"));  // held twice for a moment, as a move copies records
    a.Remove(1);
    EXPECT_TRUE(a.Contains("/a"));
    a.Set(0, item("/c"));
    EXPECT_FALSE(a.Contains("") || a.Contains("/a"));
    a.Remove(0);  // the last record goes: the placeholder comes back
    // The placeholder's path is known as any other.
    EXPECT_TRUE(a.Count() == 1 && a.IsEmpty() && a.Contains("") && !a.Contains("/c"));
    // Only paths that cleaning leaves alone count as clean.
    for (const QString path :
         {"/", "/a", "/a/b.mp3", "a", "a/b", "/a/.b/c", "/a/..b", "/a/b..", "/a/.../c", "/ü/曲.mp3",
          "//a", "/a//b", "/a/", "a/", "/./a", "/a/.", "/a/..", "./a", "/a/b/../c"})
        EXPECT_EQ(IsCleanPath(path), QDir::cleanPath(path) == path) << path.toStdString();
    // Cleaning keeps these; they are left to it all the same.
    for (const QString& path : QStringList{"", ".", "..", "../a", "/a" + QString(QChar(0)) + "b"})
        EXPECT_FALSE(IsCleanPath(path)) << path.toStdString();
}

TEST(PlaylistEntries, AddedOneByOneOrFromListFilesOfWhichOnlyLinesNamingFilesCountInOrder) {
    Program p;
    clsPlayList& list = *p.state->objPlayList;
    const QString m = p.dir.path() + "m/";
    const QString tagged = p.dir.write("m/t.Mp3", qvtest::Id3Bytes("日本語のタイトル"));
    const QString bare = p.dir.write("m/bare.mp3", "no tag");
    const QString wav = p.dir.write("m/w.wav", qvtest::Id3Bytes("Not shown"));  // not a tag kind
    const QString midi = p.dir.write("m/tune.mid", qvtest::MidiBytes());
    // The newer kinds whose container holds the tag take their titles from it too; a WMA line
    // and the status bar keep to the file name and ID3, its hover text shows its own tag.
    QString error;
    const QString wma = qvtest::MakeMedia(qvtest::MediaKind::Wma, m, "v.wma", 200, &error,
                                          {"title=ウィンドウズの曲"});
    const QString flac =
        qvtest::MakeMedia(qvtest::MediaKind::Flac, m, "f.flac", 200, &error, {"title=可逆の曲"});
    ASSERT_FALSE(wma.isEmpty() || flac.isEmpty()) << qPrintable(error);
    {
        // Held lines wait for one insertion, yet are there for anyone who looks. Missing files
        // and unknown kinds are the callers' business; letter case makes another path.
        const clsPlayList::LineBatch batch(list);
        for (const QString& f : {midi, wma, m + "A.txt"}) EXPECT_TRUE(list.AddToPlayList(f));
        EXPECT_EQ(list.GetList(1) + list.GetList(2), "v.wmaA.txt");
        EXPECT_TRUE(list.AddToPlayList(m + "a.txt") && !list.AddToPlayList(midi));
    }
    QCoreApplication::processEvents();  // the setting is written from the event loop
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastOpenFile"), m + "a.txt");

    p.dir.write("m/.hidden.mp3", qvtest::Id3Bytes("Hidden"));
    const QStringList lines = {
        "//" + bare, "",     midi, m + ".hidden.mp3", m + "missing.mp3", tagged, bare,
        wav,         tagged, flac};
    const QString lst = p.dir.write("l.lst", (lines.join("\r\n") + "\r\n").toUtf8());
    EXPECT_EQ(LoadPlayListFile(*p.state, lst), 4);
    EXPECT_EQ(p.Records(),
              QStringList({midi + "|MIDI|tune.mid", wma + "|WMA|v.wma", m + "A.txt||A.txt",
                           m + "a.txt||a.txt", tagged + "|MP3|日本語のタイトル",
                           bare + "|MP3|bare.mp3", wav + "|WAVE|w.wav", flac + "|FLAC|可逆の曲"}));
    EXPECT_EQ(ReadShownTags(wma).Title + ReadShownTags(flac).Title, "v.wma可逆の曲");
    EXPECT_TRUE(EntryToolTip(wma).contains("ウィンドウズの曲"));
    // Again: nothing added, and the list's node is there once.
    EXPECT_EQ(LoadPlayListFile(*p.state, lst), 0);
    qv::TreeNode* registered = p.form().TV1->Node("RegisteredPlayList");
    ASSERT_EQ(registered->childCount(), 1);
    EXPECT_EQ(registered->child(0)->text(), "l");
    EXPECT_EQ(p.form().TV1->Image(registered->child(0)), 9);

    // A long list keeps its order while its files are read together.
    ResetPlayList(*p.state);
    QStringList many, expected;
    for (int i = 0; i < 600; ++i) {
        const QString f =
            p.dir.write(QString("m/%1.mp3").arg(i), qvtest::Id3Bytes(QString("T%1").arg(i)));
        many << f;
        if (i % 7 == 0) many << p.dir.path() + QString("m/gone%1.mp3").arg(i);
        if (i % 11 == 0) many << f;
        expected << f + "|MP3|T" + QString::number(i);
    }
    EXPECT_EQ(LoadPlayListFile(*p.state, p.dir.write("long.lst", many.join("\r\n").toUtf8())), 600);
    EXPECT_EQ(p.Records(), expected);
}

// Lists other programs wrote, their files all there: the Windows program's in code page 932
// (half-width katakana whose bytes are UTF-8 as well, beside full-width Japanese) and one made on
// Linux in UTF-8 (names whose bytes are code page 932 as well). Every entry loads; saved, the
// first is the same byte for byte, the second code page 932 where it holds a name, else UTF-8
// behind the mark.
TEST(PlaylistEntries, WindowsAndLinuxListsLoadWholeAndSaveAsTheWindowsProgramWrites) {
    Program p;
    QStringList windows, japanese, european;
    for (const auto& [list, names] : {std::pair{&windows, "音楽/DJﾅｶ/a|ABｶﾞ|ﾗｼﾞｵ/曲|DJﾅｶ"},
                                      {&japanese, "東京/a|ラジオ|香水/天体観測"},
                                      {&european, "Beyoncé|Sigur Rós/b|Dvořák|Ça va"}})
        for (const QString& name : QString(names).split(u'|'))
            *list << p.dir.write("m/" + name + ".wav", "x");
    QList<QByteArray> saved = qvtest::Cp932ByPython(japanese);
    for (const QByteArray& line : qvtest::Cp932ByPython(european, "utf-8"))
        saved << "\xEF\xBB\xBF" + line;
    for (const auto& [paths, codec] :
         {std::pair{windows, QString("cp932")}, {japanese + european, "utf-8"}}) {
        const QByteArray bytes = qvtest::Cp932ByPython(paths, codec).join("\r\n") + "\r\n";
        EXPECT_EQ(LoadPlayListFile(*p.state, p.dir.write("in.lst", bytes)), paths.size());
        ASSERT_TRUE(SavePlayListFile(*p.state, p.dir.file("out.lst")));
        EXPECT_EQ(qvtest::ReadAll(p.dir.file("out.lst")),
                  codec == "cp932" ? bytes : saved.join("\r\n") + "\r\n");
        p.state->objPlayList->Clear();
        p.state->PlayListData.Reset();
    }
}

// A relative line names a neighbour of the list file whatever the working folder, and every
// path is cleaned before it is stored.
TEST(PlaylistEntries, RelativeLinesNameTheListsNeighboursAndEveryPathIsStoredClean) {
    Program p;
    const QString a = p.dir.write("m/a.wav", "RIFF"), b = p.dir.write("m/b.wav", "RIFF");
    const QString lst =
        p.dir.write("m/l.lst", ("a.wav\r\n" + p.dir.path() + "m//./b.wav\r\n").toUtf8());
    const QString before = QDir::currentPath();
    QDir::setCurrent("/");
    EXPECT_EQ(LoadPlayListFile(*p.state, lst), 2);
    QDir::setCurrent(before);
    EXPECT_EQ(p.Records(), QStringList({a + "|WAVE|a.wav", b + "|WAVE|b.wav"}));
}

TEST(SavePlayList, NamesAreCompletedRefusedOrAskedAboutAndSaveOpensTheDialogAnew) {
    Program p("A");
    p.Add("曲/さくら.wav");
    // Code page 932 where a path fits it, CR LF after each.
    const QByteArray saved = qvtest::Cp932ByPython({p.Path(0), p.Path(1)}).join("\r\n") + "\r\n";
    const QString folder = PlayListFolder(*p.state);
    p.dir.write("PlayLists/old.lst", "old\r\n");
    frmSavePL& dialog = *p.state->savePL;
    dialog.Form_Load();
    RegisterPlayLists(*p.state);
    EXPECT_TRUE(p.form().TV1->Node(folder + "old.lst"));
    const QString badChar = "ファイル名に「/」などの使えない文字が含まれています|00|Quorvane";
    const QString overwrite = "old.lstはすでに存在します、上書きしてよろしいですか?|11|上書き確認";
    const QString tooLong(300, QChar(0x3042));  // longer than a file name may be
    const QString failed =
        ".lst に保存できませんでした。ディスクの空きと書き込みの権限を確かめてください|00|Quorvane";
    p.dialogs.answers = {MsgAnswer::No, MsgAnswer::Yes};  // to the first two questions
    // Each name typed, the file saved ("": the dialog stays open) and the message asked.
    const std::tuple<QString, QString, QString> cases[] = {
        {"old", "", overwrite},
        {"old.lst", "old.lst", overwrite},
        {"OLD", "OLD.lst", ""},  // another file: not asked about
        {"a.Lst", "a.Lst", ""},
        {"a.txt", "a.txt.lst", ""},
        {"", "", "ファイル名を入力してください|00|Quorvane"},
        {"sub/list", "", badChar},
        {"a" + QString(QChar(0)) + "b", "", badChar},
        {"..", "", "「.」で始まる名前は使えません|00|Quorvane"},
        {tooLong, "", folder + tooLong + failed},
    };
    for (const auto& [typed, file, asked] : cases) {
        SCOPED_TRACE(typed.toStdString());
        dialog.show();
        dialog.Text1->setText(typed);
        QTest::keyClick(dialog.Text1, Qt::Key_Return);  // Enter acts as OK
        EXPECT_EQ(p.Asked(), asked.isEmpty() ? QStringList() : QStringList{asked});
        EXPECT_EQ(dialog.isVisible(), file.isEmpty());
        if (file.isEmpty()) {
            EXPECT_EQ(dialog.Text1->selectedText(), typed);  // to be corrected in place
        } else {
            EXPECT_EQ(qvtest::ReadAll(folder + file), saved);
            EXPECT_EQ(p.state->ini.ReadIni("File", "LastPlayList"), folder + file);
            EXPECT_TRUE(p.form().TV1->Node(folder + file));
        }
    }
    dialog.cmdCancel->click();
    EXPECT_FALSE(dialog.isVisible());

    // "Save" opens it modally, as if loaded anew; wired twice, it is connected once.
    ConnectSavePlayList(*p.state, p.form());
    ConnectSavePlayList(*p.state, p.form());
    p.dir.write("PlayLists/later.lst", "\r\n");
    p.dialogs.answers = {MsgAnswer::Yes};
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(dialog.Text1->text(), "");
        QListWidgetItem* later = dialog.File1->findItems("later.lst", Qt::MatchExactly).value(0);
        QTest::mouseClick(dialog.File1->viewport(), Qt::LeftButton, {},
                          dialog.File1->visualItemRect(later).center());
        QTest::mouseDClick(dialog.Text1, Qt::MiddleButton);
        EXPECT_EQ(dialog.Text1->selectedText(), "");  // the left button only selects it all
        QTest::mouseDClick(dialog.Text1, Qt::LeftButton);
        EXPECT_EQ(dialog.Text1->selectedText(), "later.lst");
        dialog.cmdOK->click();
    });
    QTimer::singleShot(5000, &dialog, &QDialog::reject);  // never hang on a fault
    emit p.form().lblSave->clicked();
    EXPECT_EQ(p.Asked(),
              QStringList{"later.lstはすでに存在します、上書きしてよろしいですか?|11|上書き確認"});
    EXPECT_EQ(qvtest::ReadAll(folder + "later.lst"), saved);
    ResetPlayList(*p.state);
    emit p.form().lblSave->clicked();
    EXPECT_EQ(p.Asked(), QStringList{"プレイリストが空です|00|Quorvane"});
}

TEST(PlaylistEditing, StripCommandsKeepLinesRecordsAndPlayingIDInStep) {
    enum Then { Nothing, Plays, Opens, Stops };
    const auto up = &frmQuorvane::imgUp, down = &frmQuorvane::imgDown;
    const auto remove = &frmQuorvane::lblRemove, clear = &frmQuorvane::lblClear;
    const auto shuffle = &frmQuorvane::lblShuffle;
    const QStringList clearAsked = {"プレイリストをクリアしてよろしいですか?|11|Quorvane"};
    struct Case {
        ClickLabel* frmQuorvane::*command;
        QString start, mode, order;
        int playing, selected, selectedAfter, playingAfter;
        Then then;  // Stops: a clear answered Yes
    } const cases[] = {
        {up, "ABC", "PLAYING", "BAC", 1, 1, 0, 0, Nothing},
        {up, "ABC", "PLAYING", "ACB", 1, 2, 1, 2, Nothing},
        {down, "ABC", "PLAYING", "BAC", 1, 0, 1, 0, Nothing},
        {up, "ABC", "PLAYING", "ABC", 1, 0, 0, 1, Nothing},
        {down, "ABC", "PLAYING", "ABC", 1, 2, 2, 1, Nothing},
        {remove, "ABC", "PLAYING", "AB", 2, 2, 1, 1, Plays},    // the last, playing
        {remove, "ABC", "PLAYING", "BC", 2, 0, 0, 1, Nothing},  // above the playing one
        {remove, "ABC", "PLAYING", "AB", 0, 2, 1, 0, Nothing},  // below it
        {remove, "ABC", "STOPPED", "AC", 1, 1, 1, 1, Opens},    // a middle one, stopped
        {remove, "A", "PLAYING", "", 0, 0, -1, 0, Stops},       // the only one
        {clear, "ABC", "PLAYING", "ABC", 1, 1, 1, 1, Nothing},
        {clear, "ABC", "PLAYING", "", 1, 1, -1, 1, Stops},
        {shuffle, "A", "PLAYING", "A", 0, -1, 0, 0, Nothing},
        {shuffle, "", "", "", -1, -1, -1, 65535, Nothing},  // the placeholder is no line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.start + c.mode).toStdString() + std::to_string(c.selected));
        Program p(c.start, c.playing);
        if (c.mode == "STOPPED") p.player().StopPlay();
        p.Take();
        p.state->objPlayList->SetListIndex(c.selected);
        p.list().setToolTip("x");
        p.dialogs.answers = {c.then == Stops ? MsgAnswer::Yes : MsgAnswer::No};
        qvtest::Click(p.form().*c.command);
        EXPECT_EQ(p.Order(), c.order);
        EXPECT_EQ(p.list().currentRow(), c.selectedAfter);
        EXPECT_EQ(p.player().PlayingID(), c.playingAfter);
        EXPECT_EQ(p.Take(), c.then == Stops ? kStopped
                            : c.then == Nothing
                                ? QStringList()
                                : p.Opened(c.selectedAfter).mid(0, c.then == Plays ? 5 : 4));
        EXPECT_EQ(p.Asked(), c.command == clear ? clearAsked : QStringList());
        const QString shown = c.selectedAfter < 0 ? QString() : p.Path(c.selectedAfter);
        EXPECT_EQ(p.list().toolTip(), c.command == clear ? "" : c.command == remove ? shown : "x");
        EXPECT_TRUE(shown.isEmpty() || p.form().windowTitle() == "Quorvane - " + shown);
    }
}

TEST(PlaylistEditing, ShuffleGivesEveryOrderTheSameChanceAndKeepsThePlayingEntryPlaying) {
    Program p("ABC", 1);
    const QString playing = p.Path(1);
    p.state->random.seed(20240607);
    // Counted is where each shuffle moved the entries, not the order reached:
    // shuffles applied one after another even out, a biased one too.
    std::map<QString, int> seen;
    for (int i = 0; i < 60000; ++i) {
        const QString before = p.Order();
        ShufflePlayList(*p.state);
        // The playing entry is selected under its new index.
        ASSERT_EQ(p.Path(p.player().PlayingID()), playing);
        ASSERT_EQ(p.list().currentRow(), p.player().PlayingID());
        QString moved;
        for (QChar c : p.Order()) moved += QString::number(before.indexOf(c));
        ++seen[moved];
    }
    ASSERT_EQ(seen.size(), 6u);
    // Each order is expected 10,000 times (standard deviation about 91); an
    // order drawn from the whole range every step comes 8,889 or 11,111 times.
    for (const auto& [order, count] : seen) EXPECT_NEAR(count, 10000, 500) << order.toStdString();
}

// Enter and a left double-click play; the list answers the left button only, the strip the left
// and the right one. Delete removes the selected line as "Remove" does, but neither in the
// folder box nor in the tree. Hovered, a line tells its whole title, the artist and the album,
// and its path.
TEST(PlaylistEditing, EnterClicksDeleteAndTheStripActOnTheListAndAHoveredLineTellsItsTags) {
    Program p("ABCD");
    const QString song = p.dir.write(
        "s.mp3", qvtest::Id3Bytes("Title <longer> than its line", "Someone", "", "Album"));
    p.state->objPlayList->AddToPlayList(song);
    p.form().show();
    p.form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.form()));
    p.state->objPlayList->SetListIndex(0);
    QTest::keyClick(&p.list(), Qt::Key_Return);
    EXPECT_EQ(p.Take(), p.Opened(0));
    QWidget* viewport = p.list().viewport();
    const QPoint b = p.list().visualItemRect(p.list().item(1)).center();
    QTest::mouseClick(viewport, Qt::RightButton, {}, b);
    EXPECT_EQ(p.list().currentRow(), 0);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, b);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, b);
    EXPECT_EQ(p.Take(), p.Opened(1));
    // A click on the line selected already shows that entry again.
    p.form().setWindowTitle("elsewhere");
    QTest::mouseClick(viewport, Qt::LeftButton, {}, b);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(1));
    EXPECT_EQ(p.Take(), QStringList());
    QTest::mouseClick(p.form().lblRemove, Qt::MiddleButton);
    QTest::mouseClick(p.form().lblRemove, Qt::RightButton);
    EXPECT_EQ(p.Order(), "ACDT");
    p.state->objPlayList->SetListIndex(1);
    for (QWidget* keeps : QWidgetList{p.form().Text1, p.form().TV1, &p.list()}) {
        keeps->setFocus();
        QTest::keyClick(keeps, Qt::Key_Delete);
    }
    EXPECT_EQ(p.Order(), "ADT");
    const auto tip = [&](int row) {
        const QPoint at = p.list().visualItemRect(p.list().item(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        return QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
    };
    EXPECT_EQ(tip(2),
              "Title <longer> than its line\nアーティスト: Someone\nアルバム: Album\n" + song);
    EXPECT_EQ(tip(0), "a.wav\n" + p.Path(0));
}

TEST(PlaylistEditing, DropsAddPlayOrOpenThePopupWhoseItemsAddOrReplace) {
    enum Then { Nothing, Plays, Stops };
    Program p;
    const QString lst = p.DropFiles(), media = p.dir.file("n.wav"), folder = p.dir.file("F");
    const std::tuple<QString, QString, QString, Then> cases[] = {
        {media, "", "AN", Plays},
        {media, "", "AN", Nothing},
        {folder, "mnAddListNoneOnly", "AF", Nothing},
        {folder, "mnAddListNoneSub", "AFG", Nothing},
        {folder, "mnAddListClearOnly", "F", Stops},
        {folder, "mnAddListClearSub", "FG", Stops},
        {folder, "mnAddListCancel", "A", Nothing},
        {lst, "mnAddPlayList", "AOP", Nothing},
        {lst, "mnAddPlayListRep", "OP", Stops},
        {lst, "mnAddPlayListCancel", "A", Nothing},
    };
    for (const auto& [text, item, order, then] : cases) {
        SCOPED_TRACE((text + " " + item).toStdString());
        ResetPlayList(*p.state);
        p.Add("a.wav");
        p.player().PlayState(then == Plays ? PlayerState::Stopped
                                           : PlayerState::Playing);  // a drop plays if stopped
        p.Take();
        p.dialogs.menuChoices = {item};
        p.Drop(text);
        EXPECT_EQ(p.Order(), order);
        EXPECT_EQ(p.Take(), then == Plays   ? p.Opened(order.size() - 1)
                            : then == Stops ? kStopped
                                            : QStringList());
        EXPECT_TRUE(then != Stops || p.player().PlayState() == PlayerState::Ready);
        EXPECT_EQ(p.state->strClickedPath,
                  item.isEmpty() || item.endsWith("Cancel") ? QString() : text);
    }
    EXPECT_FALSE(p.state->HideMenu().mnTreeExpand->isVisible() ||
                 p.state->HideMenu().sp40->isVisible());
    // Files from a file manager are taken one by one.
    ResetPlayList(*p.state);
    p.Take();
    p.Drop("", {QUrl::fromLocalFile(media), QUrl::fromLocalFile(p.dir.write("notes.txt", "x")),
                QUrl::fromLocalFile(folder + "/"), QUrl::fromLocalFile(lst)});
    EXPECT_EQ(p.Order(), "N");
    EXPECT_EQ(p.Take(), p.Opened(0));
    EXPECT_EQ(p.dialogs.poppedMenus.last(2), QStringList({"mnAddListDrop", "mnNodePL"}));
    EXPECT_EQ(p.state->strClickedPath, lst);

    // A folder dropped while a walk runs is walked after it; so is a file's folder dropped
    // after a folder.
    ResetPlayList(*p.state);
    p.dialogs.menuChoices = {"mnAddListNoneSub", "mnAddListNoneOnly"};
    DropTextOnPlayList(*p.state, folder);
    DropTextOnPlayList(*p.state, p.dir.file("L"));
    EXPECT_TRUE(qv::PlayListWalking(*p.state) && p.WalksEnd());
    EXPECT_EQ(p.Order() + p.state->strClickedPath, "FGOP" + p.dir.file("L"));
    ResetPlayList(*p.state);
    p.dialogs.menuChoices = {"mnAddListNoneSub"};
    p.Drop("", {QUrl::fromLocalFile(folder), QUrl::fromLocalFile(media)});
    EXPECT_EQ(p.Order(), "FGN");
}

// A folder whose media files all name their track goes in disc and track order, its subfolders
// in their places; one file without a number leaves the folder in name order.
TEST(PlaylistEditing, AnAlbumFolderIsAddedInDiscAndTrackOrder) {
    using namespace qvtest::id3;
    Program p;
    const auto song = [&](const QString& name, const char* title, const QByteArray& frames) {
        p.dir.write("Alb/" + name, Tag(3, Frame23("TIT2", TextBody(0, title)) + frames));
    };
    const auto track = [](const char* n) { return Frame23("TRCK", TextBody(0, n)); };
    song("1.mp3", "C", track("3/3"));
    song("2.mp3", "A", track("1"));
    song("10.mp3", "B", track("2") + Frame23("TPOS", TextBody(0, "1/1")));
    song("5 s/x.mp3", "S", {});
    p.dialogs.menuChoices = {"mnAddListClearSub", "mnAddListClearSub"};
    p.Drop(p.dir.file("Alb"));
    EXPECT_EQ(p.Order(), "ABSC");
    song("3.mp3", "D", {});
    p.Drop(p.dir.file("Alb"));
    EXPECT_EQ(p.Order(), "CADSB");
}

// Ctrl+Z takes each change of the lines back as one step, Ctrl+Y and Ctrl+Shift+Z make it again,
// and neither touches the device: PlayingID follows the file the player opened, and a file that
// left the list goes on outside it. Shown as the order, the letter PlayingID names ("-": none)
// and the file the player has.
TEST(PlaylistUndo, EveryChangeOfTheLinesIsOneStepAndThePlayingFileIsFollowed) {
    Program p;
    p.form().show();
    p.form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.form()));
    const QString lst = p.DropFiles(), media = p.dir.file("n.wav");
    const auto now = [&] {
        const QString order = p.Order();
        const int id = p.player().PlayingID();
        return order + ' ' + (id >= 0 && id < order.size() ? order.mid(id, 1) : "-") + ' ' +
               QFileInfo(p.player().CurrentPath()).fileName().left(1).toUpper();
    };
    const auto key = [&](QKeyCombination k) {
        QTest::keyClick(&p.form(), k.key(), k.keyboardModifiers());
        return now();
    };
    const QKeyCombination undo = Qt::CTRL | Qt::Key_Z, redo = Qt::CTRL | Qt::Key_Y;
    // The command clicked, else the text dropped and the popup's item chosen; the line selected
    // first, and what undo and redo show ("" for the list as the command left it).
    std::tuple<ClickLabel * frmQuorvane::*, QString, QString, int, QString, QString> rows[] = {
        {&frmQuorvane::lblRemove, "", "", 2, "ABC B B", ""},
        {&frmQuorvane::imgUp, "", "", 1, "ABC B B", ""},
        {&frmQuorvane::lblShuffle, "", "", 0, "ABC B B", ""},
        {&frmQuorvane::lblClear, "", "", 0, "ABC B B", " - B"},  // the cleared file stays open
        {nullptr, media, "", 0, "ABC - N", ""},                  // played when stopped
        {nullptr, p.dir.file("F"), "mnAddListClearSub", 0, "ABC B B", "FG - B"},  // a walk
        {nullptr, lst, "mnAddPlayList", 0, "ABC B B", ""},
    };
    for (const auto& [command, dropped, item, selected, undone, redone] : rows) {
        SCOPED_TRACE(undone.toStdString() + " " + std::to_string(selected));
        ResetPlayList(*p.state);
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) p.Add(name);
        p.player().OpenPlay(1);
        if (undone.contains('N')) p.player().StopPlay();
        p.state->objPlayList->SetListIndex(selected);
        p.dialogs.answers = {MsgAnswer::Yes};
        p.dialogs.menuChoices = {item};
        command ? qvtest::Click(p.form().*command) : p.Drop(dropped);
        const QString after = now();
        p.Take();
        EXPECT_EQ(key(undo), undone);
        EXPECT_TRUE(p.state->PlayListData.TakeChanged());  // kept as any edit is
        EXPECT_EQ(key(undo), undone);                      // the one step there was
        EXPECT_EQ(key(redo), redone.isEmpty() ? after : redone);
        key(undo);
        EXPECT_EQ(key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), redone.isEmpty() ? after : redone);
        EXPECT_EQ(p.Take(), QStringList());
    }
    // Sixty steps and the one before them all come back; a change made without a step (the
    // start's restore) lets the steps go, as they no longer fit the list. The folder box keeps
    // Ctrl+Z and Ctrl+Y for its text.
    p.state->objPlayList->SetListIndex(0);
    for (int i = 0; i < 60; ++i) qvtest::Click(i % 2 ? p.form().imgUp : p.form().imgDown);
    int back = 0;
    for (int i = 0; i < 70; ++i) {
        const QString before = p.Order();
        back += key(undo).left(before.size()) != before;
    }
    EXPECT_EQ(back, 61);
    EXPECT_EQ(key(redo).left(5), "ABCOP");
    p.Add("d.wav");
    EXPECT_EQ(key(undo).left(6), "ABCOPD");
    qvtest::Click(p.form().imgDown);
    p.form().Text1->setFocus();
    QTest::keyClicks(p.form().Text1, "xy");
    QTest::keyClick(p.form().Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(p.form().Text1->text() + p.Order(), "BACOPD");
    p.list().setFocus();
    EXPECT_EQ(key(undo).left(6), "ABCOPD");
    p.form().Text1->setFocus();
    QTest::keyClick(p.form().Text1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(p.Order(), "ABCOPD");
}

// Ctrl+F narrows the tree's file nodes (and the folders holding them) and the
// playlist's lines (by text, file name and tags), folding case, full- and
// half-width forms and kana; Enter plays the first line found, else adds and
// plays the first file node found; Esc shows all again and closes what it opened.
TEST(FindBar, NarrowsTreeAndListAcrossWidthAndKanaAndEnterPlaysWhatItFoundFirst) {
    Program p("AB");
    p.state->objPlayList->AddToPlayList(
        p.dir.write("s.mp3", qvtest::Id3Bytes("夜明けの歌", "ヤマダ", "", "Ｍｏｒｎｉｎｇ")));
    TreeView& tree = *p.form().TV1;
    const QString folder = p.dir.path() + "F";
    tree.AddNode("root", folder, "F", 3);
    QStringList files;
    for (const QString name : {"NightTrain.wav", "ﾖﾙ.wav", "g.wav"}) {
        files << p.dir.write("F/" + name, qvtest::WavBytes(50));
        tree.AddNode(folder, files.back(), name, 5);
    }
    ConnectFindBar(*p.state, p.form());
    p.form().show();
    p.form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.form()));
    FindBar& bar = *p.form().fraFind;
    EXPECT_TRUE(bar.isHidden());
    p.list().setFocus();
    QTest::keyClick(&p.form(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.geometry().bottom(), p.form().height() - 1);
    // Rows and nodes that can be seen: a node under a hidden one cannot.
    const auto seen = [&] {
        QString rows;
        for (int r = 0; r < p.list().count(); ++r)
            rows += p.list().isRowHidden(r) ? "" : p.list().item(r)->text().left(1);
        QStringList nodes;
        for (const QString& key : QStringList{folder} + files) {
            bool shown = true;
            for (qv::TreeNode* n = tree.Node(key); n; n = n->parent())
                shown = shown && !n->isHidden();
            if (shown) nodes << QFileInfo(key).fileName();
        }
        return rows + "|" + nodes.join(',');
    };
    const std::map<QString, QString> found = {
        {"やまだ", "夜|"},      // artist, hiragana for katakana
        {"morn", "夜|"},        // full-width album
        {"A.WAV", "a|"},        // file name, letter case
        {"よる", "|F,ﾖﾙ.wav"},  // half-width katakana in the tree
        {"train", "|F,NightTrain.wav"},
        {"", "ab夜|F,NightTrain.wav,ﾖﾙ.wav,g.wav"}};
    for (const auto& [query, want] : found) {
        bar.txtFind->setText(query);
        EXPECT_EQ(seen(), want) << query.toStdString();
    }
    bar.txtFind->setText("ＴＲＡＩＮ");
    EXPECT_TRUE(tree.Node(folder)->isExpanded());
    p.Take();
    QTest::keyClick(bar.txtFind, Qt::Key_Return);
    EXPECT_EQ(p.Take(), p.Opened(3));
    EXPECT_EQ(p.Path(3), files[0]);
    bar.txtFind->setText("B");
    QTest::keyClick(bar.txtFind, Qt::Key_Return);
    EXPECT_EQ(p.Take(), p.Opened(1));
    QTest::keyClick(bar.txtFind, Qt::Key_Escape);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(QApplication::focusWidget(), &p.list());
    EXPECT_EQ(seen(), "ab夜N|F,NightTrain.wav,ﾖﾙ.wav,g.wav");
    EXPECT_FALSE(tree.Node(folder)->isExpanded());
}

}  // namespace
}  // namespace qv
