// What the player tells of the sound output: a note beside the mode in panel 4
// while the device plays into no output, and an output that went away while a
// file played, shown as that file's failure.
#pragma once

#include <QString>

namespace qv {

class MciSender;
class ProgramState;

// Panel 4's text for the open device's mode word: the word, and kNoOutputNote
// after it when no sound output was found (which standard error hears of once).
QString ModeText(MciSender& mci, const QString& mode);

// A device the monitor found stopped because its output went away shows the
// current file as failed (once), so that the stop is not taken for the end of
// the track; the next open looks for the output again.
void ShowLostOutput(ProgramState& state);

inline const QString kNoOutputNote = QStringLiteral(" (no sound output)");

}  // namespace qv
