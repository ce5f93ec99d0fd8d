// The find bar fraFind: Ctrl+F opens it over the bottom of the main window,
// and what is typed in txtFind narrows the media tree and the playlist.
// Hidden, it takes no room: nothing of the window moves for it.
#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>

class QLineEdit;
class QToolButton;

namespace qv {

class FindBar : public QFrame {
    Q_OBJECT
  public:
    explicit FindBar(QWidget* parent);

    // Shows the bar over the bottom rows of its window (the status bar and
    // what is just above it), the query selected for typing over.
    void Open();
    // Hides the bar and empties the query (closed() tells who filters).
    void Close();
    // The query folded as names are (FoldForFind), "" when none is typed.
    QString Query() const;
    // Lays the bar along the bottom of its window; the window calls it on resize.
    void PlaceAtBottom();

    QLineEdit* txtFind;
    QToolButton* cmdFindClose;

  signals:
    void queryChanged();
    // Enter in txtFind: play what the query found first.
    void accepted();
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Where the keys went before the bar took them; they go back there.
    QPointer<QWidget> before_;
};

}  // namespace qv
