// The program-wide state's settings writes and its popup form. Its making and
// ending are in program/program_state_objects.cpp.
#include "app/program_state.h"

#include <QTimer>
#include <utility>

#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"

namespace qv {

bool ProgramState::Pend(const QString& Section, const QString& Key, const QString& Value) {
    for (QStringList& pending : pendingSettings_) {
        if (pending[0] == Section && pending[1] == Key) {
            pending[2] = Value;
            return false;
        }
    }
    pendingSettings_.append({Section, Key, Value});
    return true;
}

void ProgramState::WriteIniSoon(const QString& Section, const QString& Key, const QString& Value) {
    if (!Pend(Section, Key, Value)) return;
    if (!flushContext_) flushContext_ = std::make_unique<QObject>();
    QTimer::singleShot(0, flushContext_.get(), [this] { FlushSettings(); });
}

void ProgramState::WriteIniWithinSecond(const QString& Section, const QString& Key,
                                        const QString& Value) {
    Pend(Section, Key, Value);
    if (!secondFlush_) {
        secondFlush_ = std::make_unique<QTimer>();
        secondFlush_->setSingleShot(true);
        secondFlush_->setInterval(1000);
        QObject::connect(secondFlush_.get(), &QTimer::timeout, [this] { FlushSettings(); });
    }
    // Not restarted by later changes: a long drag still reaches the file
    // every second.
    if (!secondFlush_->isActive()) secondFlush_->start();
}

void ProgramState::FlushSettings() {
    if (secondFlush_) secondFlush_->stop();
    const QList<QStringList> pending = std::exchange(pendingSettings_, {});
    for (const QStringList& s : pending) ini.WriteIni(s[0], s[1], s[2]);
}

frmHideMenu& ProgramState::HideMenu() {
    if (!hideMenu_) hideMenu_ = std::make_unique<frmHideMenu>();
    return *hideMenu_;
}

QWidget* ProgramState::MainWindow() const {
    return mainForm.get();
}

}  // namespace qv
