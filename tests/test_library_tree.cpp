// The media tree's handlers through real clicks on the tree: the popups with
// scripted answers, vanished paths removed, the play and add items with the
// player stopped and playing, the drag text, and file-manager drops.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <tuple>

#include "app/controls.h"
#include "app/frm_hide_menu.h"
#include "library/folder_box.h"
#include "library/media_db.h"
#include "library/tree_handlers.h"
#include "library_support.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "support/media_files.h"

using qvtest::Touch;
using qvtest::TreeBelow;

namespace {

class LibraryTreeTest : public ::testing::Test {
  protected:
    LibraryTreeTest() {
        root = p.folder() + "Music";
        a = Touch(root + "/a.mp3", qvtest::Id3Bytes("Song A", "Artist A"));
        b = Touch(root + "/Pop/b.wav", qvtest::WavBytes());
        c = Touch(root + "/Pop/Deep/c.mid", qvtest::MidiBytes());
        lst = Touch(p.folder() + "PlayLists/Mine.lst", (a + "\r\n").toUtf8());
        p.form().Text1->setText(root);
        p.form().cmdScan->click();
        p.tree().AddNode("RegisteredPlayList", lst, "Mine", 9);
        p.form().resize(800, 600);
        p.form().show();
        p.tree().expandAll();
        QApplication::processEvents();
    }
    qv::ProgramState& state() { return *p.state; }
    qv::frmHideMenu& menus() { return state().HideMenu(); }

    // A real click on the node's row with the given button.
    void Click(const QString& key, Qt::MouseButton button = Qt::LeftButton) {
        QTreeWidgetItem* node = p.tree().Node(key);
        ASSERT_NE(node, nullptr) << key.toStdString();
        p.tree().scrollToItem(node);
        const QPointF at = p.tree().visualItemRect(node).center();
        QWidget* viewport = p.tree().viewport();
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }
    void Drop(QMimeData* data) {
        std::unique_ptr<QMimeData> owned(data);
        QWidget* viewport = p.tree().viewport();
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
    }
    static QMimeData* Files(const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        return data;
    }

    qvtest::LibraryProgram p;
    QString root, a, b, c, lst;
};

TEST_F(LibraryTreeTest, FixedNodesChangeNothingButTheFocus) {
    p.form().setWindowTitle("before");
    Click("root");
    Click("SearchedMedia");
    EXPECT_EQ(p.form().windowTitle(), "before");
    EXPECT_TRUE(p.dialogs.poppedMenus.isEmpty());
    p.form().activateWindow();
    QApplication::setActiveWindow(&p.form());
    p.tree().setFocus();
    Click("RegisteredPlayList");
    EXPECT_EQ(QApplication::focusWidget(), p.form().lstPL);
    EXPECT_EQ(p.form().windowTitle(), "before");
    EXPECT_TRUE(p.dialogs.poppedMenus.isEmpty());
}

TEST_F(LibraryTreeTest, AFolderNodeOpensTheFolderPopupWhoseFirstItemToggles) {
    menus().mnTreeExpand->setVisible(false);  // as a drop on the playlist leaves it
    menus().sp40->setVisible(false);
    QTreeWidgetItem* pop = p.tree().Node(root + "/Pop");
    ASSERT_TRUE(pop->isExpanded());
    p.dialogs.menuChoices = {"mnTreeExpand", "mnTreeExpand", ""};
    Click(root + "/Pop");
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + root + "/Pop");
    EXPECT_EQ(p.dialogs.poppedMenus, QStringList({"mnAddListDrop"}));
    EXPECT_EQ(state().strClickedPath, root + "/Pop");
    EXPECT_EQ(state().nodClicked, pop);
    EXPECT_TRUE(menus().sp40->isVisible());
    EXPECT_FALSE(pop->isExpanded());
    Click(root + "/Pop", Qt::RightButton);  // either button
    EXPECT_TRUE(pop->isExpanded());
    // The second half of a right double-click folds nothing (Qt's view
    // would), and the middle button clicks no node.
    const QPoint at = p.tree().visualItemRect(pop).center();
    QTest::mouseDClick(p.tree().viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(p.tree().viewport(), Qt::RightButton, {}, at);
    QTest::mouseClick(p.tree().viewport(), Qt::MiddleButton, {}, at);
    EXPECT_TRUE(pop->isExpanded());
    Click(root);  // the scan root is a folder node too; dismissed
    EXPECT_EQ(p.dialogs.poppedMenus.size(), 3);
    EXPECT_EQ(state().nodClicked, p.tree().Node(root));
}

TEST_F(LibraryTreeTest, PlayListAndMediaNodesPreviewAndOpenTheirPopups) {
    Click(lst);
    EXPECT_EQ(p.dialogs.poppedMenus, QStringList({"mnNodePL"}));
    EXPECT_EQ(state().strClickedPath, lst);
    EXPECT_EQ(state().nodClicked, p.tree().Node(lst));
    EXPECT_TRUE(p.form().Timer2->isActive());  // the preview returns later

    Click(a);
    EXPECT_EQ(p.dialogs.poppedMenus.last(), "mnClickNodeMedia");
    EXPECT_EQ(state().strClickedFile, a);
    EXPECT_EQ(state().strClickedPath, lst);  // untouched by a media click
    EXPECT_EQ(p.form().Panel(1)->text(), "Song A");
    EXPECT_EQ(p.form().Panel(2)->text(), "Artist A");
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + a);
}

