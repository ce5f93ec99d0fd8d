// Connects the find bar: Ctrl+F opens it, what is typed narrows the media
// tree and the playlist, Enter plays what was found first, Esc closes it.
#pragma once

namespace qv {

class ProgramState;
class frmQuorvane;

// Once per window. The playlist's lines match by line text, file name and
// the title, artist and album of their tags (read when first needed); the
// tree's file nodes by their names.
void ConnectFindBar(ProgramState& state, frmQuorvane& form);

}  // namespace qv
