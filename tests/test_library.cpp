// The media library on real temporary folders: the keyed tree view, the
// library file MediaDB.db, the walks and the scan driver, the folder box, and
// the tree's clicks, popups, drags and drops.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSemaphore>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <cstdio>

#include "app/controls.h"
#include "app/dialogs_qt.h"
#include "app/frm_hide_menu.h"
#include "library/folder_watch.h"
#include "library/library_file.h"
#include "library/media_db.h"
#include "library/scan.h"
#include "library/tree_handlers.h"
#include "library_support.h"
#include "platform/folder_walk.h"
#include "platform/folder_walk_thread.h"
#include "platform/folder_watcher.h"
#include "playback/media_play.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_edit.h"
#include "program/library_wiring.h"
#include "support/media_files.h"
#include "support/qt_print.h"

using qvtest::TreeBelow;

// The system's watches as the program asks for them. With a count set, that
// many more are granted and the rest refused as at the limit on watches.
static std::atomic<int> watchesLeft{-1};
extern "C" int inotify_add_watch(int fd, const char* path, uint32_t mask) {
    if (watchesLeft >= 0 && watchesLeft-- == 0) {
        watchesLeft = 0;
        errno = ENOSPC;
        return -1;
    }
    return static_cast<int>(syscall(SYS_inotify_add_watch, fd, path, mask));
}

namespace {

const QString kScanning = QStringLiteral("メディアをスキャン中... ");
const QString kChecking = QStringLiteral("Quorvane - メディアの重複をチェックしています...");
const QString kDone = QStringLiteral("Quorvane - スキャン完了");
const QString kAborted = QStringLiteral("Quorvane - スキャン中止");
const QString kScan = QStringLiteral("スキャン"), kAbort = QStringLiteral("中止");

// A drag of the files (or, without files, of the text) that enters target
// and is dropped on it; whether the target took the drag on entering.
bool Drop(QWidget* target, const QStringList& files, const QString& text = {}) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : files) urls.append(QUrl::fromLocalFile(path));
    files.isEmpty() ? data.setText(text) : data.setUrls(urls);
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

class Library : public ::testing::Test {
  protected:
    Library() : root(p.folder() + "Music"), db(p.folder() + "MediaDB.db") {
        QDir().mkpath(root);
        p.MakeObjects();
        state().strFoundMedia = QStringList{QString()};
        qvtest::AddFixedNodes(tree());
        form().chkSF->setChecked(true);
        // Main connects the window as well: a second set of handlers would
        // abort each scan the first one starts.
        qv::ConnectLibrary(state(), form());
        qv::ConnectLibrary(state(), form());
        QObject::connect(&form(), &QWidget::windowTitleChanged, &yields,
                         [this](const QString& t) { captions.append(t); });
    }
    qv::ProgramState& state() { return *p.state; }
    qv::frmHideMenu& menus() { return state().HideMenu(); }
    qv::frmQuorvane& form() { return *p.state->mainForm; }
    qv::TreeView& tree() { return *p.state->mainForm->TV1; }
    // Writes each of the names ("|" between them) below the program folder;
    // returns the last one's path.
    QString Make(const QString& names, const QByteArray& bytes = "x") {
        QString path;
        for (const QString& name : names.split(u'|')) path = p.dir.write(name, bytes);
        return path;
    }
    void Scan(const QString& path) {
        form().Text1->setText(path);
        form().cmdScan->click();
        EXPECT_TRUE(ScanEnds());
    }
    // Waits for the scan's worker and the end that saves what it found.
    bool ScanEnds() {
        return QTest::qWaitFor([this] { return !qv::ScanRunning(state()); });
    }
    // The library file's lines; each must end in CR LF.
    QStringList Db() {
        QStringList lines = QString::fromUtf8(qvtest::ReadAll(db)).split("\r\n");
        lines.removeLast();
        return lines;
    }
    // The keys below the scanned roots' nodes, in tree order.
    QStringList Keys() {
        QStringList keys = TreeBelow(tree());
        for (QString& line : keys) line = line.section(u' ', -1);
        return keys;
    }
    // Runs step at every turn of the event loop until it returns true.
    void AtEachYield(std::function<bool()> step) {
        QObject::connect(&yields, &QTimer::timeout, [this, step] {
            if (step()) yields.stop();
        });
        yields.start(0);
    }

    qvtest::TestProgram p;
    const QString root, db;
    QStringList captions;
    QTimer yields;
};

