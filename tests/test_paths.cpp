// The pure path helpers at their edges: no dot, no separator, a trailing
// separator, a dot in a folder name.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/qt_print.h"

using namespace qv;

TEST(Paths, Extension) {
    EXPECT_EQ(GetExtension("/Music/song.mp3"), "mp3");
    EXPECT_EQ(GetExtension("/Music/song"), "");
    EXPECT_EQ(GetExtension("/Music/song."), "");
    // The last dot lies in a folder name: everything after it.
    EXPECT_EQ(GetExtension("/My.Music/song"), "Music/song");
    EXPECT_EQ(GetExtension("a.b.c"), "c");
    EXPECT_EQ(GetExtension("/Music/SONG.Mp3"), "Mp3");  // case kept
    EXPECT_EQ(GetExtension(QStringLiteral("/音楽/曲.ＭＰ３")), QStringLiteral("ＭＰ３"));
    EXPECT_EQ(GetExtension("/Music/.hidden"), "hidden");
    EXPECT_EQ(GetExtension(""), "");
}

TEST(Paths, FileName) {
    EXPECT_EQ(GetFileName("/Music/song.mp3"), "song.mp3");
    EXPECT_EQ(GetFileName("/Music/"), "");
    EXPECT_EQ(GetFileName("song.mp3"), "song.mp3");
    EXPECT_EQ(GetFileName("/"), "");
    // A backslash is an ordinary character in a Linux file name.
    EXPECT_EQ(GetFileName("/Music/a\\b.mp3"), "a\\b.mp3");
    EXPECT_EQ(GetFileName(QStringLiteral("/音楽/曲 1.mp3")), QStringLiteral("曲 1.mp3"));
}

TEST(Paths, FolderPath) {
    EXPECT_EQ(GetFolderPath("/Music/song.mp3"), "/Music/");
    EXPECT_EQ(GetFolderPath("song.mp3"), "");
    EXPECT_EQ(GetFolderPath("/Music/"), "/Music/");
    EXPECT_EQ(GetFolderPath("/song.mp3"), "/");
    EXPECT_EQ(GetFolderPath("C:\\Music\\song.mp3"), "");
}

TEST(Paths, BaseName) {
    EXPECT_EQ(GetBaseName("/PlayLists/Rock.lst"), "Rock");
    EXPECT_EQ(GetBaseName("/PlayLists/a.b.lst"), "a.b");
    EXPECT_EQ(GetBaseName("/PlayLists/.lst"), "");
    EXPECT_EQ(GetBaseName(QStringLiteral("/PlayLists/お気に入り.lst")),
              QStringLiteral("お気に入り"));
    EXPECT_EQ(GetBaseName("Rock.lst"), "Rock");
    // No dot after the last separator (never passed by the program): the
    // whole file name, rather than a negative length.
    EXPECT_EQ(GetBaseName("/My.Music/Rock"), "Rock");
    EXPECT_EQ(GetBaseName("/PlayLists/Rock"), "Rock");
    EXPECT_EQ(GetBaseName("/PlayLists/"), "");
}
