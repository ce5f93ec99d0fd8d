// The playlist's record array: every change keeps the path index in step so
// that the duplicate test of each add costs O(1) rather than a full scan.
#include "app/playlist_data.h"

#include <utility>

namespace qv {

void PlayListArray::Tally(const QString& path, int delta) {
    auto it = index_.find(path);
    if (it == index_.end()) {
        if (delta > 0) index_.insert(path, delta);
        return;
    }
    *it += delta;
    if (*it <= 0) index_.erase(it);
}

void PlayListArray::Reset() {
    items_.assign(1, PlayListItem{});
    index_.clear();
    Tally(QString(), 1);
    Changed();
}

void PlayListArray::Append(const PlayListItem& item) {
    items_.push_back(item);
    Tally(item.FilePath, 1);
    Changed();
}

void PlayListArray::Set(int i, const PlayListItem& item) {
    PlayListItem& slot = items_[static_cast<size_t>(i)];
    Tally(slot.FilePath, -1);
    slot = item;
    Tally(slot.FilePath, 1);
    Changed();
}

void PlayListArray::Remove(int i) {
    if (Count() == 1) {
        Reset();
        return;
    }
    Tally(items_[static_cast<size_t>(i)].FilePath, -1);
    items_.erase(items_.begin() + i);
    Changed();
}

void PlayListArray::Replace(int first, int count, const std::vector<PlayListItem>& items) {
    const auto at = items_.begin() + first;
    for (auto it = at; it != at + count; ++it) Tally(it->FilePath, -1);
    for (const PlayListItem& item : items) Tally(item.FilePath, 1);
    items_.insert(items_.erase(at, at + count), items.begin(), items.end());
    Changed();
}

void PlayListArray::Swap(int i, int j) {
    std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
    Changed();
}

}  // namespace qv
