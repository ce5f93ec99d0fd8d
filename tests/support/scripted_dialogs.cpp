// Scripted answers for the dialog seam.
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QMenu>

namespace qvtest {
namespace {

QAction* FindItem(QMenu& menu, const QString& name) {
    for (QAction* action : menu.actions()) {
        if (action->objectName() == name && !action->menu()) return action;
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindItem(*sub, name)) return found;
        }
    }
    return nullptr;
}

}  // namespace

qv::MsgAnswer ScriptedDialogs::MsgBox(QWidget*, const QString& prompt, qv::MsgButtons buttons,
                                      qv::MsgIcon icon, const QString& title) {
    asked.append({prompt, buttons, icon, title});
    if (answers.isEmpty()) return qv::MsgAnswer::OK;
    return answers.takeFirst();
}

QAction* ScriptedDialogs::PopupMenu(QMenu& menu) {
    poppedMenus.append(menu.objectName());
    const QString choice = menuChoices.isEmpty() ? QString() : menuChoices.takeFirst();
    QAction* action = choice.isEmpty() ? nullptr : FindItem(menu, choice);
    // A hidden or disabled item cannot be chosen from a real menu either.
    if (!action || !action->isVisible() || !action->isEnabled()) return nullptr;
    action->trigger();
    return action;
}

QString ScriptedDialogs::BrowseForFolder(QWidget*, const QString& title,
                                         const QString& startFolder) {
    pickerTitles.append(title);
    pickerStarts.append(startFolder);
    return folders.isEmpty() ? QString() : folders.takeFirst();
}

}  // namespace qvtest
