// The wiring of the main window's own events.
#include "program/main_form_wiring.h"

#include "app/frm_quorvane.h"
#include "app/geometry.h"
#include "app/playlist_data.h"
#include "app/program_state.h"
#include "playback/track_info.h"
#include "program/startup.h"

namespace qv {
namespace {

// The playlist's line row was selected: the caption names its file and the
// status bar previews its tags.
void ShowSelectedLine(ProgramState& state, frmQuorvane& form, int row) {
    if (row > state.PlayListData.UBound()) return;
    const QString path = state.PlayListData[row].FilePath;
    form.setWindowTitle(QStringLiteral("Quorvane - ") + path);
    ShowSelectedInfo(state, path);
}

}  // namespace

void ConnectMainForm(ProgramState& state, frmQuorvane& form) {
    QObject::connect(&form, &frmQuorvane::loading, &form, [&state] { LoadMainForm(state); });
    QObject::connect(&form, &frmQuorvane::unloading, &form, [&state] { UnloadMainForm(state); });
    QObject::connect(&form, &frmQuorvane::lineSelected, &form,
                     [&state, &form](int row) { ShowSelectedLine(state, form, row); });
    // Written as the exit writes it, within a second, so a crash keeps it.
    QObject::connect(&form, &frmQuorvane::geometryChanged, &form, [&state, &form] {
        ForEachStoredValue(form.NormalGeometryTwips(),
                           [&state](const QString& Key, const QString& Value) {
                               state.WriteIniWithinSecond(QStringLiteral("Quorvane"), Key, Value);
                           });
    });
}

}  // namespace qv
