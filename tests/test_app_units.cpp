// The pure pieces of start-up: reading numbers from settings text, the
// command line's argument text and its splitting, the resize rule, and the
// playlist record array with its path index.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>

#include "app/main_layout.h"
#include "app/number_text.h"
#include "playlist/playlist_data.h"
#include "program/close_on_signal.h"
#include "program/command_line.h"

namespace qv {
namespace {

TEST(NumberText, LeadingNumberOrZero) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("  -3 4x"), -34);  // blanks are ignored anywhere
    EXPECT_EQ(Val("1.5e2z"), 150);
    EXPECT_EQ(Val("1.5e"), 1.5);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("&H1F"), 31);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("&H10"), 16);  // 0 digits inside and at the end count
    EXPECT_EQ(Val("&H100"), 256);
    EXPECT_EQ(Val("&O10"), 8);
    EXPECT_EQ(Val("１２"), 0);  // full-width digits are no number
}

TEST(NumberText, RoundsHalfToEvenInsideThe32BitRange) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(1e20), INT32_MAX);
    EXPECT_EQ(CLng(-1e20), INT32_MIN);
}

TEST(CommandLine, QuotedAndPlainSplitting) {
    // One quoted path with blanks.
    EXPECT_EQ(SplitCommandLine("\"C:/My Music/a.mp3\""), QStringList{"C:/My Music/a.mp3"});
    // Two quoted paths separated by one blank.
    EXPECT_EQ(SplitCommandLine("\"/a b/x.mp3\" \"/c/y.mid\""),
              (QStringList{"/a b/x.mp3", "/c/y.mid"}));
    // Unquoted: every blank splits, empty pieces kept.
    EXPECT_EQ(SplitCommandLine("C:/a.mp3 C:/b.mid"), (QStringList{"C:/a.mp3", "C:/b.mid"}));
    EXPECT_EQ(SplitCommandLine("C:/My Music/a.mp3"), (QStringList{"C:/My", "Music/a.mp3"}));
    EXPECT_EQ(SplitCommandLine("a  b"), (QStringList{"a", "", "b"}));
    // The last character is dropped whatever it is.
    EXPECT_EQ(SplitCommandLine("\"a.mp3\" \"b.mp3x"), (QStringList{"a.mp3", "b.mp3"}));
    EXPECT_EQ(SplitCommandLine("\""), QStringList{});
    EXPECT_EQ(SplitCommandLine("\"\""), QStringList{""});
}

TEST(CommandLine, ArgumentTextAsTheShellBuildsIt) {
    EXPECT_EQ(ArgumentText({}), "");
    EXPECT_EQ(ArgumentText({"/a.mp3", "/b.mid"}), "/a.mp3 /b.mid");
    EXPECT_EQ(ArgumentText({"/My Music/a.mp3", "/b.mid"}), "\"/My Music/a.mp3\" \"/b.mid\"");
    // Whatever argv holds, splitting the text gives the arguments back.
    const QStringList withBlanks = {"/x y/1.mp3", "/2.wav", ""};
    EXPECT_EQ(SplitCommandLine(ArgumentText(withBlanks)), withBlanks);
    const QStringList plain = {"/1.mp3", "/2.wav"};
    EXPECT_EQ(SplitCommandLine(ArgumentText(plain)), plain);
}

TEST(CommandLine, RelativeArgumentsBecomeAbsolute) {
    EXPECT_EQ(AbsoluteArguments({"a.mp3", "../b/c.mid", "/abs.wav", ""}, "/home/u/music"),
              (QStringList{"/home/u/music/a.mp3", "/home/u/b/c.mid", "/abs.wav", ""}));
}

// The default size, 5000 twips wide, too narrow and minimized are the form
// tests'; a height between the two thresholds fits the tree, not the list.
TEST(MainLayout, LowWindowSizesTheTreeOnly) {
    const MainLayout low = ComputeMainLayout(8000, 1000, 255, 4395);
    EXPECT_EQ(low.tv1Height, 1000 - 255 - 90);
    EXPECT_FALSE(low.lstHeight);
    EXPECT_EQ(low.tv1Width, 8000 - 3975);
}

PlayListItem Item(const QString& path) {
    return PlayListItem{path, "MP3", path, 0};
}

TEST(PlayListArray, NeverEmptyAndIndexFollowsEveryChange) {
    PlayListArray a;
    EXPECT_EQ(a.Count(), 1);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Contains(""));  // the placeholder's path
    a.Set(0, Item("/a"));
    a.Append(Item("/b"));
    a.Append(Item("/c"));
    EXPECT_FALSE(a.Contains(""));
    EXPECT_TRUE(a.Contains("/b"));
    EXPECT_FALSE(a.Contains("/B"));
    a.Swap(0, 2);
    EXPECT_EQ(a[0].FilePath, "/c");
    EXPECT_TRUE(a.Contains("/a"));
    a.Remove(1);
    EXPECT_FALSE(a.Contains("/b"));
    EXPECT_EQ(a.Count(), 2);
    a.Set(1, Item("/d"));
    EXPECT_FALSE(a.Contains("/a"));
    EXPECT_TRUE(a.Contains("/d"));
    a.SetLength(1, 59);
    EXPECT_EQ(a[1].Length, 59);
    a.Remove(0);
    a.Remove(0);  // the last record goes: the placeholder comes back
    EXPECT_EQ(a.Count(), 1);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_FALSE(a.Contains("/d"));
    a.Append(Item("/e"));
    a.Reset();
    EXPECT_EQ(a.Count(), 1);
    EXPECT_FALSE(a.Contains("/e"));
}

TEST(PlayListArray, TwoRecordsOfOnePathAreCountedApart) {
    // Records are copied whole by the editing commands; a path held twice for
    // a moment stays known until its last record goes.
    PlayListArray a;
    a.Set(0, Item("/a"));
    a.Append(Item("/a"));
    a.Remove(0);
    EXPECT_TRUE(a.Contains("/a"));
    a.Set(0, Item("/b"));
    EXPECT_FALSE(a.Contains("/a"));
}

TEST(CloseOnSignal, EachSignalReachesTheEventLoopOnce) {
    int calls = 0;
    {
        CloseOnSignal closer([&calls] { ++calls; });
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
            const int before = calls;
            std::raise(sig);  // the handler only writes to the pipe
            EXPECT_EQ(calls, before);
            QElapsedTimer t;
            t.start();
            while (calls == before && t.elapsed() < 2000) QCoreApplication::processEvents();
            EXPECT_EQ(calls, before + 1);
        }
    }
    // Gone with the object: the default action is back (not raised here).
    struct sigaction now = {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace qv
