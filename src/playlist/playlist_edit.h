// The playlist strip's commands (move up and down, remove, clear, shuffle) and
// the playlist box's double click and Enter, on both stores of the playlist.
#pragma once

namespace qv {

class ProgramState;

// Moves the selected entry one place up (down); the entry stays selected and
// PlayingID follows the entry that was playing. Nothing happens without a
// selection, for the first entry up or the last one down. The device is
// never touched.
void imgUp_Click(ProgramState& state);
void imgDown_Click(ProgramState& state);

// Removes the selected entry without asking. The entry that took its place
// (or the new last one) is selected and named by the list's tooltip; when the
// removed entry was the current one, playback goes on with the selected one
// (playing or opened and stopped, as before). Removing the only entry empties
// the playlist and stops the device.
void lblRemove_Click(ProgramState& state);

// Asks first; on Yes empties the playlist and stops the device. The list's
// tooltip is emptied either way; PlayingID is left as it is.
void lblClear_Click(ProgramState& state);

// Puts the entries in a random order, every order as likely as any other;
// the playing entry goes on playing under its new index and is selected. An
// empty playlist stays empty.
void ShufflePlayList(ProgramState& state);

// Opens and plays the selected entry; nothing without a selection.
void lstPL_DblClick(ProgramState& state);

// A key pressed in the playlist box (a Qt::Key value). Enter and Return play
// the selected entry as a double click does; true when the key is used up.
bool lstPL_KeyPress(ProgramState& state, int key);

// Empties both stores, stops the device and sets the state to "READY"; the
// list's tooltip is emptied. PlayingID is left as it is.
void ResetPlayList(ProgramState& state);

}  // namespace qv
