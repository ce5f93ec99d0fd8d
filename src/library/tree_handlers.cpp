// The tree's handlers. Everything is decided by the node's key (a path) and by
// what the file system says about it now.
#include "library/tree_handlers.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/dialogs.h"
#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "library/folder_box.h"
#include "library/remove_root.h"
#include "library/scan.h"
#include "library/tree_upkeep.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "playback/media_play.h"
#include "playback/track_info.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_drop.h"

namespace qv {
namespace {

void PopUp(ProgramState& state, QMenu* menu, std::optional<QPoint> at) {
    state.dialogs.PopupMenu(*menu, at);
}

}  // namespace

void TV1_NodeClick(ProgramState& state, TreeNode* node, std::optional<QPoint> popupAt) {
    if (!node || !state.mainForm) return;
    frmQuorvane& form = *state.mainForm;
    const QString K = TreeView::Key(node);
    if (K == u"root" || K == u"SearchedMedia") return;
    if (K == u"RegisteredPlayList") {
        form.lstPL->setFocus();
        return;
    }
    form.setWindowTitle(QStringLiteral("Quorvane - ") + K);
    if (!FileOrFolderExists(K)) {
        RemoveTreeNode(state, *form.TV1, node);
        return;
    }
    frmHideMenu& menus = state.HideMenu();
    if (!FileExists(K)) {
        state.strClickedPath = K;
        state.nodClicked = node;
        menus.mnTreeExpand->setVisible(true);
        menus.sp40->setVisible(true);
        // A root can be taken out, but not while a scan may be adding to it;
        // the item is hidden again for the popup of a drop on the playlist.
        const bool root = IsScanRootNode(*form.TV1, node) && !ScanRunning(state);
        menus.sp50->setVisible(root);
        menus.mnRemoveRoot->setVisible(root);
        PopUp(state, menus.mnAddListDrop, popupAt);
        menus.sp50->setVisible(false);
        menus.mnRemoveRoot->setVisible(false);
        return;
    }
    ShowSelectedInfo(state, K);
    if (K.right(4).toUpper() == u".LST") {
        state.nodClicked = node;
        state.strClickedPath = K;
        PopUp(state, menus.mnNodePL, popupAt);
        return;
    }
    state.strClickedFile = K;
    PopUp(state, menus.mnClickNodeMedia, popupAt);
}

void mnTreeExpand_Click(ProgramState& state) {
    if (state.nodClicked) state.nodClicked->setExpanded(!state.nodClicked->isExpanded());
}

void mnClickNodeMediaPlay_Click(ProgramState& state) {
    if (state.mainForm) state.mainForm->Timer2->stop();
    state.objMediaPlay->PlayOutside(state.strClickedFile);
}

void mnClickNodeMediaAdd_Click(ProgramState& state) {
    AddAndPlayIfIdle(state, state.strClickedFile);
}

QString TreeDragText(const TreeNode* node) {
    if (!node) return QString();
    const QString key = TreeView::Key(node);
    if (key == u"root") return QStringLiteral("OLEDropAllMedia");
    if (key == u"RegisteredPlayList") return QStringLiteral("OLEDropRegisteredPlayList");
    if (key == u"SearchedMedia") return QStringLiteral("OLEDropSearchedMedia");
    return key;
}

QMimeData* TV1_OLEStartDrag(ProgramState& state) {
    const QList<TreeNode*> selected = state.mainForm->TV1->SelectedNodes();
    if (selected.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setText(TreeDragText(selected.first()));
    return data;
}

void TV1_OLEDragDrop(ProgramState& state, const QMimeData& data) {
    if (!data.hasUrls()) return;
    const QString path = FirstDroppedPath(state, data.urls());
    if (path.isEmpty()) return;
    frmQuorvane& form = *state.mainForm;
    const QString folder = DroppedFolder(path);
    if (!folder.isEmpty()) form.Text1->setText(folder);
    QTimer::singleShot(0, &form, [&state] { cmdScan_Click(state); });
}

}  // namespace qv
