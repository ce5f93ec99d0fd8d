// The command line as the program reads it: one argument text, split into
// pieces at quoted or plain blanks.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// The argument text the Windows shell would hand over for these arguments:
// when any holds a blank, each is wrapped in double quotes; joined by blanks.
QString ArgumentText(const QStringList& arguments);

// Relative paths made absolute against folder, so that the playlist saved at
// exit still names the files at the next start, from whatever folder.
QStringList AbsoluteArguments(const QStringList& arguments, const QString& folder);

// A text starting with a double quote loses its first and last character and
// is split at every quote-blank-quote; any other text is split at every blank.
// Empty pieces are kept. A lone double quote gives no pieces.
QStringList SplitCommandLine(const QString& text);

}  // namespace qv
