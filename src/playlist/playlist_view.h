// The main window as clsPlayList sees it: the lines of the playlist box, its
// selection and tooltip, and the registered playlists' nodes of the tree. The
// program sets one over the main window's controls; without one the playlist
// keeps its records and shows no line.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace qv {

class PlayListView {
  public:
    virtual ~PlayListView() = default;

    virtual void AddLine(const QString& text) = 0;
    // Many lines in one insertion, after the last.
    virtual void AddLines(const QStringList& lines) = 0;
    virtual void RemoveLine(int32_t lngIndex) = 0;
    virtual void ClearLines() = 0;
    virtual int32_t LineCount() = 0;
    // Selects line lngIndex, or none for -1; the selection's click handling
    // has run by the time this returns.
    virtual void SelectLine(int32_t lngIndex) = 0;
    // "" for an index naming no line.
    virtual QString LineText(int32_t lngIndex) = 0;
    // An index naming no line changes nothing.
    virtual void SetLineText(int32_t lngIndex, const QString& text) = 0;
    // The selected line, -1 when none is.
    virtual int32_t SelectedLine() = 0;
    // The list box's tooltip.
    virtual void SetToolTip(const QString& text) = 0;
    // A node for the playlist file at path among the registered playlists of
    // the tree; a node that is there already stays as it is.
    virtual void AddPlayListNode(const QString& path) = 0;
};

}  // namespace qv
