// The clickable image/label, the file list box and the strip's slider.
#include "app/controls.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

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
    // The monitor writes its panels twenty times a second; an unchanged text
    // must not cost an accessibility event each time.
    if (text == QLabel::text()) return;
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

namespace {

// On the strip's dark grey (404040): the unlit part a mid grey that reads as
// a track, the lit part white like the strip's captions.
const QColor kUnlit(0x80, 0x80, 0x80);
const QColor kLit(Qt::white);
const QColor kStrip(0x40, 0x40, 0x40);

}  // namespace

StripSlider::StripSlider(Look look, QWidget* parent) : QAbstractSlider(parent), look_(look) {
    setOrientation(Qt::Horizontal);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double StripSlider::Fraction() const {
    const int span = maximum() - minimum();
    return span > 0 ? std::clamp(double(sliderPosition() - minimum()) / span, 0.0, 1.0) : 0.0;
}

int StripSlider::ValueAt(double x) const {
    const double f = width() > 1 ? std::clamp(x / (width() - 1), 0.0, 1.0) : 0.0;
    return minimum() + int(std::lround(f * (maximum() - minimum())));
}

int StripSlider::Shown() const {
    return maximum() > minimum() ? int(std::lround(Fraction() * width())) : -1;
}

void StripSlider::sliderChange(SliderChange change) {
    // The monitor moves the seek bar's value on every tick, but its lit part
    // grows by a pixel only every few ticks (every second or so for a track
    // of a few minutes): painting only then spares the window's whole
    // repaint pass on the other ticks.
    if (look_ == Look::Bar && change == SliderValueChange && Shown() == painted_) return;
    QAbstractSlider::sliderChange(change);
}

void StripSlider::paintEvent(QPaintEvent*) {
    painted_ = Shown();
    QPainter painter(this);
    painter.fillRect(rect(), kStrip);
    const double w = width(), h = height();
    const double lit = Fraction() * w;
    if (look_ == Look::Bar) {
        // A track two pixels high in the middle, lit up to the position, and
        // the position itself as a mark of the whole height. With nothing
        // open (no length) only the track shows.
        const double trackTop = std::floor((h - 2) / 2);
        painter.fillRect(QRectF(0, trackTop, w, 2), kUnlit);
        if (maximum() > minimum()) {
            painter.fillRect(QRectF(0, trackTop, lit, 2), kLit);
            const double mark = std::clamp(lit - 1.5, 0.0, w - 3);
            painter.fillRect(QRectF(mark, 0, 3, h), kLit);
        }
        return;
    }
    // The wedge grows from nothing on the left to the full height on the right.
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath wedge;
    wedge.moveTo(0, h);
    wedge.lineTo(w, h);
    wedge.lineTo(w, 0);
    wedge.closeSubpath();
    painter.fillPath(wedge, kUnlit);
    painter.setClipRect(QRectF(0, 0, lit, h));
    painter.fillPath(wedge, kLit);
}

void StripSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || maximum() <= minimum()) {
        event->ignore();
        return;
    }
    event->accept();
    setSliderDown(true);
    setSliderPosition(ValueAt(event->position().x()));
}

void StripSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!isSliderDown()) {
        event->ignore();
        return;
    }
    setSliderPosition(ValueAt(event->position().x()));
}

void StripSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isSliderDown()) {
        event->ignore();
        return;
    }
    setSliderPosition(ValueAt(event->position().x()));
    setSliderDown(false);
    emit picked(value());
}

void StripSlider::wheelEvent(QWheelEvent* event) {
    const int before = value();
    QAbstractSlider::wheelEvent(event);
    if (value() != before) emit picked(value());
}

namespace {

class OwnKeys final : public QObject {
  public:
    OwnKeys(QWidget* widget, QList<int> keys) : QObject(widget), keys_(std::move(keys)) {
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() != Qt::NoModifier || !keys_.contains(key->key())) return false;
        // Accepted, the override keeps the key from the shortcuts; the
        // widget then gets it as an ordinary key press.
        event->accept();
        return true;
    }

  private:
    QList<int> keys_;
};

}  // namespace

void KeepOwnKeys(QWidget* widget, QList<int> keys) {
    new OwnKeys(widget, std::move(keys));
}

}  // namespace qv
