// The scan driver. The button's caption is the scan's state, as the user sees
// it; the walk itself runs on while an aborted worker winds down, and a start
// arriving meanwhile is passed over, so it cannot reset what the first found.
#include "library/scan.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/save_failures.h"
#include "app/tree_view.h"
#include "app/unstorable_paths.h"
#include "library/folder_watch.h"
#include "library/library_file.h"
#include "library/media_db.h"
#include "library/search_media.h"
#include "library/tree_upkeep.h"
#include "platform/filesystem.h"

namespace qv {
namespace {

QString ScanCaption() {
    return QCoreApplication::translate("Quorvane", "スキャン");
}

void Message(ProgramState& state, QWidget& window, const QString& text) {
    state.dialogs.MsgBox(&window, text, MsgButtons::OK, MsgIcon::None, AppTitle());
}

// The two checks of the button and the driver; false after a message.
bool PathUsable(ProgramState& state, QWidget& window, const QString& path) {
    if (path.isEmpty()) {
        Message(state, window, QCoreApplication::translate("Quorvane", "パスを指定してください"));
        return false;
    }
    if (!FileOrFolderExists(path)) {
        Message(state, window, QCoreApplication::translate("Quorvane", "パスが見つかりません"));
        return false;
    }
    return true;
}

// The scan's end, once its walk is over: what it met is kept, and what it
// did not meet is forgotten unless it was aborted.
void EndScan(ProgramState& state, TreeView& tree, QWidget& window, bool IncludeSubFolders) {
    window.setWindowTitle(QCoreApplication::translate(
        "Quorvane", "Quorvane - メディアの重複をチェックしています..."));
    // The library file is read whole and appended to on a thread of its own,
    // while the tree is tidied here: for a large library each takes a good
    // part of a second the window would not answer. The scan runs until the
    // file is written. A library file that cannot be written still ends the
    // scan as ever; the status bar says what was not saved.
    state.mediaSearch->AppendThen(
        LibraryFileOf(state), state.strSearchRoot, state.strFoundMedia,
        [&state, &window](bool saved) {
            if (!saved) ReportNotSaved(state, MediaDBPath(state));
            window.setWindowTitle(
                state.bAbortScan ? QCoreApplication::translate("Quorvane", "Quorvane - スキャン中止")
                                 : QCoreApplication::translate("Quorvane", "Quorvane - スキャン完了"));
            if (state.mainForm) state.mainForm->cmdScan->setText(ScanCaption());
        });
    // A whole walk tells what is gone since; an aborted one does not.
    if (!state.bAbortScan) {
        ForgetVanished(state, tree, state.strSearchRoot, IncludeSubFolders);
    }
    WatchFoldersBelow(state, state.strSearchRoot);
}

}  // namespace

bool ScanFolder(ProgramState& state, TreeView& tree, QWidget& window, QString& Path,
                bool IncludeSubFolders) {
    if (ScanRunning(state) || !PathUsable(state, window, Path)) return false;
    Path = GetLongPath(Path);
    // Its header line in the library file would be split in two.
    if (HasLineEnd(Path)) {
        ReportUnstorablePaths(state, &window, {Path});
        return false;
    }
    state.ini.WriteIni(QStringLiteral("File"), QStringLiteral("LastSearchedPath"), Path);
    state.strSearchRoot = SearchRootOf(Path);
    state.strFoundMedia = QStringList{QString()};
    state.bAbortScan = false;

    AddRootNode(tree, state.strSearchRoot);
    // The file's lines are read while the walk goes on: its end then has
    // only the walk's own lines to look up.
    LibraryFileOf(state).ReadAhead();
    // The files the walk meets are marked on their nodes, for its end.
    tree.StartMarks();
    // The last scan's walk is over: nothing of it is on the stack.
    state.mediaSearch =
        std::make_unique<MediaSearch>(state, tree, window, state.strSearchRoot, IncludeSubFolders,
                                      [&state, &tree, &window, IncludeSubFolders] {
                                          EndScan(state, tree, window, IncludeSubFolders);
                                      });
    return true;
}

bool ScanRunning(const ProgramState& state) {
    return state.mediaSearch && state.mediaSearch->Running();
}

void cmdScan_Click(ProgramState& state) {
    frmQuorvane& form = *state.mainForm;
    if (form.cmdScan->text() != ScanCaption()) {
        state.bAbortScan = true;
        if (state.mediaSearch) state.mediaSearch->Abort();
        form.cmdScan->setText(ScanCaption());
        return;
    }
    // An aborted walk still winding down: it ends at its next entry; a new
    // scan now would reset what it found before it is saved.
    if (ScanRunning(state)) return;
    form.cmdScan->setText(QCoreApplication::translate("Quorvane", "中止"));
    const QString text = form.Text1->text();
    if (!PathUsable(state, form, text)) {
        form.cmdScan->setText(ScanCaption());
        return;
    }
    form.Text1->setText(GetLongPath(text));
    QString path = form.Text1->text();
    // The scan's end gives the button its caption back.
    if (!ScanFolder(state, *form.TV1, form, path, form.chkSF->checkState() != Qt::Unchecked))
        form.cmdScan->setText(ScanCaption());
}

void cmdRef_Click(ProgramState& state) {
    frmQuorvane& form = *state.mainForm;
    const QString last =
        state.ini.ReadIni(QStringLiteral("File"), QStringLiteral("LastOpenedPath"));
    const QString chosen = state.dialogs.BrowseForFolder(
        &form, QCoreApplication::translate("Quorvane", "フォルダを選択してください"),
        last.isEmpty() ? QDir::homePath() : last);
    if (chosen.isEmpty()) return;
    form.Text1->setText(chosen);
    state.ini.WriteIni(QStringLiteral("File"), QStringLiteral("LastOpenedPath"), chosen);
}

void EndScanOnUnload(ProgramState& state) {
    if (!ScanRunning(state)) return;
    state.bAbortScan = true;
    state.mediaSearch->EndNow();
}

}  // namespace qv
