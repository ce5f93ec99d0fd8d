// The canonical spelling of paths and the existence tests, on a real folder
// tree with blanks, Japanese names, letter-case twins, links and special files.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cstring>

#include "platform/filesystem.h"
#include "support/qt_print.h"
#include "support/tempdir.h"

using namespace qv;
using qvtest::TempDir;

namespace {

class Tree : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path();
        dir.write("My Music/Song One.MP3", "x");
        dir.write(QStringLiteral("音楽/曲.mp3"), "x");
        dir.write(QStringLiteral("ＡＢＣ/x.txt"), "x");
        // Twins that differ only in letter case.
        dir.write("Case/Foo/a", "x");
        dir.write("Case/FOO/a", "x");
        dir.write("Case/fOo.txt", "x");
        dir.write(".config/visible.mp3", "x");
        dir.write(".hidden.mp3", "x");
        ASSERT_TRUE(QFile::link("My Music", root + "link"));
        ASSERT_TRUE(QFile::link("nowhere", root + "dead"));
        ASSERT_TRUE(QFile::link("My Music/Song One.MP3", root + "song-link.mp3"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(root + "fifo").constData(), 0600), 0);
        ASSERT_TRUE(QFile::link("fifo", root + "fifo-link"));
    }

    TempDir dir;
    QString root;  // ends in "/"
};

// Changes the working folder for one test.
class WorkingFolder {
  public:
    explicit WorkingFolder(const QString& folder) : old_(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~WorkingFolder() { QDir::setCurrent(old_); }

  private:
    QString old_;
};

}  // namespace

TEST_F(Tree, LongPathGivesTheStoredSpelling) {
    EXPECT_EQ(GetLongPath(root + "my music"), root + "My Music");
    EXPECT_EQ(GetLongPath(root + "MY MUSIC/song one.mp3"), root + "My Music/Song One.MP3");
    // The whole path upper-cased, the temporary folder's own name included.
    EXPECT_EQ(GetLongPath((root + "My Music/Song One.mp3").toUpper()),
              root + "My Music/Song One.MP3");
    EXPECT_EQ(GetLongPath(root + QStringLiteral("音楽/曲.MP3")),
              root + QStringLiteral("音楽/曲.mp3"));
    // Full-width letters have a letter case too.
    EXPECT_EQ(GetLongPath(root + QStringLiteral("ａｂｃ/X.TXT")),
              root + QStringLiteral("ＡＢＣ/x.txt"));
    // Already canonical: unchanged.
    EXPECT_EQ(GetLongPath(root + "My Music/Song One.MP3"), root + "My Music/Song One.MP3");
}

TEST_F(Tree, LongPathFoldsDotsSeparatorsAndKeepsATrailingOne) {
    EXPECT_EQ(GetLongPath(root + "my music/"), root + "My Music/");
    EXPECT_EQ(GetLongPath(root + "my music/."), root + "My Music");
    EXPECT_EQ(GetLongPath(root + "my music/./"), root + "My Music/");
    EXPECT_EQ(GetLongPath(root + QStringLiteral("./my music/../音楽/./曲.mp3")),
              root + QStringLiteral("音楽/曲.mp3"));
    // ".." folds even over a name that does not exist, as on Windows.
    EXPECT_EQ(GetLongPath(root + "missing/../my music"), root + "My Music");
    QString doubled = root;
    doubled.replace(u'/', QStringLiteral("//"));
    EXPECT_EQ(GetLongPath(doubled + "my music//song one.mp3"), root + "My Music/Song One.MP3");
    // A file is no folder.
    EXPECT_EQ(GetLongPath(root + "my music/song one.mp3/"), "");
    EXPECT_EQ(GetLongPath("/"), "/");
    EXPECT_EQ(GetLongPath("//"), "/");
    EXPECT_EQ(GetLongPath("/.."), "/");
    EXPECT_EQ(GetLongPath("/../tmp/.."), "/");
}

TEST_F(Tree, LongPathOfMissingPathsIsEmpty) {
    EXPECT_EQ(GetLongPath(root + "missing"), "");
    EXPECT_EQ(GetLongPath(root + QStringLiteral("missing/曲.mp3")), "");
    EXPECT_EQ(GetLongPath(root + "my music/missing.mp3"), "");
    EXPECT_EQ(GetLongPath(root + "my music/song one.mp3/more"), "");
    EXPECT_EQ(GetLongPath(root + "dead"), "");  // a link to nothing
    EXPECT_EQ(GetLongPath(""), "");
    // A NUL would cut the path short for the system: "/…/My Music" exists.
    EXPECT_EQ(GetLongPath(root + "My Music" + QChar(0) + "junk"), "");
    EXPECT_FALSE(FileExists(root + "My Music/Song One.MP3" + QChar(0) + ".x"));
    EXPECT_FALSE(FileOrFolderExists(root + "My Music" + QChar(0) + "x"));
}

