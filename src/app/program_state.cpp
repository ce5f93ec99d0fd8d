// The program-wide state's settings writes and its popup form. Its making and
// ending are in program/program_state_objects.cpp.
#include "app/program_state.h"

#include <QTimer>
#include <utility>

#include "app/frm_hide_menu.h"

namespace qv {

void ProgramState::WriteIniSoon(const QString& Section, const QString& Key, const QString& Value) {
    for (QStringList& pending : pendingSettings_) {
        if (pending[0] == Section && pending[1] == Key) {
            pending[2] = Value;
            return;
        }
    }
    pendingSettings_.append({Section, Key, Value});
    if (!flushContext_) flushContext_ = std::make_unique<QObject>();
    QTimer::singleShot(0, flushContext_.get(), [this] { FlushSettings(); });
}

void ProgramState::FlushSettings() {
    const QList<QStringList> pending = std::exchange(pendingSettings_, {});
    for (const QStringList& s : pending) ini.WriteIni(s[0], s[1], s[2]);
}

frmHideMenu& ProgramState::HideMenu() {
    if (!hideMenu_) hideMenu_ = std::make_unique<frmHideMenu>();
    return *hideMenu_;
}

}  // namespace qv
