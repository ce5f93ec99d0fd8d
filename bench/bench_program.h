// The program the widget benchmarks time: a real ProgramState with its player,
// playlist and main window, and a media sender that answers without a device.
#pragma once

#include <memory>

#include "app/clock.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/mci/mci.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "program/main_form_wiring.h"
#include "program/module_objects.h"

namespace qvbench {

// Every command succeeds with an empty reply: the benchmarks time the
// program's own work, not a media device's.
class SilentMci final : public qv::MciSender {
  public:
    int SendString(const QString&, QString* reply, int) override {
        if (reply) reply->clear();
        return 0;
    }
};

// The main window is made but not shown: each benchmark sets it up first.
template <typename DialogsT>
struct BenchProgram {
    explicit BenchProgram(const QString& folder) : state(folder, mci, dialogs, clock) {
        qv::MakeModuleObjects(state);
        state.mainForm = std::make_unique<qv::frmQuorvane>();
        qv::ConnectMainForm(state, *state.mainForm);
    }
    SilentMci mci;
    DialogsT dialogs;
    qv::SystemClock clock;
    qv::ProgramState state;
};

}  // namespace qvbench
