// The watch on the library's folders: media files added, removed or renamed
// under a scan root join or leave the tree on their own, as a rescan would.
#pragma once

#include <QString>

namespace qv {

class ProgramState;

// After the start's load: watches the folder of every scan root and folder
// node, unless WatchFolders is "0" in section Quorvane. Folders past the
// system's limit on watches are named once on standard error and left
// unwatched for this run.
void StartWatching(ProgramState& state);

// Watches folder's node and the folder nodes below it (after a scan of it).
void WatchFoldersBelow(ProgramState& state, const QString& folder);

// Whether every watch asked for or given up so far is in place: the
// system's watches are changed on a thread of their own, a moment after the
// call that asked.
bool WatchSettled(ProgramState& state);

// Stops watching folder and everything below it (a root taken out).
void UnwatchFoldersBelow(ProgramState& state, const QString& folder);

}  // namespace qv
