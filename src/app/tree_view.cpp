// The tree view with keyed nodes: the library and the registered playlists
// are keyed by full path, so a key tells at once whether a node exists.
#include "app/tree_view.h"

#include <algorithm>

#include "platform/name_order.h"

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

    const QString& Text() const { return text_; }

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

// Every node of the tree is a KeyedNode.
const QString& TextOf(const QTreeWidgetItem* node) {
    return static_cast<const KeyedNode*>(node)->Text();
}

bool ByName(const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    return NameBefore(TextOf(a), TextOf(b));
}

}  // namespace

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
}

TreeView::~TreeView() {
    // Nodes never joined have no owner but this list.
    for (Run& run : pending_) qDeleteAll(run.nodes);
}

NodeResult TreeView::AddNode(const QString& parentKey, const QString& key, const QString& text,
                             int image, Placement place) {
    QTreeWidgetItem* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = Node(parentKey);
        if (!parent) return NodeResult::ParentNotFound;
    }
    return AddNodeUnder(parent, key, text, image, place);
}

NodeResult TreeView::AddNodeUnder(QTreeWidgetItem* parent, const QString& key, const QString& text,
                                  int image, Placement place) {
    // One look-up both tests and claims the key.
    QTreeWidgetItem*& slot = nodes_[key];
    if (slot) return NodeResult::DuplicateKey;
    const QIcon* icon = image >= 1 && image <= icons_.size() ? &icons_[image - 1] : nullptr;
    auto* node = new KeyedNode(text, key, image, icon);
    slot = node;
    if (batchDepth_ > 0) {
        if (pending_.empty() || pending_.back().parent != parent || pending_.back().place != place)
            pending_.push_back({parent, place, {}});
        pending_.back().nodes.append(node);
    } else if (place == Placement::ByName) {
        InsertByName(parent, {node});
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
    for (const Run& run : runs) {
        if (run.place == Placement::ByName) {
            InsertByName(run.parent, run.nodes);
        } else if (run.parent) {
            run.parent->addChildren(run.nodes);
        } else {
            addTopLevelItems(run.nodes);
        }
    }
}

void TreeView::InsertByName(QTreeWidgetItem* parent, QList<QTreeWidgetItem*> nodes) {
    if (!parent) parent = invisibleRootItem();
    // A walk and a library file as a scan wrote it give each folder's nodes
    // in order already, after what the folder holds: one test and one step.
    if (!std::is_sorted(nodes.cbegin(), nodes.cend(), ByName))
        std::stable_sort(nodes.begin(), nodes.end(), ByName);
    const int count = parent->childCount();
    if (count == 0 || ByName(parent->child(count - 1), nodes.first())) {
        parent->addChildren(nodes);
        return;
    }
    // Otherwise each gap between the children takes the run of new nodes
    // that falls into it in one step; the children after a gap have moved on
    // by the nodes put in before them.
    int from = 0, added = 0;
    for (qsizetype i = 0; i < nodes.size();) {
        int lo = from, hi = count;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (ByName(parent->child(mid + added), nodes[i])) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        qsizetype end = i + 1;
        while (end < nodes.size() && (lo == count || ByName(nodes[end], parent->child(lo + added))))
            ++end;
        parent->insertChildren(lo + added, nodes.mid(i, end - i));
        added += int(end - i);
        from = lo;
        i = end;
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
