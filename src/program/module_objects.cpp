// The views of the player and the playlist over the real controls. The
// player reaches the playlist's lines through clsPlayList, so that lines
// still waiting in a batch are handed over before it counts or selects.
#include "program/module_objects.h"

#include <QListWidget>
#include <QPixmap>
#include <QTimer>
#include <memory>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/pictures.h"
#include "app/program_state.h"
#include "app/tree_view.h"
#include "platform/paths.h"
#include "playback/media_play.h"
#include "playback/player_view.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_undo.h"
#include "playlist/playlist_view.h"

namespace qv {
namespace {

// Setting a label's picture repaints it even when it is the same picture;
// twenty times a second that would cost more than the rest of a tick.
void ShowPicture(ClickLabel* image, const ClickLabel* from) {
    const QPixmap picture = from->pixmap();
    if (image->pixmap().cacheKey() != picture.cacheKey()) image->setPixmap(picture);
}

class WindowPlayerView final : public PlayerView {
  public:
    explicit WindowPlayerView(ProgramState& state) : state_(state) {}

    bool WindowOpen() override { return state_.mainForm && !state_.mainForm->Unloaded(); }

    void ShowLoopMode(Looping mode) override {
        frmQuorvane* form = state_.mainForm.get();
        if (!form) return;
        const ClickLabel* from = mode == Looping::All   ? form->imgLoopAll
                                 : mode == Looping::One ? form->imgLoopOne
                                                        : form->imgLoopOff;
        form->imgLoop->setToolTip(LoopingWord(mode));
        form->imgLoop->setPixmap(from->pixmap());
    }

    void ShowVolume(int32_t lngVolume) override {
        if (frmQuorvane* form = state_.mainForm.get()) form->sldVolume->setValue(lngVolume);
    }

    void ShowPlayButton(bool paused) override {
        if (frmQuorvane* form = state_.mainForm.get())
            ShowPicture(form->imgPlay, paused ? form->imgPlayOff : form->imgPlayOn);
    }

    void ShowTrackInfo(const QString& title, const QString& artist,
                       const QString& comment) override {
        frmQuorvane* form = state_.mainForm.get();
        if (!form) return;
        const QString texts[] = {title, artist, comment};
        for (int i = 0; i < 3; ++i) {
            StatusPanel* panel = form->Panel(i + 1);
            panel->setText(texts[i]);
            panel->setVisible(!texts[i].isEmpty());
        }
    }

    void ShowMode(const QString& text) override {
        if (frmQuorvane* form = state_.mainForm.get()) form->Panel(4)->setText(text);
    }

    void ShowTime(const QString& text) override {
        if (frmQuorvane* form = state_.mainForm.get()) form->Panel(5)->setText(text);
    }

    bool SeekBarHeld() override {
        return state_.mainForm && state_.mainForm->sldSeek->isSliderDown();
    }

    void ShowPosition(int32_t lngPosition, int32_t lngLength) override {
        frmQuorvane* form = state_.mainForm.get();
        if (!form) return;
        form->sldSeek->setRange(0, lngLength);
        form->sldSeek->setValue(lngPosition);
    }

    void ShowCaption(const QString& caption) override {
        if (frmQuorvane* form = state_.mainForm.get()) form->setWindowTitle(caption);
    }

    void RestartPreviewReturn() override {
        if (frmQuorvane* form = state_.mainForm.get()) {
            form->Timer2->stop();
            form->Timer2->start();
        }
    }

    void StopPreviewReturn() override {
        if (frmQuorvane* form = state_.mainForm.get()) form->Timer2->stop();
    }

    int32_t LineCount() override {
        return state_.objPlayList ? state_.objPlayList->ListCount() : 0;
    }

    void SelectLine(int32_t lngIndex) override {
        if (state_.objPlayList) state_.objPlayList->SetListIndex(lngIndex);
    }

    int32_t SelectedLine() override {
        return state_.objPlayList ? state_.objPlayList->SelectedLine() : -1;
    }

  private:
    ProgramState& state_;
};

// The main window's list box lstPL.
class WindowPlayListView final : public PlayListView {
  public:
    explicit WindowPlayListView(ProgramState& state) : state_(state) {}

    void AddLine(const QString& text) override {
        if (QListWidget* list = List()) list->addItem(text);
    }
    void AddLines(const QStringList& lines) override {
        if (QListWidget* list = List()) list->addItems(lines);
    }
    void RemoveLine(int32_t lngIndex) override {
        if (QListWidget* list = List()) delete list->takeItem(lngIndex);
    }
    void ClearLines() override {
        if (QListWidget* list = List()) list->clear();
    }
    int32_t LineCount() override {
        const QListWidget* list = List();
        return list ? list->count() : 0;
    }
    void SelectLine(int32_t lngIndex) override {
        QListWidget* list = List();
        if (!list) return;
        // Selecting a line emits the selection change synchronously, and the
        // main window runs its click handling on it.
        if (lngIndex < 0) {
            list->setCurrentRow(-1);
            list->clearSelection();
        } else {
            list->setCurrentRow(lngIndex);
        }
    }
    QString LineText(int32_t lngIndex) override {
        const QListWidget* list = List();
        const QListWidgetItem* item = list ? list->item(lngIndex) : nullptr;
        return item ? item->text() : QString();
    }
    void SetLineText(int32_t lngIndex, const QString& text) override {
        QListWidget* list = List();
        if (QListWidgetItem* item = list ? list->item(lngIndex) : nullptr) item->setText(text);
    }
    int32_t SelectedLine() override {
        const QListWidget* list = List();
        if (!list) return -1;
        const int row = list->currentRow();
        return row >= 0 && list->item(row)->isSelected() ? row : -1;
    }
    void SetToolTip(const QString& text) override {
        if (QListWidget* list = List()) list->setToolTip(text);
    }
    void AddPlayListNode(const QString& path) override {
        if (!state_.mainForm) return;
        // A duplicate key means the node is there already; a missing parent
        // cannot happen once the fixed nodes exist, and is skipped if it does.
        state_.mainForm->TV1->AddNode(QStringLiteral("RegisteredPlayList"), path, GetBaseName(path),
                                      kImagePlayList);
    }

  private:
    QListWidget* List() const { return state_.mainForm ? state_.mainForm->lstPL : nullptr; }

    ProgramState& state_;
};

}  // namespace

void MakeModuleObjects(ProgramState& state) {
    state.objMediaPlay = std::make_unique<clsMediaPlay>(state);
    state.objMediaPlay->SetView(std::make_unique<WindowPlayerView>(state));
    state.objPlayList = std::make_unique<clsPlayList>(state);
    state.objPlayList->SetView(std::make_unique<WindowPlayListView>(state));
    state.objPlayListUndo = std::make_unique<PlayListUndo>(state);
}

}  // namespace qv
