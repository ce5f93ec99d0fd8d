// Taking a scan root out of the library: its node and everything below it
// leave the tree, and its lines leave MediaDB.db; no media file is touched.
#pragma once

#include <QString>

namespace qv {

class TreeNode;

class ProgramState;
class TreeView;

// True for the node of a scan root: a direct child of "SearchedMedia".
bool IsScanRootNode(const TreeView& tree, const TreeNode* node);

// Rewrites MediaDB.db (whole, through a temporary file and a rename) without
// the lines that show under root in the tree as it stands: root's headers,
// the headers of folders inside it, and the paths the load would put below
// it, whether their files exist or not. The lines of other roots that stood
// under a removed header get their own root's header before them. False when
// the file could not be read or written; it is then as it was.
bool ForgetRootInMediaDB(ProgramState& state, const TreeView& tree, const QString& root);

// "検索されたメディアから外す(&R)" on a scan root's popup: the root clicked
// (strClickedPath) leaves MediaDB.db, then the tree. Nothing happens while a
// scan runs, and a file that cannot be written keeps the node (the status bar
// says what was not saved).
void mnRemoveRoot_Click(ProgramState& state);

}  // namespace qv
