// The library walk and the scan driver on real temporary folders: media kinds,
// subfolders on and off, abort at depth, Enter in the folder box, folders that
// cannot be read, vanish or loop, the folder picker and drops on the folder box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "library/folder_box.h"
#include "library/media_db.h"
#include "library/scan.h"
#include "library/search_media.h"
#include "library_support.h"
#include "platform/textfile.h"
#include "playlist/cls_playlist.h"

using qvtest::Touch;
using qvtest::TreeBelow;

namespace {

// Runs step at every turn of the event loop (that is, at every yield of a
// walk) until it returns true.
class AtEveryYield {
  public:
    explicit AtEveryYield(std::function<bool()> step) : step_(std::move(step)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (step_()) timer_.stop();
        });
        timer_.start(0);
    }

  private:
    std::function<bool()> step_;
    QTimer timer_;
};

class LibraryScanTest : public ::testing::Test {
  protected:
    LibraryScanTest() {
        QObject::connect(&p.form(), &QWidget::windowTitleChanged,
                         [this](const QString& t) { captions.append(t); });
        root = p.folder() + "Music";
        QDir().mkpath(root);
    }
    qv::ProgramState& state() { return *p.state; }
    void PressEnter() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(p.form().Text1, &press);
    }
    void ScanBox(const QString& path, bool sub = true) {
        p.form().Text1->setText(path);
        p.form().chkSF->setChecked(sub);
        p.form().cmdScan->click();
    }
    QStringList DbLines() {
        return qv::ReadTextFile(p.folder() + "MediaDB.db").value_or(QStringList());
    }
    // The keys of the file nodes below the scanned root.
    QStringList FileKeys() {
        QStringList keys;
        for (const QString& line : TreeBelow(p.tree())) {
            if (!line.contains(" [4] ")) keys.append(line.mid(line.lastIndexOf(' ') + 1));
        }
        keys.sort();
        return keys;
    }

    qvtest::LibraryProgram p;
    QStringList captions;
    QString root;
};

TEST_F(LibraryScanTest, MediaAreToldByTheirUpperCasedLastExtension) {
    for (const char* name : {"song.MP3", "x.tar.mp3", "a.Mp3", "b.au", "c.AsF", "d.wma", "e.mid",
                             "f.wav", "song.mp3.bak", "README", "song.", "g.mp3x", ".mp3"})
        Touch(root + "/" + name);
    Touch(root + "/PAGEFILE.SYS/in.mp3");  // only the exact lower-case name is passed over
    Touch(root + "/pagefile.sys/out.mp3");
    ScanBox(root);
    QStringList expected;
    for (const char* name : {"song.MP3", "x.tar.mp3", "a.Mp3", "b.au", "c.AsF", "d.wma", "e.mid",
                             "f.wav", ".mp3", "PAGEFILE.SYS/in.mp3"})
        expected.append(root + "/" + name);
    expected.sort();
    EXPECT_EQ(FileKeys(), expected);
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン完了"));
    EXPECT_EQ(p.form().cmdScan->text(), QStringLiteral("スキャン"));
    EXPECT_EQ(DbLines().size(), expected.size() + 1);
    EXPECT_EQ(DbLines().first(), "[" + root + "]");
}

TEST_F(LibraryScanTest, WithoutSubfoldersEachSubfolderIsStillAnnounced) {
    Touch(root + "/top.mp3");
    Touch(root + "/A/a.mp3");
    Touch(root + "/B/b.mp3");
    Touch(root + "/B/C/c.mp3");
    // A caption between the yields, so that each announcement shows.
    AtEveryYield reset([this] {
        p.form().setWindowTitle("-");
        return false;
    });
    ScanBox(root + "/", false);  // a trailing "/" scans the same root
    EXPECT_EQ(FileKeys(), QStringList({root + "/top.mp3"}));
    EXPECT_EQ(captions.count(QStringLiteral("メディアをスキャン中... ") + root), 2);
    EXPECT_FALSE(captions.contains(QStringLiteral("メディアをスキャン中... ") + root + "/B"));
    EXPECT_EQ(TreeBelow(p.tree()).first(), root + " [4] " + root);
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastSearchedPath"), root + "/");

    ScanBox(root, true);
    EXPECT_EQ(FileKeys().size(), 4);
    EXPECT_TRUE(captions.contains(QStringLiteral("メディアをスキャン中... ") + root + "/B"));
    EXPECT_EQ(p.tree().Node(root)->childCount(), 3);  // the root node was not added twice
}

