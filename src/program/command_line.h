// The command line as the program reads it: one argument text, split into
// pieces at quoted or plain blanks.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// The argument text the Windows shell would hand over for these arguments:
// when any holds a blank, each is wrapped in double quotes; joined by blanks.
QString ArgumentText(const QStringList& arguments);

// Relative paths made absolute against folder, and every path cleaned
// ("..", "." and doubled "/" folded), so that the playlist saved at exit
// still names the files at the next start, from whatever folder.
QStringList AbsoluteArguments(const QStringList& arguments, const QString& folder);

// The program's own arguments (argv[1] on) as text. An argument whose bytes are not valid
// in the file-name encoding would arrive as another path, one with a line end could not be
// kept in the playlist file at exit, and one too long for any file system names no file:
// those go to *refused instead (as well as they can be shown).
QStringList DecodeArguments(int argc, char** argv, QStringList* refused);

// The arguments that ArgumentText hands to SplitCommandLine unchanged. One that holds a
// quote-blank-quote of its own (counting the quotes put around it) would come back in
// pieces: it goes to *refused instead.
QStringList CarriedArguments(const QStringList& arguments, QStringList* refused);

// A text starting with a double quote loses its first and last character and
// is split at every quote-blank-quote; any other text is split at every blank.
// Empty pieces are kept. A lone double quote gives no pieces.
QStringList SplitCommandLine(const QString& text);

// What the command line takes a piece for, by its extension: a media file to
// add, a playlist file (".lst") to load, or nothing.
enum class PieceKind { Media, PlayList, Other };
PieceKind KindOfPiece(const QString& piece);

}  // namespace qv
