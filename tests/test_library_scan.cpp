// The library walk and the scan driver on real temporary folders: media kinds,
// subfolders on and off, name order and hidden entries in every walk, abort at
// depth, Enter in the folder box, folders that cannot be read, vanish or loop,
// the folder picker and drops on the folder box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/playlist_data.h"
#include "library/folder_box.h"
#include "library/media_db.h"
#include "library/scan.h"
#include "library/search_media.h"
#include "library_support.h"
#include "platform/textfile.h"
#include "playlist/playlist_edit.h"
#include "playlist/playlist_walk.h"
#include "support/qt_print.h"

using qvtest::Touch;
using qvtest::TouchAll;
using qvtest::TreeBelow;

namespace {

const QString kScanning = QStringLiteral("メディアをスキャン中... ");
const QString kDone = QStringLiteral("Quorvane - スキャン完了");
const QString kAborted = QStringLiteral("Quorvane - スキャン中止");
const QString kScanCaption = QStringLiteral("スキャン");

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
    // Of the names, only hidden ones (".mp3") and the exact lower-case
    // "pagefile.sys" are passed over.
    TouchAll(root, {"song.MP3", "x.tar.mp3", "a.Mp3", "b.au", "c.AsF", "d.wma", "e.mid", "f.wav",
                    "song.mp3.bak", "README", "song.", "g.mp3x", ".mp3", "PAGEFILE.SYS/in.mp3",
                    "pagefile.sys/out.mp3"});
    ScanBox(root);
    QStringList expected;
    for (const char* name : {"song.MP3", "x.tar.mp3", "a.Mp3", "b.au", "c.AsF", "d.wma", "e.mid",
                             "f.wav", "PAGEFILE.SYS/in.mp3"})
        expected.append(root + "/" + name);
    expected.sort();
    EXPECT_EQ(FileKeys(), expected);
    EXPECT_EQ(captions.last(), kDone);
    EXPECT_EQ(p.form().cmdScan->text(), kScanCaption);
    EXPECT_EQ(DbLines().size(), expected.size() + 1);
    EXPECT_EQ(DbLines().first(), "[" + root + "]");
}

TEST_F(LibraryScanTest, WithoutSubfoldersEachSubfolderIsStillAnnounced) {
    TouchAll(root, {"top.mp3", "A/a.mp3", "B/b.mp3", "B/C/c.mp3"});
    // A caption between the yields, so that each announcement shows.
    AtEveryYield reset([this] {
        p.form().setWindowTitle("-");
        return false;
    });
    ScanBox(root + "/", false);  // a trailing "/" scans the same root
    EXPECT_EQ(FileKeys(), QStringList({root + "/top.mp3"}));
    EXPECT_EQ(captions.count(kScanning + root), 2);
    EXPECT_FALSE(captions.contains(kScanning + root + "/B"));
    EXPECT_EQ(TreeBelow(p.tree()).first(), root + " [4] " + root);
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastSearchedPath"), root + "/");

    ScanBox(root, true);
    EXPECT_EQ(FileKeys().size(), 4);
    EXPECT_TRUE(captions.contains(kScanning + root + "/B"));
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
        if (captions.isEmpty() || captions.last() != kScanning + deep) return false;
        p.form().cmdScan->click();
        buttonReadAtOnce = p.form().cmdScan->text() == kScanCaption;
        return true;
    });
    ScanBox(root);
    EXPECT_TRUE(buttonReadAtOnce);
    EXPECT_TRUE(state().bAbortScan);
    EXPECT_EQ(captions.last(), kAborted);
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
    TouchAll(root, {"a.mp3", "sub/b.mp3", "sub2/c.mp3"});
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
    EXPECT_EQ(captions.last(), kAborted);
    EXPECT_EQ(p.form().Text1->text(), root);  // no character typed
    EXPECT_EQ(p.form().cmdScan->text(), kScanCaption);

    PressEnter();
    EXPECT_EQ(captions.last(), kDone);
    EXPECT_EQ(FileKeys().size(), 3);
}

TEST_F(LibraryScanTest, AStartWhileAnAbortedWalkUnwindsIsNotNested) {
    TouchAll(root, {"a/x.mp3", "b/y.mp3"});
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
    EXPECT_EQ(captions.count(kAborted), 1);
    EXPECT_EQ(captions.count(kDone), 0);
    EXPECT_EQ(p.form().cmdScan->text(), kScanCaption);
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
    EXPECT_EQ(p.form().cmdScan->text(), kScanCaption);
    EXPECT_FALSE(QFile::exists(p.folder() + "MediaDB.db"));
    EXPECT_TRUE(p.state->ini.ReadIni("File", "LastSearchedPath").isEmpty());
}

TEST_F(LibraryScanTest, FoldersThatCannotBeReadOrLeadNowhereAreSkipped) {
    TouchAll(root, {"a.mp3", "locked/x.mp3", "z/after.mp3"});
    QFile(root + "/locked").setPermissions(QFileDevice::Permissions());
    QFile::link(root + "/missing-folder", root + "/broken.mp3");
    QFile::link(root + "/missing-folder", root + "/brokenDir");
    ScanBox(root);
    QFile(root + "/locked")
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(captions.last(), kDone);
    QStringList keys = FileKeys();
    keys.removeAll(root + "/locked/x.mp3");  // root can read it anyway
    EXPECT_EQ(keys, QStringList({root + "/a.mp3", root + "/z/after.mp3"}));
}

