// clsPlayList: the lines of the playlist box (through its view), and AddToPlayList,
// which adds one media file to both stores of the playlist at once.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>

// The other store: whoever holds the playlist holds its records.
#include "app/playlist_data.h"
#include "playlist/playlist_view.h"

class QTimer;

namespace qv {

class ProgramState;

class clsPlayList {
  public:
    explicit clsPlayList(ProgramState& state);
    ~clsPlayList();
    clsPlayList(const clsPlayList&) = delete;
    clsPlayList& operator=(const clsPlayList&) = delete;

    // The list box the lines go to; set by the program's wiring.
    void SetView(std::unique_ptr<PlayListView> view) { view_ = std::move(view); }

    void AddItem(const QString& strItem);
    void RemoveItem(int32_t lngIndex);
    void Clear();
    int32_t ListCount() const;
    // Selects line lngIndex (-1: none). When the selection changes, the list's
    // click handling has run by the time this returns.
    void SetListIndex(int32_t lngIndex);
    QString GetList(int32_t lngIndex) const;
    void SetList(int32_t lngIndex, const QString& strText);
    // Every line replaced by lines, in one insertion.
    void SetLines(const QStringList& lines);
    // The selected line, -1 when none is (lines still waiting in a batch
    // are never selected).
    int32_t SelectedLine() const;
    // The list box's tooltip.
    void SetToolTip(const QString& text);
    // The registered playlist at Path shown in the tree.
    void AddPlayListNode(const QString& Path);

    // Appends the file as a new entry (record and line); false, changing
    // nothing, when exactly this path is in the playlist already.
    bool AddToPlayList(const QString& FileName);
    // AddToPlayList for a caller that knows the line text already (it read the
    // tag itself); FileName must not be in the playlist yet.
    void AppendEntry(const QString& FileName, const QString& MediaType, const QString& DisplayName);

    // While held, new lines wait and reach the list box in one insertion when
    // the hold ends: a list box told of 20,000 lines one by one spends most of
    // a start-up on it. Every other member above hands them over first, so
    // the lines are always there for whoever looks.
    class LineBatch {
      public:
        explicit LineBatch(clsPlayList& list) : list_(list) { ++list_.batchDepth_; }
        ~LineBatch() {
            if (--list_.batchDepth_ == 0) list_.Flush();
        }
        LineBatch(const LineBatch&) = delete;
        LineBatch& operator=(const LineBatch&) = delete;

      private:
        clsPlayList& list_;
    };

    // From now on the playlist in use is kept in the recovery file
    // (RecoveryPath): written within a second of now, and within a second of
    // every later change, all the changes of that second in one write, so
    // that a crash or a power cut costs at most that second.
    // LastPlayList.lst itself keeps the last run's playlist until the exit.
    void KeepRecoveryFile();
    // The unload: writes PlayLists/LastPlayList.lst and keeps the recovery
    // file no longer, removing it once the playlist is safe; false (the
    // recovery file left for the next start) when the file could not be written.
    bool SaveLastPlayList();

  private:
    // The view, with every waiting line handed over; null without one.
    PlayListView* View() const;
    void Flush() const;

    ProgramState& state_;
    std::unique_ptr<PlayListView> view_;
    int batchDepth_ = 0;
    mutable QStringList pendingLines_;
    std::unique_ptr<QTimer> keeper_;  // set while the recovery file is kept
};

// The line text of a media file: the tag's title for the kinds that read tags
// (MP3), else the file name.
QString GetEntryTitle(const QString& FileName);

// The hover text of a playlist line, as rich text: the whole title (the line
// may cut it), the artist and the album when the tag has them, each read as
// the status bar reads them, then the path. A file that is not there (or is
// hidden) gives its path alone; an empty path gives "".
QString EntryToolTip(const QString& FilePath);

}  // namespace qv
