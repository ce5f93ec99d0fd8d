// Small controls the forms are built from that Qt has no exact match for: a
// clickable image or label, a status-bar panel, and a file list box showing
// one folder's files.
#pragma once

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

}  // namespace qv
