// Small controls the forms are built from that Qt has no exact match for: a
// clickable image or label, a status-bar panel, a file list box showing one
// folder's files, and a slider for the transport strip or a status panel.
#pragma once

#include <QAbstractSlider>
#include <QLabel>
#include <QListWidget>

namespace qv {

// An image or a label the user clicks (the img and lbl controls). A click is
// a press and release of the left or the right button on the control; the
// middle button does nothing. A double-click is a click, then doubleClicked()
// on its second press, whose release is no second click: Qt delivers press,
// release, double-click, release.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();
    void doubleClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // The button whose release completes a click; none after a double-click.
    Qt::MouseButton pressed_ = Qt::NoButton;
};

// A panel of the status bar. Its accessible name is its control name, so a
// screen reader would never hear what it shows; its text is therefore also
// its accessible description, set with every change of the text.
class StatusPanel : public QLabel {
    Q_OBJECT
  public:
    StatusPanel(const QString& text, QWidget* parent);
    // Hides QLabel::setText, which is not virtual: write a panel through a
    // StatusPanel pointer (frmQuorvane::Panel gives one).
    void setText(const QString& text);
};

// The names of the ordinary files of one folder that match a pattern, sorted
// by name (hidden and system files are not listed).
class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);

    void setPattern(const QString& pattern) { pattern_ = pattern; }
    QString pattern() const { return pattern_; }
    // Points the list at a folder and lists it.
    void setPath(const QString& folder);
    QString path() const { return folder_; }
    // Lists the folder again.
    void Refresh();
    QStringList Names() const;

  private:
    QString folder_;
    QString pattern_ = QStringLiteral("*.*");
};

// A slider without a groove of its own. Wedge: drawn for the dark transport
// strip, lit up to the value (the volume). Tint: laid over a status panel,
// whose played part it tints while the panel's own text shows through (the
// position in the track). A press of the left button puts the value where it
// was pressed, a drag takes it along; picked() when the button is let go, and
// after each turn of the wheel. It takes no focus: the window's own keys move
// the position, and the arrow keys stay the window's even after a click here.
class StripSlider : public QAbstractSlider {
    Q_OBJECT
  public:
    enum class Look { Wedge, Tint };
    StripSlider(Look look, QWidget* parent);

    // Tint: lies over panel, a child of this slider's own parent, from that
    // parent's top to its foot and as wide as the panel, whatever the layout
    // makes of the panel; the tint stays within the panel's frame.
    void Cover(QWidget* panel);

  signals:
    // The user chose value: a click, the end of a drag or a wheel step.
    void picked(int value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void sliderChange(SliderChange change) override;

  private:
    // The value under x (pixels from the left edge).
    int ValueAt(double x) const;
    // The lit fraction of the width, 0 ... 1.
    double Fraction() const;
    // What the slider shows, to the pixel: the lit width, or -1 with no range.
    int Shown() const;
    void FollowPanel();

    Look look_;
    QWidget* panel_ = nullptr;
    int painted_ = -2;  // Shown() at the last paint
};

// Lets the widget keep these keys (a Qt::Key alone is the key pressed without
// a modifier) while it has the focus, where the window's shortcuts would take
// them: the tree's arrows, a button's space, the folder box's undo.
void KeepOwnKeys(QWidget* widget, QList<QKeyCombination> keys);

}  // namespace qv