TEST_F(LibraryScanTest, AnAbortAtDepthStopsEveryLevelAndSavesWhatWasFound) {
    // Each level has a file and one subfolder; a second subfolder beside each
    // is never reached once the abort comes at the fourth level.
    QString folder = root;
    for (int level = 0; level < 6; ++level) {
        Touch(folder + QStringLiteral("/f%1.mp3").arg(level));
        folder += QStringLiteral("/L%1").arg(level);
    }
    const QString deep = root + "/L0/L1/L2/L3";
    bool buttonReadAtOnce = false;
    AtEveryYield abort([&] {
        if (captions.isEmpty() ||
            captions.last() != QStringLiteral("メディアをスキャン中... ") + deep)
            return false;
        p.form().cmdScan->click();
        buttonReadAtOnce = p.form().cmdScan->text() == QStringLiteral("スキャン");
        return true;
    });
    ScanBox(root);
    EXPECT_TRUE(buttonReadAtOnce);
    EXPECT_TRUE(state().bAbortScan);
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン中止"));
    EXPECT_EQ(captions[captions.size() - 2],
              QStringLiteral("Quorvane - メディアの重複をチェックしています..."));
    // Nothing below the abort, and what was met before it is saved.
    const QStringList db = DbLines();
    ASSERT_FALSE(db.isEmpty());
    EXPECT_EQ(db.first(), "[" + root + "]");
    for (const QString& line : db)
        EXPECT_FALSE(line.startsWith(deep + "/L4")) << line.toStdString();
    QStringList saved = db.mid(1);
    saved.sort();
    EXPECT_EQ(saved, FileKeys());
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastSearchedPath"), root);
}

TEST_F(LibraryScanTest, EnterInTheFolderBoxStartsAndAbortsAndIsSwallowed) {
    Touch(root + "/a.mp3");
    Touch(root + "/sub/b.mp3");
    Touch(root + "/sub2/c.mp3");
    p.form().Text1->setText(root);
    int entersDuringScan = 0;
    AtEveryYield second([&] {
        if (p.form().cmdScan->text() != QStringLiteral("中止")) return false;
        PressEnter();
        ++entersDuringScan;
        return true;
    });
    PressEnter();
    EXPECT_EQ(entersDuringScan, 1);
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン中止"));
    EXPECT_EQ(p.form().Text1->text(), root);  // no character typed
    EXPECT_EQ(p.form().cmdScan->text(), QStringLiteral("スキャン"));

    PressEnter();
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン完了"));
    EXPECT_EQ(FileKeys().size(), 3);
}

TEST_F(LibraryScanTest, AStartWhileAnAbortedWalkUnwindsIsNotNested) {
    Touch(root + "/a/x.mp3");
    Touch(root + "/b/y.mp3");
    int starts = 0;
    AtEveryYield twice([&] {
        if (p.form().cmdScan->text() != QStringLiteral("中止")) return false;
        p.form().cmdScan->click();  // abort
        p.form().cmdScan->click();  // and at once start again, in the same turn
        ++starts;
        return true;
    });
    ScanBox(root);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(captions.count(QStringLiteral("Quorvane - スキャン中止")), 1);
    EXPECT_EQ(captions.count(QStringLiteral("Quorvane - スキャン完了")), 0);
    EXPECT_EQ(p.form().cmdScan->text(), QStringLiteral("スキャン"));
}

TEST_F(LibraryScanTest, AnEmptyOrMissingPathIsRefusedWithAMessage) {
    ScanBox("");
    ScanBox(root + "/nothing-here");
    ScanBox(root + "/.hidden");
    ASSERT_EQ(p.dialogs.asked.size(), 3);
    EXPECT_EQ(p.dialogs.asked[0].prompt, QStringLiteral("パスを指定してください"));
    EXPECT_EQ(p.dialogs.asked[1].prompt, QStringLiteral("パスが見つかりません"));
    EXPECT_EQ(p.dialogs.asked[1].title, QStringLiteral("Quorvane"));
    EXPECT_EQ(p.dialogs.asked[1].buttons, qv::MsgButtons::OK);
    EXPECT_EQ(p.form().cmdScan->text(), QStringLiteral("スキャン"));
    EXPECT_FALSE(QFile::exists(p.folder() + "MediaDB.db"));
    EXPECT_TRUE(p.state->ini.ReadIni("File", "LastSearchedPath").isEmpty());
}

TEST_F(LibraryScanTest, FoldersThatCannotBeReadOrLeadNowhereAreSkipped) {
    Touch(root + "/a.mp3");
    Touch(root + "/locked/x.mp3");
    Touch(root + "/z/after.mp3");
    QFile(root + "/locked").setPermissions(QFileDevice::Permissions());
    QFile::link(root + "/missing-folder", root + "/broken.mp3");
    QFile::link(root + "/missing-folder", root + "/brokenDir");
    ScanBox(root);
    QFile(root + "/locked")
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン完了"));
    QStringList keys = FileKeys();
    keys.removeAll(root + "/locked/x.mp3");  // root can read it anyway
    EXPECT_EQ(keys, QStringList({root + "/a.mp3", root + "/z/after.mp3"}));
}

