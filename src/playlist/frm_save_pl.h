// The save-playlist dialog frmSavePL: the registered playlists, the name box
// and OK / Cancel. Loaded hidden at start-up: its list of the playlist folder
// is what the registered playlists are read from.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class FileListBox;
class ProgramState;

class frmSavePL : public QDialog {
    Q_OBJECT
  public:
    explicit frmSavePL(ProgramState& state);
    // Creates the playlist folder when missing and lists its ".lst" files.
    void Form_Load();

    FileListBox* File1;
    QGroupBox* Frame1;
    QLineEdit* Text1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QLabel* Label2;
    QLabel* Image1;

  private:
    ProgramState& state_;
};

// The playlist folder: the program folder's "PlayLists/".
QString PlayListFolder(const ProgramState& state);

}  // namespace qv
