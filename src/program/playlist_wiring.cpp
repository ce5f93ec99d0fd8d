// The wiring of the playlist's controls. Qt's own handling of drops on the
// list is replaced, and a drop is acted on from the event loop once it has
// been answered: the popup it opens would otherwise hold the dragging
// program (a file manager) until the user chooses.
#include "program/playlist_wiring.h"

#include <QAction>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <memory>

#include "app/controls.h"
#include "app/drag_answer.h"
#include "app/frm_hide_menu.h"
#include "app/frm_quorvane.h"
#include "app/playlist_data.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_drop.h"
#include "playlist/playlist_edit.h"
#include "playlist/playlist_undo.h"
#include "playlist/popup_items.h"
#include "playlist/save_playlist.h"

namespace qv {
namespace {

const QString kEventsName = QStringLiteral("qvPlaylistEvents");
const char kSaveConnected[] = "qvSavePlayListConnected";

int SelectedRow(const QListWidget& list) {
    const int row = list.currentRow();
    return row >= 0 && list.item(row)->isSelected() ? row : -1;
}

class PlaylistEvents final : public QObject {
  public:
    PlaylistEvents(ProgramState& state, frmQuorvane& form)
        : QObject(&form), state_(state), form_(form) {
        setObjectName(kEventsName);
        form.lstPL->installEventFilter(this);
        form.lstPL->viewport()->installEventFilter(this);
        // A click on the line that is selected already changes no selection,
        // yet shows that entry again as any click does.
        connect(form.lstPL, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            if (form_.lstPL->row(item) == selectedAtPress_) form_.lstPL_Click();
        });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == form_.lstPL) {
            if (event->type() != QEvent::KeyPress) return false;
            return lstPL_KeyPress(state_, static_cast<QKeyEvent*>(event)->key());
        }
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick: {
                // The list answers the left button only: Qt's view would let
                // the others select a line (a click) and a right double-click
                // play it.
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() != Qt::LeftButton) return true;
                if (event->type() == QEvent::MouseButtonPress) {
                    selectedAtPress_ = SelectedRow(*form_.lstPL);
                } else if (event->type() == QEvent::MouseButtonDblClick &&
                           form_.lstPL->itemAt(mouse->position().toPoint())) {
                    lstPL_DblClick(state_);
                }
                return false;
            }
            case QEvent::ToolTip: {
                // Over a line, that line's entry; elsewhere the list's own
                // tooltip (the path after a removal).
                const auto* help = static_cast<QHelpEvent*>(event);
                QListWidgetItem* item = form_.lstPL->itemAt(help->pos());
                const int row = item ? form_.lstPL->row(item) : -1;
                if (row < 0 || row > state_.PlayListData.UBound()) return false;
                QToolTip::showText(help->globalPos(),
                                   EntryToolTip(state_.PlayListData[row].FilePath),
                                   form_.lstPL->viewport(), form_.lstPL->visualItemRect(item));
                return true;
            }
            case QEvent::DragEnter:
            case QEvent::DragMove:
                return AnswerDrag(event, true);
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                auto copy = std::make_shared<QMimeData>();
                if (drop->mimeData()->hasUrls()) copy->setUrls(drop->mimeData()->urls());
                if (drop->mimeData()->hasText()) copy->setText(drop->mimeData()->text());
                drop->acceptProposedAction();
                ProgramState& state = state_;
                QTimer::singleShot(0, this, [&state, copy] { lstPL_OLEDragDrop(state, *copy); });
                return true;
            }
            default:
                return false;
        }
    }

  private:
    ProgramState& state_;
    frmQuorvane& form_;
    int selectedAtPress_ = -1;
};

}  // namespace

void ConnectPlaylistEditing(ProgramState& state, frmQuorvane& form) {
    // Wired once per window: a second set would run every command twice
    // (a move undone, two entries removed).
    if (form.findChild<QObject*>(kEventsName, Qt::FindDirectChildrenOnly)) return;
    auto* context = new PlaylistEvents(state, form);
    auto on = [context](ClickLabel* label, void (*handler)(ProgramState&), ProgramState& s) {
        QObject::connect(label, &ClickLabel::clicked, context, [&s, handler] { handler(s); });
    };
    on(form.imgUp, imgUp_Click, state);
    on(form.imgDown, imgDown_Click, state);
    on(form.lblRemove, lblRemove_Click, state);
    on(form.lblClear, lblClear_Click, state);
    on(form.lblShuffle, ShufflePlayList, state);
    // Delete anywhere in the window removes the selected line as "Remove"
    // does, except in the folder box, which keeps it for its text by itself,
    // and in the tree, where it would remove a line the user is not looking at.
    auto* remove = new QShortcut(QKeySequence(Qt::Key_Delete), &form);
    QObject::connect(remove, &QShortcut::activated, context, [&state] { lblRemove_Click(state); });
    KeepOwnKeys(form.TV1, {Qt::Key_Delete});
    // Ctrl+Z takes the last change of the playlist back, Ctrl+Shift+Z and
    // Ctrl+Y make it again, anywhere in the window but the folder box, whose
    // text has an undo of its own.
    const auto key = [&form, context](QKeyCombination k, auto handler) {
        auto* shortcut = new QShortcut(QKeySequence(k), &form);
        QObject::connect(shortcut, &QShortcut::activated, context, handler);
    };
    PlayListUndo* undo = state.objPlayListUndo.get();
    const QKeyCombination undoKey = Qt::CTRL | Qt::Key_Z;
    const QList<QKeyCombination> redoKeys = {Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
                                             Qt::CTRL | Qt::Key_Y};
    if (undo) {
        key(undoKey, [undo] { undo->Undo(); });
        for (QKeyCombination k : redoKeys) key(k, [undo] { undo->Redo(); });
    }
    KeepOwnKeys(form.Text1, QList<QKeyCombination>{undoKey} + redoKeys);

    frmHideMenu& menus = state.HideMenu();
    const std::pair<QAction*, void (*)(ProgramState&)> items[] = {
        {menus.mnAddListNoneOnly, mnAddListNoneOnly_Click},
        {menus.mnAddListNoneSub, mnAddListNoneSub_Click},
        {menus.mnAddListClearOnly, mnAddListClearOnly_Click},
        {menus.mnAddListClearSub, mnAddListClearSub_Click},
        {menus.mnAddListCancel, mnAddListCancel_Click},
        {menus.mnAddPlayList, mnAddPlayList_Click},
        {menus.mnAddPlayListRep, mnAddPlayListRep_Click},
        {menus.mnAddPlayListCancel, mnAddPlayListCancel_Click},
    };
    for (const auto& [action, handler] : items) {
        QObject::connect(action, &QAction::triggered, context,
                         [&state, handler = handler] { handler(state); });
    }
}

void ConnectSavePlayList(ProgramState& state, frmQuorvane& form) {
    if (form.lblSave->property(kSaveConnected).toBool()) return;
    form.lblSave->setProperty(kSaveConnected, true);
    QObject::connect(form.lblSave, &ClickLabel::clicked, form.lblSave,
                     [&state] { lblSave_Click(state); });
}

}  // namespace qv
