// The playlist's entry records (PlayListItem) and the array that holds them
// (PlayListData), with the index that makes the duplicate test O(1).
#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace qv {

struct PlayListItem {
    QString FilePath;     // exactly as handed to AddToPlayList; "" only in the placeholder
    QString MediaType;    // GetMediaType of the path
    QString DisplayName;  // the line text in lstPL
    int32_t Length = 0;   // whole seconds; set by the player when it opens the entry
};

// Never empty: the empty playlist is one placeholder record with an empty
// FilePath. Every change goes through the members below so that the path
// index always counts exactly the paths of the records.
class PlayListArray {
  public:
    PlayListArray() { Reset(); }

    int Count() const { return static_cast<int>(items_.size()); }
    // The last index (0 for the empty playlist too).
    int UBound() const { return Count() - 1; }
    // True when the playlist holds no entry (record 0 is the placeholder).
    bool IsEmpty() const { return items_.front().FilePath.isEmpty(); }

    const PlayListItem& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
    const std::vector<PlayListItem>& Items() const { return items_; }
    const PlayListItem& Last() const { return items_.back(); }

    // Exact, case-sensitive: is any record's FilePath equal to path?
    bool Contains(const QString& path) const { return index_.contains(path); }

    // Makes room for n records in all, so a long playlist file loads without
    // the array and its index growing step by step.
    void Reserve(int n) {
        items_.reserve(static_cast<size_t>(n));
        index_.reserve(n);
    }
    // Replaces everything by one fresh placeholder record.
    void Reset();
    // Grows the array by one record at the end.
    void Append(const PlayListItem& item);
    // Replaces record i whole.
    void Set(int i, const PlayListItem& item);
    void SetLength(int i, int32_t seconds) { items_[static_cast<size_t>(i)].Length = seconds; }
    // Removes record i; removing the only record leaves the placeholder.
    void Remove(int i);
    void Swap(int i, int j);
    // Replaces the count records from first on by items (the undo of an edit);
    // the array must not end up empty.
    void Replace(int first, int count, const std::vector<PlayListItem>& items);

    // Every member above that changes what a playlist file would hold (the
    // paths, their order, their number; not a length) passes here: the first
    // change after TakeChanged() calls onChanged, the later ones only count.
    void OnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }
    // True when the records changed since the last call.
    bool TakeChanged() { return std::exchange(changed_, false); }
    // Moves on with every such change: equal readings, no change between them.
    uint64_t Revision() const { return revision_; }

  private:
    void Tally(const QString& path, int delta);
    void Changed() {
        ++revision_;
        if (changed_) return;
        changed_ = true;
        if (onChanged_) onChanged_();
    }

    std::vector<PlayListItem> items_;
    QHash<QString, int> index_;  // path -> number of records holding it
    bool changed_ = false;
    uint64_t revision_ = 0;
    std::function<void()> onChanged_;
};

}  // namespace qv
