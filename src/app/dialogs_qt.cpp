// Qt's modal dialogs behind the dialog interface. The message boxes' buttons
// read in the program's language through Qt's own translation (app/language.*).
#include "app/dialogs_qt.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <cstdio>

namespace qv {

MsgAnswer QtDialogs::MsgBox(QWidget* owner, const QString& prompt, MsgButtons buttons, MsgIcon icon,
                            const QString& title) {
    if (ending_) {
        std::fprintf(stderr, "quorvane: %s\n", qUtf8Printable(prompt));
        return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::No;
    }
    QMessageBox box(
        icon == MsgIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon, title,
        prompt,
        buttons == MsgButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
        owner);
    const int chosen = box.exec();
    if (buttons == MsgButtons::OK) return MsgAnswer::OK;
    // Closing the question with Escape or the window's close box counts as No.
    return chosen == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

QAction* QtDialogs::PopupMenu(QMenu& menu, std::optional<QPoint> at) {
    return ending_ ? nullptr : menu.exec(at.value_or(QCursor::pos()));
}

QString QtDialogs::BrowseForFolder(QWidget* owner, const QString& title,
                                   const QString& startFolder) {
    if (ending_) return QString();
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

void QtDialogs::EndAll() {
    ending_ = true;
    // A box may have opened a menu, or the other way round: each in turn.
    for (int i = 0; i < 8; ++i) {
        QWidget* open = QApplication::activePopupWidget();
        if (!open) open = QApplication::activeModalWidget();
        if (!open) break;
        open->close();
    }
}

}  // namespace qv
