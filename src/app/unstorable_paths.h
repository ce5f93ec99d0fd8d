// Paths the program cannot keep exactly, and the one message that tells the user so:
// every file the program writes holds one path a line, and a path is carried as text.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "platform/paths.h"  // HasLineEnd

class QUrl;
class QWidget;

namespace qv {

class ProgramState;

// True when text decodes bytes that were not valid in the file-name encoding: the
// replacement character stands where they were, so the path names another file.
bool DecodedInexactly(const QString& text, const QByteArray& bytes);

// The local path a dropped URL names. False (path still set, as well as it can be
// shown) when the URL's bytes are no path that text can carry here.
bool DroppedLocalPath(const QUrl& url, QString* path);

// One message box (OK, the program's title) naming the paths left out, the first few of
// them; nothing when the list is empty.
void ReportUnstorablePaths(ProgramState& state, QWidget* owner, const QStringList& paths);

}  // namespace qv
