// Saving the playlist under a name from the save dialog. Every refusal keeps
// the dialog open with the name selected, so the user corrects it in place;
// a failed write leaves the previous file and the playlist as they were.
#include "playlist/save_playlist.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QWindow>

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/playlist_data.h"
#include "app/program_state.h"
#include "playlist/frm_save_pl.h"
#include "playlist/playlist_file.h"

namespace qv {
namespace {

void SelectName(frmSavePL& dialog) {
    dialog.Text1->selectAll();
    dialog.Text1->setFocus();
}

bool Refuse(ProgramState& state, frmSavePL& dialog, const QString& message) {
    state.dialogs.MsgBox(&dialog, message, MsgButtons::OK, MsgIcon::None, AppTitle());
    SelectName(dialog);
    return false;
}

// The dialog belongs to the main window: it is centred on it and the window
// system keeps it above it. Qt ownership stays with the program state.
void PlaceOver(frmSavePL& dialog, QWidget& owner) {
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(owner.frameGeometry().center());
    dialog.move(frame.topLeft());
    dialog.winId();
    if (dialog.windowHandle() && owner.windowHandle()) {
        dialog.windowHandle()->setTransientParent(owner.windowHandle());
    }
}

}  // namespace

QString PlayListFileName(const QString& typed) {
    if (typed.right(4).toUpper() == QStringLiteral(".LST")) return typed;
    return typed + QStringLiteral(".lst");
}

QString RefusedNameMessage(const QString& typed) {
    if (typed.contains(QLatin1Char('/')) || typed.contains(QChar(0))) {
        return QCoreApplication::translate("Quorvane",
                                           "ファイル名に「/」などの使えない文字が含まれています");
    }
    if (typed.startsWith(QLatin1Char('.'))) {
        return QCoreApplication::translate("Quorvane", "「.」で始まる名前は使えません");
    }
    return {};
}

bool SaveFromDialog(ProgramState& state) {
    frmSavePL& dialog = *state.savePL;
    const QString typed = dialog.Text1->text();
    if (typed.isEmpty()) {
        return Refuse(state, dialog,
                      QCoreApplication::translate("Quorvane", "ファイル名を入力してください"));
    }
    const QString problem = RefusedNameMessage(typed);
    if (!problem.isEmpty()) return Refuse(state, dialog, problem);

    const QString name = PlayListFileName(typed);
    // Only the exact name is asked about: a name differing in letter case is
    // another file.
    if (dialog.File1->Names().contains(name, Qt::CaseSensitive)) {
        const MsgAnswer answer = state.dialogs.MsgBox(
            &dialog,
            name + QCoreApplication::translate("Quorvane",
                                               "はすでに存在します、上書きしてよろしいですか?"),
            MsgButtons::YesNo, MsgIcon::Information,
            QCoreApplication::translate("Quorvane", "上書き確認"));
        if (answer != MsgAnswer::Yes) {
            SelectName(dialog);
            return false;
        }
    }

    const QString path = PlayListFolder(state) + name;
    if (!SavePlayListFile(state, path)) {
        return Refuse(state, dialog,
                      path + QCoreApplication::translate("Quorvane", " に保存できませんでした。") +
                          QCoreApplication::translate(
                              "Quorvane", "ディスクの空きと書き込みの権限を確かめてください"));
    }
    AddPlayListNode(state, path);
    return true;
}

void lblSave_Click(ProgramState& state) {
    if (state.PlayListData.IsEmpty()) {
        state.dialogs.MsgBox(state.MainWindow(),
                             QCoreApplication::translate("Quorvane", "プレイリストが空です"),
                             MsgButtons::OK, MsgIcon::None, AppTitle());
        return;
    }
    frmSavePL& dialog = *state.savePL;
    // Opened as if loaded anew: the folder's files of this moment, no name.
    dialog.Text1->clear();
    dialog.Form_Load();
    if (QWidget* owner = state.MainWindow()) PlaceOver(dialog, *owner);
    dialog.Text1->setFocus();
    dialog.exec();
}

}  // namespace qv
