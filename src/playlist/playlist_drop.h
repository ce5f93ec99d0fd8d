// A drop on the playlist box: the text the library tree drags (a node's path
// or a fixed node's marker), or files and folders from a file manager.
#pragma once

#include <QString>

class QMimeData;

namespace qv {

class ProgramState;

// Files from a file manager (a URL list) count before text. A folder sets
// strClickedPath and pops the folder menu up (without its tree items), a
// ".lst" file the playlist-file menu; any other file is added to the
// playlist and, when the player is "READY" or "STOPPED", the last entry is
// played. Of a file manager's files only media files are added. The tree's
// marker texts, and text that names no existing folder or file, are ignored.
void lstPL_OLEDragDrop(ProgramState& state, const QMimeData& data);

// One dropped text, as lstPL_OLEDragDrop takes it.
void DropTextOnPlayList(ProgramState& state, const QString& t);

// Adds the file (a path already in the playlist is not added again) and plays
// the last entry when the open file stands still (Ready or Stopped; with no
// file open at all it is only added): a dropped file and the tree's "add"
// item alike.
void AddAndPlayIfIdle(ProgramState& state, const QString& path);

}  // namespace qv
