// The track information panels: shown while they hold text, hidden while empty;
// and the file that could not be played, named in place of any tags.
#include "playback/track_info.h"

#include "app/program_state.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "playback/media_play.h"
#include "playback/player_view.h"
#include "tags/tags.h"

namespace qv {
namespace {

PlayerView* View(ProgramState& state) {
    return state.objMediaPlay ? state.objMediaPlay->View() : nullptr;
}

// Fills panels 1 to 3; false (nothing changed) for an empty path or a path
// that names no ordinary file (a folder, a hidden or a missing file).
bool ShowTags(ProgramState& state, const QString& FilePath, const QString& prefix) {
    PlayerView* view = View(state);
    if (!view || FilePath.isEmpty() || !FileExists(FilePath)) return false;
    const TagInfo tag = ReadShownTags(FilePath);
    view->ShowTrackInfo(prefix + tag.Title, tag.Artist, tag.Comment);
    return true;
}

}  // namespace

void ShowPlayingInfo(ProgramState& state, const QString& FilePath) {
    const clsMediaPlay* player = state.objMediaPlay.get();
    if (player && !FilePath.isEmpty() && FilePath == player->FailedPath()) {
        ShowFailedInfo(state, FilePath);
        return;
    }
    ShowTags(state, FilePath, QStringLiteral("> "));
}

void ShowSelectedInfo(ProgramState& state, const QString& FilePath) {
    PlayerView* view = View(state);
    if (!view || FilePath.isEmpty()) return;
    ShowTags(state, FilePath, QString());
    view->RestartPreviewReturn();
}

void ShowFailedInfo(ProgramState& state, const QString& FilePath) {
    PlayerView* view = View(state);
    if (!view) return;
    view->ShowTrackInfo(GetFileName(FilePath), QString(), QString());
    view->ShowMode(kFailedMode);
    view->ShowCaption(QStringLiteral("Quorvane - ") + FilePath);
}

}  // namespace qv
