// The wiring of the library's controls. Qt's own handling of the folder box's
// and the tree's drags is replaced: the folder box would insert the dropped
// text, and the tree would drag its internal item format instead of text.
#include "program/library_wiring.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>

#include "app/drag_answer.h"
#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "library/folder_box.h"
#include "library/remove_root.h"
#include "library/scan.h"
#include "library/tree_handlers.h"

namespace qv {
namespace {

const QString kEventsName = QStringLiteral("qvLibraryEvents");

class LibraryEvents final : public QObject {
  public:
    LibraryEvents(ProgramState& state, frmQuorvane& form)
        : QObject(&form), state_(state), form_(form) {
        setObjectName(kEventsName);
        form.Text1->installEventFilter(this);
        form.TV1->viewport()->installEventFilter(this);
        form.TV1->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_.Text1) return FolderBoxEvent(event);
        if (watched == form_.TV1->viewport()) return TreeEvent(event);
        if (watched == form_.TV1 && event->type() == QEvent::KeyPress)
            return TreeKey(static_cast<QKeyEvent*>(event));
        return false;
    }

  private:
    bool FolderBoxEvent(QEvent* event) {
        switch (event->type()) {
            case QEvent::KeyPress:
                return Text1_KeyPress(state_, static_cast<QKeyEvent*>(event)->key());
            case QEvent::MouseButtonDblClick:
                // A left double-click selects the whole text; the other
                // buttons keep the line edit's own behaviour.
                if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
                Text1_DblClick(state_);
                return true;
            case QEvent::DragEnter:
            case QEvent::DragMove:
                return AnswerDrag(event, true);
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                Text1_OLEDragDrop(state_, *drop->mimeData());
                drop->acceptProposedAction();
                return true;
            }
            default:
                return false;
        }
    }

    bool TreeEvent(QEvent* event) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick: {
                // Only the left and the right button click a node. A right
                // double-click is the right click before it and nothing more:
                // Qt's view would expand or collapse the node.
                const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
                if (button != Qt::LeftButton && button != Qt::RightButton) return true;
                if (button == Qt::RightButton && event->type() == QEvent::MouseButtonDblClick)
                    return true;
                return TreeMouse(static_cast<QMouseEvent*>(event));
            }
            case QEvent::DragEnter:
            case QEvent::DragMove:
                return AnswerDrag(event, false);
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                TV1_OLEDragDrop(state_, *drop->mimeData());
                drop->acceptProposedAction();
                return true;
            }
            case QEvent::MouseMove:
                return MaybeStartDrag(static_cast<QMouseEvent*>(event));
            default:
                return false;
        }
    }

    // A left or right press, release or left double-click on the tree.
    bool TreeMouse(QMouseEvent* mouse) {
        if (mouse->type() == QEvent::MouseButtonPress) {
            pressPos_ = mouse->position().toPoint();
            pressed_ = form_.TV1->NodeAt(pressPos_);
            return false;
        }
        // Qt reports left clicks only; a right click selects the node too
        // and opens its menu the same way.
        if (mouse->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton &&
            pressed_ && form_.TV1->NodeAt(mouse->position().toPoint()) == pressed_) {
            TreeNode* node = pressed_;
            pressed_ = nullptr;
            TV1_NodeClick(state_, node);
            return true;
        }
        return false;
    }

    // The context-menu key and Shift+F10 click the current node as the mouse
    // would, its popup opening below the node's row: without them the
    // keyboard could reach no item of the tree's popups.
    bool TreeKey(QKeyEvent* key) {
        const bool menuKey = key->key() == Qt::Key_Menu ||
                             (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        if (!menuKey) return false;
        TreeNode* node = form_.TV1->CurrentNode();
        if (!node) return true;
        form_.TV1->scrollTo(form_.TV1->IndexOf(node));
        const QRect row = form_.TV1->NodeRect(node);
        TV1_NodeClick(state_, node, form_.TV1->viewport()->mapToGlobal(row.bottomLeft()));
        return true;
    }

    bool MaybeStartDrag(QMouseEvent* mouse) {
        if (!(mouse->buttons() & Qt::LeftButton) || !pressed_) return false;
        if ((mouse->position().toPoint() - pressPos_).manhattanLength() <
            QApplication::startDragDistance())
            return true;
        pressed_ = nullptr;
        QMimeData* data = TV1_OLEStartDrag(state_);
        if (!data) return true;
        auto* drag = new QDrag(form_.TV1);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        return true;
    }

    ProgramState& state_;
    frmQuorvane& form_;
    QPoint pressPos_;
    TreeNode* pressed_ = nullptr;
};

}  // namespace

void ConnectLibrary(ProgramState& state, frmQuorvane& form) {
    // Wired once per window, whoever asks first: a second set of connections
    // would run every handler twice (a scan started and at once aborted).
    if (form.findChild<QObject*>(kEventsName, Qt::FindDirectChildrenOnly)) return;
    new LibraryEvents(state, form);
    QObject::connect(form.cmdScan, &QPushButton::clicked, &form,
                     [&state] { cmdScan_Click(state); });
    QObject::connect(form.cmdRef, &QPushButton::clicked, &form, [&state] { cmdRef_Click(state); });
    QObject::connect(form.TV1, &TreeView::nodeClicked, &form,
                     [&state](TreeNode* node) { TV1_NodeClick(state, node); });
    frmHideMenu& menus = state.HideMenu();
    QObject::connect(menus.mnTreeExpand, &QAction::triggered, &form,
                     [&state] { mnTreeExpand_Click(state); });
    QObject::connect(menus.mnRemoveRoot, &QAction::triggered, &form,
                     [&state] { mnRemoveRoot_Click(state); });
    QObject::connect(menus.mnClickNodeMediaPlay, &QAction::triggered, &form,
                     [&state] { mnClickNodeMediaPlay_Click(state); });
    QObject::connect(menus.mnClickNodeMediaAdd, &QAction::triggered, &form,
                     [&state] { mnClickNodeMediaAdd_Click(state); });
}

}  // namespace qv
