// The sound output as the device reports it through "status PlayData output".
// With no output at all the device still plays, in real time, into nothing:
// without a word the user would see a clock running and hear silence.
#include "playback/sound_output.h"

#include <atomic>
#include <cstdio>

#include "app/program_state.h"
#include "platform/mci/mci.h"
#include "playback/media_play.h"
#include "playback/mod_mci.h"

namespace qv {

QString ModeText(MciSender& mci, const QString& mode) {
    if (MCIGetOutput(mci) != kOutputNone) return mode;
    static std::atomic<bool> told{false};
    if (!told.exchange(true))
        std::fprintf(stderr, "quorvane: no sound output was found; files play unheard\n");
    return mode + kNoOutputNote;
}

void ShowLostOutput(ProgramState& state) {
    clsMediaPlay& player = *state.objMediaPlay;
    if (player.PlayState() != PlayerState::Stopped || !player.FailedPath().isEmpty()) return;
    if (MCIGetOutput(state.mci) == kOutputLost) player.ShowFailure(player.CurrentPath());
}

}  // namespace qv
