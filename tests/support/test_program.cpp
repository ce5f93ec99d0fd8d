// The per-test program.
#include "support/test_program.h"

#include "app/frm_quorvane.h"
#include "playlist/frm_save_pl.h"
#include "program/main_form_wiring.h"
#include "program/module_objects.h"
#include "program/startup.h"

namespace qvtest {

int RecordingMci::SendString(const QString& command, QString* reply, int) {
    commands.append(command);
    if (reply) *reply = command.endsWith(QStringLiteral(" length")) ? lengthReply : QString();
    return 0;
}

TestProgram::TestProgram() {
    state = std::make_unique<qv::ProgramState>(dir.path(), mci, dialogs, clock);
    state->endProgram = [this] { ended = true; };
}

void TestProgram::Start(const QString& commandLine) {
    state->commandLine = commandLine;
    qv::Main(*state);
}

void MakeObjects(qv::ProgramState& state) {
    qv::MakeModuleObjects(state);
    state.savePL = std::make_unique<qv::frmSavePL>(state);
    state.savePL->Form_Load();
    state.mainForm = std::make_unique<qv::frmQuorvane>();
    qv::ConnectMainForm(state, *state.mainForm);
}

}  // namespace qvtest
