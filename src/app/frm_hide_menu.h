// frmHideMenu: a form never shown that holds the popup menus, their
// items named as the handlers that other parts attach to them expect.
#pragma once

#include <QWidget>

class QAction;
class QMenu;

namespace qv {

class frmHideMenu : public QWidget {
    Q_OBJECT
  public:
    frmHideMenu();

    // Folder popup.
    QMenu* mnAddListDrop;
    QAction* mnTreeExpand;
    QAction* sp40;
    QMenu* mnAddListNone;
    QAction* mnAddListNoneOnly;
    QAction* mnAddListNoneSub;
    QMenu* mnAddListClear;
    QAction* mnAddListClearOnly;
    QAction* mnAddListClearSub;
    QAction* sp10;
    QAction* mnAddListCancel;
    // Shown only on a scan root's node in the tree: takes the root out of the
    // library (the tree and MediaDB.db), its media files untouched.
    QAction* sp50;
    QAction* mnRemoveRoot;
    // Playlist-file popup.
    QMenu* mnNodePL;
    QAction* mnAddPlayList;
    QAction* mnAddPlayListRep;
    QAction* sp20;
    QAction* mnAddPlayListCancel;
    // Media-file popup.
    QMenu* mnClickNodeMedia;
    QAction* mnClickNodeMediaPlay;
    QAction* mnClickNodeMediaAdd;
    QAction* sp30;
    QAction* mnClickNodeMediaCancel;
    // The volume wedge's popup: the ReplayGain mode, one item checked.
    QMenu* mnReplayGain;
    QAction* mnReplayGainOff;
    QAction* mnReplayGainTrack;
    QAction* mnReplayGainAlbum;
};

}  // namespace qv