TEST_F(LibraryTreeTest, NodesWhosePathsVanishedAreRemovedWithTheirSubtree) {
    const int before = p.tree().NodeCount();
    QFile::remove(a);
    Click(a);
    EXPECT_EQ(p.tree().Node(a), nullptr);
    EXPECT_EQ(p.tree().NodeCount(), before - 1);
    EXPECT_TRUE(p.dialogs.poppedMenus.isEmpty());
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + a);

    p.dialogs.menuChoices = {""};
    Click(root + "/Pop/Deep");  // remembered as the expand item's node
    ASSERT_EQ(state().nodClicked, p.tree().Node(root + "/Pop/Deep"));
    QDir(root + "/Pop").removeRecursively();
    Click(root + "/Pop");
    EXPECT_EQ(p.tree().Node(root + "/Pop"), nullptr);
    EXPECT_EQ(p.tree().Node(c), nullptr);
    EXPECT_EQ(p.tree().NodeCount(), before - 5);
    EXPECT_EQ(state().nodClicked, nullptr);
    qv::mnTreeExpand_Click(state());  // nothing left to toggle, and no crash
    // The library file keeps the paths.
    EXPECT_TRUE(qvtest::ReadAll(p.folder() + "MediaDB.db").contains(c.toUtf8()));
}

TEST_F(LibraryTreeTest, PlayItemPlaysTheFileOutsideThePlayList) {
    state().objPlayList->AddToPlayList(b);
    state().objPlayList->AddToPlayList(c);
    state().objMediaPlay->OpenPlay(1);
    p.form().Timer2->start();
    p.mci.commands.clear();
    p.dialogs.menuChoices = {"mnClickNodeMediaPlay"};
    Click(a);
    EXPECT_EQ(p.mci.commands.mid(0, 5),
              QStringList({"stop PlayData", "seek PlayData to start", "close PlayData",
                           "open " + a + " type MPEGVideo alias PlayData", "play PlayData"}));
    EXPECT_FALSE(p.form().Timer2->isActive());
    EXPECT_EQ(p.form().Panel(1)->text(), "> Song A");
    EXPECT_EQ(state().objMediaPlay->PlayingID(), 1);
    EXPECT_EQ(p.form().lstPL->currentRow(), 1);
    EXPECT_EQ(state().PlayListData.Count(), 2);
}

TEST_F(LibraryTreeTest, AddItemAddsAndStartsPlayingOnlyWhenIdle) {
    state().objMediaPlay->PlayState("STOPPED");
    p.dialogs.menuChoices = {"mnClickNodeMediaAdd", "mnClickNodeMediaAdd", "mnClickNodeMediaAdd"};
    Click(b);
    ASSERT_EQ(state().PlayListData.Count(), 1);
    EXPECT_EQ(state().PlayListData[0].FilePath, b);
    EXPECT_EQ(state().objMediaPlay->PlayingID(), 0);
    EXPECT_EQ(state().objMediaPlay->PlayState(), "PLAYING");
    p.mci.commands.clear();
    Click(a);  // while playing: only added
    EXPECT_EQ(state().PlayListData.Count(), 2);
    EXPECT_EQ(state().objMediaPlay->PlayingID(), 0);
    EXPECT_FALSE(p.mci.commands.contains("play PlayData"));
    state().objMediaPlay->PlayState("READY");
    Click(b);  // already listed: not added again, but the last entry plays
    EXPECT_EQ(state().PlayListData.Count(), 2);
    EXPECT_EQ(state().objMediaPlay->PlayingID(), 1);
}