TEST_F(LibraryScanTest, FoldersThatVanishOrAreRenamedDuringTheScan) {
    Touch(root + "/a.mp3");
    Touch(root + "/gone/inner/x.mp3");
    Touch(root + "/moved/m1.mp3");
    Touch(root + "/moved/deeper/m2.mp3");
    Touch(root + "/keep/k.mp3");
    bool removed = false, renamed = false;
    AtEveryYield meddle([&] {
        if (!removed && QDir(root + "/gone").exists()) {
            removed = QDir(root + "/gone").removeRecursively();
        }
        // Renamed while its own listing is open (announcing "deeper").
        if (!renamed && !captions.isEmpty() &&
            captions.last() == QStringLiteral("メディアをスキャン中... ") + root + "/moved")
            renamed = QDir().rename(root + "/moved", root + "/moved2");
        return removed && renamed;
    });
    ScanBox(root);
    EXPECT_TRUE(removed && renamed);
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン完了"));
    const QStringList keys = FileKeys();
    EXPECT_TRUE(keys.contains(root + "/a.mp3"));
    EXPECT_TRUE(keys.contains(root + "/keep/k.mp3"));
    EXPECT_FALSE(keys.contains(root + "/gone/inner/x.mp3"));
    EXPECT_FALSE(keys.contains(root + "/moved/deeper/m2.mp3"));
    // Every path written names a file that existed when it was met.
    for (const QString& line : DbLines().mid(1))
        EXPECT_TRUE(QFile::exists(line) || line == root + "/moved/m1.mp3") << line.toStdString();
    ScanBox(root);
    EXPECT_TRUE(FileKeys().contains(root + "/moved2/deeper/m2.mp3"));
}

TEST_F(LibraryScanTest, SymbolicLinkLoopsAndTwinLinksAreWalkedOnce) {
    const QString outside = p.folder() + "Elsewhere";
    Touch(outside + "/o.mp3");
    Touch(root + "/a/a.mp3");
    QFile::link(root, root + "/a/up");           // a link to an ancestor
    QFile::link(root + "/a", root + "/a/self");  // a link to itself
    QFile::link(outside, root + "/l1");          // two links to one folder
    QFile::link(outside, root + "/l2");
    ScanBox(root);
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン完了"));
    const QStringList keys = FileKeys();
    EXPECT_TRUE(keys.contains(root + "/a/a.mp3"));
    EXPECT_EQ(keys.size(), 2) << keys.join(' ').toStdString();
    EXPECT_EQ(keys.filter("/o.mp3").size(), 1);
    EXPECT_EQ(DbLines().size(), 3);
}

TEST_F(LibraryScanTest, ThePlayListWalkHandsMediaToThePlayList) {
    Touch(root + "/a.mp3");
    Touch(root + "/b.txt");
    Touch(root + "/s/c.wav");
    QFile::link(root, root + "/s/up");
    qv::SearchMediaToPlayList(state(), root, false);
    EXPECT_EQ(p.state->PlayListData.Count(), 1);
    EXPECT_EQ(p.state->PlayListData[0].FilePath, root + "/a.mp3");
    qv::SearchMediaToPlayList(state(), root + "/", true);  // a.mp3 is refused the second time
    ASSERT_EQ(p.state->PlayListData.Count(), 2);
    EXPECT_EQ(p.state->PlayListData[1].FilePath, root + "/s/c.wav");
    EXPECT_TRUE(captions.isEmpty());
    EXPECT_FALSE(QFile::exists(p.folder() + "MediaDB.db"));
}

TEST_F(LibraryScanTest, ClosingTheWindowDuringAScanSavesWhatWasFound) {
    Touch(root + "/a.mp3");
    Touch(root + "/s1/b.mp3");
    Touch(root + "/s2/c.mp3");
    bool unloaded = false;
    QStringList savedAtUnload;
    AtEveryYield close([&] {
        if (!qv::ScanRunning(state()) || state().strFoundMedia.first().isEmpty()) return false;
        p.form().close();  // the user closes the window: its unload ends the scan
        savedAtUnload = DbLines();
        unloaded = true;
        return true;
    });
    ScanBox(root);
    ASSERT_TRUE(unloaded);
    EXPECT_GE(savedAtUnload.size(), 2);
    EXPECT_EQ(savedAtUnload.first(), "[" + root + "]");
    EXPECT_EQ(DbLines(), savedAtUnload);  // the unwinding walk adds nothing twice
    EXPECT_EQ(captions.last(), QStringLiteral("Quorvane - スキャン中止"));
    qv::EndScanOnUnload(state());  // no scan: nothing happens
    EXPECT_EQ(DbLines(), savedAtUnload);
}

