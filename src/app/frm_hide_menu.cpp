// The popup menus' holder. Access keys are the letters after "&".
#include "app/frm_hide_menu.h"

#include <QAction>
#include <QCoreApplication>
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

    mnAddListDrop =
        Menu(this, "mnAddListDrop", QCoreApplication::translate("Quorvane", "ドロップファイル"));
    mnTreeExpand =
        Item(mnAddListDrop, "mnTreeExpand", QCoreApplication::translate("Quorvane", "ツリー伸縮"));
    sp40 = Separator(mnAddListDrop, "sp40");
    mnAddListNone = Submenu(mnAddListDrop, "mnAddListNone",
                            QCoreApplication::translate("Quorvane", "プレイリストに追加(&A)"));
    mnAddListNoneOnly = Item(mnAddListNone, "mnAddListNoneOnly",
                             QCoreApplication::translate("Quorvane", "このフォルダのみ(&N)"));
    mnAddListNoneSub = Item(mnAddListNone, "mnAddListNoneSub",
                            QCoreApplication::translate("Quorvane", "サブフォルダも追加(&S)"));
    mnAddListClear = Submenu(mnAddListDrop, "mnAddListClear",
                             QCoreApplication::translate("Quorvane", "プレイリストに置き換え(&H)"));
    mnAddListClearOnly = Item(mnAddListClear, "mnAddListClearOnly",
                              QCoreApplication::translate("Quorvane", "このフォルダのみ(&N)"));
    mnAddListClearSub = Item(mnAddListClear, "mnAddListClearSub",
                             QCoreApplication::translate("Quorvane", "サブフォルダも追加(&S)"));
    sp10 = Separator(mnAddListDrop, "sp10");
    mnAddListCancel = Item(mnAddListDrop, "mnAddListCancel",
                           QCoreApplication::translate("Quorvane", "キャンセル(&C)"));
    // Last, so the keys that reach the other items reach them as before.
    sp50 = Separator(mnAddListDrop, "sp50");
    mnRemoveRoot = Item(mnAddListDrop, "mnRemoveRoot",
                        QCoreApplication::translate("Quorvane", "検索されたメディアから外す(&R)"));
    sp50->setVisible(false);
    mnRemoveRoot->setVisible(false);

    mnNodePL = Menu(this, "mnNodePL", QCoreApplication::translate("Quorvane", "ドロップリスト"));
    mnAddPlayList = Item(mnNodePL, "mnAddPlayList",
                         QCoreApplication::translate("Quorvane", "プレイリストに追加(&A)"));
    mnAddPlayListRep = Item(mnNodePL, "mnAddPlayListRep",
                            QCoreApplication::translate("Quorvane", "プレイリストに置き換え(&H)"));
    sp20 = Separator(mnNodePL, "sp20");
    mnAddPlayListCancel = Item(mnNodePL, "mnAddPlayListCancel",
                               QCoreApplication::translate("Quorvane", "キャンセル(&C)"));

    mnClickNodeMedia =
        Menu(this, "mnClickNodeMedia", QCoreApplication::translate("Quorvane", "クリックノード"));
    mnClickNodeMediaPlay = Item(mnClickNodeMedia, "mnClickNodeMediaPlay",
                                QCoreApplication::translate("Quorvane", "再生(&P)"));
    mnClickNodeMediaAdd = Item(mnClickNodeMedia, "mnClickNodeMediaAdd",
                               QCoreApplication::translate("Quorvane", "プレイリストに追加(&A)"));
    sp30 = Separator(mnClickNodeMedia, "sp30");
    mnClickNodeMediaCancel = Item(mnClickNodeMedia, "mnClickNodeMediaCancel",
                                  QCoreApplication::translate("Quorvane", "キャンセル(&C)"));

    mnReplayGain =
        Menu(this, "mnReplayGain", QCoreApplication::translate("Quorvane", "リプレイゲイン"));
    mnReplayGainOff =
        Item(mnReplayGain, "mnReplayGainOff", QCoreApplication::translate("Quorvane", "オフ(&O)"));
    mnReplayGainTrack = Item(mnReplayGain, "mnReplayGainTrack",
                             QCoreApplication::translate("Quorvane", "トラックゲイン(&T)"));
    mnReplayGainAlbum = Item(mnReplayGain, "mnReplayGainAlbum",
                             QCoreApplication::translate("Quorvane", "アルバムゲイン(&A)"));
    for (QAction* item : {mnReplayGainOff, mnReplayGainTrack, mnReplayGainAlbum})
        item->setCheckable(true);
}

}  // namespace qv
