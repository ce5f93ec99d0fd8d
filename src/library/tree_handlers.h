// The media tree's events: a click on a node (the popups), the three popup
// items handled here, the drag out of the tree and files dropped onto it.
#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class QMimeData;

namespace qv {

class TreeNode;

class ProgramState;

// A click on a node: fixed nodes do (almost) nothing; a node whose path is
// gone is removed with its subtree; a folder, a ".lst" or a media file pops
// up its menu, which is modal: at the mouse, or at the screen point popupAt
// (the keyboard's click, which has no mouse position of its own).
void TV1_NodeClick(ProgramState& state, TreeNode* node,
                   std::optional<QPoint> popupAt = std::nullopt);

// "ツリー伸縮": toggles the last clicked folder or ".lst" node.
void mnTreeExpand_Click(ProgramState& state);
// "再生(&P)": plays the clicked file at once, outside the playlist.
void mnClickNodeMediaPlay_Click(ProgramState& state);
// "プレイリストに追加(&A)": adds the clicked file; starts playing when idle.
void mnClickNodeMediaAdd_Click(ProgramState& state);

// The text a drag from the tree carries for a node: the node's key, or a
// marker text for the three fixed nodes; "" for no node.
QString TreeDragText(const TreeNode* node);
// The drag data of the tree's selected node; nullptr when none is selected.
QMimeData* TV1_OLEStartDrag(ProgramState& state);

// Files dropped onto the tree: the first item's folder goes into the folder
// box, then the scan button is pressed (from the event loop, once the drop
// has been answered, so the file manager is not held for the whole scan).
// Any data but a file list is ignored.
void TV1_OLEDragDrop(ProgramState& state, const QMimeData& data);

}  // namespace qv
