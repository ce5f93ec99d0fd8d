// The dialog seam for tests: answers scripted beforehand, every question
// recorded. A popup's scripted item is triggered, so its handler runs before
// PopupMenu returns, as with a real menu.
#pragma once

#include <QList>
#include <QString>
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
    QStringList pickerTitles;
    QStringList pickerStarts;  // the folder each picker opened on

    qv::MsgAnswer MsgBox(QWidget* owner, const QString& prompt, qv::MsgButtons buttons,
                         qv::MsgIcon icon, const QString& title) override;
    QAction* PopupMenu(QMenu& menu) override;
    QString BrowseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
};

}  // namespace qvtest
