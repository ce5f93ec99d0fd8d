// The playlist's editing commands. Each keeps line i of the playlist box and
// record i of PlayListData describing the same entry, and keeps PlayingID on
// the entry the player has open. Moving and removing touch one or two lines;
// only the shuffle lays the whole list out again, in one batch.
#include "playlist/playlist_edit.h"

#include <QCoreApplication>
#include <QStringList>
#include <random>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "playback/media_play.h"
#include "playback/track_info.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_undo.h"

namespace qv {
namespace {

// The selected line, -1 when none is (or when it has no record).
int Selected(ProgramState& state) {
    if (state.PlayListData.IsEmpty()) return -1;
    const int s = state.objPlayList->SelectedLine();
    return s > state.PlayListData.UBound() ? -1 : s;
}

void SetToolTip(ProgramState& state, const QString& text) {
    state.objPlayList->SetToolTip(text);
}

// Swaps entries a and b in both stores and selects b, where the entry that
// was at a now is. PlayingID stays on whichever of the two was playing.
void MoveSelected(ProgramState& state, int a, int b) {
    const PlayListUndo::Step step(state);
    clsPlayList& pl = *state.objPlayList;
    state.PlayListData.Swap(a, b);
    const QString textA = pl.GetList(a);
    pl.SetList(a, pl.GetList(b));
    pl.SetList(b, textA);
    pl.SetListIndex(b);
    clsMediaPlay& player = *state.objMediaPlay;
    if (player.PlayingID() == a) {
        player.PlayingID(b);
    } else if (player.PlayingID() == b) {
        player.PlayingID(a);
    }
}

}  // namespace

void imgUp_Click(ProgramState& state) {
    const int s = Selected(state);
    if (s <= 0) return;
    MoveSelected(state, s, s - 1);
}

void imgDown_Click(ProgramState& state) {
    const int s = Selected(state);
    if (s < 0 || s == state.PlayListData.UBound()) return;
    MoveSelected(state, s, s + 1);
}

void ResetPlayList(ProgramState& state) {
    const PlayListUndo::Step step(state);
    state.PlayListData.Reset();
    state.objPlayList->Clear();
    state.objMediaPlay->StopPlay();
    state.objMediaPlay->PlayState(PlayerState::Ready);
    SetToolTip(state, QString());
}

void lblRemove_Click(ProgramState& state) {
    const int s = Selected(state);
    if (s < 0) return;
    const PlayListUndo::Step step(state);
    PlayListArray& data = state.PlayListData;
    const int U = data.UBound();
    if (U == 0) {
        ResetPlayList(state);
        return;
    }
    clsPlayList& pl = *state.objPlayList;
    clsMediaPlay& player = *state.objMediaPlay;
    // The selection is let go first, so that the selection handling, which
    // reads the record of the selected line, never runs while one store has
    // lost the entry and the other has not.
    pl.SetListIndex(-1);
    data.Remove(s);
    pl.RemoveItem(s);
    const int next = s < U ? s : s - 1;  // the follower, or the new last entry
    pl.SetListIndex(next);
    SetToolTip(state, data[next].FilePath);
    if (player.PlayState() == PlayerState::Playing && player.PlayingID() == s)
        player.OpenPlay(next);
    if (player.PlayState() == PlayerState::Stopped && player.PlayingID() == s)
        player.OpenFile(next);
    if (s < U && s < player.PlayingID()) player.PlayingID(player.PlayingID() - 1);
}

void lblClear_Click(ProgramState& state) {
    const MsgAnswer answer = state.dialogs.MsgBox(
        state.MainWindow(),
        QCoreApplication::translate("Quorvane", "プレイリストをクリアしてよろしいですか?"),
        MsgButtons::YesNo, MsgIcon::Information, AppTitle());
    if (answer == MsgAnswer::Yes) ResetPlayList(state);
    SetToolTip(state, QString());
}

void ShufflePlayList(ProgramState& state) {
    PlayListArray& data = state.PlayListData;
    if (data.IsEmpty()) return;  // the placeholder is no entry to show
    const PlayListUndo::Step step(state);
    clsMediaPlay& player = *state.objMediaPlay;
    const int U = data.UBound();
    for (int i = 0; i <= U; ++i) {
        // Drawn from the places not yet settled (i … U), which makes every
        // order equally likely.
        const int j = std::uniform_int_distribution<int>(i, U)(state.random);
        if (j == player.PlayingID()) {
            player.PlayingID(i);
        } else if (i == player.PlayingID()) {
            player.PlayingID(j);
        }
        if (i != j) data.Swap(i, j);
    }
    QStringList lines;
    lines.reserve(data.Count());
    for (int i = 0; i <= U; ++i) lines.append(data[i].DisplayName);
    state.objPlayList->SetLines(lines);
    const int p = player.PlayingID();
    if (p >= 0 && p <= U) state.objPlayList->SetListIndex(p);
}

void lstPL_DblClick(ProgramState& state) {
    const int s = Selected(state);
    if (s < 0) return;
    state.objMediaPlay->OpenPlay(s);
    ShowPlayingInfo(state, state.PlayListData[s].FilePath);
}

bool lstPL_KeyPress(ProgramState& state, int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    lstPL_DblClick(state);
    return true;
}

}  // namespace qv