TEST_F(LibraryScanTest, TheFolderPickerOpensOnTheLastChoiceOrTheHomeFolder) {
    p.dialogs.folders = {root, ""};
    p.form().cmdRef->click();
    EXPECT_EQ(p.dialogs.pickerTitles, QStringList({QStringLiteral("フォルダを選択してください")}));
    EXPECT_EQ(p.form().Text1->text(), root);
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastOpenedPath"), root);
    p.form().Text1->setText("typed");
    p.form().cmdRef->click();  // cancelled
    EXPECT_EQ(p.form().Text1->text(), "typed");
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastOpenedPath"), root);
    EXPECT_TRUE(captions.isEmpty());  // no scan was started
}

TEST_F(LibraryScanTest, DropsOnTheFolderBoxFillItAndNeverScan) {
    const QString file = Touch(root + "/sub/a.mp3");
    auto drop = [&](QMimeData* data) {
        const QPoint at = p.form().Text1->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(p.form().Text1, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(p.form().Text1, &dropped);
        delete data;
        return p.form().Text1->text();
    };
    auto urls = [](const QStringList& paths) {
        auto* data = new QMimeData;
        QList<QUrl> list;
        for (const QString& path : paths) list.append(QUrl::fromLocalFile(path));
        data->setUrls(list);
        return data;
    };
    auto text = [](const QString& t) {
        auto* data = new QMimeData;
        data->setText(t);
        return data;
    };
    EXPECT_EQ(drop(urls({file})), root + "/sub/");
    EXPECT_EQ(drop(urls({root, file})), root);
    EXPECT_EQ(drop(urls({root + "/nothing.mp3"})), root);  // unchanged
    EXPECT_EQ(drop(text("OLEDropAllMedia")), root);
    EXPECT_EQ(drop(text(file)), root + "/sub/");
    EXPECT_EQ(drop(text(root)), root);
    EXPECT_EQ(drop(text("not a path")), root);
    EXPECT_TRUE(captions.isEmpty());
    EXPECT_FALSE(QFile::exists(p.folder() + "MediaDB.db"));

    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.form().Text1, &dbl);
    EXPECT_EQ(p.form().Text1->selectedText(), root);
}

}  // namespace

namespace {

TEST(LibraryWiringTest, ConnectingTwiceWiresOnce) {
    // Main connects the window; a second call must not run every handler twice
    // (a scan started and at once aborted by its own second handler).
    qvtest::LibraryProgram p;
    qv::ConnectLibrary(*p.state, p.form());
    const QString root = Touch(p.folder() + "M/a.mp3").section('/', 0, -2);
    int saves = 0;
    QObject::connect(&p.form(), &QWidget::windowTitleChanged, [&](const QString& t) {
        if (t == QStringLiteral("Quorvane - メディアの重複をチェックしています...")) ++saves;
    });
    p.form().Text1->setText(root);
    p.form().cmdScan->click();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(p.form().windowTitle(), QStringLiteral("Quorvane - スキャン完了"));
    EXPECT_NE(p.tree().Node(root + "/a.mp3"), nullptr);
}

}  // namespace

namespace {

// Records where the folder picker opens.
class PickerDialogs final : public qv::Dialogs {
  public:
    QStringList startFolders;
    QString answer;
    qv::MsgAnswer MsgBox(QWidget*, const QString&, qv::MsgButtons, qv::MsgIcon,
                         const QString&) override {
        return qv::MsgAnswer::OK;
    }
    QAction* PopupMenu(QMenu&) override { return nullptr; }
    QString BrowseForFolder(QWidget*, const QString&, const QString& startFolder) override {
        startFolders.append(startFolder);
        return answer;
    }
};

TEST(LibraryPickerTest, OpensOnTheHomeFolderFirstThenOnTheLastChoice) {
    qvtest::TempDir dir;
    qvtest::RecordingMci mci;
    qvtest::ManualClock clock;
    PickerDialogs dialogs;
    qv::ProgramState state(dir.path(), mci, dialogs, clock);
    state.mainForm = std::make_unique<qv::frmQuorvane>(state);
    dialogs.answer = dir.path() + "Chosen";
    qv::cmdRef_Click(state);
    dialogs.answer.clear();  // cancelled
    qv::cmdRef_Click(state);
    EXPECT_EQ(dialogs.startFolders, QStringList({QDir::homePath(), dir.path() + "Chosen"}));
    EXPECT_EQ(state.mainForm->Text1->text(), dir.path() + "Chosen");
}

}  // namespace
