// The playlist object. The list box holds more than the 32767 lines of a
// 16-bit index: nothing here narrows an index.
#include "playlist/cls_playlist.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <utility>

#include "app/program_state.h"
#include "app/save_failures.h"
#include "platform/filesystem.h"
#include "platform/media_kinds.h"
#include "platform/paths.h"
#include "playback/mod_mci.h"
#include "playlist/playlist_file.h"
#include "tags/tags.h"

namespace qv {
namespace {

QString EntryTitle(const QString& FileName, const QString& MediaType) {
    return KindReadsTags(MediaType) ? ReadTags(FileName).Title : GetFileName(FileName);
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

void clsPlayList::KeepRecoveryFile() {
    keeper_ = std::make_unique<QTimer>();
    keeper_->setSingleShot(true);
    keeper_->setInterval(1000);
    keeper_->setTimerType(Qt::PreciseTimer);
    QObject::connect(keeper_.get(), &QTimer::timeout, [this] {
        // Taken first: a change made while the file is written starts the
        // next write.
        state_.PlayListData.TakeChanged();
        if (!WritePlayListCopy(state_, RecoveryPath(state_)))
            ReportNotSaved(state_, RecoveryPath(state_));
    });
    // The list the start built (a command line, a hand-off, a recovery) is
    // kept too, not only what changes later.
    state_.PlayListData.TakeChanged();
    keeper_->start();
}

bool clsPlayList::SaveLastPlayList() {
    keeper_.reset();
    state_.PlayListData.TakeChanged();
    if (!SavePlayListFile(state_, LastPlayListPath(state_))) {
        ReportNotSaved(state_, LastPlayListPath(state_));
        return false;
    }
    QFile::remove(RecoveryPath(state_));
    return true;
}

PlayListView* clsPlayList::View() const {
    Flush();
    return view_.get();
}

void clsPlayList::Flush() const {
    if (pendingLines_.isEmpty()) return;
    const QStringList lines = std::exchange(pendingLines_, {});
    if (view_) view_->AddLines(lines);
}

void clsPlayList::AddItem(const QString& strItem) {
    if (batchDepth_ > 0) {
        pendingLines_.append(strItem);
    } else if (PlayListView* view = View()) {
        view->AddLine(strItem);
    }
}

void clsPlayList::RemoveItem(int32_t lngIndex) {
    if (PlayListView* view = View()) view->RemoveLine(lngIndex);
}

void clsPlayList::Clear() {
    if (PlayListView* view = View()) view->ClearLines();
}

int32_t clsPlayList::ListCount() const {
    PlayListView* view = View();
    return view ? view->LineCount() : 0;
}

void clsPlayList::SetListIndex(int32_t lngIndex) {
    if (PlayListView* view = View()) view->SelectLine(lngIndex);
}

QString clsPlayList::GetList(int32_t lngIndex) const {
    PlayListView* view = View();
    return view ? view->LineText(lngIndex) : QString();
}

void clsPlayList::SetList(int32_t lngIndex, const QString& strText) {
    if (PlayListView* view = View()) view->SetLineText(lngIndex, strText);
}

void clsPlayList::SetLines(const QStringList& lines) {
    if (PlayListView* view = View()) {
        view->ClearLines();
        view->AddLines(lines);
    }
}

int32_t clsPlayList::SelectedLine() const {
    return view_ ? view_->SelectedLine() : -1;
}

void clsPlayList::SetToolTip(const QString& text) {
    if (view_) view_->SetToolTip(text);
}

void clsPlayList::AddPlayListNode(const QString& Path) {
    if (view_) view_->AddPlayListNode(Path);
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

QString EntryToolTip(const QString& FilePath) {
    if (FilePath.isEmpty()) return QString();
    // Escaped, so a title holding "<" reads as written; one line per field,
    // never wrapped, so the path stays whole.
    QStringList lines;
    if (FileExists(FilePath)) {
        const TagInfo tag = ReadTags(FilePath);
        lines << QStringLiteral("<b>%1</b>").arg(tag.Title.toHtmlEscaped());
        if (!tag.Artist.isEmpty())
            lines << QCoreApplication::translate("Quorvane", "アーティスト: ") +
                         tag.Artist.toHtmlEscaped();
        if (!tag.Album.isEmpty())
            lines << QCoreApplication::translate("Quorvane", "アルバム: ") +
                         tag.Album.toHtmlEscaped();
    }
    lines << FilePath.toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

}  // namespace qv
