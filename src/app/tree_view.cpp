// The tree view with keyed nodes: the library and the registered playlists
// are keyed by full path, so a key tells at once whether a node exists.
#include "app/tree_view.h"

#include <QAbstractItemModel>
#include <QVarLengthArray>
#include <algorithm>
#include <utility>

#include "platform/name_order.h"

namespace qv {
namespace {

bool ByName(const TreeNode* a, const TreeNode* b) {
    return NameBefore(a->text(), b->text());
}

}  // namespace

// The invisible node above the top level knows its view, so that a node can
// answer what the view shows of it.
class TreeRoot final : public TreeNode {
  public:
    explicit TreeRoot(TreeView* view) : TreeNode(nullptr, QString(), 0), view_(view) {}
    TreeView* view_;
};

// The model the view shows: one column, a node per row, the node itself as
// the index's pointer. Every change goes through Insert and Remove, which
// tell the view (and the accessibility layer behind it) before and after.
class TreeModel final : public QAbstractItemModel {
  public:
    TreeModel(TreeNode* root, QObject* parent) : QAbstractItemModel(parent), root_(root) {}

    QList<QIcon> icons;

    QModelIndex IndexOf(const TreeNode* node) const {
        if (!node || node == root_ || node->row_ < 0) return {};
        return createIndex(node->row_, 0, node);
    }
    TreeNode* NodeOf(const QModelIndex& index) const {
        return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : root_;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        if (column != 0 || parent.column() > 0) return {};
        return IndexOf(NodeOf(parent)->child(row));
    }
    QModelIndex parent(const QModelIndex& child) const override {
        return child.isValid() ? IndexOf(NodeOf(child)->parent_) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.column() > 0 ? 0 : NodeOf(parent)->childCount();
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    bool hasChildren(const QModelIndex& parent) const override {
        return parent.column() <= 0 && NodeOf(parent)->childCount() > 0;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const TreeNode* node = NodeOf(index);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return node->text();
            case Qt::DecorationRole:
                if (node->image() >= 1 && node->image() <= icons.size())
                    return icons[node->image() - 1];
                return {};
            default:
                return {};
        }
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::ItemIsDropEnabled;
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled |
                              Qt::ItemIsDropEnabled;
        // Without children now, a node cannot be open: the view then keeps
        // no record of it, which for a library's files is most of its memory
        // once every folder is opened.
        if (NodeOf(index)->childCount() == 0) flags |= Qt::ItemNeverHasChildren;
        return flags;
    }

    // Puts count nodes into parent's children at row at.
    void Insert(TreeNode* parent, int at, TreeNode* const* nodes, int count) {
        if (count <= 0) return;
        beginInsertRows(IndexOf(parent), at, at + count - 1);
        std::vector<TreeNode*>& children = parent->children_;
        children.insert(children.begin() + at, nodes, nodes + count);
        Renumber(parent, at);
        endInsertRows();
    }
    // Takes node out of its parent's children; the caller deletes it.
    void Remove(TreeNode* node) {
        TreeNode* parent = node->parent_;
        const int row = node->row_;
        beginRemoveRows(IndexOf(parent), row, row);
        parent->children_.erase(parent->children_.begin() + row);
        Renumber(parent, row);
        endRemoveRows();
    }

  private:
    static void Renumber(TreeNode* parent, int from) {
        for (size_t i = static_cast<size_t>(from); i < parent->children_.size(); ++i)
            parent->children_[i]->row_ = static_cast<int>(i);
    }

