// Everything the program keeps for the whole run, in one object that Main
// makes and hands by reference to the forms and classes; tests make their own.
// The modules' objects are only named here, so that the forms and the widget
// kit see none of the modules: the state is made and ended in
// program/program_state_objects.cpp, where their types are whole.
#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "app/settings.h"

class QTimer;
class QWidget;

namespace qv {

class TreeNode;

class Clock;
class Dialogs;
class MciSender;
class PlayListArray;
class PlayListUndo;
class clsMediaPlay;
class clsPlayList;
class frmQuorvane;
class frmSplash;
class frmSavePL;
class frmHideMenu;
class MediaSearch;
class LibraryFile;
class PlayListWalks;

class ProgramState {
  public:
    // appPath: the program folder (Setting.ini, MediaDB.db, PlayLists/).
    ProgramState(const QString& appPath, MciSender& mci, Dialogs& dialogs, Clock& clock);
    ~ProgramState();
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

  private:
    // The records PlayListData names: made before and ended after everything
    // below, which may reach them to its last moment.
    std::unique_ptr<PlayListArray> playListRecords_;

  public:
    Ini ini;
    MciSender& mci;
    Dialogs& dialogs;
    Clock& clock;

    // The clock reading when Main began; the splash minimum counts from it.
    uint32_t lngStartTime = 0;
    std::unique_ptr<clsMediaPlay> objMediaPlay;
    std::unique_ptr<clsPlayList> objPlayList;
    // Undo and redo of the playlist's changes (playlist/playlist_undo.h).
    std::unique_ptr<PlayListUndo> objPlayListUndo;
    PlayListArray& PlayListData;
    // Seeded by Main; the shuffle draws from it.
    std::mt19937 random;

    // The media scan. mediaSearch: the walk of the running scan (or of the
    // last one, ended); its worker thread stops when it goes.
    QStringList strFoundMedia;
    QString strSearchRoot;
    bool bAbortScan = false;
    std::unique_ptr<MediaSearch> mediaSearch;
    // The writer of MediaDB.db (library/library_file.h), made at its first use.
    std::unique_ptr<LibraryFile> libraryFile;
    // The playlist's folder walks, the running one and those that wait.
    std::unique_ptr<PlayListWalks> playListWalks;

    // What the popup menus act on.
    QString strClickedPath;
    QString strClickedFile;
    TreeNode* nodClicked = nullptr;

    // The argument text of the command line (everything after the program's
    // own path, as one string).
    QString commandLine;

    // The forms. frmHideMenu comes into being on first use.
    std::unique_ptr<frmSplash> splash;
    std::unique_ptr<frmSavePL> savePL;
    std::unique_ptr<frmQuorvane> mainForm;
    frmHideMenu& HideMenu();
    // The main window as the owner of message boxes and dialogs, null before
    // it is made: the modules name it so, and change it only through their views.
    QWidget* MainWindow() const;

    // A setting written very often (LastOpenFile, on every add to the
    // playlist): the value is kept and written once when control returns to
    // the event loop, or at FlushSettings, so adding 20,000 files costs one
    // write of Setting.ini rather than 20,000.
    void WriteIniSoon(const QString& Section, const QString& Key, const QString& Value);
    // A setting the user changes (the loop mode, the window's place and size,
    // the volume): written within a second, all the changes of that second
    // in one write, so a drag is a few writes and a crash keeps the setting.
    void WriteIniWithinSecond(const QString& Section, const QString& Key, const QString& Value);
    void FlushSettings();

    // Files that could not be written (app/save_failures): those already told
    // on standard error, and, while the exit writes (unloading), those to name
    // in its closing message.
    QSet<QString> toldNotSaved;
    QStringList notSavedAtExit;
    bool unloading = false;

    // Ends the program once the main window has been unloaded: the running
    // program leaves its event loop; a test just notes it.
    std::function<void()> endProgram;

  private:
    // Queues a setting's write; false when it only replaced a queued value.
    bool Pend(const QString& Section, const QString& Key, const QString& Value);

    std::unique_ptr<frmHideMenu> hideMenu_;
    QList<QStringList> pendingSettings_;  // {section, key, value}, in order
    std::unique_ptr<QObject> flushContext_;
    std::unique_ptr<QTimer> secondFlush_;  // pending writes of user changes
};

}  // namespace qv
