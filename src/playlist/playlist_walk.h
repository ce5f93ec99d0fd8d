// The playlist's folder walk: a folder's media files (and its subfolders')
// become playlist entries, in the order the walk lists them.
#pragma once

#include <QString>

namespace qv {

class ProgramState;

// Every media file under FolderPath (its subfolders too when IncludeSubFolders)
// goes to AddToPlayList (its answer is not needed); no abort, no caption; it
// descends into a subfolder first and yields afterwards. A folder's own media
// files go in disc and track order when each names its track in its tag (and
// no two the same place), else in name order. Paths that could not
// be kept exactly are named in one message at the end.
void SearchMediaToPlayList(ProgramState& state, const QString& FolderPath, bool IncludeSubFolders);

}  // namespace qv
