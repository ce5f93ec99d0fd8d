// The playlist object. The list box holds more than the 32767 lines of a
// 16-bit index: nothing here narrows an index.
#include "playlist/cls_playlist.h"

#include <QListWidget>
#include <QTimer>
#include <utility>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/media_kinds.h"
#include "platform/paths.h"
#include "playback/mod_mci.h"
#include "playlist/playlist_file.h"
#include "tags/id3.h"

namespace qv {
namespace {

QString EntryTitle(const QString& FileName, const QString& MediaType) {
    return KindReadsTags(MediaType) ? ReadID3Tag(FileName).Title : GetFileName(FileName);
}

}  // namespace

clsPlayList::clsPlayList(ProgramState& state) : state_(state) {
    // The record array is where every change passes: adds, loads, walks and
    // each editing command alike, so none of them can miss the write.
    state_.PlayListData.OnChanged([this] {
        if (keeper_ && !keeper_->isActive()) keeper_->start();
    });
}

clsPlayList::~clsPlayList() {
    state_.PlayListData.OnChanged({});
}

void clsPlayList::KeepLastPlayList() {
    state_.PlayListData.TakeChanged();
    keeper_ = std::make_unique<QTimer>();
    keeper_->setSingleShot(true);
    keeper_->setInterval(1000);
    keeper_->setTimerType(Qt::PreciseTimer);
    QObject::connect(keeper_.get(), &QTimer::timeout, [this] {
        // Taken first: a change made while the file is written (a message box
        // of the writer runs the event loop) starts the next write.
        state_.PlayListData.TakeChanged();
        SavePlayListFile(state_, LastPlayListPath(state_));
    });
}

bool clsPlayList::SaveLastPlayList() {
    keeper_.reset();
    state_.PlayListData.TakeChanged();
    return SavePlayListFile(state_, LastPlayListPath(state_));
}

QListWidget* clsPlayList::List() const {
    Flush();
    return state_.mainForm ? state_.mainForm->lstPL : nullptr;
}

void clsPlayList::Flush() const {
    if (pendingLines_.isEmpty()) return;
    const QStringList lines = std::exchange(pendingLines_, {});
    if (state_.mainForm) state_.mainForm->lstPL->addItems(lines);
}

void clsPlayList::AddItem(const QString& strItem) {
    if (batchDepth_ > 0) {
        pendingLines_.append(strItem);
    } else if (QListWidget* list = List()) {
        list->addItem(strItem);
    }
}

void clsPlayList::RemoveItem(int32_t lngIndex) {
    if (QListWidget* list = List()) delete list->takeItem(lngIndex);
}

void clsPlayList::Clear() {
    if (QListWidget* list = List()) list->clear();
}

int32_t clsPlayList::ListCount() const {
    const QListWidget* list = List();
    return list ? list->count() : 0;
}

void clsPlayList::SetListIndex(int32_t lngIndex) {
    QListWidget* list = List();
    if (!list) return;
    // Selecting a line emits the selection change synchronously, and the main
    // window runs its click handling on it.
    if (lngIndex < 0) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else {
        list->setCurrentRow(lngIndex);
    }
}

QString clsPlayList::GetList(int32_t lngIndex) const {
    const QListWidget* list = List();
    const QListWidgetItem* item = list ? list->item(lngIndex) : nullptr;
    return item ? item->text() : QString();
}

void clsPlayList::SetList(int32_t lngIndex, const QString& strText) {
    QListWidget* list = List();
    if (QListWidgetItem* item = list ? list->item(lngIndex) : nullptr) item->setText(strText);
}

bool clsPlayList::AddToPlayList(const QString& FileName) {
    if (state_.PlayListData.Contains(FileName)) return false;
    const QString type = GetMediaType(FileName);
    AppendEntry(FileName, type, EntryTitle(FileName, type));
    return true;
}

void clsPlayList::AppendEntry(const QString& FileName, const QString& MediaType,
                              const QString& DisplayName) {
    PlayListArray& data = state_.PlayListData;
    PlayListItem item;
    item.FilePath = FileName;
    item.MediaType = MediaType;
    item.DisplayName = DisplayName;
    if (data.IsEmpty()) {
        data.Set(0, item);  // the empty playlist's placeholder becomes the entry
    } else {
        data.Append(item);
    }
    AddItem(item.DisplayName);
    state_.WriteIniSoon(QStringLiteral("File"), QStringLiteral("LastOpenFile"), FileName);
}

QString GetEntryTitle(const QString& FileName) {
    return EntryTitle(FileName, GetMediaType(FileName));
}

}  // namespace qv
