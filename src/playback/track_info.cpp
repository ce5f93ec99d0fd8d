// The track information panels: shown while they hold text, hidden while empty;
// and the file that could not be played, named in place of any tags.
#include "playback/track_info.h"

#include <QTimer>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "playback/media_play.h"
#include "tags/tags.h"

namespace qv {
namespace {

// Panels 1 to 3, each shown while it holds text.
void ShowPanels(frmQuorvane& form, const QString (&texts)[3]) {
    for (int i = 0; i < 3; ++i) {
        auto* panel = form.Panel(i + 1);
        panel->setText(texts[i]);
        panel->setVisible(!texts[i].isEmpty());
    }
}

// Fills panels 1 to 3; false (nothing changed) for an empty path or a path
// that names no ordinary file (a folder, a hidden or a missing file).
bool ShowTags(ProgramState& state, const QString& FilePath, const QString& prefix) {
    frmQuorvane* form = state.mainForm.get();
    if (!form || FilePath.isEmpty() || !FileExists(FilePath)) return false;
    const TagInfo tag = ReadShownTags(FilePath);
    ShowPanels(*form, {prefix + tag.Title, tag.Artist, tag.Comment});
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
    if (!state.mainForm || FilePath.isEmpty()) return;
    ShowTags(state, FilePath, QString());
    state.mainForm->Timer2->stop();
    state.mainForm->Timer2->start();
}

void ShowFailedInfo(ProgramState& state, const QString& FilePath) {
    frmQuorvane* form = state.mainForm.get();
    if (!form) return;
    ShowPanels(*form, {GetFileName(FilePath), QString(), QString()});
    form->Panel(4)->setText(kFailedMode);
    form->setWindowTitle(QStringLiteral("Quorvane - ") + FilePath);
}

}  // namespace qv
