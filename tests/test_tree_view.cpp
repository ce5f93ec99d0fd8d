// The keyed tree view on its own: what a node answers for its key, image and
// icon, and nodes added under a batch hold, which join the tree in their order.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <memory>

#include "app/tree_view.h"

namespace {

// Three images of distinct colours, so an icon can be told by its pixels.
QList<QPixmap> Images() {
    QList<QPixmap> images;
    for (QColor c : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        QPixmap p(16, 16);
        p.fill(c);
        images.append(p);
    }
    return images;
}

// The subtree below node as "text:key:image" lines, two blanks a level.
void Lines(const QTreeWidgetItem* node, int depth, QStringList* out) {
    for (int i = 0; i < node->childCount(); ++i) {
        const QTreeWidgetItem* c = node->child(i);
        out->append(QString(depth * 2, u' ') + c->text(0) + u':' + qv::TreeView::Key(c) + u':' +
                    c->data(0, Qt::UserRole + 1).toString());
        Lines(c, depth + 1, out);
    }
}

QStringList Tree(const qv::TreeView& tree) {
    QStringList out;
    Lines(tree.invisibleRootItem(), 0, &out);
    return out;
}

class TreeViewTest : public ::testing::Test {
  protected:
    TreeViewTest() { tree.setImages(Images()); }
    qv::TreeView tree;
};

TEST_F(TreeViewTest, NodeAnswersItsKeyImageIconAndText) {
    ASSERT_EQ(tree.AddNode("", "top", "Top", 1), qv::NodeResult::Added);
    ASSERT_EQ(tree.AddNode("top", "/m/a.mp3", "a.mp3", 3), qv::NodeResult::Added);
    ASSERT_EQ(tree.AddNode("top", "none", "None", 0), qv::NodeResult::Added);
    ASSERT_EQ(tree.AddNode("top", "far", "Far", 9), qv::NodeResult::Added);

    const QTreeWidgetItem* a = tree.Node("/m/a.mp3");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(qv::TreeView::Key(a), "/m/a.mp3");
    EXPECT_EQ(tree.Image(a), 3);
    EXPECT_EQ(a->text(0), "a.mp3");
    EXPECT_EQ(a->parent(), tree.Node("top"));
    // The icon is image 3's picture, as the view asks for it through the model.
    const QModelIndex index = tree.model()->index(0, 0, tree.model()->index(0, 0));
    const QIcon icon = tree.model()->data(index, Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_EQ(tree.model()->data(index, Qt::DisplayRole).toString(), "a.mp3");
    // No picture for an image number outside the list; the number is kept.
    EXPECT_TRUE(tree.Node("none")->icon(0).isNull());
    EXPECT_TRUE(tree.Node("far")->icon(0).isNull());
    EXPECT_EQ(tree.Image(tree.Node("far")), 9);
    EXPECT_EQ(qv::TreeView::Key(nullptr), QString());
}

TEST_F(TreeViewTest, BatchedNodesJoinInTheOrderAddedWhenTheHoldEnds) {
    tree.AddNode("", "root", "Root", 1);
    {
        const qv::TreeView::Batch batch(tree);
        EXPECT_EQ(tree.AddNode("root", "A", "A", 1), qv::NodeResult::Added);
        EXPECT_EQ(tree.AddNode("A", "A/x", "x", 2), qv::NodeResult::Added);
        EXPECT_EQ(tree.AddNode("root", "B", "B", 1), qv::NodeResult::Added);
        EXPECT_EQ(tree.AddNode("B", "B/y", "y", 2), qv::NodeResult::Added);
        // Back to A: its children stay in the order they came.
        EXPECT_EQ(tree.AddNode("A", "A/z", "z", 3), qv::NodeResult::Added);
        EXPECT_EQ(tree.AddNodeUnder(nullptr, "top2", "Top2", 1), qv::NodeResult::Added);
        // Keys count at once: both failures are told apart during the hold.
        EXPECT_EQ(tree.AddNode("A", "A/x", "again", 2), qv::NodeResult::DuplicateKey);
        EXPECT_EQ(tree.AddNode("nowhere", "n/q", "q", 2), qv::NodeResult::ParentNotFound);
        EXPECT_EQ(tree.NodeCount(), 7);
    }
    EXPECT_EQ(Tree(tree), QStringList({"Root:root:1", "  A:A:1", "    x:A/x:2", "    z:A/z:3",
                                       "  B:B:1", "    y:B/y:2", "Top2:top2:1"}));
    EXPECT_EQ(tree.model()->rowCount(tree.model()->index(0, 0)), 2);
}

TEST_F(TreeViewTest, InnerHoldLeavesTheJoiningToTheOuterOne) {
    tree.AddNode("", "root", "Root", 1);
    const auto batch = std::make_unique<qv::TreeView::Batch>(tree);
    {
        const qv::TreeView::Batch inner(tree);
        tree.AddNode("root", "k", "K", 2);
    }
    EXPECT_EQ(tree.Node("root")->childCount(), 0);
    tree.Attach();  // what a walk does before it lets events run
    EXPECT_EQ(Tree(tree), QStringList({"Root:root:1", "  K:k:2"}));
    tree.AddNode("root", "l", "L", 2);
    EXPECT_EQ(tree.Node("root")->childCount(), 1);
}

TEST_F(TreeViewTest, RemoveAndEnsureVisibleDuringAHoldSeeTheWholeTree) {
    tree.AddNode("", "root", "Root", 1);
    {
        const qv::TreeView::Batch batch(tree);
        tree.AddNode("root", "F", "F", 4);
        tree.AddNode("F", "F/a", "a", 7);
        tree.AddNode("root", "G", "G", 4);
        tree.AddNode("G", "G/b", "b", 7);
        EXPECT_TRUE(tree.RemoveNode("F"));
        EXPECT_EQ(tree.Node("F/a"), nullptr);
        // The removed keys are free again, and new nodes still join the tree.
        EXPECT_EQ(tree.AddNode("root", "F", "F2", 4), qv::NodeResult::Added);
        tree.EnsureVisible("G/b");
        EXPECT_TRUE(tree.Node("G")->isExpanded());
    }
    EXPECT_EQ(Tree(tree), QStringList({"Root:root:1", "  G:G:4", "    b:G/b:7", "  F2:F:4"}));
    EXPECT_EQ(tree.NodeCount(), 4);
}

}  // namespace
