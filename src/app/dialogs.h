// The modal dialogs the program asks the user through: message boxes, popup
// menus and the folder picker. One interface, so tests can script the answers.
#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace qv {

enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Information };
// The button the user chose (the values of the Windows message box).
enum class MsgAnswer { OK = 1, Yes = 6, No = 7 };

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A modal message box; returns the button chosen.
    virtual MsgAnswer MsgBox(QWidget* owner, const QString& prompt, MsgButtons buttons,
                             MsgIcon icon, const QString& title) = 0;

    // Pops the menu up at the mouse position, or at the screen point at (a
    // menu the keyboard opened), and returns when it closes; the chosen
    // item's handler (its triggered signal) has run by then. Returns the
    // chosen item, nullptr when the menu was dismissed.
    virtual QAction* PopupMenu(QMenu& menu, std::optional<QPoint> at = std::nullopt) = 0;

    // The folder the user picked, "" when the picker was cancelled.
    virtual QString BrowseForFolder(QWidget* owner, const QString& title,
                                    const QString& startFolder) = 0;
};

// The program's title, the caption of its message boxes.
inline QString AppTitle() {
    return QStringLiteral("Quorvane");
}

}  // namespace qv
