// What the find bar does to the media tree and the playlist box: it hides
// what does not match and shows it all again, touching only the rows whose
// state changes, so a keystroke stays quick over a large library.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class QListWidget;

namespace qv {

class TreeNode;

class TreeView;

class TreeFilter : public QObject {
    Q_OBJECT
  public:
    explicit TreeFilter(TreeView* tree);

    // Shows the file nodes whose name, folded, holds query, and the nodes
    // above them; hides the rest. "" shows everything. A query that finds few
    // nodes opens the folders that hold them. Returns the matches in tree
    // order (none for "").
    std::vector<TreeNode*> Apply(const QString& query);
    // Shows everything and closes the folders Apply opened.
    void Clear();
    // Reads and folds every name now, as the bar opens, so that the first
    // keystroke finds them ready; Apply does it when the tree has changed.
    void Prepare() {
        if (dirty_) Rebuild();
    }
  signals:
    // The tree changed under a query: the owner applies it again.
    void changed();

  private:
    struct Entry {
        TreeNode* item;
        int parent;  // index of the parent entry, -1 at the top
        int end;     // index after the last entry below this one
        bool leaf;
        bool hidden;
        QString folded;
    };
    void Rebuild();

    TreeView* tree_;
    std::vector<Entry> entries_;
    bool dirty_ = true;
    // Keys of the folders Apply opened, to close again.
    QStringList opened_;
};

class ListFilter {
  public:
    explicit ListFilter(QListWidget* list) : list_(list) {}

    // Hides the rows whose text (haystacks[row], folded) does not hold query;
    // "" shows them all. Returns the first row shown, -1 when none.
    int Apply(const QString& query, const std::vector<QString>& haystacks);

  private:
    QListWidget* list_;
};

}  // namespace qv
