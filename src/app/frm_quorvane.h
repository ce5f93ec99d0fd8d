// The main window frmQuorvane: the library tree, the scan box, the transport
// and playlist strips, the playlist and the status bar, laid out in twips.
#pragma once

#include <QList>
#include <QPixmap>
#include <QRect>
#include <QWidget>

#include "app/geometry.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTimer;

namespace qv {

class ClickLabel;
class FindBar;
class StatusPanel;
class StripSlider;
class TreeView;

class frmQuorvane : public QWidget {
    Q_OBJECT
  public:
    frmQuorvane();
    ~frmQuorvane() override;

    // The window's load: loading() has the program restore the saved state,
    // read the command line and show the window.
    void Form_Load();
    // Lays the controls out for the present client size.
    void Form_Resize();
    // The window's unload, once; runs when the window closes: unloading() has
    // the program save the state and end.
    void Form_Unload();
    // A line of the playlist was selected (by the user or by code):
    // lineSelected(row).
    void lstPL_Click();

    // Panel i (1 to 5) of the status bar; its setText keeps the accessible
    // description in step.
    StatusPanel* Panel(int i) const { return panels_.value(i - 1); }

    // Moves and sizes the window to a rectangle in twips, remembering it so
    // that an unchanged window writes back the very numbers it was given (one
    // corrected to fit the screen writes back where and how large it is shown).
    void MoveTwips(const TwipsGeometry& g);
    // The window's normal (neither minimized nor maximized) outer rectangle in twips.
    TwipsGeometry NormalGeometryTwips() const;

    TreeView* TV1;
    QGroupBox* Frame1;  // the box "メディアの検索" round the folder box and the scan controls
    QLineEdit* Text1;   // the folder box: the folder to scan, typed, picked or dropped
    QCheckBox* chkSF;
    QPushButton* cmdScan;
    QPushButton* cmdRef;
    QFrame* frameOperation;
    ClickLabel* imgPlay;
    ClickLabel* imgStop;
    ClickLabel* imgREW;
    ClickLabel* imgFF;
    ClickLabel* imgLoop;
    ClickLabel* imgPlayOff;
    ClickLabel* imgPlayOn;
    ClickLabel* imgLoopOff;
    ClickLabel* imgLoopOne;
    ClickLabel* imgLoopAll;
    // The volume, 0 ... 1000, in the strip's free space between imgFF and imgLoop.
    StripSlider* sldVolume;
    QFrame* frameListOperation;
    ClickLabel* lblShuffle;
    ClickLabel* imgUp;
    ClickLabel* imgDown;
    ClickLabel* lblRemove;
    ClickLabel* lblClear;
    ClickLabel* lblSave;
    QListWidget* lstPL;
    QStatusBar* SB1;  // the status bar; its five panels are Panel(1) … Panel(5)
    // The position in the playing track (0 ... its length in milliseconds):
    // a bar over the status bar's time panel (Panel(5)), tinted up to the
    // position; a click or a drag there seeks.
    StripSlider* sldSeek;
    QList<QPixmap> ImageList1;
    QTimer* Timer1;  // the 50 ms playback monitor (Timer1_Timer, playback/monitor.h)
    QTimer* Timer2;  // 1.7 s one-shot: back to the playing entry after a preview (Timer2_Timer)
    // The find bar (Ctrl+F): hidden until asked for, then over the window's bottom rows.
    FindBar* fraFind;

    bool Unloaded() const { return unloaded_; }

  signals:
    // The window knows none of the modules: the program's wiring
    // (program/main_form_wiring.*) answers these.
    void loading();
    void unloading();
    // The shown window was moved or resized (by the user or the window
    // system), so its stored place and size can follow.
    void geometryChanged();
    void lineSelected(int row);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Place(QWidget* w, int left, int top, int width, int height);
    void SettleFrame();

    QList<StatusPanel*> panels_;
    int tv1WidthTwips_ = 4395;  // TV1's width as last laid out
    TwipsGeometry restoredTwips_{};
    QRect restoredPixels_;
    QRect placedOuter_;
    bool frameSettled_ = false;
    bool unloaded_ = false;
};

}  // namespace qv
