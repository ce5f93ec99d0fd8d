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
#include <tuple>

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

TEST_F(Tree, LongPathGivesTheStoredSpellingOrNothing) {
    QString doubled = root;
    doubled.replace(u'/', QStringLiteral("//"));
    // Input below root (or whole when it starts with "/"), expected below root ("" for missing).
    const std::pair<QString, QString> cases[] = {
        {"my music", "My Music"},
        {"MY MUSIC/song one.mp3", "My Music/Song One.MP3"},
        {"My Music/Song One.MP3", "My Music/Song One.MP3"},  // already canonical
        {QStringLiteral("音楽/曲.MP3"), QStringLiteral("音楽/曲.mp3")},
        {QStringLiteral("ａｂｃ/X.TXT"), QStringLiteral("ＡＢＣ/x.txt")},  // full-width letters
        // Dots and separators fold, a trailing separator stays; ".." folds even
        // over a name that does not exist, as on Windows.
        {"my music/", "My Music/"},
        {"my music/.", "My Music"},
        {"my music/./", "My Music/"},
        {QStringLiteral("./my music/../音楽/./曲.mp3"), QStringLiteral("音楽/曲.mp3")},
        {"missing/../my music", "My Music"},
        {doubled + "my music//song one.mp3", "My Music/Song One.MP3"},
        // Letter-case twins: the exact name first, else the first in byte
        // order ("FOO" < "Foo") whatever order the folder lists them in.
        {"case/Foo/a", "Case/Foo/a"},
        {"case/FOO/a", "Case/FOO/a"},
        {"Case/fOo.txt", "Case/fOo.txt"},
        {"case/foo/a", "Case/FOO/a"},
        {"case/foo/", "Case/FOO/"},
        {"case/FOO.TXT", "Case/fOo.txt"},
        // Links keep their own names; ".." goes back over the link's name.
        {"LINK/song one.mp3", "link/Song One.MP3"},
        {"link/", "link/"},
        {"Song-Link.MP3", "song-link.mp3"},
        {"link/../case", "Case"},
        // Missing paths, a file taken as a folder, a dead link, a NUL that
        // would cut the path short for the system.
        {"missing", ""},
        {QStringLiteral("missing/曲.mp3"), ""},
        {"my music/missing.mp3", ""},
        {"my music/song one.mp3/", ""},
        {"my music/song one.mp3/more", ""},
        {"dead", ""},
        {"My Music" + QString(QChar(0)) + "junk", ""},
    };
    for (const auto& [in, out] : cases) {
        const QString path = in.startsWith(u'/') ? in : root + in;
        EXPECT_EQ(GetLongPath(path), out.isEmpty() ? QString() : root + out) << in.toStdString();
    }
    // The whole path upper-cased, the temporary folder's own name included.
    EXPECT_EQ(GetLongPath((root + "My Music/Song One.mp3").toUpper()),
              root + "My Music/Song One.MP3");
    for (const char* slash : {"/", "//", "/..", "/../tmp/.."}) EXPECT_EQ(GetLongPath(slash), "/");
    EXPECT_EQ(GetLongPath(""), "");
    EXPECT_FALSE(FileExists(root + "My Music/Song One.MP3" + QChar(0) + ".x"));
    EXPECT_FALSE(FileOrFolderExists(root + "My Music" + QChar(0) + "x"));
}

TEST_F(Tree, LongPathOfARelativePathStaysRelative) {
    WorkingFolder here(root);
    EXPECT_EQ(GetLongPath("my music/SONG ONE.mp3"), "My Music/Song One.MP3");
    EXPECT_EQ(GetLongPath(QStringLiteral("./音楽/../my music/")), "My Music/");
    const QString self = QDir(root).dirName();
    EXPECT_EQ(GetLongPath("../" + self.toUpper() + "/case"), "../" + self + "/Case");
    EXPECT_EQ(GetLongPath("missing"), "");
}

TEST_F(Tree, ExistenceTestsTakeVisibleFilesAndFolders) {
    // Path below root (whole when it starts with "/"), file test, folder-or-file test.
    const std::tuple<QString, bool, bool> cases[] = {
        {"My Music/Song One.MP3", true, true},
        {QStringLiteral("音楽/曲.mp3"), true, true},
        {"song-link.mp3", true, true},        // a link to a file
        {".config/visible.mp3", true, true},  // only its own name counts
        {"My Music/./Song One.MP3", true, true},
        {"My Music", false, true},
        {"My Music/", false, true},
        {"link", false, true},
        {"/", false, true},
        {".config", false, false},
        {".config/", false, false},
        {".hidden.mp3", false, false},
        {"fifo", false, false},
        {"fifo-link", false, false},
        {"/dev/null", false, false},
        {"dead", false, false},
        {"missing.mp3", false, false},
        {"my music/song one.mp3", false, false},  // the name as stored only
        {"My Music/Song One.MP3/", false, false},
    };
    for (const auto& [in, file, any] : cases) {
        const QString path = in.startsWith(u'/') ? in : root + in;
        EXPECT_EQ(FileExists(path), file) << in.toStdString();
        EXPECT_EQ(FileOrFolderExists(path), any) << in.toStdString();
    }
    EXPECT_FALSE(FileExists(""));
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
