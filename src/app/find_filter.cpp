// Filtering the media tree and the playlist box for the find bar.
#include "app/find_filter.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <algorithm>

#include "app/tree_view.h"
#include "platform/find_text.h"

namespace qv {

namespace {
// More matches than this and the folders stay as the user left them: opening
// thousands would bury the tree.
constexpr size_t kMatchesOpened = 300;
}  // namespace

TreeFilter::TreeFilter(TreeView* tree) : QObject(tree), tree_(tree) {
    QAbstractItemModel* model = tree->model();
    const auto stale = [this] {
        const bool was = dirty_;
        dirty_ = true;
        if (!was) emit changed();
    };
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, stale);
    connect(model, &QAbstractItemModel::rowsInserted, this, stale);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, stale);
    connect(model, &QAbstractItemModel::layoutChanged, this, stale);
}

void TreeFilter::Rebuild() {
    entries_.clear();
    entries_.reserve(static_cast<size_t>(tree_->NodeCount()));
    // Depth first, in the order shown, so a node's entries below it follow it.
    std::vector<std::pair<TreeNode*, int>> stack;
    for (int i = tree_->Root()->childCount() - 1; i >= 0; --i)
        stack.emplace_back(tree_->Root()->child(i), -1);
    std::vector<int> open;  // entries whose end is still to be set
    while (!stack.empty()) {
        auto [item, parent] = stack.back();
        stack.pop_back();
        while (!open.empty() && open.back() != parent) {
            entries_[static_cast<size_t>(open.back())].end = static_cast<int>(entries_.size());
            open.pop_back();
        }
        const int index = static_cast<int>(entries_.size());
        const bool leaf = item->childCount() == 0;
        entries_.push_back({item, parent, index + 1, leaf, item->isHidden(),
                            leaf ? FoldForFind(item->text()) : QString()});
        if (!leaf) {
            open.push_back(index);
            for (int c = item->childCount() - 1; c >= 0; --c)
                stack.emplace_back(item->child(c), index);
        }
    }
    for (int index : open)
        entries_[static_cast<size_t>(index)].end = static_cast<int>(entries_.size());
    dirty_ = false;
}

std::vector<TreeNode*> TreeFilter::Apply(const QString& query) {
    if (dirty_) Rebuild();
    const size_t n = entries_.size();
    std::vector<char> shown(n, query.isEmpty() ? 1 : 0);
    std::vector<TreeNode*> matches;
    if (!query.isEmpty()) {
        // Children follow their parent, so from the back every node has
        // heard from all of its children before it tells its own parent.
        for (size_t i = n; i-- > 0;) {
            const Entry& e = entries_[i];
            if (e.leaf && e.folded.contains(query)) {
                shown[i] = 1;
                matches.push_back(e.item);
            }
            if (shown[i] && e.parent >= 0) shown[static_cast<size_t>(e.parent)] = 1;
        }
    }
    // A hidden node hides all below it: its nodes keep their state until it
    // is shown again, so only rows that can be seen are touched.
    for (size_t i = 0; i < n;) {
        Entry& e = entries_[i];
        const bool hide = !shown[i];
        if (e.hidden != hide) {
            e.item->setHidden(hide);
            e.hidden = hide;
        }
        i = hide ? static_cast<size_t>(e.end) : i + 1;
    }
    std::reverse(matches.begin(), matches.end());
    if (!matches.empty() && matches.size() <= kMatchesOpened) {
        for (size_t i = 0; i < n; ++i) {
            const Entry& e = entries_[i];
            if (!e.leaf || !shown[i]) continue;
            for (int p = e.parent; p >= 0; p = entries_[static_cast<size_t>(p)].parent) {
                TreeNode* folder = entries_[static_cast<size_t>(p)].item;
                if (folder->isExpanded()) break;
                folder->setExpanded(true);
                opened_ << TreeView::Key(folder);
            }
        }
    }
    return matches;
}

void TreeFilter::Clear() {
    Apply(QString());
    // Innermost first, as they were opened outermost first.
    for (auto it = opened_.crbegin(); it != opened_.crend(); ++it) {
        if (TreeNode* folder = tree_->Node(*it)) folder->setExpanded(false);
    }
    opened_.clear();
}

int ListFilter::Apply(const QString& query, const std::vector<QString>& haystacks) {
    int first = -1;
    const int rows = std::min(list_->count(), static_cast<int>(haystacks.size()));
    for (int row = 0; row < rows; ++row) {
        const bool hide = !query.isEmpty() && !haystacks[static_cast<size_t>(row)].contains(query);
        if (list_->isRowHidden(row) != hide) list_->setRowHidden(row, hide);
        if (!hide && first < 0) first = row;
    }
    return first;
}

}  // namespace qv
