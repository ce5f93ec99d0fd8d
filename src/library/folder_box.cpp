// The folder box's own events. A drop only fills the box: scanning stays the
// user's decision (Enter or the button).
#include "library/folder_box.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "library/scan.h"
#include "platform/filesystem.h"
#include "platform/paths.h"

namespace qv {

bool IsTreeMarkerText(const QString& text) {
    return text == u"OLEDropAllMedia" || text == u"OLEDropRegisteredPlayList" ||
           text == u"OLEDropSearchedMedia";
}

QString DroppedFolder(const QString& path) {
    if (path.isEmpty()) return QString();
    if (QFileInfo(path).isDir()) return path;
    if (FileExists(path)) return GetFolderPath(path);
    return QString();
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
        const QList<QUrl> urls = data.urls();
        if (urls.isEmpty() || !urls.first().isLocalFile()) return;
        folder = DroppedFolder(urls.first().toLocalFile());
    } else if (data.hasText()) {
        const QString text = data.text();
        if (IsTreeMarkerText(text)) return;
        folder = DroppedFolder(text);
    }
    if (!folder.isEmpty()) state.mainForm->Text1->setText(folder);
}

}  // namespace qv
