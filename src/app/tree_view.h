// The tree view TV1: nodes found by key, adding a node fails distinctly on a
// duplicate key and on a missing parent key, as the library code relies on.
//
// A library of 200,000 files is 200,000 nodes, so the nodes are the view's
// own compact store shown through a model, not items of a widget: a node
// keeps its name, its image number and its place, and its key (mostly a full
// path) is its parent's key, a separator and its name, built when asked.
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QTreeView>
#include <memory>
#include <vector>

namespace qv {

enum class NodeResult { Added, DuplicateKey, ParentNotFound };

// Where a new node goes among its siblings: after them (the fixed nodes, the
// registered playlists), or in name order (platform/name_order.h) by its text,
// as every folder's children and the scan roots are shown.
enum class Placement { Last, ByName };

class TreeView;
class TreeModel;

class TreeNode {
  public:
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    const QString& text() const { return text_; }
    int image() const { return image_; }
    QString key() const;
    // nullptr at the top level.
    TreeNode* parent() const;
    int childCount() const { return static_cast<int>(children_.size()); }
    // nullptr outside 0 … childCount() - 1.
    TreeNode* child(int i) const {
        return i >= 0 && i < childCount() ? children_[static_cast<size_t>(i)] : nullptr;
    }
    // What the view shows of the node: open or closed, shown or hidden.
    bool isExpanded() const;
    void setExpanded(bool open);
    bool isHidden() const;
    void setHidden(bool hide);

  protected:
    TreeNode(TreeNode* parent, const QString& text, int image)
        : parent_(parent), text_(text), image_(image) {}
    ~TreeNode();

  private:
    friend class TreeView;
    friend class TreeModel;
    TreeView* View() const;
    // True when the node's key is key, without building it.
    bool HasKey(QStringView key) const;

    // The view's invisible root above the top level; nullptr for that root.
    TreeNode* parent_;
    std::vector<TreeNode*> children_;  // owned
    QString text_;
    // The key when it is not the parent's key, "/" and the text (the fixed
    // nodes, the scan roots, the registered playlists).
    std::unique_ptr<QString> ownKey_;
    size_t hash_ = 0;  // of the key, to find its slot when it goes
    int image_;
    int row_ = -1;                 // place among parent_'s children; -1 until joined
    uint32_t mark_ = 0;            // the pass that last marked it (TreeView::Mark)
    bool keyEndsInSlash_ = false;  // the file-system root "/": its children add no separator
};

class TreeView : public QTreeView {
    Q_OBJECT
  public:
    explicit TreeView(QWidget* parent = nullptr);
    ~TreeView() override;

    // The image list: image n (1-based) is images[n - 1].
    // One icon per image, shared by every node that shows it.
    void setImages(const QList<QPixmap>& images);

    // Adds a node under parentKey ("" = top level) with an image number.
    NodeResult AddNode(const QString& parentKey, const QString& key, const QString& text, int image,
                       Placement place = Placement::Last);
    // AddNode under a node already found (nullptr = top level); the key must
    // still be new. With node, *node is the node made, or the one that has the
    // key already.
    NodeResult AddNodeUnder(TreeNode* parent, const QString& key, const QString& text, int image,
                            Placement place = Placement::Last, TreeNode** node = nullptr);
    TreeNode* Node(const QString& key) const;
    static QString Key(const TreeNode* node) { return node ? node->key() : QString(); }
    int Image(const TreeNode* node) const { return node ? node->image() : 0; }
    // Removes the node and everything below it; false when there is no such key.
    bool RemoveNode(const QString& key);
    // Expands the node's ancestors and scrolls the node into view.
    void EnsureVisible(const QString& key);
    // Marks of one pass over the nodes (a scan's files met): StartMarks
    // forgets every earlier mark at once.
    void StartMarks() { ++mark_; }
    void Mark(TreeNode* node) const { node->mark_ = mark_; }
    bool Marked(const TreeNode* node) const { return node->mark_ == mark_; }
    int NodeCount() const { return static_cast<int>(keys_.Count()); }

    // The invisible node whose children are the top level.
    TreeNode* Root() { return root_; }
    const TreeNode* Root() const { return root_; }
    // The view's side of a node: its model index, its row's rectangle.
    QModelIndex IndexOf(const TreeNode* node) const;
    static TreeNode* NodeOf(const QModelIndex& index);
    TreeNode* NodeAt(const QPoint& viewportPos) const { return NodeOf(indexAt(viewportPos)); }
    TreeNode* CurrentNode() const { return NodeOf(currentIndex()); }
    void SetCurrentNode(const TreeNode* node) { setCurrentIndex(IndexOf(node)); }
    QList<TreeNode*> SelectedNodes() const;
    QRect NodeRect(const TreeNode* node) const { return visualRect(IndexOf(node)); }

    // While held, new nodes are keyed at once but joined to their parents in
    // one step per run of siblings when the hold ends (or Attach is called):
    // a view told of every node on its own spends most of a scan on that.
    // Nothing outside the adding code may look at the tree meanwhile, so a
    // holder attaches before it lets events run.
    class Batch {
      public:
        explicit Batch(TreeView& tree) : tree_(tree) { ++tree_.batchDepth_; }
        ~Batch() {
            if (--tree_.batchDepth_ == 0) tree_.Attach();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        TreeView& tree_;
    };
    // Joins every node added under a Batch to its parent: after its siblings
    // in the order added, or among them in name order.
    void Attach();

  signals:
    // A left click on a node's row, as the view's clicked() reports it.
    void nodeClicked(qv::TreeNode* node);

  private:
    struct Run {
        TreeNode* parent;
        Placement place;
        std::vector<TreeNode*> nodes;
    };

    // The nodes by the hash of their keys, open addressed: a slot is a
    // pointer and the hash, where a hash map would keep an entry and a chain
    // per node; a node is read only when the hashes agree.
    class KeyIndex {
      public:
        TreeNode* Find(size_t hash, QStringView key) const;
        void Insert(TreeNode* node, size_t hash);
        void Erase(const TreeNode* node, size_t hash);
        size_t Count() const { return live_; }

      private:
        void Grow();
        struct Slot {
            TreeNode* node = nullptr;
            size_t hash = 0;
        };
        std::vector<Slot> slots_;
        size_t live_ = 0, used_ = 0;  // used_ counts the slots of removed nodes too
    };

    static size_t HashOf(QStringView key) { return qHash(key); }
    // Drops the keys of node and of everything below it.
    void Forget(const TreeNode* node);
    // Joins new nodes to parent: each in its place by name among the
    // children there, which are in name order already.
    void InsertByName(TreeNode* parent, std::vector<TreeNode*> nodes);

    TreeNode* root_;  // owned
    TreeModel* model_;
    // A hit is checked against the node's own key.
    KeyIndex keys_;
    int batchDepth_ = 0;
    uint32_t mark_ = 0;
    // Nodes waiting to be joined: runs of siblings, in the order they came.
    std::vector<Run> pending_;
};

}  // namespace qv