TEST_F(Tree, LongPathPrefersTheExactNameAmongCaseTwins) {
    EXPECT_EQ(GetLongPath(root + "case/Foo/a"), root + "Case/Foo/a");
    EXPECT_EQ(GetLongPath(root + "case/FOO/a"), root + "Case/FOO/a");
    EXPECT_EQ(GetLongPath(root + "Case/fOo.txt"), root + "Case/fOo.txt");
    // No exact match and two that ignore case: the first in byte order
    // ("FOO" < "Foo"), whatever order the folder lists its entries in.
    EXPECT_EQ(GetLongPath(root + "case/foo/a"), root + "Case/FOO/a");
    EXPECT_EQ(GetLongPath(root + "case/foo/"), root + "Case/FOO/");
    EXPECT_EQ(GetLongPath(root + "case/FOO.TXT"), root + "Case/fOo.txt");
}

TEST_F(Tree, LongPathKeepsSymbolicLinks) {
    EXPECT_EQ(GetLongPath(root + "LINK/song one.mp3"), root + "link/Song One.MP3");
    EXPECT_EQ(GetLongPath(root + "link/"), root + "link/");
    EXPECT_EQ(GetLongPath(root + "Song-Link.MP3"), root + "song-link.mp3");
    // ".." goes back over the link's name, not to the parent of its target.
    EXPECT_EQ(GetLongPath(root + "link/../case"), root + "Case");
}

TEST_F(Tree, LongPathOfARelativePathStaysRelative) {
    WorkingFolder here(root);
    EXPECT_EQ(GetLongPath("my music/SONG ONE.mp3"), "My Music/Song One.MP3");
    EXPECT_EQ(GetLongPath(QStringLiteral("./音楽/../my music/")), "My Music/");
    const QString self = QDir(root).dirName();
    EXPECT_EQ(GetLongPath("../" + self.toUpper() + "/case"), "../" + self + "/Case");
    EXPECT_EQ(GetLongPath("missing"), "");
}

TEST_F(Tree, FileTestTakesVisibleRegularFilesOnly) {
    EXPECT_TRUE(FileExists(root + "My Music/Song One.MP3"));
    EXPECT_TRUE(FileExists(root + QStringLiteral("音楽/曲.mp3")));
    EXPECT_TRUE(FileExists(root + "song-link.mp3"));        // a link to a file
    EXPECT_TRUE(FileExists(root + ".config/visible.mp3"));  // only its own name counts
    EXPECT_TRUE(FileExists(root + "My Music/./Song One.MP3"));

    EXPECT_FALSE(FileExists(root + "My Music"));  // a folder
    EXPECT_FALSE(FileExists(root + ".hidden.mp3"));
    EXPECT_FALSE(FileExists(root + "fifo"));
    EXPECT_FALSE(FileExists(root + "fifo-link"));
    EXPECT_FALSE(FileExists("/dev/null"));
    EXPECT_FALSE(FileExists(root + "dead"));
    EXPECT_FALSE(FileExists(root + "missing.mp3"));
    EXPECT_FALSE(FileExists(root + "my music/song one.mp3"));  // the name as stored only
    EXPECT_FALSE(FileExists(root + "My Music/Song One.MP3/"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/"));
}

TEST_F(Tree, FolderOrFileTestTakesVisibleFoldersToo) {
    EXPECT_TRUE(FileOrFolderExists(root + "My Music"));
    EXPECT_TRUE(FileOrFolderExists(root + "My Music/"));
    EXPECT_TRUE(FileOrFolderExists(root + "link"));
    EXPECT_TRUE(FileOrFolderExists(root + "My Music/Song One.MP3"));
    EXPECT_TRUE(FileOrFolderExists(root + ".config/visible.mp3"));
    EXPECT_TRUE(FileOrFolderExists("/"));

    EXPECT_FALSE(FileOrFolderExists(root + ".config"));
    EXPECT_FALSE(FileOrFolderExists(root + ".config/"));
    EXPECT_FALSE(FileOrFolderExists(root + ".hidden.mp3"));
    EXPECT_FALSE(FileOrFolderExists(root + "fifo"));
    EXPECT_FALSE(FileOrFolderExists("/dev/null"));
    EXPECT_FALSE(FileOrFolderExists(root + "My Music/Song One.MP3/"));
    EXPECT_FALSE(FileOrFolderExists(root + "missing"));
    EXPECT_FALSE(FileOrFolderExists(""));
}

TEST_F(Tree, SocketsAreSystemEntries) {
    const QByteArray path = QFile::encodeName(root + "sock");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_FALSE(FileExists(root + "sock"));
    EXPECT_FALSE(FileOrFolderExists(root + "sock"));
    EXPECT_EQ(GetLongPath(root + "SOCK"), root + "sock");  // it exists, all the same
    ::close(fd);
}

TEST_F(Tree, ShortPathIsTheFileItself) {
    EXPECT_EQ(GetShortPath(root + "My Music/Song One.MP3"), root + "My Music/Song One.MP3");
    EXPECT_EQ(GetShortPath(root + "My Music"), "");
    EXPECT_EQ(GetShortPath(root + "missing.mp3"), "");
}
