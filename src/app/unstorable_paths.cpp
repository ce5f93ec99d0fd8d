// Telling the user about paths that were left out rather than stored changed: a path that
// came back from a file as two lines, or as another name, would be a different file.
#include "app/unstorable_paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include "app/dialogs.h"
#include "app/program_state.h"

namespace qv {

bool DecodedInexactly(const QString& text, const QByteArray& bytes) {
    return text.contains(QChar::ReplacementCharacter) && QFile::encodeName(text) != bytes;
}

bool DroppedLocalPath(const QUrl& url, QString* path) {
    *path = url.toLocalFile();
    // The encoded form keeps the bytes the sender gave; the decoded text may not.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return !DecodedInexactly(*path, bytes);
}

void ReportUnstorablePaths(ProgramState& state, QWidget* owner, const QStringList& paths) {
    if (paths.isEmpty()) return;
    constexpr int kShown = 5;
    QString text =
        QCoreApplication::translate("Quorvane",
                                    "次のパスは改行か扱えない文字を含み、そのまま保存できないため、"
                                    "扱いませんでした。\n");
    for (const QString& path : paths.mid(0, kShown)) {
        // A line end shown as is would look like two paths.
        QString shown = path;
        shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        text += u'\n' + shown;
    }
    if (paths.size() > kShown)
        text += QCoreApplication::translate("Quorvane", "\nほか %1 件").arg(paths.size() - kShown);
    state.dialogs.MsgBox(owner, text, MsgButtons::OK, MsgIcon::None, AppTitle());
}

}  // namespace qv
