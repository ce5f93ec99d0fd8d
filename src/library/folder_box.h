// The folder box Text1 of the scan box: Enter scans (or aborts), a double
// click selects the whole path, a drop of files or of a tree node fills it.
#pragma once

#include <QList>
#include <QString>

class QMimeData;
class QUrl;

namespace qv {

class ProgramState;

// The folder a dropped path stands for: a folder as it is, an existing file
// as its folder with the trailing "/", "" for anything else.
QString DroppedFolder(const QString& path);

// The first dropped URL's local path; "" when it is not a local file, or when it is one
// whose path cannot be carried or kept exactly (the user is told then).
QString FirstDroppedPath(ProgramState& state, const QList<QUrl>& urls);

// A key typed in the folder box; true when the key was used up (Enter, which
// presses the scan button).
bool Text1_KeyPress(ProgramState& state, int key);
void Text1_DblClick(ProgramState& state);
// Dropped files (first item only) or dropped text; never starts a scan.
void Text1_OLEDragDrop(ProgramState& state, const QMimeData& data);

}  // namespace qv
