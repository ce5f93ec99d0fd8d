// The clickable image/label and the file list box of the forms.
#include "app/controls.h"

#include <QDir>
#include <QMouseEvent>

#include "platform/filesystem.h"

namespace qv {

namespace {

bool IsClickButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton;
}

}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = IsClickButton(event->button()) ? event->button() : Qt::NoButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ != Qt::NoButton && event->button() == pressed_ &&
                       rect().contains(event->position().toPoint());
    pressed_ = Qt::NoButton;
    if (click) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not passed on: QWidget would take it for a press, and its release would
    // remove a second playlist line or skip a second track.
    pressed_ = Qt::NoButton;
    if (IsClickButton(event->button())) emit doubleClicked();
}

StatusPanel::StatusPanel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAccessibleDescription(text);
}

void StatusPanel::setText(const QString& text) {
    QLabel::setText(text);
    setAccessibleDescription(text);
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
