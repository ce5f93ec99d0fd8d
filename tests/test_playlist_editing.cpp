// Editing the playlist through the real strip, list box and popups (offscreen,
// the scripted device): moves, removals, clear, shuffle, clicks and keys,
// drops of text and of files, and the popup items that add or replace.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <map>

#include "app/controls.h"
#include "app/frm_hide_menu.h"
#include "app/tree_view.h"
#include "library/tree_handlers.h"
#include "playlist/playlist_drop.h"
#include "playlist/playlist_edit.h"
#include "program/playlist_wiring.h"
#include "support/fake_program.h"

namespace qv {
namespace {

QString Sorted(QString s) {
    std::sort(s.begin(), s.end());
    return s;
}

// A program whose playlist holds one WAV file per letter ("ABC": a.wav …).
struct Program : qvtest::FakeProgram {
    explicit Program(const QString& letters = {}) {
        ConnectPlaylistEditing(*state, form());
        form().resize(800, 600);
        form().show();
        for (QChar c : letters) Add(QString(c.toLower()) + ".wav");
    }
    QListWidget& list() { return *form().lstPL; }
    // The records' letters, after checking that line i shows record i.
    QString Order() {
        const PlayListArray& data = state->PlayListData;
        EXPECT_EQ(list().count(), data.IsEmpty() ? 0 : data.Count());
        QString out;
        for (int i = 0; i < list().count() && i < data.Count(); ++i) {
            EXPECT_EQ(list().item(i)->text(), data[i].DisplayName);
            out += data[i].DisplayName.left(1).toUpper();
        }
        return out;
    }
    int Selected() {
        const int row = list().currentRow();
        return row >= 0 && list().item(row)->isSelected() ? row : -1;
    }
    void Select(int i) { state->objPlayList->SetListIndex(i); }
    // Entry i opened and played, then the command log emptied.
    void Playing(int i) {
        player().OpenPlay(i);
        Take();
    }
    QStringList Opened(int i, bool play) {
        QStringList c{"stop PlayData", "close PlayData", OpenCommand(i)};
        if (play) c << "play PlayData";
        return c;
    }
    void Drop(QMimeData* data) {
        std::unique_ptr<QMimeData> owned(data);
        QWidget* viewport = list().viewport();
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QApplication::processEvents();  // the drop is acted on once it is answered
    }
    void DropText(const QString& text) {
        auto* data = new QMimeData;
        data->setText(text);
        Drop(data);
    }
    // A real mouse event on line i of the list.
    void Mouse(QEvent::Type type, int i) {
        const QPointF at = list().visualItemRect(list().item(i)).center();
        QWidget* viewport = list().viewport();
        const auto buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    }
};

TEST(PlaylistEditing, MovesFollowThePlayingEntryAndNeverTouchTheDevice) {
    struct Case {
        int selected, playing;
        bool up;
        QString order;
        int playingAfter, selectedAfter;
    } const cases[] = {
        {1, 1, true, "BAC", 0, 0},  {2, 1, true, "ACB", 2, 1},   {0, 1, false, "BAC", 0, 1},
        {1, 1, false, "ACB", 2, 2}, {2, 0, true, "ACB", 0, 1},   {0, 1, true, "ABC", 1, 0},
        {2, 1, false, "ABC", 1, 2}, {-1, 1, true, "ABC", 1, -1}, {-1, 1, false, "ABC", 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.selected << (c.up ? " up" : " down"));
        Program p("ABC");
        p.Playing(c.playing);
        p.Select(c.selected);
        qvtest::Click(c.up ? p.form().imgUp : p.form().imgDown);
        EXPECT_EQ(p.Order(), c.order);
        EXPECT_EQ(p.player().PlayingID(), c.playingAfter);
        EXPECT_EQ(p.Selected(), c.selectedAfter);
        EXPECT_EQ(p.Take(), QStringList());
        EXPECT_EQ(p.player().PlayState(), "PLAYING");
        EXPECT_TRUE(c.selectedAfter < 0 ||
                    p.form().windowTitle() == "Quorvane - " + p.Path(c.selectedAfter));
    }
}

TEST(PlaylistEditing, RemoveSelectsTheFollowerAndCarriesPlaybackOn) {
    enum Then { Nothing, Plays, Opens, Stops };
    struct Case {
        QString start;
        int selected, playing;
        QString mode;
        QString order;
        int selectedAfter, playingAfter;
        Then then;
    } const cases[] = {
        {"ABC", 2, 2, "PLAYING", "AB", 1, 1, Plays},    // the last, playing
        {"ABC", 0, 0, "PLAYING", "BC", 0, 0, Plays},    // the first, playing
        {"ABC", 0, 2, "PLAYING", "BC", 0, 1, Nothing},  // above the playing one
        {"ABC", 2, 0, "PLAYING", "AB", 1, 0, Nothing},  // below it
        {"AB", 1, 1, "STOPPED", "A", 0, 0, Opens},      // the last, stopped
        {"ABC", 1, 1, "STOPPED", "AC", 1, 1, Opens},    // a middle one, stopped
        {"ABC", 1, 1, "PAUSED", "AC", 1, 1, Nothing},   // paused: left alone
        {"A", 0, 0, "PLAYING", "", -1, 0, Stops},       // the only one
        {"ABC", -1, 1, "PLAYING", "ABC", -1, 1, Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.start + " " + c.mode).toStdString() + " " + std::to_string(c.selected));
        Program p(c.start);
        p.Playing(c.playing);
        if (c.mode == "STOPPED") p.player().StopPlay();
        if (c.mode == "PAUSED") p.player().Pause();
        p.Take();
        p.Select(c.selected);
        qvtest::Click(p.form().lblRemove);
        EXPECT_EQ(p.Order(), c.order);
        EXPECT_EQ(p.Selected(), c.selectedAfter);
        EXPECT_EQ(p.player().PlayingID(), c.playingAfter);
        QStringList sent;
        if (c.then == Plays || c.then == Opens) sent = p.Opened(c.selectedAfter, c.then == Plays);
        if (c.then == Stops) sent = {"stop PlayData", "seek PlayData to start"};
        EXPECT_EQ(p.Take(), sent);
        EXPECT_TRUE(c.then == Nothing || c.then == Plays || p.player().PlayState() == "READY");
        const QString shown = c.selectedAfter >= 0 ? p.Path(c.selectedAfter) : QString();
        EXPECT_EQ(p.list().toolTip(), shown);
        EXPECT_TRUE(shown.isEmpty() || p.form().windowTitle() == "Quorvane - " + shown);
    }
}

TEST(PlaylistEditing, ClearAsksAndOnlyYesEmptiesTheListAndStops) {
    Program p("ABC");
    p.Playing(1);
    p.list().setToolTip("x");
    p.dialogs.answers = {MsgAnswer::No, MsgAnswer::Yes};
    qvtest::Click(p.form().lblClear);
    ASSERT_EQ(p.dialogs.asked.size(), 1);
    EXPECT_EQ(p.dialogs.asked[0].prompt, "プレイリストをクリアしてよろしいですか?");
    EXPECT_EQ(p.dialogs.asked[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(p.dialogs.asked[0].icon, MsgIcon::Information);
    EXPECT_EQ(p.dialogs.asked[0].title, "Quorvane");
    EXPECT_EQ(p.Order(), "ABC");
    EXPECT_EQ(p.list().toolTip(), "");
    EXPECT_EQ(p.Take(), QStringList());

    qvtest::Click(p.form().lblClear);
    EXPECT_EQ(p.Order(), "");
    EXPECT_TRUE(p.state->PlayListData.IsEmpty());
    EXPECT_EQ(p.Take(), QStringList({"stop PlayData", "seek PlayData to start"}));
    EXPECT_EQ(p.player().PlayState(), "READY");
    EXPECT_EQ(p.player().PlayingID(), 1);
}

TEST(PlaylistEditing, ShuffleKeepsThePlayingEntryPlayingAndSelected) {
    Program p("ABCDEF");
    p.Playing(3);
    const QString playing = p.Path(3);
    QSet<QString> orders;
    for (int round = 0; round < 20; ++round) {
        qvtest::Click(p.form().lblShuffle);
        orders.insert(p.Order());
        EXPECT_EQ(Sorted(p.Order()), "ABCDEF");
        ASSERT_EQ(p.Path(p.player().PlayingID()), playing);
        EXPECT_EQ(p.Selected(), p.player().PlayingID());
    }
    EXPECT_GT(orders.size(), 1);
    EXPECT_EQ(p.Take(), QStringList());
    EXPECT_EQ(p.player().PlayState(), "PLAYING");

    Program empty;
    qvtest::Click(empty.form().lblShuffle);
    EXPECT_EQ(empty.list().count(), 0);
    EXPECT_TRUE(empty.state->PlayListData.IsEmpty());
}

TEST(PlaylistEditing, ShuffleGivesEveryOrderOfThreeTheSameChance) {
    Program p("ABC");  // nothing playing: PlayingID names no entry
    p.state->random.seed(20240607);
    // Counted is where each shuffle moved the entries, not the order reached:
    // shuffles applied one after another even out, a biased one too.
    std::map<QString, int> seen;
    const int rounds = 60000;
    QString before = p.Order();
    for (int i = 0; i < rounds; ++i) {
        ShufflePlayList(*p.state);
        const QString after = p.Order();
        QString moved;
        for (QChar c : after) moved += QString::number(before.indexOf(c));
        ++seen[moved];
        before = after;
    }
    ASSERT_EQ(seen.size(), 6u);
    // Each order is expected 10,000 times (standard deviation about 91); an
    // order drawn from the whole range every step comes 8,889 or 11,111 times.
    for (const auto& [order, count] : seen)
        EXPECT_NEAR(count, rounds / 6, 500) << order.toStdString();
    EXPECT_EQ(p.player().PlayingID(), 65535);
    EXPECT_EQ(p.Selected(), -1);
}

TEST(PlaylistEditing, DoubleClickEnterAndASecondClickActOnTheSelectedLine) {
    Program p("ABC");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&p.list(), &enter);  // no line selected
    EXPECT_EQ(p.Take(), QStringList());
    p.Select(2);
    QApplication::sendEvent(&p.list(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(p.Take(), p.Opened(2, true));
    EXPECT_EQ(p.form().Panel(1)->text(), "> c.wav");

    p.Mouse(QEvent::MouseButtonPress, 1);
    p.Mouse(QEvent::MouseButtonRelease, 1);
    p.Mouse(QEvent::MouseButtonDblClick, 1);
    p.Mouse(QEvent::MouseButtonRelease, 1);
    EXPECT_EQ(p.Take(), p.Opened(1, true));
    EXPECT_EQ(p.player().PlayingID(), 1);

    p.form().setWindowTitle("elsewhere");
    p.Mouse(QEvent::MouseButtonPress, 1);
    p.Mouse(QEvent::MouseButtonRelease, 1);
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + p.Path(1));
    EXPECT_EQ(p.Take(), QStringList());
}

// A double-click as a real mouse gives it: press and release, then a second
// press that Qt delivers as a double-click, and its release.
void DoubleClick(QWidget* w, Qt::MouseButton button, QPoint at = {}) {
    QTest::mouseClick(w, button, {}, at);
    QTest::mouseDClick(w, button, {}, at);
    QTest::mouseRelease(w, button, {}, at);
}

TEST(PlaylistEditing, OneClickIsOneActionFromTheButtonsThatClick) {
    Program p("ABCDEFGH");
    // The strip answers the left and the right button; a double-click is one click.
    const struct {
        Qt::MouseButton button;
        bool twice;
        int removed;
    } cases[] = {{Qt::LeftButton, true, 1},
                 {Qt::RightButton, true, 1},
                 {Qt::RightButton, false, 1},
                 {Qt::MiddleButton, false, 0},
                 {Qt::MiddleButton, true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.button << (c.twice ? " twice" : " once"));
        p.Select(0);
        const int before = p.list().count();
        if (c.twice)
            DoubleClick(p.form().lblRemove, c.button);
        else
            QTest::mouseClick(p.form().lblRemove, c.button);
        EXPECT_EQ(before - p.list().count(), c.removed);
    }
    // The list answers the left button only: no other selects or plays a line.
    QWidget* viewport = p.list().viewport();
    const auto line = [&](int i) { return p.list().visualItemRect(p.list().item(i)).center(); };
    p.Select(0);
    p.form().setWindowTitle("before");
    QTest::mouseClick(viewport, Qt::RightButton, {}, line(1));
    QTest::mouseClick(viewport, Qt::MiddleButton, {}, line(2));
    DoubleClick(viewport, Qt::RightButton, line(1));
    DoubleClick(viewport, Qt::MiddleButton, line(2));
    EXPECT_EQ(p.Selected(), 0);
    EXPECT_EQ(p.form().windowTitle(), "before");
    EXPECT_EQ(p.Take(), QStringList());
    DoubleClick(viewport, Qt::LeftButton, line(1));
    EXPECT_EQ(p.Take(), p.Opened(1, true));
}

TEST(PlaylistEditing, DroppedTextAddsPlaysOrOpensTheRightPopup) {
    struct Case {
        QString text, mode, menu, order;
        bool plays;
    };
    Program probe;
    const QString media = probe.dir.write("n.wav", qvtest::WavBytes(50));
    const QString folder = probe.dir.path() + "Music";
    const QString lst = probe.dir.write("x.LST", media.toUtf8() + "\r\n");
    probe.dir.write("Music/m.wav", qvtest::WavBytes(50));
    const Case cases[] = {
        {"OLEDropAllMedia", "STOPPED", "", "AB", false},
        {"OLEDropRegisteredPlayList", "STOPPED", "", "AB", false},
        {"OLEDropSearchedMedia", "STOPPED", "", "AB", false},
        {folder, "STOPPED", "mnAddListDrop", "AB", false},
        {lst, "STOPPED", "mnNodePL", "AB", false},
        {media, "STOPPED", "", "ABN", true},
        {media, "READY", "", "ABN", true},
        {media, "PLAYING", "", "ABN", false},
        {media, "ready", "", "ABN", false},
        {probe.dir.path() + "gone.wav", "STOPPED", "", "AB", false},
        {"n.wav", "STOPPED", "", "AB", false},
    };
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(probe.dir.path());  // "n.wav" names a file only relative to here
    for (const Case& c : cases) {
        SCOPED_TRACE((c.text + " " + c.mode).toStdString());
        Program p("AB");
        p.player().PlayState(c.mode);
        p.DropText(c.text);
        EXPECT_EQ(p.Order(), c.order);
        EXPECT_EQ(p.Take(), c.plays ? p.Opened(2, true) : QStringList());
        EXPECT_EQ(p.dialogs.poppedMenus, c.menu.isEmpty() ? QStringList() : QStringList{c.menu});
        EXPECT_EQ(p.state->strClickedPath, c.menu.isEmpty() ? QString() : c.text);
        if (c.menu == "mnAddListDrop") {
            EXPECT_FALSE(p.state->HideMenu().mnTreeExpand->isVisible());
            EXPECT_FALSE(p.state->HideMenu().sp40->isVisible());
        }
    }
    QDir::setCurrent(cwd);
    // A path in the playlist already is not added again; the last entry plays.
    Program p("AB");
    p.player().PlayState("STOPPED");
    p.DropText(p.Path(0));
    EXPECT_EQ(p.Order(), "AB");
    EXPECT_EQ(p.Take(), p.Opened(1, true));
}

TEST(PlaylistEditing, FilesFromAFileManagerAreTakenOneByOne) {
    Program p("A");
    p.player().StopPlay();
    p.Take();
    const QString song = p.dir.write("in/s.wav", qvtest::WavBytes(50));
    const QString notes = p.dir.write("in/notes.txt", "x");
    const QString folder = p.dir.path() + "in";
    const QString lst = p.dir.write("in/l.lst", "");
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(song), QUrl::fromLocalFile(notes),
                   QUrl::fromLocalFile(folder + "/"), QUrl::fromLocalFile(lst),
                   QUrl("https://example.org/t.wav")});
    p.Drop(data);
    EXPECT_EQ(p.Order(), "AS");
    EXPECT_EQ(p.Take(), p.Opened(1, true));
    EXPECT_EQ(p.dialogs.poppedMenus, QStringList({"mnAddListDrop", "mnNodePL"}));
    EXPECT_EQ(p.state->strClickedPath, lst);
}

TEST(PlaylistEditing, PopupItemsFromADropAndFromTheTree) {
    // Each item and the entries it leaves (sorted letters); entry E plays before.
    const std::pair<QString, QString> cases[] = {
        {"mnAddListNoneOnly", "EF"}, {"mnAddListNoneSub", "EFG"},  {"mnAddListClearOnly", "F"},
        {"mnAddListClearSub", "FG"}, {"mnAddListCancel", "E"},     {"mnAddPlayList", "EOP"},
        {"mnAddPlayListRep", "OP"},  {"mnAddPlayListCancel", "E"},
    };
    for (const auto& [item, order] : cases) {
        const bool folder = item.startsWith("mnAddList");
        const bool reset = item.contains("Clear") || item.endsWith("Rep");
        for (const bool fromTree : {false, true}) {
            SCOPED_TRACE((item + (fromTree ? " tree" : " drop")).toStdString());
            Program p("E");
            for (const char* f : {"F/f.wav", "F/sub/g.wav", "L/o.wav", "L/p.wav"})
                p.dir.write(f, qvtest::WavBytes(50));
            const QString lines = p.dir.file("L/o.wav\r\n") + p.dir.file("L/p.wav\r\n");
            const QString target =
                folder ? p.dir.file("F") : p.dir.write("L/m.lst", lines.toUtf8());
            p.Playing(0);
            p.dialogs.menuChoices = {item};
            if (fromTree) {
                TreeView& tree = *p.form().TV1;
                tree.AddNode(QString(), "root", "root", 1);
                tree.AddNode("root", target, "t", folder ? 4 : 9);
                TV1_NodeClick(*p.state, tree.Node(target));
            } else {
                p.DropText(target);
            }
            EXPECT_EQ(Sorted(p.Order()), order);
            EXPECT_EQ(p.state->strClickedPath, item.endsWith("Cancel") ? QString() : target);
            EXPECT_EQ(p.Take(), reset ? QStringList({"stop PlayData", "seek PlayData to start"})
                                      : QStringList());
            EXPECT_EQ(p.player().PlayState(), reset ? "READY" : "PLAYING");
        }
    }
}

TEST(PlaylistEditing, AFolderDroppedDuringAWalkIsAddedAndTheWalkGoesOn) {
    Program p;
    const QString outer = p.dir.path() + "N";
    p.dir.write("N/one/a.wav", qvtest::WavBytes(50));
    p.dir.write("N/two/b.wav", qvtest::WavBytes(50));
    const QString inner = p.dir.path() + "M";
    p.dir.write("M/m.wav", qvtest::WavBytes(50));
    p.dialogs.menuChoices = {"mnAddListNoneSub", "mnAddListNoneOnly"};
    // The second drop comes at the first walk's first yield.
    QTimer::singleShot(0, &p.form(), [&] { DropTextOnPlayList(*p.state, inner); });
    DropTextOnPlayList(*p.state, outer);
    EXPECT_EQ(Sorted(p.Order()), "ABM");
    EXPECT_EQ(p.state->strClickedPath, inner);
    EXPECT_EQ(p.dialogs.poppedMenus, QStringList({"mnAddListDrop", "mnAddListDrop"}));
}

}  // namespace
}  // namespace qv
