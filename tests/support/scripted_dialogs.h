// The dialog seam for tests: answers scripted beforehand, every question
// recorded. A popup's scripted item is triggered, so its handler runs before
// PopupMenu returns, as with a real menu.
#pragma once

#include <QAction>
#include <QMenu>
#include <QStringList>

#include "app/dialogs.h"

namespace qvtest {

struct AskedMessage {
    QString prompt;
    qv::MsgButtons buttons;
    qv::MsgIcon icon;
    QString title;
};

class ScriptedDialogs final : public qv::Dialogs {
  public:
    // Answers for the next questions, in order; OK is used when none is left.
    QList<qv::MsgAnswer> answers;
    // Object names of the items to choose in the next popups ("" dismisses).
    QStringList menuChoices;
    // Folders the next pickers return ("" cancels).
    QStringList folders;

    QList<AskedMessage> asked;
    QStringList poppedMenus;  // object names of the menus popped up
    // When set, popups are this one's (real menus, answered by the test).
    qv::Dialogs* popupsTo = nullptr;
    QStringList pickerStarts;  // the folder each picker opened on

    qv::MsgAnswer MsgBox(QWidget*, const QString& prompt, qv::MsgButtons buttons, qv::MsgIcon icon,
                         const QString& title) override {
        asked.append({prompt, buttons, icon, title});
        return answers.isEmpty() ? qv::MsgAnswer::OK : answers.takeFirst();
    }
    QAction* PopupMenu(QMenu& menu, std::optional<QPoint> at = std::nullopt) override {
        poppedMenus.append(menu.objectName());
        if (popupsTo) return popupsTo->PopupMenu(menu, at);
        const QString choice = menuChoices.isEmpty() ? QString() : menuChoices.takeFirst();
        // An item of a submenu is a child of the submenu, itself a child of the menu. A
        // hidden or disabled item cannot be chosen from a real menu either.
        QAction* a = choice.isEmpty() ? nullptr : menu.findChild<QAction*>(choice);
        if (!a || a->menu() || !a->isVisible() || !a->isEnabled()) return nullptr;
        a->trigger();
        return a;
    }
    QString BrowseForFolder(QWidget*, const QString&, const QString& startFolder) override {
        pickerStarts.append(startFolder);
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
};

}  // namespace qvtest