TEST(TreeView, NodesKeepKeyTextAndImageAndJoinInTheirOrderWhenTheOuterHoldEnds) {
    qv::TreeView tree;
    // Every change the view hears of is checked against the model's own answers.
    const QAbstractItemModelTester tester(tree.model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QPixmap red(16, 16), blue(16, 16);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    tree.setImages({red, red, blue});
    tree.AddNode("", "root", "Root", 1);
    {
        const qv::TreeView::Batch outer(tree);
        {
            const qv::TreeView::Batch inner(tree);
            tree.AddNode("root", "A", "A", 1);
        }
        EXPECT_EQ(tree.Node("root")->childCount(), 0);
        tree.AddNode("A", "A/x", "x", 3);
        tree.AddNode("root", "B", "B", 0);
        tree.AddNode("B", "B/y", "y", 9);
        tree.AddNode("A", "A/z", "z", 2);  // back to A: its children keep their order
        EXPECT_EQ(tree.AddNodeUnder(nullptr, "top", "Top", 1), qv::NodeResult::Added);
        // Keys count at once: both failures are told apart during the hold.
        EXPECT_EQ(tree.AddNode("A", "A/x", "again", 2), qv::NodeResult::DuplicateKey);
        EXPECT_EQ(tree.AddNode("nowhere", "n/q", "q", 2), qv::NodeResult::ParentNotFound);
        tree.AddNode("root", "F", "F", 4);
        tree.AddNode("F", "F/a", "a", 7);
        // Removing and showing see the whole tree; a removed key is free again.
        EXPECT_TRUE(tree.RemoveNode("F"));
        EXPECT_EQ(tree.AddNode("root", "F", "F2", 4), qv::NodeResult::Added);
        tree.EnsureVisible("B/y");
        EXPECT_TRUE(tree.Node("B")->isExpanded() && tree.NodeCount() == 8);
    }
    EXPECT_EQ(TreeBelow(tree, ""),
              QStringList({"Root [1] root", "  A [1] A", "    x [3] A/x", "    z [2] A/z",
                           "  B [0] B", "    y [9] B/y", "  F2 [4] F", "Top [1] top"}));
    // Image 3's picture; none for an image number outside the list.
    const auto icon = [&tree](const char* key) {
        return tree.model()->data(tree.IndexOf(tree.Node(key)), Qt::DecorationRole).value<QIcon>();
    };
    EXPECT_EQ(icon("A/x").pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_TRUE(icon("B").isNull() && icon("B/y").isNull());

    // Keys below the file-system root take no second separator; a key that
    // is not its parent's key and its text is kept as given.
    tree.AddNode("B", "/", "/", 4);
    tree.AddNode("/", "/usr", "usr", 4);
    tree.AddNode("/usr", "/usr/Song.mp3", "Song.mp3", 5);
    tree.AddNode("/usr", "elsewhere", "usr2", 5);
    EXPECT_EQ(TreeBelow(tree, "/"), QStringList({"usr [4] /usr", "  Song.mp3 [5] /usr/Song.mp3",
                                                 "  usr2 [5] elsewhere"}));
    EXPECT_TRUE(tree.Node("/usr/song.mp3") == nullptr && tree.Node("/usr/") == nullptr &&
                tree.Node("//usr") == nullptr && tree.Node("B/usr") == nullptr);
    EXPECT_TRUE(tree.RemoveNode("/usr"));
    EXPECT_TRUE(tree.Node("/usr/Song.mp3") == nullptr && tree.Node("elsewhere") == nullptr &&
                tree.Node("/") != nullptr && tree.NodeCount() == 9);

    // The accessible tree shows the rows the view shows, a hidden one not,
    // after its column's header.
    tree.expandAll();
    tree.Node("A/x")->setHidden(true);
    tree.show();
    QApplication::processEvents();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&tree);
    QStringList rows;
    for (int i = 0; i < access->childCount(); ++i)
        rows << access->child(i)->text(QAccessible::Name);
    EXPECT_EQ(rows, QStringList({"1", "Root", "A", "z", "B", "y", "/", "F2", "Top"}));
}

TEST_F(Library, SavingAppendsOnlyNewLinesEachUnderItsOwnHeaderAndNeverBlind) {
    const QString n = p.folder() + "N", e = p.folder() + "E";
    QDir().mkpath(e);
    Scan(root);
    Scan(root);  // nothing found: the empty line goes only into an empty file
    const QString wav = Make("Music/a.mp3.wav"), b = Make("Music/Pop/b.wav");
    const QString c = Make("Music/Pop/c.mid"), x = Make("N/x.mp3");
    Scan(root);
    Scan(n);
    const QString a = Make("Music/a.mp3");  // a part of a longer stored line: still new
    Scan(root);                             // after another root's header: its own again
    Scan(n);                                // nothing new: no header either
    Scan(root + "/Pop");                    // a root inside an earlier one: its header only
    Scan(e);
    EXPECT_EQ(Db(), QStringList({"[" + root + "]", "", wav, b, c, "[" + n + "]", x,
                                 "[" + root + "]", a, "[" + root + "/Pop]", "[" + e + "]"}));
    // A folder in the file's place cannot be read: appending blind would
    // write every known path again, so nothing is written, and the status bar
    // says so; the scan ends as ever.
    QFile::remove(db);
    QDir().mkpath(db);
    Scan(root);
    EXPECT_TRUE(QFileInfo(db).isDir() && captions.last() == kDone);
    EXPECT_EQ(form().SB1->currentMessage(), "保存できませんでした: " + db);
}

TEST_F(Library, LoadingPassesOverWhatNamesNothingAndNodesKeepCanonicalPathsUnderTheirRoot) {
    const QString n = p.folder() + "N", gone = p.folder() + "gone", a = Make("Music/a.mp3");
    const QString b = Make("Music/b.mp3.wav"), x = Make("N/x.mp3"), a2 = Make("Music/sub/a2.mid");
    const QString txt = Make("Music/docs/readme.txt"), deleted = root + "/old/deep/c.mp3";
    const QString c = Make("Music/Case.mp3");
    const QString radio = p.folder() + "ラジオ", song = Make("ラジオ/Beyoncé.mp3");
    // A lone "[", bytes naming nothing, a header that loses its last character
    // whatever it is, an empty line, a vanished root with its path, paths
    // behind another root's header, another kind of file, deleted files, a
    // file in another letter case after a deleted one in its folder, and a
    // root and a file whose UTF-8 bytes are code page 932 as well.
    QStringList lines = {"[" + root + "c", a, "", "[" + gone + "]", gone + "/x.mp3", b};
    lines += {root + "/gone.mp3", root + "/CASE.mp3", root + "/gone2.mp3", "[" + n + "]", x, a2};
    lines += {txt, deleted};
    p.dir.write(
        "MediaDB.db",
        "[\r\n\xff\xfe\r\n" + (lines + QStringList{"[" + radio + "]", song}).join("\r\n").toUtf8());
    qv::TreeView loaded;  // as a new start builds it
    qvtest::AddFixedNodes(loaded);
    qv::LoadMediaDB(state(), loaded);
    EXPECT_EQ(
        TreeBelow(loaded),
        QStringList({root + " [4] " + root, "  a.mp3 [7] " + a, "  b.mp3.wav [6] " + b,
                     "  Case.mp3 [7] " + c, "  docs [4] " + root + "/docs",
                     "  sub [4] " + root + "/sub", "    a2.mid [5] " + a2, n + " [4] " + n,
                     "  x.mp3 [7] " + x, radio + " [4] " + radio, "  Beyoncé.mp3 [7] " + song}));
    // The file system's root is keyed "/", other paths are made canonical.
    EXPECT_EQ(qv::SearchRootOf("/"), "/");
    qv::AddRootNode(tree(), "/");
    qv::AddCanonicalMediaNode(state(), tree(), "/x.mp3", "MP3", "/", true);
    qv::AddCanonicalMediaNode(state(), tree(), "/srv/y.wav", "WAV", "/", true);
    QString odd = Make("Music/b.mp3").replace("/Music/", "/Music/./");
    state().strSearchRoot = root;
    qv::AddRootNode(tree(), root);
    qv::AddMediaNode(state(), tree(), odd, "MP3");
    EXPECT_EQ(
        TreeBelow(tree()),
        QStringList({"/ [4] /", "  srv [4] /srv", "    y.wav [6] /srv/y.wav", "  x.mp3 [7] /x.mp3",
                     root + " [4] " + root, "  b.mp3 [7] " + root + "/b.mp3"}));
    EXPECT_EQ(state().strFoundMedia, QStringList({"/x.mp3", "/srv/y.wav", root + "/b.mp3"}));
}

TEST_F(Library, TheScanTakesMediaByTheirLastExtensionInNameOrderAndLeavesHiddenOnesOut) {
    const QStringList order =
        QString(
            "0.mp3|01/x.mp3|1/x.mp3|2.mp3|10.mp3|A.mp3|a.Mp3|B.au|b9/track9.mp3|b9/track10.mp3|"
            "b10/x.MP3|c.AsF|d.wma|e.mid|f.wav|g.tar.mp3|h.Flac|i.ogg|j.OGA|k.opus|l1/o.mp3|"
            "m.M4a|PAGEFILE.SYS/in.mp3")
            .split(u'|');
    Make("Music/" + order.join("|Music/"));
    // Hidden names, other kinds, the exact lower-case "pagefile.sys"; links to
    // an ancestor, to their own folder, twice to one folder, to nowhere.
    Make(
        "Music/.mp3|Music/._A.mp3|Music/.hidden/h.mp3|Music/b9/.x.mp3|Music/pagefile.sys/o.mp3|"
        "Music/song.mp3.bak|Music/README|Music/song.|Music/g.mp3x|Music/notes.txt");
    QDir().rename(root + "/l1", p.folder() + "Elsewhere");
    for (const QString link : {"b9/up=", "b10/self=/b10", "l1=/../Elsewhere", "l2=/../Elsewhere",
                               "broken.mp3=/none", "dir=/no"})
        QFile::link(root + link.section(u'=', 1), root + "/" + link.section(u'=', 0, 0));
    QStringList files, nodes;  // the nodes below the root: each folder, then its files
    for (const QString& name : order) {
        const QString folder = root + "/" + name.section(u'/', 0, 0);
        if (name.contains(u'/') && !nodes.contains(folder)) nodes.append(folder);
        nodes.append(root + "/" + name);
        files.append(root + "/" + name);
    }
    Scan(root + "/");  // a trailing "/" scans the same root
    EXPECT_EQ(state().ini.ReadIni("File", "LastSearchedPath"), root + "/");
    EXPECT_EQ(Db(), QStringList("[" + root + "]") + files);
    EXPECT_EQ(Keys(), QStringList(root) + nodes);
}

// What a rescan finds joins the nodes in name order, as after a restart, and what is gone
// leaves them (MediaDB.db keeps its lines); a root taken out leaves the tree and the file.
TEST_F(Library, RescansKeepNameOrderAndForgetWhatIsGoneAndARootCanBeTakenOut) {
    const QString d = root + "/d", early = p.folder() + "Early", e = early + "/e.mp3";
    Make("Early/e.mp3|Music/b/1.mp3|Music/d/2.mp3|Music/z.mp3|Music/gone/g.mp3");
    Make("Music/sub/deep/k.mp3");
    Scan(d);  // a root inside the next, scanned first: a root of its own
    Scan(early);
    Scan(root);
    Make("Music/a/3.mp3|Music/c/10.mp3|Music/c/9.mp3|Music/b/0.mp3|Music/d/5.mp3");
    QFile::remove(root + "/z.mp3");
    QFile::remove(root + "/sub/deep/k.mp3");
    QDir(root + "/gone").removeRecursively();
    Scan(root);
    const auto under = [](const QString& folder, const QString& names) {
        QStringList keys = names.split(u'|');
        for (QString& k : keys) k = k.isEmpty() ? folder : folder + "/" + k;
        return keys;
    };
    EXPECT_EQ(Keys(), under(early, "|e.mp3") +
                          under(root, "|a|a/3.mp3|b|b/0.mp3|b/1.mp3|c|c/9.mp3|c/10.mp3") +
                          under(d, "|2.mp3|5.mp3"));
    EXPECT_TRUE(Db().contains(root + "/z.mp3"));
    qv::TreeView loaded;
    qvtest::AddFixedNodes(loaded);
    qv::LoadMediaDB(state(), loaded);
    EXPECT_EQ(TreeBelow(loaded), TreeBelow(tree()));
    // Without subfolders: only the root's own files and the subfolders that are gone.
    form().chkSF->setChecked(false);
    QFile::remove(root + "/c/9.mp3");
    QDir(root + "/b").removeRecursively();
    Make("Music/y.mp3");
    Scan(root);
    EXPECT_EQ(Keys().mid(2, 6), under(root, "|a|a/3.mp3|c|c/9.mp3|c/10.mp3"));
    EXPECT_EQ(Keys()[8], root + "/y.mp3");
    // The item is on a root's popup only; the other roots and their lines stay, those shown
    // under Music that stood in its part of the file under their own header.
    p.dialogs.menuChoices = {"mnRemoveRoot", "mnRemoveRoot"};
    const QStringList before = Keys();
    qv::TV1_NodeClick(state(), tree().Node(root + "/a"));
    EXPECT_EQ(Keys(), before);
    qv::TV1_NodeClick(state(), tree().Node(root));
    EXPECT_EQ(Keys(), under(early, "|e.mp3") + under(d, "|2.mp3|5.mp3"));
    EXPECT_EQ(Db(), QStringList({"[" + d + "]", d + "/2.mp3", "[" + early + "]", e, "[" + d + "]",
                                 d + "/5.mp3"}));
    EXPECT_TRUE(QFile::exists(root + "/a/3.mp3") && !menus().mnRemoveRoot->isVisible());
}

// Watched, the library follows the disk by itself within 2 s: an album added joins the tree in
// its place and MediaDB.db, a file deleted or a folder renamed leaves it. WatchFolders=0: no watch.
TEST_F(Library, WatchedRootsFollowAddedDeletedAndRenamedFiles) {
    Make("Music/b/1.mp3|Music/b/2.mp3");
    Scan(root);
    const auto keys = [&](const QString& names) {
        QStringList out = {root};
        for (const QString& name : names.split(u'|')) out << root + "/" + name;
        return out;
    };
    const auto follows = [&](const QString& names) {
        return QTest::qWaitFor([&] { return Keys() == keys(names); }, 2000);
    };
    state().ini.WriteIni("Quorvane", "WatchFolders", "0");
    qv::StartWatching(state());
    Make("Music/b/0.mp3");
    QTest::qWait(700);
    EXPECT_EQ(Keys(), keys("b|b/1.mp3|b/2.mp3"));
    state().ini.WriteIni("Quorvane", "WatchFolders", "1");
    qv::StartWatching(state());
    EXPECT_TRUE(QTest::qWaitFor([&] { return qv::WatchSettled(state()); }));
    const QString added = Make("Music/a/3.mp3");
    EXPECT_TRUE(follows("a|a/3.mp3|b|b/1.mp3|b/2.mp3"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Db().last() == added; }));
    QFile::remove(root + "/b/2.mp3");
    EXPECT_TRUE(follows("a|a/3.mp3|b|b/0.mp3|b/1.mp3"));  // the folder listed again
    QDir().rename(root + "/b", root + "/c");
    EXPECT_TRUE(follows("a|a/3.mp3|c|c/0.mp3|c/1.mp3"));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return Db().mid(Db().size() - 2) == QStringList({root + "/c/0.mp3", root + "/c/1.mp3"});
    }));
    // A new folder is walked whole, and its subfolders are watched from then on.
    Make("Music/d/e/1.mp3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree().Node(root + "/d/e/1.mp3") != nullptr; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return qv::WatchSettled(state()); }));
    const QString deeper = Make("Music/d/e/2.mp3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree().Node(deeper) != nullptr; }, 2000));
    // A root scanned while the program watches is watched from the scan's end.
    Make("Other/x/1.mp3");
    Scan(p.folder() + "Other");
    EXPECT_TRUE(QTest::qWaitFor([&] { return qv::WatchSettled(state()); }));
    const QString later = Make("Other/x/2.mp3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree().Node(later) != nullptr; }, 2000));
}

// Past the system's limit on watches the library watches what fits, says so once on standard
// error, and goes on: a folder watched follows its files, one refused does not.
TEST_F(Library, FoldersPastTheSystemsLimitAreLeftUnwatchedWithOneWord) {
    Make("Music/a/1.mp3|Music/b/1.mp3|Music/c/1.mp3");
    Scan(root);
    watchesLeft = 2;  // the root and a
    const int saved = dup(STDERR_FILENO);
    std::FILE* err = std::tmpfile();
    dup2(fileno(err), STDERR_FILENO);
    qv::StartWatching(state());
    const bool settled = QTest::qWaitFor([&] { return qv::WatchSettled(state()); });
    qv::WatchFoldersBelow(state(), root);  // asked again: still refused, no second word
    const bool settledAgain = QTest::qWaitFor([&] { return qv::WatchSettled(state()); });
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    watchesLeft = -1;
    std::rewind(err);
    QByteArray said(4096, '\0');
    said.truncate(static_cast<qsizetype>(std::fread(said.data(), 1, said.size(), err)));
    std::fclose(err);
    EXPECT_TRUE(settled && settledAgain);
    EXPECT_EQ(said.count("no more folders be watched"), 1) << said.constData();
    EXPECT_TRUE(said.contains("2 library folders are not watched")) << said.constData();
    const QString inA = Make("Music/a/2.mp3");
    Make("Music/c/2.mp3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree().Node(inA) != nullptr; }, 2000));
    QTest::qWait(700);
    EXPECT_EQ(tree().Node(root + "/c/2.mp3"), nullptr);
}

// The inotify watches this process holds, as the system lists them.
int SystemWatches() {
    int watches = 0;
    for (const QString& fd : QDir("/proc/self/fdinfo").entryList(QDir::Files))
        watches += qvtest::ReadAll("/proc/self/fdinfo/" + fd).count("inotify wd:");
    return watches;
}

// A folder reached by two paths (a link) has one system watch: giving up one path keeps the
// other's news; giving up both ends them and gives the watch back to the system.
TEST(FolderWatcher, AFolderReachedByTwoPathsIsWatchedUntilBothAreGivenUp) {
    QTemporaryDir dir;
    const QString real = dir.path() + "/real", link = dir.path() + "/link";
    ASSERT_TRUE(QDir().mkpath(real) && QFile::link(real, link));
    QStringList changed;
    qv::FolderWatcher watcher({[&](const QStringList& folders) { changed << folders; }, {}});
    ASSERT_TRUE(watcher.Usable());
    const auto touch = [&](const QString& name) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.Settled(); }));
        changed.clear();
        QFile(real + "/" + name).open(QIODevice::WriteOnly);
    };
    const int before = SystemWatches();
    watcher.Add({real, link});
    touch("1");
    EXPECT_EQ(SystemWatches(), before + 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.size() == 2; }, 2000));
    watcher.RemoveBelow(link);
    touch("2");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !changed.isEmpty(); }, 2000));
    EXPECT_EQ(changed, QStringList{real});
    watcher.RemoveBelow(dir.path());  // and everything below it
    touch("3");
    QTest::qWait(300);
    EXPECT_TRUE(changed.isEmpty()) << changed.join(u' ').toStdString();
    EXPECT_EQ(SystemWatches(), before);
}