    TreeNode* root_;
};

// -- TreeNode --

TreeNode::~TreeNode() {
    for (TreeNode* child : children_) delete child;
}

TreeNode* TreeNode::parent() const {
    return parent_ && parent_->parent_ ? parent_ : nullptr;
}

TreeView* TreeNode::View() const {
    const TreeNode* top = this;
    while (top->parent_) top = top->parent_;
    return static_cast<const TreeRoot*>(top)->view_;
}

bool TreeNode::HasKey(QStringView key) const {
    const TreeNode* node = this;
    for (;;) {
        if (node->ownKey_) return *node->ownKey_ == key;
        // A node without a key of its own has a parent with a key.
        const TreeNode* up = node->parent_;
        if (!key.endsWith(node->text_)) return false;
        key.chop(node->text_.size());
        if (!up->keyEndsInSlash_) {
            if (!key.endsWith(u'/')) return false;
            key.chop(1);
        }
        node = up;
    }
}

QString TreeNode::key() const {
    if (ownKey_) return *ownKey_;
    QVarLengthArray<const TreeNode*, 16> chain;
    const TreeNode* top = this;
    qsizetype size = 0;
    for (; !top->ownKey_; top = top->parent_) {
        chain.append(top);
        size += top->text_.size() + (top->parent_->keyEndsInSlash_ ? 0 : 1);
    }
    QString key;
    key.reserve(top->ownKey_->size() + size);
    key += *top->ownKey_;
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        if (!(*it)->parent_->keyEndsInSlash_) key += u'/';
        key += (*it)->text_;
    }
    return key;
}

bool TreeNode::isExpanded() const {
    return View()->isExpanded(View()->IndexOf(this));
}

void TreeNode::setExpanded(bool open) {
    View()->setExpanded(View()->IndexOf(this), open);
}

bool TreeNode::isHidden() const {
    return row_ >= 0 && View()->isRowHidden(row_, View()->IndexOf(parent_));
}

void TreeNode::setHidden(bool hide) {
    if (row_ >= 0) View()->setRowHidden(row_, View()->IndexOf(parent_), hide);
}

// -- TreeView --

TreeView::TreeView(QWidget* parent) : QTreeView(parent), root_(new TreeRoot(this)) {
    model_ = new TreeModel(root_, this);
    setModel(model_);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    // Every row is an icon and a line of text: the view need not measure
    // each of a library's rows to lay them out.
    setUniformRowHeights(true);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit nodeClicked(NodeOf(index)); });
}

TreeView::~TreeView() {
    // The view lets go of the model before the nodes its indexes point at go.
    setModel(nullptr);
    delete model_;
    // Nodes never joined have no owner but this list.
    for (Run& run : pending_) {
        for (TreeNode* node : run.nodes) delete node;
    }
    delete static_cast<TreeRoot*>(root_);
}

void TreeView::setImages(const QList<QPixmap>& images) {
    model_->icons.clear();
    for (const QPixmap& image : images) model_->icons.append(QIcon(image));
}

QModelIndex TreeView::IndexOf(const TreeNode* node) const {
    return model_->IndexOf(node);
}

TreeNode* TreeView::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

QList<TreeNode*> TreeView::SelectedNodes() const {
    QList<TreeNode*> nodes;
    for (const QModelIndex& index : selectionModel()->selectedRows()) nodes << NodeOf(index);
    return nodes;
}

// -- the key index --

namespace {
// The mark of a slot whose node was removed: a look-up goes on past it.
TreeNode* const kRemoved = reinterpret_cast<TreeNode*>(alignof(TreeNode));
}  // namespace

TreeNode* TreeView::KeyIndex::Find(size_t hash, QStringView key) const {
    if (slots_.empty()) return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (!slot.node) return nullptr;
        if (slot.hash == hash && slot.node != kRemoved && slot.node->HasKey(key)) return slot.node;
    }
}

void TreeView::KeyIndex::Insert(TreeNode* node, size_t hash) {
    // At most half used: a look-up for a new key meets an empty slot soon.
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].node && slots_[i].node != kRemoved) i = (i + 1) & mask;
    if (!slots_[i].node) ++used_;
    slots_[i] = {node, hash};
    ++live_;
}

void TreeView::KeyIndex::Erase(const TreeNode* node, size_t hash) {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].node; i = (i + 1) & mask) {
        if (slots_[i].node == node) {
            slots_[i].node = kRemoved;
            --live_;
            return;
        }
    }
}

void TreeView::KeyIndex::Grow() {
    std::vector<Slot> old = std::exchange(slots_, {});
    // Four times what is live, in a power of two: removed nodes' slots go free.
    size_t size = 64;
    while (size < (live_ + 1) * 4) size *= 2;
    slots_.assign(size, Slot{});
    live_ = used_ = 0;
    // The slots keep the hashes: no node is read to move them.
    for (const Slot& slot : old) {
        if (slot.node && slot.node != kRemoved) Insert(slot.node, slot.hash);
    }
}

