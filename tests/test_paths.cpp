// The pure path helpers at their edges: no dot, no separator, a trailing
// separator, a dot in a folder name.
#include <gtest/gtest.h>

#include <array>

#include "platform/paths.h"
#include "support/qt_print.h"

using namespace qv;

TEST(Paths, EdgeCases) {
    // Path, extension, file name, folder, base name.
    const std::array<QString, 5> cases[] = {
        {"/Music/song.mp3", "mp3", "song.mp3", "/Music/", "song"},
        {"/Music/song", "", "song", "/Music/", "song"},
        {"/Music/song.", "", "song.", "/Music/", "song"},
        // The last dot lies in a folder name: everything after it; no dot
        // after the last separator gives the whole file name as base name.
        {"/My.Music/song", "Music/song", "song", "/My.Music/", "song"},
        {"a.b.c", "c", "a.b.c", "", "a.b"},
        {"/Music/SONG.Mp3", "Mp3", "SONG.Mp3", "/Music/", "SONG"},  // case kept
        {QStringLiteral("/音楽/曲 1.ＭＰ３"), QStringLiteral("ＭＰ３"),
         QStringLiteral("曲 1.ＭＰ３"), QStringLiteral("/音楽/"), QStringLiteral("曲 1")},
        {"/Music/.hidden", "hidden", ".hidden", "/Music/", ""},
        {"/Music/", "", "", "/Music/", ""},
        {"/", "", "", "/", ""},
        {"", "", "", "", ""},
        {"/song.mp3", "mp3", "song.mp3", "/", "song"},
        {"/PlayLists/a.b.lst", "lst", "a.b.lst", "/PlayLists/", "a.b"},
        // A backslash is an ordinary character in a Linux file name.
        {"C:\\Music\\a.mp3", "mp3", "C:\\Music\\a.mp3", "", "C:\\Music\\a"},
    };
    for (const auto& [path, ext, name, folder, base] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(GetExtension(path), ext);
        EXPECT_EQ(GetFileName(path), name);
        EXPECT_EQ(GetFolderPath(path), folder);
        EXPECT_EQ(GetBaseName(path), base);
    }
}