TEST_F(Library, EnterInTheFolderBoxStartsAndAbortsAndAStartWhileAWalkUnwindsIsIgnored) {
    Make("Music/a.mp3|Music/sub/b.mp3|Music/sub2/c.mp3");
    form().Text1->setText(root);
    AtEachYield([&] {
        if (form().cmdScan->text() != kAbort) return false;
        QTest::keyClick(form().Text1, Qt::Key_Return);  // abort: the button reads so at once
        EXPECT_EQ(form().cmdScan->text(), kScan);
        form().cmdScan->click();  // and at once start again, in the same turn
        return true;
    });
    QTest::keyClick(form().Text1, Qt::Key_Return);
    EXPECT_TRUE(ScanEnds());
    EXPECT_EQ(QList<qsizetype>({captions.count(kAborted), captions.count(kDone)}),
              QList<qsizetype>({1, 0}));
    EXPECT_EQ(form().Text1->text(), root);  // no character typed
    QTest::keyClick(form().Text1, Qt::Key_Return);
    EXPECT_TRUE(ScanEnds());
    EXPECT_TRUE(captions.last() == kDone && Keys().size() == 6);
}

// The walk lists a folder whole, then goes through its entries; a subfolder's walk may take
// long, and what changed meanwhile is seen: a file removed is passed over, a folder renamed
// is listed no further.
TEST_F(Library, EntriesThatVanishOrAreRenamedDuringTheWalk) {
    Make("Music/a.mp3|Music/moved/m1.mp3|Music/moved/deeper/m2.mp3|Music/keep/k.mp3|Music/z.mp3");
    struct Renaming : qv::FolderWalk {
        QString root;
        QStringList met;
        void FolderMet(const QString& folder, const QString& full, bool sub) override {
            // Removed after the root was listed, before the walk comes to it.
            QFile::remove(root + "/z.mp3");
            // Renamed while its own listing is open (meeting "deeper").
            if (folder == root + "/moved") QDir().rename(folder, root + "/moved2");
            Walk(full, sub);
        }
        void MediaMet(const QString& path, const QString&) override { met << path; }
    } walk;
    walk.root = root;
    walk.Walk(root, true);
    EXPECT_EQ(walk.met, QStringList({root + "/a.mp3", root + "/keep/k.mp3"}));
    Scan(root);
    EXPECT_EQ(Keys(), QStringList({root, root + "/a.mp3", root + "/keep", root + "/keep/k.mp3",
                                   root + "/moved2", root + "/moved2/deeper",
                                   root + "/moved2/deeper/m2.mp3", root + "/moved2/m1.mp3"}));
}

