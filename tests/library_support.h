// Helpers of the library tests: the tree as text lines, the fixed nodes, and
// the playlist's paths.
#pragma once

#include "app/frm_quorvane.h"
#include "app/playlist_data.h"
#include "app/tree_view.h"
#include "support/test_program.h"

namespace qvtest {

// The subtree below node, one line per node in tree order: two blanks per
// level, then "text [image] key".
inline void AppendTree(const qv::TreeNode* node, int depth, QStringList* out) {
    for (int i = 0; i < node->childCount(); ++i) {
        const qv::TreeNode* child = node->child(i);
        out->append(QString(depth * 2, u' ') + child->text() + QStringLiteral(" [") +
                    QString::number(child->image()) + QStringLiteral("] ") +
                    qv::TreeView::Key(child));
        AppendTree(child, depth + 1, out);
    }
}

// The subtree below the node of key; the whole tree for an empty key.
inline QStringList TreeBelow(const qv::TreeView& tree, const QString& key = "SearchedMedia") {
    QStringList out;
    const qv::TreeNode* node = key.isEmpty() ? tree.Root() : tree.Node(key);
    if (node) AppendTree(node, 0, &out);
    return out;
}

// The three fixed nodes, as the main window's load adds them.
inline void AddFixedNodes(qv::TreeView& tree) {
    tree.AddNode(QString(), "root", QStringLiteral("全てのメディア"), 1);
    tree.AddNode("root", "RegisteredPlayList", QStringLiteral("登録済みプレイリスト"), 2);
    tree.AddNode("root", "SearchedMedia", QStringLiteral("検索されたメディア"), 3);
}

// The paths of the playlist's entries, in order.
inline QStringList PlayListPaths(const qv::ProgramState& state) {
    QStringList paths;
    for (int i = 0; i < state.PlayListData.Count(); ++i) paths << state.PlayListData[i].FilePath;
    return paths;
}

}  // namespace qvtest
