// The tree view TV1: nodes found by key, adding a node fails distinctly on a
// duplicate key and on a missing parent key, as the library code relies on.
#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QTreeWidget>
#include <utility>
#include <vector>

namespace qv {

enum class NodeResult { Added, DuplicateKey, ParentNotFound };

// Where a new node goes among its siblings: after them (the fixed nodes, the
// registered playlists), or in name order (platform/name_order.h) by its text,
// as every folder's children and the scan roots are shown.
enum class Placement { Last, ByName };

class TreeView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TreeView(QWidget* parent = nullptr);
    ~TreeView() override;

    // The image list: image n (1-based) is images[n - 1].
    // One icon per image, shared by every node that shows it.
    void setImages(const QList<QPixmap>& images) {
        icons_.clear();
        for (const QPixmap& image : images) icons_.append(QIcon(image));
    }

    // Adds a node under parentKey ("" = top level) with an image number.
    NodeResult AddNode(const QString& parentKey, const QString& key, const QString& text, int image,
                       Placement place = Placement::Last);
    // AddNode under a node already found (nullptr = top level); the key must
    // still be new.
    NodeResult AddNodeUnder(QTreeWidgetItem* parent, const QString& key, const QString& text,
                            int image, Placement place = Placement::Last);
    QTreeWidgetItem* Node(const QString& key) const { return nodes_.value(key, nullptr); }
    static QString Key(const QTreeWidgetItem* node);
    int Image(const QTreeWidgetItem* node) const;
    // Removes the node and everything below it; false when there is no such key.
    bool RemoveNode(const QString& key);
    // Expands the node's ancestors and scrolls the node into view.
    void EnsureVisible(const QString& key);
    int NodeCount() const { return static_cast<int>(nodes_.size()); }

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

  private:
    struct Run {
        QTreeWidgetItem* parent;  // nullptr = top level
        Placement place;
        QList<QTreeWidgetItem*> nodes;
    };

    void Forget(QTreeWidgetItem* node);
    // Joins new nodes to parent: each in its place by name among the
    // children there, which are in name order already.
    void InsertByName(QTreeWidgetItem* parent, QList<QTreeWidgetItem*> nodes);

    QHash<QString, QTreeWidgetItem*> nodes_;
    QList<QIcon> icons_;
    int batchDepth_ = 0;
    // Nodes waiting to be joined: runs of siblings, in the order they came.
    std::vector<Run> pending_;
};

}  // namespace qv