// The worker hands its finds on in batches, in walk order, and goes on when a batch was taken
// and the queue ran dry; after an abort nothing more comes, and the end still does.
TEST_F(Library, TheWalksWorkerHandsOnBatchesInWalkOrderUntilItEndsOrIsAborted) {
    const size_t n = qv::FolderWalkThread::kBatchSize;
    QStringList all = {root + "/a"};
    for (size_t i = 0; i < n; ++i) all << Make(QString("Music/a/%1.mp3").arg(i, 3, 10, QChar('0')));
    all << root + "/b" << Make("Music/b/x.mp3");
    for (const bool abort : {false, true}) {
        QSemaphore taken;
        QStringList met;
        bool ended = false;
        qv::FolderWalkThread walk({[&](const qv::WalkFind& find) {
                                       met << find.path;
                                       if (abort && size_t(met.size()) == n) walk.Abort();
                                   },
                                   [&] {
                                       if (size_t(met.size()) == n) taken.release();
                                   },
                                   [&](const QStringList&) { ended = true; },
                                   // On the worker: b waits until the first batch was taken.
                                   [&](const QStringList& paths) {
                                       if (paths.value(0).endsWith("/b/x.mp3")) taken.acquire();
                                       return std::vector<size_t>();
                                   }});
        walk.Start(root, true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }));
        EXPECT_EQ(met, abort ? all.mid(0, n) : all);
    }
}

