// How a drop target answers a drag passing over it: taken when the data has a
// form the target reads, refused otherwise, so the cursor tells the user.
#pragma once

#include <QDropEvent>
#include <QMimeData>
#include <QString>

namespace qv {

// For DragEnter and DragMove events. File names are always read; text only
// when takesText. Returns true: the event is answered.
inline bool AnswerDrag(QEvent* event, bool takesText) {
    auto* drag = static_cast<QDropEvent*>(event);
    const QMimeData* data = drag->mimeData();
    if (data->hasUrls() || (takesText && data->hasText())) {
        drag->acceptProposedAction();
    } else {
        drag->ignore();
    }
    return true;
}

// The drag texts of the tree's three fixed nodes; drop targets ignore them.
inline bool IsTreeMarkerText(const QString& text) {
    return text == u"OLEDropAllMedia" || text == u"OLEDropRegisteredPlayList" ||
           text == u"OLEDropSearchedMedia";
}

}  // namespace qv
