// The library file MediaDB.db: written to at the end of every scan (new lines
// appended, never rewritten), read once at start-up to rebuild the tree.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace qv {

class TreeNode;

class ProgramState;
class TreeView;

// GetAppPath + "MediaDB.db".
QString MediaDBPath(const ProgramState& state);

// The scan root of a canonical folder path: without its trailing "/", except
// that the file-system root stays "/" (a root must never be an empty key).
QString SearchRootOf(const QString& canonicalPath);

// Adds the scan-root node (under "SearchedMedia", key and text = root, folder
// image); an existing node of that key stays where it is.
void AddRootNode(TreeView& tree, const QString& root);

// Turns one media path into tree nodes below strSearchRoot: the folder levels
// from the root down, then the file node (only for the six media kinds).
// FullPath becomes its canonical form ("" for a missing path, which adds
// nothing); the path is recorded in strFoundMedia.
void AddMediaNode(ProgramState& state, TreeView& tree, QString& FullPath, const QString& Extension);

// Where the previous file of a walk went: its folder's path and node.
struct FolderCursor {
    QString folder;            // "" = nothing remembered
    TreeNode* node = nullptr;  // that folder's node; nullptr when it has none
    void clear() {
        folder.clear();
        node = nullptr;
    }
};

// AddMediaNode for a path already in canonical form, walked from root.
// record: whether the path goes into strFoundMedia. cursor (optional)
// remembers the folder whose levels the previous call made or found, so that
// the next file of the same folder goes straight to its file node; the caller
// clears it whenever nodes may have been removed (between turns of the event loop).
void AddCanonicalMediaNode(ProgramState& state, TreeView& tree, const QString& FullPath,
                           const QString& Extension, const QString& root, bool record,
                           FolderCursor* cursor = nullptr);

// The path a line of the file names: a header's folder, or the line itself
// (it tells the spelling of a line whose bytes read two ways).
QString MediaDBLinePath(const QString& line);

// "[" + root + "]".
QString MediaDBHeader(const QString& root);

// Appends the header of strSearchRoot and the paths of strFoundMedia that the
// file does not hold yet. False when the file could not be read or written
// (nothing is appended then).
bool SaveMediaDB(ProgramState& state);
// The lines of a library file read and indexed ahead of an append (a scan
// reads them as it starts, so that its end has only its own lines to look up).
struct MediaDBLines;
struct MediaDBLinesEnd {
    void operator()(MediaDBLines* lines) const;
};
using MediaDBAhead = std::unique_ptr<MediaDBLines, MediaDBLinesEnd>;
// Null when the file is there but cannot be read.
MediaDBAhead ReadMediaDBAhead(const QString& path);
// The same for any root and paths, in the library file at path: touches nothing else, so it may run
// on any thread (one at a time). ahead, read of the same file, is used when
// the file has not changed since (its size, time and inode).
bool AppendToMediaDBFile(const QString& path, const QString& root, const QStringList& found,
                         MediaDBAhead ahead = nullptr);

// Rebuilds the scanned media under "SearchedMedia" from the file; a missing
// file loads nothing. Files that no longer exist are left out.
void LoadMediaDB(ProgramState& state, TreeView& tree);

}  // namespace qv