// Aborted or ended by the window's close, a scan keeps what it had shown (in walk order: the
// caption of s1 is shown as the walk enters s1/deep), none of what its worker found after.
// Closed while the library file is written at the end, it waits for the file.
TEST_F(Library, AnAbortOrACloseDuringTheScanSavesWhatWasFound) {
    Make("Music/a.mp3|Music/s1/b.mp3|Music/s1/deep/d.mp3|Music/s2/c.mp3");
    const QStringList shown = {"[" + root + "]", root + "/a.mp3", root + "/s1/b.mp3"};
    const QStringList all = shown + QStringList{root + "/s1/deep/d.mp3", root + "/s2/c.mp3"};
    for (const QString how : {"abort", "close", "close while writing"}) {
        SCOPED_TRACE(how.toStdString());
        QFile::remove(db);
        QStringList savedAtUnload;
        const bool writing = how == "close while writing";
        const QString at = writing ? kChecking : kScanning + root + "/s1";
        QMetaObject::Connection once = QObject::connect(
            &form(), &QWidget::windowTitleChanged, &form(),
            [&](const QString& title) {
                if (title != at) return;
                QObject::disconnect(once);
                if (how == "abort") return form().cmdScan->click();
                // The user closes the window: its unload ends the scan (the
                // window closes once; the second time its unload is called).
                if (writing) {
                    qv::EndScanOnUnload(state());
                } else {
                    form().close();
                }
                savedAtUnload = Db();
                EXPECT_FALSE(qv::ScanRunning(state()));
            },
            // The write begins after the caption: seen as the event that follows.
            writing ? Qt::QueuedConnection : Qt::DirectConnection);
        form().Text1->setText(root);
        form().cmdScan->click();
        EXPECT_TRUE(ScanEnds());
        const QStringList& found = writing ? all : shown;
        EXPECT_EQ(Db(), found);
        EXPECT_EQ(savedAtUnload, how == "abort" ? QStringList() : found);
        EXPECT_TRUE(captions.last() == kAborted && form().cmdScan->text() == kScan);
        qv::EndScanOnUnload(state());  // no scan: nothing happens
        EXPECT_EQ(Db(), found);
    }
}

