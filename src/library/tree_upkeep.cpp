// The removal of the nodes of vanished files. The walk's marks on the nodes
// of what it met tell what is still there, so a rescan costs no second look
// at the disk, nor a key built for each node, except for the few subfolders a
// walk without subfolders passes by.
#include "library/tree_upkeep.h"

#include "app/pictures.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "platform/filesystem.h"
#include "platform/paths.h"

namespace qv {
namespace {

// True when node is inside the subtree of top (or is top).
bool Within(const TreeNode* node, const TreeNode* top) {
    for (; node; node = node->parent()) {
        if (node == top) return true;
    }
    return false;
}

bool IsFolderNode(const TreeView& tree, const TreeNode* node) {
    return tree.Image(node) == kImageFolder;
}

// The children of folder, last first, so that a removal moves none still to come.
void Sweep(ProgramState& state, TreeView& tree, TreeNode* folder, bool deep) {
    for (int i = folder->childCount() - 1; i >= 0; --i) {
        TreeNode* child = folder->child(i);
        if (!IsFolderNode(tree, child)) {
            if (!tree.Marked(child)) RemoveTreeNode(state, tree, child);
        } else if (!deep) {
            const QString key = TreeView::Key(child);
            if (!FileOrFolderExists(key) || FileExists(key)) RemoveTreeNode(state, tree, child);
        } else {
            Sweep(state, tree, child, true);
            // A folder node stands only for the media below it.
            if (child->childCount() == 0) RemoveTreeNode(state, tree, child);
        }
    }
}

}  // namespace

void RemoveTreeNode(ProgramState& state, TreeView& tree, TreeNode* node) {
    if (Within(state.nodClicked, node)) state.nodClicked = nullptr;
    tree.RemoveNode(TreeView::Key(node));
}

void ForgetVanished(ProgramState& state, TreeView& tree, const QString& folder,
                    bool IncludeSubFolders) {
    tree.Attach();
    TreeNode* top = tree.Node(folder);
    if (!top) return;
    Sweep(state, tree, top, IncludeSubFolders);
    if (!IncludeSubFolders) return;
    TreeNode* roots = tree.Node(QStringLiteral("SearchedMedia"));
    for (int i = roots ? roots->childCount() - 1 : -1; i >= 0; --i) {
        TreeNode* root = roots->child(i);
        if (root != top && PathIsIn(TreeView::Key(root), folder)) Sweep(state, tree, root, true);
    }
}

}  // namespace qv