TEST_F(LibraryScanTest, EntriesThatVanishOrAreRenamedDuringTheScan) {
    TouchAll(root, {"a.mp3", "gone/inner/x.mp3", "moved/m1.mp3", "moved/deeper/m2.mp3",
                    "keep/k.mp3", "z.mp3"});
    bool removed = false, renamed = false, fileRemoved = false;
    AtEveryYield meddle([&] {
        if (!removed && QDir(root + "/gone").exists()) {
            removed = QDir(root + "/gone").removeRecursively();
        }
        // Removed after the root was listed, before the walk comes to it.
        if (!fileRemoved && !captions.isEmpty()) fileRemoved = QFile::remove(root + "/z.mp3");
        // Renamed while its own listing is open (announcing "deeper").
        if (!renamed && !captions.isEmpty() && captions.last() == kScanning + root + "/moved")
            renamed = QDir().rename(root + "/moved", root + "/moved2");
        return removed && renamed && fileRemoved;
    });
    ScanBox(root);
    EXPECT_TRUE(removed && renamed && fileRemoved);
    EXPECT_EQ(captions.last(), kDone);
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
    EXPECT_EQ(captions.last(), kDone);
    const QStringList keys = FileKeys();
    EXPECT_TRUE(keys.contains(root + "/a/a.mp3"));
    EXPECT_EQ(keys.size(), 2) << keys.join(' ').toStdString();
    EXPECT_EQ(keys.filter("/o.mp3").size(), 1);
    EXPECT_EQ(DbLines().size(), 3);
}

TEST_F(LibraryScanTest, EveryWalkTakesEntriesInNameOrderAndLeavesHiddenOnesOut) {
    // Made out of order, beside hidden names, a hidden folder and a link back
    // to the root that must not be followed.
    TouchAll(root,
             {"b10/x.mp3", "A.mp3", "._A.mp3", "10.mp3", "b9/track10.mp3", ".hidden/h.mp3", "a.mp3",
              "1/x.mp3", "B.mp3", "b9/.x.mp3", "b9/track9.mp3", "01/x.mp3", "2.mp3", "notes.txt"});
    QFile::link(root, root + "/b9/up");
    const QStringList order = {"01/x.mp3",       "1/x.mp3",  "2.mp3", "10.mp3",
                               "A.mp3",          "a.mp3",    "B.mp3", "b9/track9.mp3",
                               "b9/track10.mp3", "b10/x.mp3"};

    for (const bool sub : {false, true}) {
        qv::ResetPlayList(state());
        qv::SearchMediaToPlayList(state(), root + "/", sub);
        QStringList added, expected;
        for (int i = 0; i < state().PlayListData.Count(); ++i)
            added.append(state().PlayListData[i].FilePath);
        for (const QString& name : order) {
            if (sub || !name.contains(u'/')) expected.append(root + "/" + name);
        }
        EXPECT_EQ(added, expected) << "with subfolders: " << sub;
    }
    EXPECT_TRUE(captions.isEmpty());
    EXPECT_FALSE(QFile::exists(p.folder() + "MediaDB.db"));

    ScanBox(root);
    QStringList files, nodes;  // the nodes below the root: each folder, then its files
    for (const QString& name : order) {
        const QString folder = root + "/" + name.section(u'/', 0, 0);
        if (name.contains(u'/') && !nodes.contains(folder)) nodes.append(folder);
        nodes.append(root + "/" + name);
        files.append(root + "/" + name);
    }
    EXPECT_EQ(DbLines().mid(1), files);
    QStringList keys;
    for (const QString& line : TreeBelow(p.tree()).mid(1))
        keys.append(line.mid(line.lastIndexOf(u' ') + 1));
    EXPECT_EQ(keys, nodes);
}

TEST_F(LibraryScanTest, ClosingTheWindowDuringAScanSavesWhatWasFound) {
    TouchAll(root, {"a.mp3", "s1/b.mp3", "s2/c.mp3"});
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
    EXPECT_EQ(captions.last(), kAborted);
    qv::EndScanOnUnload(state());  // no scan: nothing happens
    EXPECT_EQ(DbLines(), savedAtUnload);
}

TEST_F(LibraryScanTest, TheFolderPickerOpensOnTheHomeFolderThenOnTheLastChoice) {
    p.dialogs.folders = {root, ""};
    p.form().cmdRef->click();
    EXPECT_EQ(p.dialogs.pickerTitles, QStringList({QStringLiteral("フォルダを選択してください")}));
    EXPECT_EQ(p.form().Text1->text(), root);
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastOpenedPath"), root);
    p.form().Text1->setText("typed");
    p.form().cmdRef->click();  // cancelled
    EXPECT_EQ(p.dialogs.pickerStarts, QStringList({QDir::homePath(), root}));
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

    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {  // the left only
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), button, button,
                        Qt::NoModifier);
        QApplication::sendEvent(p.form().Text1, &dbl);
        EXPECT_EQ(p.form().Text1->selectedText(), button == Qt::LeftButton ? root : QString());
    }
}

TEST_F(LibraryScanTest, ConnectingTwiceWiresOnce) {
    // Main connects the window; a second call must not run any handler twice
    // (a scan started and at once aborted by its own second handler).
    qv::ConnectLibrary(*p.state, p.form());
    Touch(root + "/a.mp3");
    ScanBox(root);
    EXPECT_EQ(captions.count(QStringLiteral("Quorvane - メディアの重複をチェックしています...")),
              1);
    EXPECT_EQ(captions.last(), kDone);
    EXPECT_NE(p.tree().Node(root + "/a.mp3"), nullptr);
}

}  // namespace
