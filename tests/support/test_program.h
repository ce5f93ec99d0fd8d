// A program of its own for one test: a temporary program folder, a media
// sender that records every command, scripted dialogs and a manual clock.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

#include "app/clock.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/mci/mci.h"
#include "playlist/frm_save_pl.h"
#include "program/main_form_wiring.h"
#include "program/module_objects.h"
#include "program/startup.h"
#include "support/scripted_dialogs.h"
#include "support/tempdir.h"

namespace qvtest {

// Records each command; answers every query with an empty reply (a length or
// position of 0) and code 0.
class RecordingMci final : public qv::MciSender {
  public:
    QStringList commands;
    int SendString(const QString& command, QString* reply, int) override {
        commands.append(command);
        if (reply) reply->clear();
        return 0;
    }
};

// Time stands still unless a test moves it; Sleep moves it and is recorded.
class ManualClock final : public qv::Clock {
  public:
    uint32_t now = 1000;
    uint32_t stepPerReading = 0;  // added after every reading
    QList<uint32_t> sleeps;
    uint32_t timeGetTime() override { return std::exchange(now, now + stepPerReading); }
    void Sleep(uint32_t ms) override {
        sleeps.append(ms);
        now += ms;
    }
};

// The player, the playlist, the save dialog and the main window, made and connected.
inline void MakeObjects(qv::ProgramState& state) {
    qv::MakeModuleObjects(state);
    state.savePL = std::make_unique<qv::frmSavePL>(state);
    state.savePL->Form_Load();
    state.mainForm = std::make_unique<qv::frmQuorvane>();
    qv::ConnectMainForm(state, *state.mainForm);
}

class TestProgram {
  public:
    TestProgram() {
        state->endProgram = [this] { ended = true; };
    }

    // The program folder, ending in "/".
    QString folder() const { return dir.path(); }
    // Runs Main with this argument text.
    void Start(const QString& commandLine = {}) {
        state->commandLine = commandLine;
        qv::Main(*state);
    }
    // The player, the playlist and the main window, without Main's load.
    void MakeObjects() { qvtest::MakeObjects(*state); }

    TempDir dir;
    RecordingMci mci;
    ScriptedDialogs dialogs;
    ManualClock clock;
    std::unique_ptr<qv::ProgramState> state =
        std::make_unique<qv::ProgramState>(dir.path(), mci, dialogs, clock);
    bool ended = false;
};

}  // namespace qvtest
