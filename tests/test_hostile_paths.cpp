// Real files with hostile names (blanks, quotes, backslashes, dashes, shell text, 4,000 bytes,
// names code page 932 cannot hold, line ends, bytes that are not UTF-8) through the command
// line, the scan, the library file, playlist files, Setting.ini, drops and the media control.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "library/folder_box.h"
#include "library/media_db.h"
#include "library/scan.h"
#include "library/tree_handlers.h"
#include "library_support.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/textfile.h"
#include "playback/mod_mci.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_drop.h"
#include "playlist/playlist_file.h"
#include "program/command_line.h"
#include "support/fake_media_device.h"
#include "support/qt_print.h"

namespace {

// Names the program's files can hold exactly, and names they cannot.
const QList<QByteArray> kStorable =
    QByteArray(
        "a  b .mp3|say \"hi\".mp3|q\" \"r.wav|back\\slash.mp3|-x.mp3|--help.mid|"
        "$(touch pwned);`touch pwned`.mp3|日本語①ｶﾅ.mp3|café 😀.au|" +
        (QByteArray(250, 'L') + '/').repeated(15) + "deep.mp3")
        .split('|');
const QByteArray kUnstorable[] = {"line\nbreak.mp3", "cr\rx.wav", "bad\xff\xfe.mp3"};

// Every entry under folder, sorted (names that are not UTF-8 as well as Qt shows them).
QStringList Tree(const QString& folder) {
    QStringList all;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        all.append(it.next());
    all.sort();
    return all;
}

class HostilePaths : public ::testing::Test {
  protected:
    void SetUp() override {
        p.MakeObjects();
        qvtest::AddFixedNodes(*form().TV1);
        for (const QByteArray& name : kStorable) storable.append(Make(name));
        for (const QByteArray& name : kUnstorable) unstorable.append(Make(name));
        before = Tree(media.path());
    }
    void TearDown() override {
        // Nothing made, moved or run in the media folder or the working folder.
        EXPECT_EQ(Tree(media.path()), before);
        EXPECT_FALSE(QFile::exists("pwned"));
        // Qt cannot reach a name that is not UTF-8 to remove it.
        ::unlink((QFile::encodeName(media.path()) + kUnstorable[2]).constData());
    }
    // Creates the file (and its folders) by its bytes; returns its path.
    QString Make(const QByteArray& name) {
        const QByteArray path = QFile::encodeName(media.path()) + name;
        QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/'))));
        ::close(::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        return QFile::decodeName(path);
    }
    qv::frmQuorvane& form() { return *p.state->mainForm; }
    // The one message box asked since the last call, which must name every path given.
    void ExpectReported(const QStringList& paths) {
        ASSERT_EQ(p.dialogs.asked.size(), 1);
        const QString shown =
            p.dialogs.asked.takeFirst().prompt.replace("\\n", "\n").replace("\\r", "\r");
        for (const QString& path : paths) EXPECT_TRUE(shown.contains(path)) << path.toStdString();
    }

    qvtest::TestProgram p;
    qvtest::TempDir media;
    QStringList storable, unstorable, before;
};

// The command line, drops, the scan, the library file, playlist files, Setting.ini and the
// media control keep every storable path exactly and name those they cannot keep.
TEST_F(HostilePaths, EveryWayInTakesWhatItCanKeepExactlyAndNamesTheRest) {
    // The command line takes what it can carry.
    std::vector<QByteArray> bytes{"quorvane"};
    for (const QString& path : storable + unstorable) bytes.push_back(QFile::encodeName(path));
    bytes.back() = QFile::encodeName(media.path()) + kUnstorable[2];  // the raw bytes
    bytes.push_back("/" + QByteArray(5000, 'x') + ".mp3");            // no file system's path
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    QStringList refused;
    const QStringList decoded = qv::DecodeArguments(int(argv.size()), argv.data(), &refused);
    EXPECT_TRUE(decoded == storable && refused.size() == 4);
    // One argument would come back in two pieces from the quoted argument text.
    refused.clear();
    const QStringList carried = qv::CarriedArguments(decoded, &refused);
    EXPECT_EQ(refused, QStringList{storable[2]});
    EXPECT_EQ(qv::SplitCommandLine(qv::ArgumentText(carried)), carried);
    qvtest::TestProgram started;
    started.Start(qv::ArgumentText(carried));
    EXPECT_EQ(qvtest::PlayListPaths(*started.state), carried);
    // A relative path with a leading dash is a file, made absolute.
    EXPECT_EQ(qv::AbsoluteArguments({"-x.mp3"}, media.path()), QStringList{storable[4]});

    // Drops of paths that cannot be kept are named and scan nothing.
    for (const QString& path : storable) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        qv::Text1_OLEDragDrop(*p.state, data);
        EXPECT_EQ(form().Text1->text(), qv::DroppedFolder(path));
    }
    form().Text1->setText("unchanged");
    const QUrl bad =
        QUrl::fromEncoded("file://" + QFile::encodeName(media.path()).toPercentEncoding("/") +
                          QByteArray(kUnstorable[2]).toPercentEncoding());
    for (const QUrl& url : {QUrl::fromLocalFile(unstorable[0]), bad}) {
        QMimeData data;
        data.setUrls({url});
        qv::Text1_OLEDragDrop(*p.state, data);
        ExpectReported({url.toLocalFile()});
        qv::TV1_OLEDragDrop(*p.state, data);
        ExpectReported({url.toLocalFile()});
        QCoreApplication::processEvents();
        EXPECT_EQ(form().Text1->text(), "unchanged");  // nor a scan of it: the next check
    }
    // On the playlist: the file it can keep is added, the two it cannot are named together,
    // and so is a dropped text naming a file with a line end.
    QMimeData many;
    many.setUrls({QUrl::fromLocalFile(unstorable[0]), QUrl::fromLocalFile(storable[0]), bad});
    qv::lstPL_OLEDragDrop(*p.state, many);
    ExpectReported({unstorable[0], bad.toLocalFile()});
    qv::DropTextOnPlayList(*p.state, unstorable[1]);
    ExpectReported({unstorable[1]});
    EXPECT_EQ(qvtest::PlayListPaths(*p.state), QStringList{storable[0]});
    // A folder box holding a line end (typed or pasted) is not scanned into the library file.
    QString folder = media.path() + "odd\nfolder";
    ASSERT_TRUE(QDir().mkpath(folder));
    qv::ScanFolder(*p.state, *form().TV1, form(), folder, true);
    ExpectReported({folder});
    EXPECT_FALSE(QFile::exists(qv::MediaDBPath(*p.state)));
    QDir(folder).removeRecursively();

