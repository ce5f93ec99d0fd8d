// Qt's modal dialogs behind the dialog interface. The message boxes' buttons
// read in Japanese through Qt's own translation, loaded at start-up.
#include "app/dialogs_qt.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QTranslator>

namespace qv {

bool InstallQtJapanese() {
    auto* qtbase = new QTranslator(QCoreApplication::instance());
    if (!qtbase->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qtbase;
        return false;
    }
    return QCoreApplication::installTranslator(qtbase);
}

MsgAnswer QtDialogs::MsgBox(QWidget* owner, const QString& prompt, MsgButtons buttons, MsgIcon icon,
                            const QString& title) {
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
    return menu.exec(at.value_or(QCursor::pos()));
}

QString QtDialogs::BrowseForFolder(QWidget* owner, const QString& title,
                                   const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

}  // namespace qv
