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

// Writes the records' paths to Path as SavePlayListFile does, without
// recording Path as "LastPlayList" and without a message: the background
// copy of the playlist in use. A path with a line end is left out.
bool WritePlayListCopy(ProgramState& state, const QString& Path);

// PlayLists/LastPlayList.lst: the playlist of the last run.
QString LastPlayListPath(const ProgramState& state);

// PlayLists/.LastPlayList.recovery: the playlist in use, kept while the
// program runs and removed at a clean exit. Hidden and without the ".lst"
// extension, so no tree node, walk or playlist list ever shows it.
QString RecoveryPath(const ProgramState& state);

// When the last run left its recovery file (it did not exit cleanly), that
// file becomes LastPlayList.lst, as the run's exit would have written it.
// Done before anything reads the playlist folder. True when it did.
bool TakeOverRecoveryFile(const ProgramState& state);

// One node for every ".lst" file listed by the save dialog's file list.
void RegisterPlayLists(ProgramState& state);

// The registered-playlist node of a ".lst" path (key = the path, text = its
// base name, image 9); nothing happens when the node exists already.
void AddPlayListNode(ProgramState& state, const QString& Path);

}  // namespace qv