// The library file is read as a scan starts; changed by another hand during the walk, it is read
// again at the end: the line added meanwhile is neither lost nor written twice.
TEST_F(Library, ALibraryFileChangedDuringTheScanIsReadAgainAtItsEnd) {
    Make("Music/a.mp3|Music/s1/b.mp3|Music/s1/deep/d.mp3|Music/s2/c.mp3");
    p.dir.write("MediaDB.db", ("[" + root + "]\r\n" + root + "/a.mp3\r\n").toUtf8());
    QMetaObject::Connection once =
        QObject::connect(&form(), &QWidget::windowTitleChanged, &form(), [&](const QString& title) {
            if (title != kScanning + root + "/s1") return;
            QObject::disconnect(once);
            qv::LibraryFileOf(state()).Finish();  // the read at the start is over
            QFile file(db);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write((root + "/s1/b.mp3\r\n").toUtf8());
        });
    Scan(root);
    EXPECT_EQ(Db(), QStringList({"[" + root + "]", root + "/a.mp3", root + "/s1/b.mp3",
                                 root + "/s1/deep/d.mp3", root + "/s2/c.mp3"}));
}

TEST_F(Library, TheFolderBoxTakesPickedAndDroppedFoldersRefusesUnusableOnesAndNeverScans) {
    // The picker opens on the home folder, then on the last choice; "" cancels.
    p.dialogs.folders = {root, ""};
    form().cmdRef->click();
    EXPECT_EQ(form().Text1->text(), root);
    form().Text1->setText("typed");
    form().cmdRef->click();
    EXPECT_EQ(p.dialogs.pickerStarts, QStringList({QDir::homePath(), root}));
    EXPECT_EQ(form().Text1->text() + "|" + state().ini.ReadIni("File", "LastOpenedPath"),
              "typed|" + root);
    QDir().mkpath(root + "/.hidden");
    for (const QString& path : {QString(), root + "/nothing-here", root + "/.hidden"}) {
        Scan(path);
        EXPECT_EQ(p.dialogs.asked.takeFirst().prompt,
                  path.isEmpty() ? "パスを指定してください" : "パスが見つかりません");
    }
    EXPECT_EQ(form().cmdScan->text() + state().ini.ReadIni("File", "LastSearchedPath"), kScan);
    const QString file = Make("Music/sub/a.mp3");
    const std::tuple<QStringList, QString, QString> drops[] = {
        {{file}, "", root + "/sub/"},  {{root, file}, "", root},   {{root + "/none.mp3"}, "", root},
        {{}, "OLEDropAllMedia", root}, {{}, file, root + "/sub/"}, {{}, root, root},
        {{}, "not a path", root}};
    for (const auto& [files, text, box] : drops) {
        EXPECT_TRUE(Drop(form().Text1, files, text));
        EXPECT_EQ(form().Text1->text(), box);
    }
    EXPECT_TRUE(captions.isEmpty() && !QFile::exists(db));
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {
        QTest::mouseDClick(form().Text1, button, {}, QPoint(5, 5));
        EXPECT_EQ(form().Text1->selectedText(), button == Qt::LeftButton ? root : QString());
    }
}

