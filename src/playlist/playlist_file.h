// Playlist files (".lst": one media path a line) and the registered
// playlists of the playlist folder, shown as nodes of the library tree.
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

class ProgramState;

// Adds the file's node under "RegisteredPlayList", then appends every line
// that names an existing file (empty lines and "//" comments skipped).
// Returns the number of entries added.
int32_t LoadPlayListFile(ProgramState& state, const QString& Path);

// Writes every record's path, one a line, through a temporary file renamed
// over Path, then records Path as "LastPlayList". A path with a line end is
// left out and named in a message. False when the file could not be written;
// the previous file is then intact.
bool SavePlayListFile(ProgramState& state, const QString& Path);

// PlayLists/LastPlayList.lst: the playlist of the last run.
QString LastPlayListPath(const ProgramState& state);

// One node for every ".lst" file listed by the save dialog's file list.
void RegisterPlayLists(ProgramState& state);

// The registered-playlist node of a ".lst" path (key = the path, text = its
// base name, image 9); nothing happens when the node exists already.
void AddPlayListNode(ProgramState& state, const QString& Path);

}  // namespace qv
