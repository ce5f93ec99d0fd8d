// The "Save" command and what the save dialog's OK does: the name typed or
// picked becomes a ".lst" file of the playlist folder and a registered playlist.
#pragma once

#include <QString>

namespace qv {

class ProgramState;

// The file name a typed name is saved under: ".lst" is appended unless the
// name already ends in it, in any letter case ("a.txt" -> "a.txt.lst").
QString PlayListFileName(const QString& typed);

// The message that refuses a typed name, or "" when the name can be used. A
// "/" would name another folder, a NUL cannot be in a file name, and a name
// starting with "." makes a hidden file that no list would ever show again
// ("." and ".." among them).
QString RefusedNameMessage(const QString& typed);

// The dialog's OK: checks the name in the dialog's name box, asks before
// replacing a listed playlist, writes the file and adds its tree node once.
// True when the playlist was saved and the dialog may close; false when it
// stays open (name refused, replacement declined, file not written), with the
// name selected for another try.
bool SaveFromDialog(ProgramState& state);

// lblSave: an empty playlist is refused with a message; otherwise the dialog
// is loaded anew (the folder as it is now, an empty name) and shown modally
// over the main window. Returns when the dialog has closed.
void lblSave_Click(ProgramState& state);

}  // namespace qv
