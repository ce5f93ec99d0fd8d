// The popup menus' holder. Access keys are the letters after "&".
#include "app/frm_hide_menu.h"

#include <QAction>
#include <QMenu>

namespace qv {
namespace {

QMenu* Menu(QWidget* parent, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->setAccessibleName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* Submenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* menu = Menu(parent, name, caption);
    parent->addMenu(menu);
    return menu;
}

QAction* Item(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* Separator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

frmHideMenu::frmHideMenu() {
    setObjectName(QStringLiteral("frmHideMenu"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    mnAddListDrop = Menu(this, "mnAddListDrop", QStringLiteral("ドロップファイル"));
    mnTreeExpand = Item(mnAddListDrop, "mnTreeExpand", QStringLiteral("ツリー伸縮"));
    sp40 = Separator(mnAddListDrop, "sp40");
    mnAddListNone =
        Submenu(mnAddListDrop, "mnAddListNone", QStringLiteral("プレイリストに追加(&A)"));
    mnAddListNoneOnly =
        Item(mnAddListNone, "mnAddListNoneOnly", QStringLiteral("このフォルダのみ(&N)"));
    mnAddListNoneSub =
        Item(mnAddListNone, "mnAddListNoneSub", QStringLiteral("サブフォルダも追加(&S)"));
    mnAddListClear =
        Submenu(mnAddListDrop, "mnAddListClear", QStringLiteral("プレイリストに置き換え(&H)"));
    mnAddListClearOnly =
        Item(mnAddListClear, "mnAddListClearOnly", QStringLiteral("このフォルダのみ(&N)"));
    mnAddListClearSub =
        Item(mnAddListClear, "mnAddListClearSub", QStringLiteral("サブフォルダも追加(&S)"));
    sp10 = Separator(mnAddListDrop, "sp10");
    mnAddListCancel = Item(mnAddListDrop, "mnAddListCancel", QStringLiteral("キャンセル(&C)"));
    // Last, so the keys that reach the other items reach them as before.
    sp50 = Separator(mnAddListDrop, "sp50");
    mnRemoveRoot =
        Item(mnAddListDrop, "mnRemoveRoot", QStringLiteral("検索されたメディアから外す(&R)"));
    sp50->setVisible(false);
    mnRemoveRoot->setVisible(false);

    mnNodePL = Menu(this, "mnNodePL", QStringLiteral("ドロップリスト"));
    mnAddPlayList = Item(mnNodePL, "mnAddPlayList", QStringLiteral("プレイリストに追加(&A)"));
    mnAddPlayListRep =
        Item(mnNodePL, "mnAddPlayListRep", QStringLiteral("プレイリストに置き換え(&H)"));
    sp20 = Separator(mnNodePL, "sp20");
    mnAddPlayListCancel = Item(mnNodePL, "mnAddPlayListCancel", QStringLiteral("キャンセル(&C)"));

    mnClickNodeMedia = Menu(this, "mnClickNodeMedia", QStringLiteral("クリックノード"));
    mnClickNodeMediaPlay =
        Item(mnClickNodeMedia, "mnClickNodeMediaPlay", QStringLiteral("再生(&P)"));
    mnClickNodeMediaAdd =
        Item(mnClickNodeMedia, "mnClickNodeMediaAdd", QStringLiteral("プレイリストに追加(&A)"));
    sp30 = Separator(mnClickNodeMedia, "sp30");
    mnClickNodeMediaCancel =
        Item(mnClickNodeMedia, "mnClickNodeMediaCancel", QStringLiteral("キャンセル(&C)"));

    mnReplayGain = Menu(this, "mnReplayGain", QStringLiteral("リプレイゲイン"));
    mnReplayGainOff = Item(mnReplayGain, "mnReplayGainOff", QStringLiteral("オフ(&O)"));
    mnReplayGainTrack =
        Item(mnReplayGain, "mnReplayGainTrack", QStringLiteral("トラックゲイン(&T)"));
    mnReplayGainAlbum =
        Item(mnReplayGain, "mnReplayGainAlbum", QStringLiteral("アルバムゲイン(&A)"));
    for (QAction* item : {mnReplayGainOff, mnReplayGainTrack, mnReplayGainAlbum})
        item->setCheckable(true);
}

}  // namespace qv
