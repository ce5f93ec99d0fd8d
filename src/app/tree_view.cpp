// The tree view with keyed nodes: the library and the registered playlists
// are keyed by full path, so a key tells at once whether a node exists.
#include "app/tree_view.h"

namespace qv {
namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
}  // namespace

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
}

NodeResult TreeView::AddNode(const QString& parentKey, const QString& key, const QString& text,
                             int image) {
    QTreeWidgetItem* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = Node(parentKey);
        if (!parent) return NodeResult::ParentNotFound;
    }
    if (nodes_.contains(key)) return NodeResult::DuplicateKey;
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kKeyRole, key);
    node->setData(0, kImageRole, image);
    if (image >= 1 && image <= icons_.size()) node->setIcon(0, icons_[image - 1]);
    if (parent) {
        parent->addChild(node);
    } else {
        addTopLevelItem(node);
    }
    nodes_.insert(key, node);
    return NodeResult::Added;
}

QString TreeView::Key(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKeyRole).toString() : QString();
}

int TreeView::Image(const QTreeWidgetItem* node) const {
    return node ? node->data(0, kImageRole).toInt() : 0;
}

void TreeView::Forget(QTreeWidgetItem* node) {
    for (int i = 0; i < node->childCount(); ++i) Forget(node->child(i));
    nodes_.remove(Key(node));
}

bool TreeView::RemoveNode(const QString& key) {
    QTreeWidgetItem* node = Node(key);
    if (!node) return false;
    Forget(node);
    delete node;  // takes the subtree with it
    return true;
}

void TreeView::EnsureVisible(const QString& key) {
    QTreeWidgetItem* node = Node(key);
    if (!node) return;
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) up->setExpanded(true);
    scrollToItem(node);
}

}  // namespace qv