    QString root = media.path();
    qv::ScanFolder(*p.state, *form().TV1, form(), root, true);
    while (qv::ScanRunning(*p.state))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ExpectReported(unstorable);
    // The library file holds the header and every storable path, whole, one a line.
    QStringList lines = *qv::ReadTextFile(qv::MediaDBPath(*p.state)), expected = storable;
    expected.append("[" + root.chopped(1) + "]");
    lines.sort();
    expected.sort();
    EXPECT_EQ(lines, expected);
    qv::TreeView loaded;
    qvtest::AddFixedNodes(loaded);
    qv::LoadMediaDB(*p.state, loaded);
    for (const QString& path : storable) EXPECT_TRUE(loaded.Node(path)) << path.toStdString();

    for (const auto& path : storable + unstorable.mid(0, 2))
        p.state->objPlayList->AddToPlayList(path);
    const QString lst = p.folder() + "PlayLists/hostile.lst";
    EXPECT_TRUE(qv::SavePlayListFile(*p.state, lst));
    ExpectReported(unstorable.mid(0, 2));
    qvtest::TestProgram next;
    next.MakeObjects();
    EXPECT_EQ(qv::LoadPlayListFile(*next.state, lst), storable.size());
    EXPECT_EQ(qvtest::PlayListPaths(*next.state), storable);

    // Setting.ini and the media control carry the path as it is.
    qvtest::FakeMedia device;
    qv::MciInterpreter mci(device.Factory());
    for (const QString& path : storable) {
        EXPECT_EQ(p.state->ini.WriteIni("File", "LastSearchedPath", path), 1);
        EXPECT_EQ(p.state->ini.ReadIni("File", "LastSearchedPath"), path);
        EXPECT_EQ(qv::MCIOpen(mci, path), 0) << path.toStdString();
        EXPECT_EQ(device.Calls().last(), "open " + path + " " + qv::MciDeviceType(path));
        qv::MCIClose(mci);
    }
    // A line end cannot be stored: the write is refused and the old value stays.
    EXPECT_EQ(p.state->ini.WriteIni("File", "LastSearchedPath", unstorable[0]), 0);
    EXPECT_EQ(p.state->ini.ReadIni("File", "LastSearchedPath"), storable.last());
}

}  // namespace
