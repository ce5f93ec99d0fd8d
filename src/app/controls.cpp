// The clickable image/label, the file list box and the sliders of the strip
// and the status bar.
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

}  // namespace

StripSlider::StripSlider(Look look, QWidget* parent) : QAbstractSlider(parent), look_(look) {
    setOrientation(Qt::Horizontal);
    setFocusPolicy(Qt::NoFocus);
    // The tint is see-through: the panel beneath paints its frame and text.
    if (look_ == Look::Wedge) setAttribute(Qt::WA_OpaquePaintEvent);
}

void StripSlider::Cover(QWidget* panel) {
    panel_ = panel;
    panel->installEventFilter(this);
    if (parentWidget()) parentWidget()->installEventFilter(this);
    FollowPanel();
}

bool StripSlider::eventFilter(QObject* watched, QEvent* event) {
    const bool moved = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (moved && (watched == panel_ || watched == parentWidget())) FollowPanel();
    return false;
}

void StripSlider::FollowPanel() {
    if (!panel_ || !parentWidget()) return;
    setGeometry(panel_->x(), 0, panel_->width(), parentWidget()->height());
    raise();
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
    // The monitor moves the position on every tick, but its tint grows by a
    // pixel only every few ticks (every second or so for a track of a few
    // minutes): painting only then spares the status bar's repaint on the
    // other ticks.
    if (look_ == Look::Tint && change == SliderValueChange && Shown() == painted_) return;
    QAbstractSlider::sliderChange(change);
}

void StripSlider::paintEvent(QPaintEvent*) {
    painted_ = Shown();
    QPainter painter(this);
    const double w = width(), h = height();
    const double lit = Fraction() * w;
    if (look_ == Look::Tint) {
        // With nothing open (no length) the panel shows as it always did.
        if (maximum() <= minimum()) return;
        // Within the panel's sunken frame: its text stays on plain ground
        // past the position and reads through a light tint before it; the
        // position itself is a mark of the full colour.
        QRectF inside(0, 0, w, h);
        if (panel_) inside = QRectF(panel_->geometry().translated(-x(), 0)).adjusted(1, 1, -1, -1);
        const QColor colour = palette().color(QPalette::Highlight);
        QColor tint = colour;
        tint.setAlphaF(0.3);
        const double played = std::clamp(lit, 0.0, inside.right()) - inside.left();
        painter.fillRect(
            QRectF(inside.left(), inside.top(), std::max(played, 0.0), inside.height()), tint);
        const double mark = std::clamp(lit - 1.0, inside.left(), inside.right() - 2);
        painter.fillRect(QRectF(mark, inside.top(), 2, inside.height()), colour);
        return;
    }
    // The wedge grows from nothing on the left to the full height on the
    // right, on the strip's own grey.
    painter.fillRect(rect(), QColor(0x40, 0x40, 0x40));
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
    OwnKeys(QWidget* widget, QList<QKeyCombination> keys)
        : QObject(widget), keys_(std::move(keys)) {
        widget->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!keys_.contains(key->keyCombination())) return false;
        // Accepted, the override keeps the key from the shortcuts; the
        // widget then gets it as an ordinary key press.
        event->accept();
        return true;
    }

  private:
    QList<QKeyCombination> keys_;
};

}  // namespace

void KeepOwnKeys(QWidget* widget, QList<QKeyCombination> keys) {
    new OwnKeys(widget, std::move(keys));
}

}  // namespace qv