TreeNode* TreeView::Node(const QString& key) const {
    return keys_.Find(HashOf(key), key);
}

NodeResult TreeView::AddNode(const QString& parentKey, const QString& key, const QString& text,
                             int image, Placement place) {
    TreeNode* parent = nullptr;
    if (!parentKey.isEmpty()) {
        parent = Node(parentKey);
        if (!parent) return NodeResult::ParentNotFound;
    }
    return AddNodeUnder(parent, key, text, image, place);
}

NodeResult TreeView::AddNodeUnder(TreeNode* parent, const QString& key, const QString& text,
                                  int image, Placement place, TreeNode** made) {
    const size_t hash = HashOf(key);
    if (TreeNode* there = keys_.Find(hash, key)) {
        if (made) *made = there;
        return NodeResult::DuplicateKey;
    }
    if (!parent) parent = root_;
    auto* node = new TreeNode(parent, text, image);
    if (made) *made = node;
    node->hash_ = hash;
    // A path below its folder's node costs no second copy of the path: the
    // node keeps a key only when it is not its parent's, "/" and its text.
    if (parent == root_ || !node->HasKey(key)) node->ownKey_ = std::make_unique<QString>(key);
    node->keyEndsInSlash_ = key.endsWith(u'/');
    keys_.Insert(node, hash);
    if (batchDepth_ > 0) {
        if (pending_.empty() || pending_.back().parent != parent || pending_.back().place != place)
            pending_.push_back({parent, place, {}});
        pending_.back().nodes.push_back(node);
    } else if (place == Placement::ByName) {
        InsertByName(parent, {node});
    } else {
        model_->Insert(parent, parent->childCount(), &node, 1);
    }
    return NodeResult::Added;
}

void TreeView::Attach() {
    // Taken first: the view's signals could, in principle, reach code that adds.
    const auto runs = std::exchange(pending_, {});
    for (const Run& run : runs) {
        if (run.place == Placement::ByName) {
            InsertByName(run.parent, run.nodes);
        } else {
            model_->Insert(run.parent, run.parent->childCount(), run.nodes.data(),
                           static_cast<int>(run.nodes.size()));
        }
    }
}

void TreeView::InsertByName(TreeNode* parent, std::vector<TreeNode*> nodes) {
    // A walk and a library file as a scan wrote it give each folder's nodes
    // in order already, after what the folder holds: one test, and the run
    // falls into the one gap after the children.
    if (!std::is_sorted(nodes.cbegin(), nodes.cend(), ByName))
        std::stable_sort(nodes.begin(), nodes.end(), ByName);
    const std::vector<TreeNode*>& children = parent->children_;
    // Each gap between the children takes the run of new nodes that falls
    // into it in one step.
    size_t from = 0;
    for (size_t i = 0; i < nodes.size();) {
        const auto gap =
            std::partition_point(children.cbegin() + static_cast<ptrdiff_t>(from), children.cend(),
                                 [&](const TreeNode* child) { return ByName(child, nodes[i]); });
        const size_t at = static_cast<size_t>(gap - children.cbegin());
        size_t end = i + 1;
        while (end < nodes.size() && (at == children.size() || ByName(nodes[end], children[at])))
            ++end;
        model_->Insert(parent, static_cast<int>(at), nodes.data() + i, static_cast<int>(end - i));
        from = at + (end - i);
        i = end;
    }
}

void TreeView::Forget(const TreeNode* node) {
    keys_.Erase(node, node->hash_);
    for (const TreeNode* child : node->children_) Forget(child);
}

bool TreeView::RemoveNode(const QString& key) {
    Attach();
    TreeNode* node = Node(key);
    if (!node) return false;
    Forget(node);
    model_->Remove(node);
    delete node;  // takes the subtree with it
    return true;
}

void TreeView::EnsureVisible(const QString& key) {
    Attach();
    const TreeNode* node = Node(key);
    if (!node) return;
    for (TreeNode* up = node->parent(); up; up = up->parent()) up->setExpanded(true);
    scrollTo(IndexOf(node));
}

}  // namespace qv
