// A step keeps only the entries it changed (the run between the parts that
// stayed alike at both ends), and only those of the side not in the list: the
// other side is the list itself. Paths are unique in a playlist, so a path is
// an entry's identity across steps.
#include "playlist/playlist_undo.h"

#include <utility>

#include "app/program_state.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"

namespace qv {

class PlayListUndo::Change final : public QUndoCommand {
  public:
    Change(PlayListUndo& owner, int first, std::vector<PlayListItem> span, int live)
        : first(first), span(std::move(span)), live(live), owner_(owner) {}

    void undo() override { owner_.Exchange(*this); }
    void redo() override {
        // Taken when the change was already made.
        if (std::exchange(fresh_, false)) return;
        owner_.Exchange(*this);
    }

    int first;                       // where the changed run starts
    std::vector<PlayListItem> span;  // the run as the list does not hold it now
    int live;                        // the length of the run the list holds now

  private:
    PlayListUndo& owner_;
    bool fresh_ = true;
};

PlayListUndo::PlayListUndo(ProgramState& state) : state_(state) {
    stack_.setUndoLimit(kSteps);
}

PlayListUndo::~PlayListUndo() = default;

PlayListUndo::Step::Step(ProgramState& state) : undo_(state.objPlayListUndo.get()) {
    if (undo_) undo_->Begin();
}

PlayListUndo::Step::~Step() {
    if (undo_) undo_->End();
}

QString PlayListUndo::PlayingPath() const {
    const int32_t id = state_.objMediaPlay ? state_.objMediaPlay->PlayingID() : -1;
    return id >= 0 && id <= state_.PlayListData.UBound() ? state_.PlayListData[id].FilePath
                                                         : QString();
}

bool PlayListUndo::InStep() {
    const uint64_t now = state_.PlayListData.Revision();
    if (now == revision_) return true;
    stack_.clear();
    revision_ = now;
    return false;
}

void PlayListUndo::Begin() {
    if (depth_++ > 0) return;
    InStep();
    before_ = state_.PlayListData.Items();
}

void PlayListUndo::End() {
    if (--depth_ > 0) return;
    const std::vector<PlayListItem> before = std::exchange(before_, {});
    const PlayListArray& data = state_.PlayListData;
    if (data.Revision() == revision_) return;
    revision_ = data.Revision();
    // The run that changed: what stayed alike at the start and at the end is
    // left out.
    const std::vector<PlayListItem>& after = data.Items();
    const size_t shorter = std::min(before.size(), after.size());
    size_t head = 0, tail = 0;
    while (head < shorter && before[head].FilePath == after[head].FilePath) ++head;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail].FilePath == after[after.size() - 1 - tail].FilePath)
        ++tail;
    if (head + tail == before.size() && head + tail == after.size()) return;
    std::vector<PlayListItem> span(before.begin() + head, before.end() - tail);
    stack_.push(new Change(*this, int(head), std::move(span), int(after.size() - head - tail)));
}

void PlayListUndo::Undo() {
    if (depth_ > 0 || !state_.objPlayList || !state_.objMediaPlay || !InStep()) return;
    stack_.undo();
    revision_ = state_.PlayListData.Revision();
}

void PlayListUndo::Redo() {
    if (depth_ > 0 || !state_.objPlayList || !state_.objMediaPlay || !InStep()) return;
    stack_.redo();
    revision_ = state_.PlayListData.Revision();
}

namespace {

int IndexOf(const PlayListArray& data, const QString& path) {
    if (path.isEmpty()) return -1;
    for (int i = 0; i < data.Count(); ++i)
        if (data[i].FilePath == path) return i;
    return -1;
}

}  // namespace

void PlayListUndo::Exchange(Change& change) {
    PlayListArray& data = state_.PlayListData;
    clsPlayList& list = *state_.objPlayList;
    clsMediaPlay& player = *state_.objMediaPlay;
    // The entry the player opened last, which a clear or a replace leaves
    // open while PlayingID names none or another; without one, whatever
    // PlayingID was set to name.
    QString identity = player.EntryPath();
    if (identity.isEmpty()) identity = PlayingPath();
    const int32_t line = player.SelectedLine();
    const QString selected = line >= 0 && line <= data.UBound() ? data[line].FilePath : QString();

    const auto at = data.Items().begin() + change.first;
    std::vector<PlayListItem> live(at, at + change.live);
    const bool sameLines = live.size() == change.span.size() && !data.IsEmpty();
    data.Replace(change.first, change.live, change.span);
    change.live = int(change.span.size());
    change.span = std::move(live);

    if (sameLines && !data.IsEmpty()) {
        for (int i = change.first; i < change.first + change.live; ++i)
            list.SetList(i, data[i].DisplayName);
    } else {
        const clsPlayList::LineBatch batch(list);
        list.Clear();
        if (!data.IsEmpty())
            for (const PlayListItem& item : data.Items()) list.AddItem(item.DisplayName);
    }

    const int playingAt = IndexOf(data, identity);
    if (!identity.isEmpty()) player.PlayingID(playingAt);
    // Out of the list, its file goes on as one the player has outside it
    // (unless the tree's file is playing there already).
    if (playingAt < 0 && player.CurrentPath().isEmpty()) player.PlayingOutside(identity);
    const int selectedAt = IndexOf(data, selected);
    list.SetListIndex(selectedAt >= 0 ? selectedAt : playingAt);
}

}  // namespace qv
