// How a drop target answers a drag passing over it: taken when the data has a
// form the target reads, refused otherwise, so the cursor tells the user.
#pragma once

#include <QDropEvent>
#include <QMimeData>

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

}  // namespace qv
