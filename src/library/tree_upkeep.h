// Keeping the media tree true to the disk: removing a node safely, and what a
// rescan forgets of the files and folders under its folder that are gone.
#pragma once

#include <QString>

namespace qv {

class TreeNode;

class ProgramState;
class TreeView;

// Removes node with everything below it; the popups' last target goes with it.
void RemoveTreeNode(ProgramState& state, TreeView& tree, TreeNode* node);

// After a whole walk of folder, whose media files met are the tree's marked
// nodes (TreeView::Mark, since the walk's StartMarks): the file nodes below
// folder the walk did not meet go, and the folder nodes left with nothing
// below them (folder's own node stays, as do scan roots). Without subfolders
// the walk met only folder's own files: those of the others go, as do the
// subfolders that are gone. Scan roots inside folder (scanned before it) are
// gone over as part of it. MediaDB.db keeps its lines, as for a click.
void ForgetVanished(ProgramState& state, TreeView& tree, const QString& folder,
                    bool IncludeSubFolders);

}  // namespace qv
