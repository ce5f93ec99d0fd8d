// The dialogs of the running program: Qt's message box, QMenu::exec and the
// folder picker, each modal.
#pragma once

#include "app/dialogs.h"

namespace qv {

class QtDialogs final : public Dialogs {
  public:
    MsgAnswer MsgBox(QWidget* owner, const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    QAction* PopupMenu(QMenu& menu, std::optional<QPoint> at = std::nullopt) override;
    QString BrowseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;

    // The program is ending without a user to answer (a logout, SIGTERM):
    // closes the dialog or menu that is open (as Escape would), and from now on
    // every message box is only told on standard error and answered OK or No,
    // menus are dismissed and the picker is cancelled, so nothing waits.
    void EndAll();

  private:
    bool ending_ = false;
};

}  // namespace qv
