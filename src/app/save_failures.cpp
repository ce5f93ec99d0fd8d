// The user hears of every file that could not be saved. The background writes
// (the recovery file, a setting) happen again within a second of the next
// change, so a message box there would pile up box on box; the status bar
// says it instead. Only the exit, after which nothing is written again, asks
// the user to read it.
#include "app/save_failures.h"

#include <QCoreApplication>
#include <QStatusBar>
#include <cstdio>

#include "app/dialogs.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"

namespace qv {

void ReportNotSaved(ProgramState& state, const QString& path) {
    if (state.unloading) {
        if (!state.notSavedAtExit.contains(path)) state.notSavedAtExit.append(path);
        return;
    }
    if (!state.toldNotSaved.contains(path)) {
        state.toldNotSaved.insert(path);
        std::fprintf(stderr, "quorvane: could not save %s\n", qUtf8Printable(path));
    }
    if (frmQuorvane* form = state.mainForm.get(); form && !form->Unloaded())
        form->SB1->showMessage(
            QCoreApplication::translate("Quorvane", "保存できませんでした: ") + path, 10000);
}

void ShowNotSavedAtExit(ProgramState& state) {
    if (state.notSavedAtExit.isEmpty()) return;
    state.dialogs.MsgBox(
        nullptr,
        QCoreApplication::translate("Quorvane", "次のファイルを保存できませんでした:\n") +
            state.notSavedAtExit.join(u'\n'),
        MsgButtons::OK, MsgIcon::None, AppTitle());
    state.notSavedAtExit.clear();
}

}  // namespace qv
