// The four windows as built: every control's name, caption, tooltip, colour
// and place, the menu tree with its access keys, the pictures, and the main
// window's resize rule at the default size, 5000 twips wide and minimized.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/controls.h"
#include "app/dialogs_qt.h"
#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/frm_splash.h"
#include "app/pictures.h"
#include "app/tree_view.h"
#include "app/twips.h"
#include "playlist/frm_save_pl.h"
#include "support/test_program.h"

namespace qv {
namespace {

int Px(int twips) {
    return TwipsToPixels(twips, LogicalDpi());
}
QRect Tw(int l, int t, int w, int h) {
    return TwipsRect(l, t, w, h);
}

QString TextOf(QWidget* w) {
    if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
    if (auto* c = qobject_cast<QCheckBox*>(w)) return c->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return {};
}

bool Blank(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first) return false;
    return true;
}

TEST(MainWindow, ControlsCaptionsTooltipsAndPlaces) {
    qvtest::TestProgram p;
    p.MakeObjects();
    frmQuorvane& f = *p.state->mainForm;
    EXPECT_EQ(f.windowTitle(), "Quorvane");
    EXPECT_FALSE(f.windowIcon().isNull());
    struct Row {
        QWidget* w;
        const char* name;
        QRect place;
        QString text;
        QString tip;
    };
    const QList<Row> rows = {
        {f.TV1, "TV1", Tw(60, 60, 4395, 5415), "", ""},
        {f.Frame1, "Frame1", Tw(4560, 60, 3795, 915), "メディアの検索", ""},
        {f.Text1, "Text1", Tw(60, 240, 3615, 315), "", ""},
        {f.chkSF, "chkSF", Tw(120, 600, 1875, 255), "サブフォルダも検索", ""},
        {f.cmdScan, "cmdScan", Tw(2040, 600, 855, 255), "スキャン", ""},
        {f.cmdRef, "cmdRef", Tw(3000, 600, 675, 255), "参照...", ""},
        {f.frameOperation, "frameOperation", Tw(4560, 1020, 3795, 270), "", ""},
        {f.imgPlay, "imgPlay", Tw(180, 0, 525, 240), "", ""},
        {f.imgStop, "imgStop", Tw(960, 45, 180, 195), "", ""},
        {f.imgREW, "imgREW", Tw(1380, 45, 360, 195), "", "Previous"},
        {f.imgFF, "imgFF", Tw(1920, 45, 360, 195), "", "Next"},
        {f.imgLoop, "imgLoop", Tw(3180, 0, 435, 270), "", ""},
        {f.imgPlayOff, "imgPlayOff", Tw(240, 300, 525, 240), "", ""},
        {f.imgPlayOn, "imgPlayOn", Tw(1200, 300, 525, 240), "", ""},
        {f.imgLoopOff, "imgLoopOff", Tw(2400, 300, 435, 270), "", ""},
        {f.imgLoopOne, "imgLoopOne", Tw(2940, 300, 435, 270), "", ""},
        {f.imgLoopAll, "imgLoopAll", Tw(3420, 300, 435, 270), "", ""},
        {f.frameListOperation, "frameListOperation", Tw(4560, 1320, 3795, 195), "", ""},
        {f.lblShuffle, "lblShuffle", Tw(60, 0, 690, 195), "Shuffle", ""},
        {f.imgUp, "imgUp", Tw(900, 0, 195, 180), "", ""},
        {f.imgDown, "imgDown", Tw(1140, 0, 195, 195), "", ""},
        {f.lblRemove, "lblRemove", Tw(1740, 0, 780, 195), "Remove", ""},
        {f.lblClear, "lblClear", Tw(2640, 0, 510, 195), "Clear", ""},
        {f.lblSave, "lblSave", Tw(3240, 0, 480, 195), "Save", ""},
        {f.lstPL, "lstPL", Tw(4560, 1560, 3795, 4200), "", ""},
    };
    // The window is not shown yet: no resize has moved anything.
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.w->objectName(), r.name);
        EXPECT_EQ(r.w->accessibleName(), r.name);
        EXPECT_EQ(r.w->geometry(), r.place);
        EXPECT_EQ(TextOf(r.w), r.text);
        EXPECT_EQ(r.w->toolTip(), r.tip);
    }
    // The strips: dark grey, white bold Verdana labels.
    for (QFrame* strip : {f.frameOperation, f.frameListOperation}) {
        EXPECT_EQ(strip->frameShape(), QFrame::NoFrame);
        EXPECT_TRUE(strip->autoFillBackground());
        EXPECT_EQ(strip->palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
    }
    for (QLabel* label : {f.lblShuffle, f.lblRemove, f.lblClear, f.lblSave}) {
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->font().family(), "Verdana");
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 8.25);
    }
    // The status bar's five panels, with their design-time words.
    EXPECT_EQ(f.SB1->accessibleName(), "SB1");
    const QStringList words = {"タイトル", "アーティスト", "コメント", "状態", "再生時間"};
    for (int i = 1; i <= 5; ++i) {
        QLabel* panel = f.Panel(i);
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->parentWidget(), f.SB1);
        EXPECT_EQ(panel->accessibleName(), QString("SB1.%1").arg(i));
        EXPECT_EQ(panel->text(), words[i - 1]);
    }
    EXPECT_EQ(f.findChild<QLabel*>("SB1.3"), f.Panel(3));
    // Timers.
    EXPECT_EQ(f.Timer1->interval(), 50);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_EQ(f.Timer2->interval(), 1700);
    EXPECT_TRUE(f.Timer2->isSingleShot());
    EXPECT_FALSE(f.Timer2->isActive());
    // Drop targets and drag source.
    EXPECT_TRUE(f.lstPL->acceptDrops());
    EXPECT_TRUE(f.Text1->acceptDrops());
    EXPECT_TRUE(f.TV1->acceptDrops());
    EXPECT_TRUE(f.TV1->dragEnabled());
}

