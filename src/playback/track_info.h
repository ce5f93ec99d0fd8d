// What is playing, or was just selected, in the status bar's panels 1 to 3:
// title, artist and comment from the file's tag.
#pragma once

#include <QString>

namespace qv {

class ProgramState;

// The playing entry: "> " before the title. An empty path, or one that names
// no ordinary file, changes nothing. The file the player could not play is
// shown as that failure instead (ShowFailedInfo).
void ShowPlayingInfo(ProgramState& state, const QString& FilePath);

// A preview of a selected file, without the prefix; restarts Timer2, which
// brings the playing entry back when it fires. A file that has gone shows
// no tags, but the caption its line put up comes back all the same.
void ShowSelectedInfo(ProgramState& state, const QString& FilePath);

// A file that could not be played: its name in panel 1 (no "> ", it does not
// play), panels 2 and 3 emptied so that no other file's tags stay beside it,
// kFailedMode in panel 4 and the path in the caption.
void ShowFailedInfo(ProgramState& state, const QString& FilePath);

// Panel 4's word for that, in the manner of the device's own words there.
inline const QString kFailedMode = QStringLiteral("failed");

}  // namespace qv
