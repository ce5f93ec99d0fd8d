// The folder box's own events. A drop only fills the box: scanning stays the
// user's decision (Enter or the button).
#include "library/folder_box.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "app/drag_answer.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/unstorable_paths.h"
#include "library/scan.h"
#include "platform/filesystem.h"
#include "platform/paths.h"

namespace qv {

QString DroppedFolder(const QString& path) {
    if (path.isEmpty()) return QString();
    if (QFileInfo(path).isDir()) return path;
    if (FileExists(path)) return GetFolderPath(path);
    return QString();
}

QString FirstDroppedPath(ProgramState& state, const QList<QUrl>& urls) {
    if (urls.isEmpty() || !urls.first().isLocalFile()) return QString();
    QString path;
    if (!DroppedLocalPath(urls.first(), &path) || HasLineEnd(path)) {
        ReportUnstorablePaths(state, state.mainForm.get(), {path});
        return QString();
    }
    return path;
}

bool Text1_KeyPress(ProgramState& state, int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    cmdScan_Click(state);
    return true;
}

void Text1_DblClick(ProgramState& state) {
    state.mainForm->Text1->selectAll();
}

void Text1_OLEDragDrop(ProgramState& state, const QMimeData& data) {
    QString folder;
    if (data.hasUrls()) {
        folder = DroppedFolder(FirstDroppedPath(state, data.urls()));
    } else if (data.hasText()) {
        const QString text = data.text();
        if (IsTreeMarkerText(text)) return;
        folder = DroppedFolder(text);
    }
    if (!folder.isEmpty()) state.mainForm->Text1->setText(folder);
}

}  // namespace qv
