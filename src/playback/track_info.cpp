// The track information panels: shown while they hold text, hidden while empty.
#include "playback/track_info.h"

#include <QTimer>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/filesystem.h"
#include "tags/id3.h"

namespace qv {
namespace {

// Fills panels 1 to 3; false (nothing changed) for an empty path or a path
// that names no ordinary file (a folder, a hidden or a missing file).
bool ShowTags(ProgramState& state, const QString& FilePath, const QString& prefix) {
    frmQuorvane* form = state.mainForm.get();
    if (!form || FilePath.isEmpty() || !FileExists(FilePath)) return false;
    const TagInfo tag = ReadID3Tag(FilePath);
    const QString texts[] = {prefix + tag.Title, tag.Artist, tag.Comment};
    for (int i = 0; i < 3; ++i) {
        StatusPanel* panel = form->Panel(i + 1);
        panel->setText(texts[i]);
        panel->setVisible(!texts[i].isEmpty());
    }
    return true;
}

}  // namespace

void ShowPlayingInfo(ProgramState& state, const QString& FilePath) {
    ShowTags(state, FilePath, QStringLiteral("> "));
}

void ShowSelectedInfo(ProgramState& state, const QString& FilePath) {
    if (!ShowTags(state, FilePath, QString())) return;
    state.mainForm->Timer2->stop();
    state.mainForm->Timer2->start();
}

}  // namespace qv
