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

    // A listed playlist clicked: its name (with ".lst") goes into the name box.
    void File1_Click();
    // The whole name is selected, ready to be typed over.
    void Text1_DblClick();
    // Enter acts as OK and is used up; true when the key was used up.
    bool Text1_KeyPress(int key);
    // Saves and closes, or stays open when the name is refused.
    void cmdOK_Click();
    // Closes without saving.
    void cmdCancel_Click();

    FileListBox* File1;
    QGroupBox* Frame1;
    QLineEdit* Text1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QLabel* Label2;
    QLabel* Image1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ProgramState& state_;
};

// The playlist folder: the program folder's "PlayLists/".
QString PlayListFolder(const ProgramState& state);

}  // namespace qv
