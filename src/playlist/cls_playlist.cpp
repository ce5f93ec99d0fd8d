// The playlist object. The list box holds more than the 32767 lines of a
// 16-bit index: nothing here narrows an index.
#include "playlist/cls_playlist.h"

#include <QListWidget>

#include "app/frm_quorvane.h"
#include "app/program_state.h"
#include "platform/paths.h"
#include "playback/mod_mci.h"
#include "tags/id3.h"

namespace qv {

clsPlayList::clsPlayList(ProgramState& state) : state_(state) {}

QListWidget* clsPlayList::List() const {
    return state_.mainForm ? state_.mainForm->lstPL : nullptr;
}

void clsPlayList::AddItem(const QString& strItem) {
    if (QListWidget* list = List()) list->addItem(strItem);
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
    PlayListArray& data = state_.PlayListData;
    if (data.Contains(FileName)) return false;
    PlayListItem item;
    item.FilePath = FileName;
    item.MediaType = GetMediaType(FileName);
    item.DisplayName = GetEntryTitle(FileName);
    if (data.IsEmpty()) {
        data.Set(0, item);  // the empty playlist's placeholder becomes the entry
    } else {
        data.Append(item);
    }
    AddItem(item.DisplayName);
    state_.WriteIniSoon(QStringLiteral("File"), QStringLiteral("LastOpenFile"), FileName);
    return true;
}

QString GetEntryTitle(const QString& FileName) {
    if (GetMediaType(FileName) == QStringLiteral("MP3")) return ReadID3Tag(FileName).Title;
    return GetFileName(FileName);
}

}  // namespace qv
