// The tree view with keyed nodes: the library and the registered playlists
// are keyed by full path, so a key tells at once whether a node exists.
#include "app/tree_view.h"

namespace qv {
namespace {
constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// A node that keeps its text, key, image number and icon in members: the
// item's own role store would build and search a QVariant list for each of
// them, on every one of a library's tens of thousands of nodes. They never
// change after the node is made (nothing edits or renames a node).
class KeyedNode final : public QTreeWidgetItem {
  public:
    KeyedNode(const QString& text, const QString& key, int image, const QIcon* icon)
        : text_(text), key_(key), image_(image) {
        if (icon) icon_ = *icon;
    }

    QVariant data(int column, int role) const override {
        if (column == 0) {
            switch (role) {
                case Qt::DisplayRole:
                case Qt::EditRole:
                    return text_;
                case kKeyRole:
                    return key_;
                case kImageRole:
                    return image_;
                case Qt::DecorationRole:
                    if (!icon_.isNull()) return icon_;
                    break;
                default:
                    break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

  private:
    QString text_;
    QString key_;
    int image_;
    QIcon icon_;
};

}  // namespace

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
}

TreeView::~TreeView() {
    // Nodes never joined have no owner but this list.
    for (auto& run : pending_) qDeleteAll(run.second);
}

NodeResult TreeView::AddNode(const QString& parentKey, const QString& key, const QString& text,
                             int image) {
    QTreeWidgetItem* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = Node(parentKey);
        if (!parent) return NodeResult::ParentNotFound;
    }
    return AddNodeUnder(parent, key, text, image);
}

NodeResult TreeView::AddNodeUnder(QTreeWidgetItem* parent, const QString& key, const QString& text,
                                  int image) {
    // One look-up both tests and claims the key.
    QTreeWidgetItem*& slot = nodes_[key];
    if (slot) return NodeResult::DuplicateKey;
    const QIcon* icon = image >= 1 && image <= icons_.size() ? &icons_[image - 1] : nullptr;
    auto* node = new KeyedNode(text, key, image, icon);
    slot = node;
    if (batchDepth_ > 0) {
        if (pending_.empty() || pending_.back().first != parent) pending_.push_back({parent, {}});
        pending_.back().second.append(node);
    } else if (parent) {
        parent->addChild(node);
    } else {
        addTopLevelItem(node);
    }
    return NodeResult::Added;
}

void TreeView::Attach() {
    // Taken first: a parent's signals could, in principle, reach code that adds.
    const auto runs = std::exchange(pending_, {});
    for (const auto& [parent, nodes] : runs) {
        if (parent) {
            parent->addChildren(nodes);
        } else {
            addTopLevelItems(nodes);
        }
    }
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
    Attach();
    QTreeWidgetItem* node = Node(key);
    if (!node) return false;
    Forget(node);
    delete node;  // takes the subtree with it
    return true;
}

void TreeView::EnsureVisible(const QString& key) {
    Attach();
    QTreeWidgetItem* node = Node(key);
    if (!node) return;
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) up->setExpanded(true);
    scrollToItem(node);
}

}  // namespace qv
