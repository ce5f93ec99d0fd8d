// The splash frmSplash: frameless, topmost, dark, with the product banner and
// the icon; up while the main window loads.
#pragma once

#include <QWidget>

class QLabel;

namespace qv {

class frmSplash : public QWidget {
    Q_OBJECT
  public:
    frmSplash();
    // Makes the splash topmost without moving, sizing or activating it.
    void Form_Load();

    QLabel* Image1;  // the program icon
    QLabel* Image2;  // the banner
    QLabel* Image3;  // the line below it
};

}  // namespace qv
