// clsPlayList: the playlist box lstPL of the main window, and AddToPlayList,
// which adds one media file to both stores of the playlist at once.
#pragma once

#include <QString>
#include <cstdint>

class QListWidget;

namespace qv {

class ProgramState;

class clsPlayList {
  public:
    explicit clsPlayList(ProgramState& state);

    void AddItem(const QString& strItem);
    void RemoveItem(int32_t lngIndex);
    void Clear();
    int32_t ListCount() const;
    // Selects line lngIndex (-1: none). When the selection changes, the list's
    // click handling has run by the time this returns.
    void SetListIndex(int32_t lngIndex);
    QString GetList(int32_t lngIndex) const;
    void SetList(int32_t lngIndex, const QString& strText);

    // Appends the file as a new entry (record and line); false, changing
    // nothing, when exactly this path is in the playlist already.
    bool AddToPlayList(const QString& FileName);

  private:
    QListWidget* List() const;

    ProgramState& state_;
};

// The line text of a media file: the tag's title for MP3 files, else the file name.
QString GetEntryTitle(const QString& FileName);

}  // namespace qv
