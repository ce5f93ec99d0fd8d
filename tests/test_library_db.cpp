// The library file MediaDB.db and the nodes built from it: duplicates by whole
// line, headers written again where needed, damaged lines passed over, code
// page 932 files of the Windows program, and paths it cannot hold.
#include <gtest/gtest.h>

#include <QFile>

#include "library/media_db.h"
#include "library_support.h"
#include "platform/paths.h"
#include "platform/textcodec.h"
#include "support/cp932_python.h"

using qvtest::ReadAll;
using qvtest::Touch;
using qvtest::TreeBelow;

namespace {

class LibraryDbTest : public ::testing::Test {
  protected:
    LibraryDbTest() {
        qvtest::AddFixedNodes(tree);
        qvtest::AddFixedNodes(loaded);
        state().strFoundMedia = QStringList{QString()};
        m = program.folder() + "M";
        QDir().mkpath(m);
    }
    qv::ProgramState& state() { return *program.state; }
    QString db() { return program.folder() + "MediaDB.db"; }
    void WriteDb(const QByteArray& bytes) {
        QFile f(db());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // What the scan driver does around the walk: root node, paths, save.
    void Scan(const QString& root, const QStringList& files) {
        state().strSearchRoot = root;
        state().strFoundMedia = QStringList{QString()};
        qv::AddRootNode(tree, root);
        for (QString f : files) qv::AddMediaNode(state(), tree, f, qv::GetExtension(f).toUpper());
        ASSERT_TRUE(qv::SaveMediaDB(state()));
    }
    QStringList Load() {
        qv::LoadMediaDB(state(), loaded);
        return TreeBelow(loaded);
    }
    QByteArray Lines(const QStringList& lines) {
        QByteArray out;
        for (const QString& l : lines) out += qv::EncodeLine(l) + "\r\n";
        return out;
    }

    qvtest::TestProgram program;
    qv::TreeView tree;
    qv::TreeView loaded;
    QString m;
};

TEST_F(LibraryDbTest, FirstScanWritesHeaderAndPathsThenOnlyNewOnes) {
    const QString a = Touch(m + "/a.mp3"), b = Touch(m + "/Pop/b.wav"), c = Touch(m + "/Pop/c.mid");
    Scan(m, {a, b, c});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", a, b, c}));
    const QStringList expected = {"a.mp3 [7] " + a, "Pop [4] " + m + "/Pop", "  b.wav [6] " + b,
                                  "  c.mid [5] " + c};
    EXPECT_EQ(TreeBelow(tree, m), expected);

    Scan(m, {a, b, c});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", a, b, c}));
    const QString d = Touch(m + "/d.wma");
    Scan(m, {a, b, c, d});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", a, b, c, d}));

    const QStringList restored = Load();
    EXPECT_EQ(restored.first(), m + " [4] " + m);
    EXPECT_EQ(restored.size(), 6);
    EXPECT_EQ(restored.last(), "  d.wma [8] " + d);
}

TEST_F(LibraryDbTest, APathInsideALongerStoredLineIsStillNew) {
    const QString longer = Touch(m + "/a.mp3.wav"), shorter = Touch(m + "/a.mp3");
    Scan(m, {longer});
    Scan(m, {longer, shorter});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", longer, shorter}));
    // A header that is part of a longer header is new as well.
    const QString rock = Touch(m + "/Rock/r.au");
    Touch(program.folder() + "Mx/x.mp3");
    Scan(program.folder() + "Mx", {program.folder() + "Mx/x.mp3"});
    Scan(m + "/Rock", {rock});
    EXPECT_TRUE(ReadAll(db()).endsWith(Lines({"[" + m + "/Rock]", rock})));
}

TEST_F(LibraryDbTest, NewPathsAfterAnotherRootsHeaderGetTheirHeaderAgain) {
    const QString n = program.folder() + "N";
    const QString a = Touch(m + "/a.mp3"), b = Touch(n + "/b.mp3");
    Scan(m, {a});
    Scan(n, {b});
    const QString a2 = Touch(m + "/sub/a2.mp3");
    Scan(m, {a, a2});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", a, "[" + n + "]", b, "[" + m + "]", a2}));
    // Nothing new: no header either.
    Scan(n, {b});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", a, "[" + n + "]", b, "[" + m + "]", a2}));

    const QStringList expected = {m + " [4] " + m,           "  a.mp3 [7] " + a,
                                  "  sub [4] " + m + "/sub", "    a2.mp3 [7] " + a2,
                                  n + " [4] " + n,           "  b.mp3 [7] " + b};
    EXPECT_EQ(Load(), expected);
}

TEST_F(LibraryDbTest, OldFilesWithPathsBehindAnotherRootStillLoadUnderTheirRoot) {
    // Written by a writer that did not repeat the header.
    const QString n = program.folder() + "N";
    const QString a = Touch(m + "/a.mp3"), b = Touch(n + "/b.mp3"), a2 = Touch(m + "/x/a2.mid");
    WriteDb(Lines({"[" + m + "]", a, "[" + n + "]", b, a2}));
    const QStringList expected = {m + " [4] " + m,        "  a.mp3 [7] " + a, "  x [4] " + m + "/x",
                                  "    a2.mid [5] " + a2, n + " [4] " + n,    "  b.mp3 [7] " + b};
    EXPECT_EQ(Load(), expected);
}

TEST_F(LibraryDbTest, ARootInsideAnEarlierRootUsesTheFolderNode) {
    const QString a = Touch(m + "/a.mp3"), r = Touch(m + "/Rock/r.mp3");
    Scan(m, {a, r});
    Scan(m + "/Rock", {r});
    // The header is new; the path is known.
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", a, r, "[" + m + "/Rock]"}));
    EXPECT_EQ(tree.Node(m + "/Rock")->parent(), tree.Node(m));
    // The other way round: the inner root stays a direct child of SearchedMedia.
    const QStringList expected = {m + " [4] " + m, "  a.mp3 [7] " + a, "  Rock [4] " + m + "/Rock",
                                  "    r.mp3 [7] " + r};
    EXPECT_EQ(Load(), expected);
}

TEST_F(LibraryDbTest, UnusableLinesAreSkippedAndReadingGoesOn) {
    const QString a = Touch(m + "/a.mp3"), b = Touch(m + "/b.mp3");
    QByteArray bytes = Lines({"[", "[" + m + "]", a, "", "["}) + "\xff\xfe\r\n" + Lines({b});
    WriteDb(bytes);
    EXPECT_EQ(Load(), QStringList({m + " [4] " + m, "  a.mp3 [7] " + a, "  b.mp3 [7] " + b}));
}

TEST_F(LibraryDbTest, AHeaderLosesItsLastCharacterWhateverItIs) {
    const QString musi = program.folder() + "Musi";
    const QString a = Touch(musi + "/a.mp3");
    WriteDb(Lines({"[" + musi + "c", a}));
    EXPECT_EQ(Load(), QStringList({musi + " [4] " + musi, "  a.mp3 [7] " + a}));
}

TEST_F(LibraryDbTest, TheWindowsProgramsCodePage932FileLoads) {
    // Half-width katakana alone are valid UTF-8 as well in code page 932
    // (ﾗｼﾞｵ is D7 BC DE B5): the root of the header among them.
    const QString root = m + QStringLiteral("/ﾗｼﾞｵ");
    const QString a = Touch(root + QStringLiteral("/邦楽/ｶﾀｶﾅ/曲①.mp3"));
    const QString b = Touch(root + QStringLiteral("/ﾏｲ ﾗｼﾞｵ.mid"));
    const QString c = Touch(root + QStringLiteral("/新.wav"));
    const QByteArray bytes = qvtest::Cp932FileByPython({"[" + root + "]", a, b});
    WriteDb(bytes);
    const QStringList expected = {
        root + " [4] " + root, QStringLiteral("  邦楽 [4] ") + root + "/邦楽",
        QStringLiteral("    ｶﾀｶﾅ [4] ") + root + "/邦楽/ｶﾀｶﾅ",
        QStringLiteral("      曲①.mp3 [7] ") + a, QStringLiteral("  ﾏｲ ﾗｼﾞｵ.mid [5] ") + b};
    EXPECT_EQ(Load(), expected);
    // A later scan appends only what is new, in the same code page, and keeps the old bytes.
    Scan(root, {a, b, c});
    EXPECT_EQ(ReadAll(db()), qvtest::Cp932FileByPython({"[" + root + "]", a, b, c}));
}

TEST_F(LibraryDbTest, PathsCodePage932CannotHoldRoundTrip) {
    const QString a = Touch(m + QStringLiteral("/Café/naïve 🎵.mp3"));
    Scan(m, {a});
    const QByteArray bytes = ReadAll(db());
    EXPECT_TRUE(bytes.contains(a.toUtf8() + "\r\n"));
    const QStringList expected = {m + " [4] " + m, QStringLiteral("  Café [4] ") + m + "/Café",
                                  QStringLiteral("    naïve 🎵.mp3 [7] ") + a};
    EXPECT_EQ(Load(), expected);
    Scan(m, {a});
    EXPECT_EQ(ReadAll(db()), bytes);
}

TEST_F(LibraryDbTest, DeletedFilesAndTheirFoldersAreNotShown) {
    const QString a = Touch(m + "/gone/deep/a.mp3"), b = Touch(m + "/kept/b.mp3"),
                  c = Touch(m + "/kept/old/c.mp3");
    Scan(m, {a, b, c});
    QFile::remove(a);
    QFile::remove(c);
    EXPECT_EQ(Load(),
              QStringList({m + " [4] " + m, "  kept [4] " + m + "/kept", "    b.mp3 [7] " + b}));
}

TEST_F(LibraryDbTest, OtherKindsMakeFolderNodesButNoFileNode) {
    const QString a = Touch(m + "/docs/readme.txt");
    WriteDb(Lines({"[" + m + "]", a}));
    EXPECT_EQ(Load(), QStringList({m + " [4] " + m, "  docs [4] " + m + "/docs"}));
}

TEST_F(LibraryDbTest, AScanThatFindsNothing) {
    Scan(m, {});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", ""}));
    Scan(m, {});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", ""}));
    const QString n = program.folder() + "N";
    QDir().mkpath(n);
    Scan(n, {});
    EXPECT_EQ(ReadAll(db()), Lines({"[" + m + "]", "", "[" + n + "]"}));
}

TEST_F(LibraryDbTest, AVanishedHeaderDropsOnlyItsOwnPaths) {
    const QString a = Touch(m + "/a.mp3"), gone = program.folder() + "gone";
    WriteDb(Lines({"[" + m + "]", "[" + gone + "]", gone + "/x.mp3", a}));
    EXPECT_EQ(Load(), QStringList({m + " [4] " + m, "  a.mp3 [7] " + a}));
}

TEST_F(LibraryDbTest, ALibraryFileThatCannotBeReadIsNotAppendedTo) {
    // A folder in the file's place cannot be read: appending blind would
    // write every known path again, so nothing is written and the save fails.
    QDir().mkpath(db());
    state().strSearchRoot = m;
    state().strFoundMedia = QStringList{Touch(m + "/a.mp3")};
    EXPECT_FALSE(qv::SaveMediaDB(state()));
    EXPECT_TRUE(QFileInfo(db()).isDir());
}

TEST_F(LibraryDbTest, AHundredThousandLineLibraryTakesOnlyTheNewPath) {
    QStringList lines = {"[" + m + "]"};
    for (int i = 0; i < 100000; ++i) lines.append(m + QStringLiteral("/f%1.mp3").arg(i));
    WriteDb(Lines(lines));
    state().strSearchRoot = m;
    state().strFoundMedia = lines.mid(1, 50000);
    state().strFoundMedia.append(m + "/f1.mp");  // a prefix of stored lines
    ASSERT_TRUE(qv::SaveMediaDB(state()));
    lines.append(m + "/f1.mp");
    EXPECT_EQ(ReadAll(db()), Lines(lines));
}

}  // namespace

namespace {

TEST_F(LibraryDbTest, TheFileSystemRootIsKeyedSlash) {
    // "/" is the root folder's key and text; its files and folders hang below it.
    EXPECT_EQ(qv::SearchRootOf("/"), "/");
    EXPECT_EQ(qv::SearchRootOf(m + "/"), m);
    qv::AddRootNode(tree, "/");
    qv::AddCanonicalMediaNode(state(), tree, "/x.mp3", "MP3", "/", true);
    qv::AddCanonicalMediaNode(state(), tree, "/srv/y.wav", "WAV", "/", true);
    EXPECT_EQ(TreeBelow(tree), QStringList({"/ [4] /", "  x.mp3 [7] /x.mp3", "  srv [4] /srv",
                                            "    y.wav [6] /srv/y.wav"}));
    EXPECT_EQ(state().strFoundMedia, QStringList({"/x.mp3", "/srv/y.wav"}));
}

}  // namespace
