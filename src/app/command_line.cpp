// Building and splitting the argument text.
#include "app/command_line.h"

#include <QDir>

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
        out.append(
            a.isEmpty() || QDir::isAbsolutePath(a) ? a : QDir::cleanPath(base.absoluteFilePath(a)));
    }
    return out;
}

QStringList SplitCommandLine(const QString& text) {
    if (text.startsWith(u'"')) {
        if (text.size() < 2) return {};
        return text.mid(1, text.size() - 2).split(QStringLiteral("\" \""), Qt::KeepEmptyParts);
    }
    return text.split(u' ', Qt::KeepEmptyParts);
}

}  // namespace qv