TEST(MainWindow, PicturesAtTheirSizesAndNeverBlank) {
    const QList<std::pair<QPixmap, QSize>> pictures = {
        {PlayOnPicture(), {35, 16}},  {PlayOffPicture(), {35, 16}}, {StopPicture(), {12, 13}},
        {PrevPicture(), {24, 13}},    {NextPicture(), {24, 13}},    {LoopOffPicture(), {29, 18}},
        {LoopAllPicture(), {29, 18}}, {LoopOnePicture(), {29, 18}}, {UpPicture(), {13, 12}},
        {DownPicture(), {13, 13}},    {BannerPicture(), {213, 23}}, {SubtitlePicture(), {246, 13}},
        {IconPicture(), {32, 32}}};
    for (const auto& [pixmap, size] : pictures) {
        EXPECT_EQ(pixmap.size(), size);
        EXPECT_FALSE(Blank(pixmap));
    }
    EXPECT_NE(PlayOnPicture().toImage(), PlayOffPicture().toImage());
    EXPECT_NE(LoopAllPicture().toImage(), LoopOnePicture().toImage());
    const QList<QPixmap> tree = TreeImages();
    ASSERT_EQ(tree.size(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(tree[i].size(), QSize(16, 16));
        EXPECT_FALSE(Blank(tree[i]));
        for (int j = 0; j < i; ++j) {
            // 2 and 4 are both folders, told apart by the list lines of 2.
            EXPECT_NE(tree[i].toImage(), tree[j].toImage()) << i + 1 << " vs " << j + 1;
        }
    }
}

TEST(MainWindow, ResizeRuleAtDefaultFiveThousandAndMinimized) {
    qvtest::TestProgram p;
    p.Start();
    frmQuorvane& f = *p.state->mainForm;
    const int sbTop = f.height() - Px(255);
    EXPECT_EQ(f.SB1->geometry(), QRect(0, sbTop, f.width(), Px(255)));
    // The lists end 30 twips (2 pixels) above the status bar.
    EXPECT_EQ(f.TV1->geometry().bottom() + 1, sbTop - Px(30));
    EXPECT_EQ(f.lstPL->geometry().bottom() + 1, sbTop - Px(30));
    EXPECT_EQ(f.lstPL->x(), f.TV1->geometry().right() + 1 + Px(60));
    EXPECT_EQ(f.Frame1->x(), f.lstPL->x());
    EXPECT_EQ(f.frameOperation->x(), f.lstPL->x());
    EXPECT_EQ(f.frameListOperation->x(), f.lstPL->x());
    EXPECT_EQ(f.width() - (f.lstPL->geometry().right() + 1), Px(60));

    f.resize(Px(5000), f.height());
    const int W = PixelsToTwips(f.width(), LogicalDpi());
    EXPECT_EQ(f.TV1->width(), Px(W - 3975));
    EXPECT_EQ(f.lstPL->x(), Px(W - 3975 + 120));
    EXPECT_EQ(f.lstPL->width(), Px(3795));
    EXPECT_EQ(f.Frame1->y(), Px(60));
    EXPECT_EQ(f.TV1->pos(), QPoint(Px(60), Px(60)));

    // Too narrow: the tree keeps its width, the column follows it.
    const int treeWidth = f.TV1->width();
    f.resize(Px(3000), f.height());
    EXPECT_EQ(f.TV1->width(), treeWidth);
    EXPECT_EQ(f.lstPL->x(), Px(W - 3975 + 120));

    f.resize(Px(8550), Px(6555));
    const QRect tree = f.TV1->geometry();
    const QRect list = f.lstPL->geometry();
    f.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(f.isMinimized());
    // A size change while minimized moves nothing: there is no client area.
    f.resize(Px(7000), Px(5000));
    EXPECT_EQ(f.TV1->geometry(), tree);
    EXPECT_EQ(f.lstPL->geometry(), list);
    f.showNormal();
    QCoreApplication::processEvents();
    EXPECT_LT(f.TV1->width(), tree.width());  // restored: laid out again
    EXPECT_LT(f.lstPL->height(), list.height());
}

TEST(Splash, FramelessTopmostDarkAndCentred) {
    frmSplash s;
    s.Form_Load();
    EXPECT_TRUE(s.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(s.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(s.windowFlags() & Qt::WindowType_Mask, Qt::SplashScreen);  // not in the task bar
    EXPECT_EQ(s.size(), Tw(0, 0, 3975, 1050).size());
    EXPECT_EQ(s.palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(s.Image2->geometry(), Tw(600, 225, 3195, 345));
    EXPECT_EQ(s.Image3->geometry(), Tw(142, 780, 3690, 195));
    EXPECT_EQ(s.Image1->geometry(), Tw(60, 120, 480, 480));
    EXPECT_EQ(s.Image2->pixmap().size(), QSize(213, 23));
    EXPECT_EQ(s.Image1->accessibleName(), "Image1");
}

TEST(SaveDialog, ControlsAndLoadMakesThePlaylistFolder) {
    qvtest::TestProgram p;
    p.dir.write("PlayLists/b.lst", "\r\n");
    p.dir.write("PlayLists/a.lst", "\r\n");
    p.dir.write("PlayLists/.hidden.lst", "\r\n");
    p.dir.write("PlayLists/notes.txt", "x");
    frmSavePL d(*p.state);
    d.Form_Load();
    EXPECT_EQ(d.windowTitle(), "プレイリストの保存");
    EXPECT_EQ(d.size(), Tw(0, 0, 5940, 3105).size());
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(d.File1->pattern(), "*.lst");
    EXPECT_EQ(d.File1->path(), p.folder() + "PlayLists/");
    EXPECT_EQ(d.File1->Names(), (QStringList{"a.lst", "b.lst"}));
    EXPECT_EQ(d.Frame1->title(), "保存プレイリスト名");
    EXPECT_EQ(d.cmdOK->text(), "OK");
    EXPECT_EQ(d.cmdCancel->text(), "キャンセル");
    EXPECT_EQ(d.Label2->text(), "Quorvane");
    EXPECT_DOUBLE_EQ(d.Label2->font().pointSizeF(), 15.75);
    EXPECT_EQ(d.Label2->palette().color(QPalette::WindowText), QColor(0x40, 0x40, 0x40));
    const std::pair<QWidget*, QRect> places[] = {
        {d.File1, Tw(60, 60, 2595, 2970)},       {d.Frame1, Tw(2700, 120, 3195, 975)},
        {d.Text1, Tw(60, 180, 3075, 255)},       {d.cmdOK, Tw(1020, 540, 855, 315)},
        {d.cmdCancel, Tw(2040, 540, 1035, 315)}, {d.Image1, Tw(2760, 2040, 480, 480)}};
    for (const auto& [w, place] : places) {
        EXPECT_EQ(w->geometry(), place) << w->objectName().toStdString();
        EXPECT_EQ(w->accessibleName(), w->objectName());
    }
    EXPECT_EQ(d.Label2->accessibleName(), "Label2");

    qvtest::TestProgram fresh;
    frmSavePL made(*fresh.state);
    made.Form_Load();
    EXPECT_TRUE(QDir(fresh.folder() + "PlayLists").exists());
    EXPECT_EQ(made.File1->count(), 0);
}

QStringList Captions(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        out.append(a->objectName() + "=" + (a->isSeparator() ? "-" : a->text()));
    }
    return out;
}

TEST(HideMenu, MenuTreeWithAccessKeys) {
    qvtest::TestProgram p;
    frmHideMenu& m = p.state->HideMenu();
    EXPECT_EQ(&m, &p.state->HideMenu());  // made once
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(m.mnAddListDrop->title(), "ドロップファイル");
    EXPECT_EQ(Captions(m.mnAddListDrop), (QStringList{"mnTreeExpand=ツリー伸縮", "sp40=-",
                                                      "mnAddListNone=プレイリストに追加(&A)",
                                                      "mnAddListClear=プレイリストに置き換え(&H)",
                                                      "sp10=-", "mnAddListCancel=キャンセル(&C)"}));
    EXPECT_EQ(Captions(m.mnAddListNone), (QStringList{"mnAddListNoneOnly=このフォルダのみ(&N)",
                                                      "mnAddListNoneSub=サブフォルダも追加(&S)"}));
    EXPECT_EQ(Captions(m.mnAddListClear),
              (QStringList{"mnAddListClearOnly=このフォルダのみ(&N)",
                           "mnAddListClearSub=サブフォルダも追加(&S)"}));
    EXPECT_EQ(m.mnNodePL->title(), "ドロップリスト");
    EXPECT_EQ(Captions(m.mnNodePL), (QStringList{"mnAddPlayList=プレイリストに追加(&A)",
                                                 "mnAddPlayListRep=プレイリストに置き換え(&H)",
                                                 "sp20=-", "mnAddPlayListCancel=キャンセル(&C)"}));
    EXPECT_EQ(m.mnClickNodeMedia->title(), "クリックノード");
    EXPECT_EQ(
        Captions(m.mnClickNodeMedia),
        (QStringList{"mnClickNodeMediaPlay=再生(&P)", "mnClickNodeMediaAdd=プレイリストに追加(&A)",
                     "sp30=-", "mnClickNodeMediaCancel=キャンセル(&C)"}));
}

TEST(Tree, DuplicateKeyAndMissingParentAreTwoFailures) {
    TreeView tree;
    tree.setImages(TreeImages());
    EXPECT_EQ(tree.AddNode("", "root", "r", 1), NodeResult::Added);
    EXPECT_EQ(tree.AddNode("root", "a", "a", 4), NodeResult::Added);
    EXPECT_EQ(tree.AddNode("a", "a/b", "b", 4), NodeResult::Added);
    EXPECT_EQ(tree.AddNode("root", "a", "again", 4), NodeResult::DuplicateKey);
    EXPECT_EQ(tree.AddNode("nowhere", "c", "c", 4), NodeResult::ParentNotFound);
    EXPECT_EQ(tree.Node("a")->text(0), "a");
    EXPECT_EQ(tree.Image(tree.Node("a/b")), 4);
    EXPECT_TRUE(tree.RemoveNode("a"));
    EXPECT_FALSE(tree.Node("a/b"));  // the subtree went with it
    EXPECT_EQ(tree.NodeCount(), 1);
    EXPECT_EQ(tree.AddNode("root", "a", "a", 4), NodeResult::Added);
    EXPECT_FALSE(tree.RemoveNode("zzz"));
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// The Qt side of the dialog seam, answered as a user would, with the buttons
// of a Japanese desktop.
TEST(QtDialogSeam, MessageBoxesAreModalJapaneseAndReturnTheChoice) {
    ASSERT_TRUE(InstallQtJapanese());
    QtDialogs dialogs;
    QStringList seen;
    auto answer = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(50, [&seen, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            seen.append(box->windowTitle() + "|" + box->text());
            for (QAbstractButton* b : box->buttons()) seen.append(b->text());
            box->button(button)->click();
        });
    };
    answer(QMessageBox::No);
    EXPECT_EQ(dialogs.MsgBox(nullptr, "a.lstはすでに存在します、上書きしてよろしいですか?",
                             MsgButtons::YesNo, MsgIcon::Information, "上書き確認"),
              MsgAnswer::No);
    EXPECT_TRUE(seen.contains("上書き確認|a.lstはすでに存在します、上書きしてよろしいですか?"));
    EXPECT_TRUE(seen.contains("はい(&Y)"));
    EXPECT_TRUE(seen.contains("いいえ(&N)"));
    seen.clear();
    answer(QMessageBox::Yes);
    EXPECT_EQ(dialogs.MsgBox(nullptr, "?", MsgButtons::YesNo, MsgIcon::None, AppTitle()),
              MsgAnswer::Yes);
    seen.clear();
    answer(QMessageBox::Ok);
    EXPECT_EQ(
        dialogs.MsgBox(nullptr, "プレイリストが空です", MsgButtons::OK, MsgIcon::None, AppTitle()),
        MsgAnswer::OK);
    EXPECT_EQ(seen.value(0), "Quorvane|プレイリストが空です");
    EXPECT_EQ(seen.size(), 2);  // one button only
}

}  // namespace
}  // namespace qv