class LibraryTree : public Library {
  protected:
    LibraryTree() {
        a = Make("Music/a.mp3", qvtest::Id3Bytes("Song A", "Artist A"));
        b = Make("Music/Pop/b.wav", qvtest::WavBytes());
        c = Make("Music/Pop/Deep/c.mid", qvtest::MidiBytes());
        lst = Make("PlayLists/Mine.lst", (a + "\r\n").toUtf8());
        Scan(root);
        tree().AddNode("RegisteredPlayList", lst, "Mine", 9);
        form().resize(800, 600);
        form().show();
        tree().expandAll();
    }
    // A real click on the node's row.
    void Click(const QString& key, Qt::MouseButton button = Qt::LeftButton) {
        ASSERT_NE(tree().Node(key), nullptr) << key.toStdString();
        tree().scrollTo(tree().IndexOf(tree().Node(key)));
        QTest::mouseClick(tree().viewport(), button, {},
                          tree().NodeRect(tree().Node(key)).center());
    }
    QString a, b, c, lst;
};

TEST_F(LibraryTree,
       EachNodeAnswersAClickByItsKindAFolderPopupsFirstItemTogglesAndADragCarriesTheKey) {
    QApplication::setActiveWindow(&form());
    form().setWindowTitle("before");
    Click("root");
    Click("SearchedMedia");
    EXPECT_EQ(QApplication::focusWidget(), &tree());
    Click("RegisteredPlayList");
    EXPECT_TRUE(QApplication::focusWidget() == form().lstPL && form().windowTitle() == "before");
    Click(lst);
    EXPECT_TRUE(state().strClickedPath == lst && state().nodClicked == tree().Node(lst));
    EXPECT_TRUE(form().Timer2->isActive());  // the preview returns later
    Click(a);
    EXPECT_EQ(state().strClickedFile + "|" + state().strClickedPath, a + "|" + lst);  // path kept
    EXPECT_EQ(form().Panel(1)->text() + "/" + form().Panel(2)->text(), "Song A/Artist A");
    EXPECT_EQ(form().windowTitle(), "Quorvane - " + a);
    menus().mnTreeExpand->setVisible(false);  // as a drop on the playlist leaves it
    menus().sp40->setVisible(false);
    qv::TreeNode* pop = tree().Node(root + "/Pop");
    p.dialogs.menuChoices = {"mnTreeExpand", "mnTreeExpand", ""};
    Click(root + "/Pop");
    EXPECT_EQ(form().windowTitle() + "|" + state().strClickedPath,
              "Quorvane - " + root + "/Pop|" + root + "/Pop");
    EXPECT_TRUE(menus().mnTreeExpand->isVisible() && menus().sp40->isVisible() &&
                !pop->isExpanded());
    Click(root + "/Pop", Qt::RightButton);  // either button
    EXPECT_TRUE(pop->isExpanded());
    // The second half of a right double-click folds nothing (Qt's view
    // would), and the middle button clicks no node.
    const QPoint at = tree().NodeRect(pop).center();
    QTest::mouseDClick(tree().viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(tree().viewport(), Qt::RightButton, {}, at);
    QTest::mouseClick(tree().viewport(), Qt::MiddleButton, {}, at);
    EXPECT_TRUE(pop->isExpanded());
    Click(root);  // the scan root is a folder node too; dismissed
    EXPECT_EQ(p.dialogs.poppedMenus,
              QStringList({"mnNodePL", "mnClickNodeMedia"}) + QStringList(3, "mnAddListDrop"));
    EXPECT_EQ(state().nodClicked, tree().Node(root));
    // A drag carries the selected node's key, or a marker for a fixed node.
    tree().clearSelection();
    EXPECT_EQ(qv::TV1_OLEStartDrag(state()), nullptr);
    QStringList dragged;
    for (const QString& key :
         QStringList{"root", "RegisteredPlayList", "SearchedMedia", root + "/Pop", lst}) {
        tree().SetCurrentNode(tree().Node(key));
        dragged << std::unique_ptr<QMimeData>(qv::TV1_OLEStartDrag(state()))->text();
    }
    EXPECT_EQ(dragged, QStringList({"OLEDropAllMedia", "OLEDropRegisteredPlayList",
                                    "OLEDropSearchedMedia", root + "/Pop", lst}));
}

// The context-menu key and Shift+F10 click the current node: its real popup opens below its
// row and is answered by keys, so the keyboard alone adds a file (and it plays, as nothing did).
TEST_F(LibraryTree, TheMenuKeysOpenTheCurrentNodesPopupBelowItsRow) {
    qv::QtDialogs real;
    p.dialogs.popupsTo = &real;
    state().objMediaPlay->PlayState(qv::PlayerState::Stopped);
    QStringList seen;
    // Makes the node current and presses the keys; the popup they open (if any) is noted and
    // answered with Down pressed `downs` times, then Return.
    const auto press = [&](const QString& key, QKeyCombination keys, int downs) {
        tree().SetCurrentNode(tree().Node(key));
        const QRect row = tree().NodeRect(tree().Node(key));
        const QPoint below = tree().viewport()->mapToGlobal(row.bottomLeft());
        QTimer::singleShot(50, [&seen, below, downs] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen << menu->title() + (menu->pos() == below ? "" : " elsewhere");
                for (int i = 0; i < downs; ++i) QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        QTest::keyClick(&tree(), keys.key(), keys.keyboardModifiers());
        QTest::qWait(100);
    };
    press(a, Qt::Key_Menu, 2);
    tree().Node(root + "/Pop")->setExpanded(false);
    press(root + "/Pop", Qt::ShiftModifier | Qt::Key_F10, 1);
    press(b, Qt::Key_F10, 2);  // F10 alone is no menu key
    EXPECT_EQ(seen, QStringList({"クリックノード", "ドロップファイル"}));
    EXPECT_EQ(qvtest::PlayListPaths(state()), QStringList({a}));
    EXPECT_TRUE(state().objMediaPlay->PlayState() == qv::PlayerState::Playing &&
                tree().Node(root + "/Pop")->isExpanded());
}

TEST_F(LibraryTree,
       NodesWhosePathsVanishedGoWithTheirSubtreeAndDroppedFilesScanTheFirstOnesFolder) {
    QFile::remove(a);
    Click(a);
    EXPECT_EQ(form().windowTitle(), "Quorvane - " + a);
    p.dialogs.menuChoices = {""};
    Click(root + "/Pop/Deep");  // remembered as the expand item's node
    QDir(root + "/Pop").removeRecursively();
    Click(root + "/Pop");
    EXPECT_EQ(p.dialogs.poppedMenus, QStringList({"mnAddListDrop"}));
    EXPECT_EQ(Keys(), QStringList({root}));
    // The fixed nodes, the playlist's and the root's.
    EXPECT_TRUE(tree().NodeCount() == 5 && !state().nodClicked);
    qv::mnTreeExpand_Click(state());                        // nothing left to toggle, and no crash
    EXPECT_TRUE(qvtest::ReadAll(db).contains(c.toUtf8()));  // the library file keeps the paths
    // Files dropped on the tree scan the first item's folder.
    const QString other = p.folder() + "Other", third = p.folder() + "Third";
    const QString o = Make("Other/sub/o.au"), t = Make("Third/t.mp3");
    QWidget* view = tree().viewport();
    Drop(view, {o});
    EXPECT_EQ(form().Text1->text(), other + "/sub/");
    QApplication::processEvents();  // the scan starts once the drop is answered
    EXPECT_TRUE(ScanEnds());
    EXPECT_EQ(tree().Node(o)->parent()->parent(), tree().Node("SearchedMedia"));
    EXPECT_FALSE(Drop(view, {}, third));  // only a file list counts
    QApplication::processEvents();
    EXPECT_FALSE(tree().Node(third));
    // A missing file keeps the box, yet presses the button: the box's folder is scanned.
    form().Text1->setText(third);
    Drop(view, {p.folder() + "gone.mp3"});
    QApplication::processEvents();
    EXPECT_TRUE(ScanEnds());
    EXPECT_TRUE(form().Text1->text() == third && tree().Node(t));
}

TEST_F(LibraryTree, AddItemStartsPlayingOnlyWhenIdleAndPlayItemPlaysOutsideTheList) {
    state().objMediaPlay->PlayState(qv::PlayerState::Stopped);
    p.dialogs.menuChoices = QStringList(3, "mnClickNodeMediaAdd") << "mnClickNodeMediaPlay";
    Click(b);
    EXPECT_EQ(state().objMediaPlay->PlayState(), qv::PlayerState::Playing);
    Click(c);  // while playing: only added
    state().objMediaPlay->PlayState(qv::PlayerState::Ready);
    Click(b);  // already listed: not added again, but the last entry plays
    EXPECT_EQ(state().objMediaPlay->PlayingID(), 1);
    form().Timer2->start();
    state().objMediaPlay->SetVolume(640);
    p.mci.commands.clear();
    Click(a);
    EXPECT_EQ(p.mci.commands.mid(0, 6),
              QStringList({"stop PlayData", "seek PlayData to start", "close PlayData",
                           "open " + a + " type MPEGVideo alias PlayData",
                           "setaudio PlayData volume to 640", "play PlayData"}));
    EXPECT_TRUE(!form().Timer2->isActive() && form().Panel(1)->text() == "> Song A");
    EXPECT_EQ(QList<int>({state().objMediaPlay->PlayingID(), form().lstPL->currentRow()}),
              QList<int>({1, 1}));
    EXPECT_EQ(qvtest::PlayListPaths(state()), QStringList({b, c}));
    // What the desktop is told plays: the tree's file, until an entry opens again; and
    // that entry while it stays open, also when its line is removed (paused, it stays).
    EXPECT_EQ(state().objMediaPlay->CurrentPath(), a);
    state().objMediaPlay->OpenPlay(0);
    state().objMediaPlay->Pause();
    state().objPlayList->SetListIndex(0);
    qv::lblRemove_Click(state());
    EXPECT_EQ(qvtest::PlayListPaths(state()), QStringList({c}));
    EXPECT_EQ(state().objMediaPlay->CurrentPath(), b);
}

}  // namespace
