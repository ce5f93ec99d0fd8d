// The tree view TV1: nodes found by key, adding a node fails distinctly on a
// duplicate key and on a missing parent key, as the library code relies on.
#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QTreeWidget>

namespace qv {

enum class NodeResult { Added, DuplicateKey, ParentNotFound };

class TreeView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TreeView(QWidget* parent = nullptr);

    // The image list: image n (1-based) is images[n - 1].
    // One icon per image, shared by every node that shows it.
    void setImages(const QList<QPixmap>& images) {
        icons_.clear();
        for (const QPixmap& image : images) icons_.append(QIcon(image));
    }

    // Adds a node under parentKey ("" = top level) with an image number.
    NodeResult AddNode(const QString& parentKey, const QString& key, const QString& text,
                       int image);
    QTreeWidgetItem* Node(const QString& key) const { return nodes_.value(key, nullptr); }
    static QString Key(const QTreeWidgetItem* node);
    int Image(const QTreeWidgetItem* node) const;
    // Removes the node and everything below it; false when there is no such key.
    bool RemoveNode(const QString& key);
    // Expands the node's ancestors and scrolls the node into view.
    void EnsureVisible(const QString& key);
    int NodeCount() const { return static_cast<int>(nodes_.size()); }

  private:
    void Forget(QTreeWidgetItem* node);

    QHash<QString, QTreeWidgetItem*> nodes_;
    QList<QIcon> icons_;
};

}  // namespace qv
