// The clickable image/label and the file list box of the forms.
#include "app/controls.h"

#include <QDir>
#include <QMouseEvent>

#include "platform/filesystem.h"

namespace qv {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::setPath(const QString& folder) {
    folder_ = folder;
    Refresh();
}

void FileListBox::Refresh() {
    clear();
    if (folder_.isEmpty()) return;
    const QDir dir(folder_);
    // Sorted by name, so the list (and everything built from it) comes out in
    // the same order on every start.
    const QStringList names =
        dir.entryList({pattern_}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (FileExists(dir.filePath(name))) addItem(name);
    }
}

QStringList FileListBox::Names() const {
    QStringList names;
    for (int i = 0; i < count(); ++i) names.append(item(i)->text());
    return names;
}

}  // namespace qv
