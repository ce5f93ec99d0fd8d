// The library walk that feeds the media tree and the library file.
#pragma once

#include <QString>

class QWidget;

namespace qv {

class ProgramState;
class TreeView;

// Walks FolderPath (and its subfolders when IncludeSubFolders) for media files
// and hands each to AddMediaNode. Before every entry it stops when bAbortScan
// is set; at every folder entry it shows "メディアをスキャン中... " + the folder
// being listed in window's caption and yields to the event loop. Folders it
// cannot read are skipped; a folder reached twice (symbolic links) is walked once.
void SearchMedia(ProgramState& state, TreeView& tree, QWidget& window, const QString& FolderPath,
                 bool IncludeSubFolders);

}  // namespace qv