TEST_F(LibraryTreeTest, DragsCarryTheSelectedNodesKeyOrAMarker) {
    // Key, drag text, and the folder box after that text is dropped on it:
    // markers leave it, a file gives its folder.
    const std::tuple<QString, QString, QString> cases[] = {
        {"root", "OLEDropAllMedia", "kept"},
        {"RegisteredPlayList", "OLEDropRegisteredPlayList", "kept"},
        {"SearchedMedia", "OLEDropSearchedMedia", "kept"},
        {root + "/Pop", root + "/Pop", root + "/Pop"},
        {a, a, root + "/"},
        {lst, lst, p.folder() + "PlayLists/"}};
    p.tree().clearSelection();
    EXPECT_EQ(qv::TV1_OLEStartDrag(state()), nullptr);
    for (const auto& [key, text, box] : cases) {
        p.tree().Node(key)->setSelected(true);
        std::unique_ptr<QMimeData> data(qv::TV1_OLEStartDrag(state()));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->text(), text);
        p.form().Text1->setText("kept");
        qv::Text1_OLEDragDrop(state(), *data);
        EXPECT_EQ(p.form().Text1->text(), box) << key.toStdString();
        p.tree().Node(key)->setSelected(false);
    }
}

TEST_F(LibraryTreeTest, FilesDroppedOnTheTreeScanTheFirstItemsFolder) {
    const QString other = p.folder() + "Other", third = p.folder() + "Third";
    const QString o = Touch(other + "/sub/o.au");
    Touch(third + "/t.mp3");
    Drop(Files({o}));
    EXPECT_EQ(p.form().Text1->text(), other + "/sub/");
    QApplication::processEvents();  // the scan starts once the drop is answered
    EXPECT_NE(p.tree().Node(o), nullptr);
    EXPECT_NE(p.tree().Node(other + "/sub"), nullptr);
    EXPECT_EQ(p.tree().Node(other + "/sub")->parent(), p.tree().Node("SearchedMedia"));

    Drop(Files({other, third, root}));
    QApplication::processEvents();
    EXPECT_EQ(p.form().Text1->text(), other);
    EXPECT_EQ(p.tree().Node(third), nullptr);
    EXPECT_NE(p.tree().Node(other), nullptr);

    auto* text = new QMimeData;
    text->setText(third);
    Drop(text);  // only a file list counts
    QApplication::processEvents();
    EXPECT_EQ(p.form().Text1->text(), other);
    EXPECT_EQ(p.tree().Node(third), nullptr);

    // A missing file keeps the box, yet presses the button: the box's folder is scanned.
    Drop(Files({third}));
    QApplication::processEvents();
    Drop(Files({p.folder() + "gone.mp3"}));
    EXPECT_EQ(p.form().Text1->text(), third);
    QApplication::processEvents();
    EXPECT_NE(p.tree().Node(third + "/t.mp3"), nullptr);
}

TEST_F(LibraryTreeTest, ADropDuringAScanAbortsIt) {
    const QString big = p.folder() + "Big";
    for (int i = 0; i < 5; ++i) Touch(big + QStringLiteral("/d%1/x.mp3").arg(i));
    QStringList captions;
    QObject::connect(&p.form(), &QWidget::windowTitleChanged,
                     [&](const QString& t) { captions.append(t); });
    QTimer dropper;
    QObject::connect(&dropper, &QTimer::timeout, [&] {
        if (p.form().cmdScan->text() != QStringLiteral("中止")) return;
        dropper.stop();
        Drop(Files({root}));
    });
    dropper.start(0);
    p.form().Text1->setText(big);
    p.form().cmdScan->click();
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン中止"));
    EXPECT_EQ(p.form().Text1->text(), root);  // changed all the same
}

}  // namespace
