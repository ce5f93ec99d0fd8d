// Building and splitting the argument text.
#include "program/command_line.h"

#include <QDir>
#include <QFile>

#include "app/unstorable_paths.h"
#include "platform/filesystem.h"
#include "platform/media_kinds.h"
#include "platform/paths.h"

namespace qv {

QString ArgumentText(const QStringList& arguments) {
    bool blank = false;
    for (const QString& a : arguments) blank = blank || a.contains(u' ');
    if (!blank) return arguments.join(u' ');
    QStringList quoted;
    for (const QString& a : arguments) quoted.append(u'"' + a + u'"');
    return quoted.join(u' ');
}

QStringList AbsoluteArguments(const QStringList& arguments, const QString& folder) {
    QStringList out;
    const QDir base(folder);
    for (const QString& a : arguments) {
        // Cleaned as well: "//music/a.mp3" would be stored as a line the
        // playlist reader takes for a comment.
        out.append(a.isEmpty() ? a : QDir::cleanPath(base.absoluteFilePath(a)));
    }
    return out;
}

QStringList DecodeArguments(int argc, char** argv, QStringList* refused) {
    QStringList out;
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        const QString text = QFile::decodeName(bytes);
        const bool refuse = DecodedInexactly(text, bytes) || HasLineEnd(text) || PathTooLong(text);
        (refuse ? *refused : out).append(text);
    }
    return out;
}

QStringList CarriedArguments(const QStringList& arguments, QStringList* refused) {
    const auto carried = [](const QStringList& list) {
        return SplitCommandLine(ArgumentText(list)) == list;
    };
    if (carried(arguments)) return arguments;
    QStringList out;
    for (const QString& a : arguments) {
        const bool splits = (u'"' + a + u'"').contains(QStringLiteral("\" \""));
        (splits ? *refused : out).append(a);
    }
    if (carried(out)) return out;
    // Without any quote the text is split exactly where the arguments meet.
    QStringList plain;
    for (const QString& a : std::as_const(out)) (a.contains(u'"') ? *refused : plain).append(a);
    return plain;
}

QStringList SplitCommandLine(const QString& text) {
    if (text.startsWith(u'"')) {
        if (text.size() < 2) return {};
        return text.mid(1, text.size() - 2).split(QStringLiteral("\" \""), Qt::KeepEmptyParts);
    }
    return text.split(u' ', Qt::KeepEmptyParts);
}

PieceKind KindOfPiece(const QString& piece) {
    const QString ext = GetExtension(piece).toUpper();
    if (IsMediaKind(ext)) return PieceKind::Media;
    return ext == QStringLiteral("LST") ? PieceKind::PlayList : PieceKind::Other;
}

}  // namespace qv
