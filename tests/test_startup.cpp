// Start-up and shutdown with the real windows (offscreen) in a temporary
// program folder: the single-copy lock, defaults, garbage settings, the
// splash's minimum, the command line (its text and its splitting), the restored
// playlist, the files written at exit, the signals that close the window, and the
// built program running its event loop until a signal ends it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QScreen>
#include <csignal>
#include <functional>

#include "app/controls.h"
#include "app/frm_quorvane.h"
#include "app/frm_splash.h"
#include "app/geometry.h"
#include "app/tree_view.h"
#include "app/twips.h"
#include "library_support.h"
#include "playback/media_play.h"
#include "playback/transport.h"
#include "playlist/cls_playlist.h"
#include "program/close_on_signal.h"
#include "program/command_line.h"
#include "program/single_instance.h"
#include "program/startup.h"
#include "support/media_files.h"
#include "support/test_program.h"

namespace qv {
namespace {

using qvtest::TestProgram;

QString Read(const TestProgram& p, const char* section, const char* key) {
    return p.state->ini.ReadIni(section, key);
}

void WriteSettings(TestProgram& p, const QByteArray& text) {
    p.dir.write("Setting.ini", text);
}

QStringList Paths(const ProgramState& s) {
    QStringList out;
    for (int i = 0; i < s.PlayListData.Count(); ++i) out.append(s.PlayListData[i].FilePath);
    return out;
}

bool Played(const TestProgram& p) {
    return p.mci.commands.contains("play PlayData");
}

// An environment variable set for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QString& value) : name_(name), saved_(qgetenv(name)) {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnv() { qputenv(name_, saved_); }

  private:
    const char* name_;
    QByteArray saved_;
};

TEST(Startup, LockMovesOnOnlyWhenTheRuntimeFolderCannotHoldOne) {
    qvtest::TempDir dir;
    const ScopedEnv cache("XDG_CACHE_HOME", dir.file("cache")), tmp("TMPDIR", dir.file("tmp"));
    ASSERT_TRUE(QDir().mkpath(dir.file("run")) && QDir().mkpath(dir.file("tmp")));
    ::chmod(QFile::encodeName(dir.file("run")).constData(), 0700);
    // Root may hand a folder to another user; anyone else finds one in "/".
    QString others = dir.file("others");
    QDir().mkdir(others);
    if (::chown(QFile::encodeName(others).constData(), 65534, 65534) != 0) others = "/";
    const QString inCache = dir.file("cache/quorvane/quorvane.lock");
    using Outcome = SingleInstance::Outcome;
    struct Row {
        const char* what;
        QString runtime, lock;
    } rows[] = {
        {"usable", dir.file("run"), dir.file("run/quorvane.lock")},
        {"missing", dir.file("gone"), inCache},
        {"not a folder", dir.write("file", "x"), inCache},
        {"read-only", "/proc/self/fdinfo", inCache},  // ours, but takes no new file
        {"another user's", others, inCache},
    };
    for (const Row& row : rows) {
        const ScopedEnv runtime("XDG_RUNTIME_DIR", row.runtime);
        const SingleInstance first;
        EXPECT_EQ(first.Result(), Outcome::Acquired) << row.what;
        EXPECT_EQ(first.LockPath(), row.lock) << row.what;
        EXPECT_EQ(SingleInstance().Result(), Outcome::AnotherCopy) << row.what;
    }
    {
        // A copy that started before the runtime folder came ends a later start.
        const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.file("late"));
        const SingleInstance early;
        ASSERT_EQ(early.LockPath(), inCache);
        QDir().mkdir(dir.file("late"));
        ::chmod(QFile::encodeName(dir.file("late")).constData(), 0700);
        EXPECT_EQ(SingleInstance().Result(), Outcome::AnotherCopy);
    }
    // Without a usable cache folder the temporary folder's own place is made, for us alone.
    const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.file("gone")),
        noCache("XDG_CACHE_HOME", dir.file("file"));
    const QString place = dir.file("tmp/quorvane-%1").arg(::geteuid());
    {
        const SingleInstance last;
        EXPECT_EQ(last.LockPath(), place + "/quorvane.lock");
        EXPECT_EQ(QFileInfo(place).permissions() & 0x0077, 0);  // no group or other bit
    }
    // One that others may write into is no place for the lock: the copy runs unguarded.
    ::chmod(QFile::encodeName(place).constData(), 0777);
    EXPECT_EQ(SingleInstance().Result(), Outcome::NoLock);
}

TEST(Startup, UnusableStoredSizeGivesTheDefault) {
    const struct {
        const char* stored;
        int width, height;
    } rows[] = {
        {"Width=-9000\r\nHeight=15", 8550, 6555},
        {"Width=3974\r\nHeight=2100", 8550, 2100},
        {"Width=3975\r\nHeight=2099", 3975, 6555},
    };
    for (const auto& row : rows) {
        qvtest::TempDir dir;
        dir.write("Setting.ini", QByteArray("[Quorvane]\r\nLeft=-30\r\nTop=45\r\n") + row.stored);
        const TwipsGeometry g = ReadStoredGeometry(Ini(dir.path()));
        EXPECT_EQ(QList<int>({g.Left, g.Top, g.Width, g.Height}),
                  QList<int>({-30, 45, row.width, row.height}))
            << row.stored;
    }
}

TEST(Startup, DefaultsWithoutSettings) {
    TestProgram p;
    p.Start();
    frmQuorvane& form = *p.state->mainForm;
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(p.state->splash);
    const double dpi = LogicalDpi();
    EXPECT_EQ(form.frameGeometry(),
              QRect(0, 0, TwipsToPixels(8550, dpi), TwipsToPixels(6555, dpi)));
    EXPECT_EQ(p.state->objMediaPlay->LoopMode(), 0);
    EXPECT_EQ(form.imgLoop->toolTip(), "Loop-Off");
    EXPECT_TRUE(p.state->objMediaPlay->StopByUser());
    EXPECT_EQ(p.state->objMediaPlay->PlayingID(), 0);  // no LastPlayList.lst
    EXPECT_TRUE(form.chkSF->isChecked());
    EXPECT_EQ(form.Text1->text(), "");
    EXPECT_EQ(form.Panel(4)->text(), "ready");
    EXPECT_EQ(p.state->strFoundMedia, QStringList{""});
    EXPECT_TRUE(p.state->PlayListData.IsEmpty());
    EXPECT_EQ(form.lstPL->count(), 0);
    // The fixed nodes, "root" expanded by showing "SearchedMedia".
    ASSERT_EQ(form.TV1->topLevelItemCount(), 1);
    EXPECT_EQ(form.TV1->topLevelItem(0)->text(0), "全てのメディア");
    EXPECT_TRUE(form.TV1->topLevelItem(0)->isExpanded());
    EXPECT_EQ(qvtest::TreeBelow(*form.TV1, "root"),
              QStringList({"登録済みプレイリスト [2] RegisteredPlayList",
                           "検索されたメディア [3] SearchedMedia"}));
    // The playlist folder made by the save dialog's load.
    EXPECT_TRUE(QDir(p.folder() + "PlayLists").exists());
    // The clock stood still: the splash waited its whole minimum.
    EXPECT_EQ(p.clock.sleeps, QList<uint32_t>{2500});
    // An empty playlist is stored as one empty line.
    form.close();
    EXPECT_EQ(qvtest::ReadAll(p.folder() + "PlayLists/LastPlayList.lst"), QByteArray("\r\n"));
}

TEST(Startup, GarbageSettingsGiveTheDefaults) {
    TestProgram p;
    WriteSettings(p,
                  "[Quorvane]\r\nLeft=abc\r\nTop=  1 5x\r\nWidth=0\r\nHeight=zz\r\n"
                  "LoopMode=2.6junk\r\n[File]\r\nLastSearchedPath=/no/such/folder\r\n");
    p.Start();
    frmQuorvane& form = *p.state->mainForm;
    const double dpi = LogicalDpi();
    EXPECT_EQ(form.frameGeometry(),
              QRect(0, TwipsToPixels(15, dpi), TwipsToPixels(8550, dpi), TwipsToPixels(6555, dpi)));
    // 2.6 rounds to 3, no mode: "Loop-Off", whose next click is "Loop-All".
    EXPECT_EQ(p.state->objMediaPlay->LoopMode(), 0);
    EXPECT_EQ(form.imgLoop->toolTip(), "Loop-Off");
    EXPECT_EQ(form.imgLoop->pixmap().toImage(), form.imgLoopOff->pixmap().toImage());
    imgLoop_Click(*p.state);
    EXPECT_EQ(form.imgLoop->toolTip(), "Loop-All");
    EXPECT_EQ(form.Text1->text(), "");
}

TEST(Startup, StoredValuesComeBack) {
    TestProgram p;
    QDir().mkpath(p.folder() + "scan/Sub");
    WriteSettings(p, "[Quorvane]\r\nLoopMode=1\r\n[File]\r\nLastSearchedPath=" +
                         (p.folder() + "scan/sub").toUtf8() + "\r\n");
    p.Start();
    EXPECT_EQ(p.state->objMediaPlay->LoopMode(), 1);
    EXPECT_EQ(p.state->mainForm->imgLoop->toolTip(), "Loop-All");
    EXPECT_EQ(p.state->mainForm->imgLoop->pixmap().toImage(),
              p.state->mainForm->imgLoopAll->pixmap().toImage());
    EXPECT_EQ(p.state->mainForm->Text1->text(), p.folder() + "scan/Sub");  // stored spelling
}

TEST(Startup, SplashMinimumCountsFromMainAcrossTheClockWrap) {
    TestProgram p;
    p.MakeObjects();
    auto unload = [&](uint32_t start, uint32_t now) {
        p.state->splash = std::make_unique<frmSplash>();
        p.state->lngStartTime = start;
        p.clock.now = now;
        p.clock.sleeps.clear();
        UnloadSplash(*p.state);
        EXPECT_FALSE(p.state->splash);
        return p.clock.sleeps;
    };
    EXPECT_EQ(unload(1000, 1800), QList<uint32_t>{1700});
    EXPECT_TRUE(unload(1000, 3500).isEmpty());  // slow start: not a moment longer
    EXPECT_TRUE(unload(1000, 9000).isEmpty());
    EXPECT_EQ(unload(0xFFFFFF00u, 0x100u), QList<uint32_t>{2500 - 0x200});
    EXPECT_TRUE(unload(0xFFFFF000u, 0x1000u).isEmpty());
    // The second reading decides how long to sleep.
    p.clock.stepPerReading = 100;
    EXPECT_EQ(unload(1000, 3300), QList<uint32_t>{100});  // 2300 ms, then 2400 ms
    EXPECT_TRUE(unload(1000, 3450).isEmpty());            // 2450 ms, then 2550 ms
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

TEST(Startup, CommandLineOfMediaFiles) {
    TestProgram p;
    const QString a = p.dir.write("My Music/a.mp3", qvtest::Id3Bytes("Song A"));
    const QString b = p.dir.write("b.mid", qvtest::MidiBytes());
    p.Start("\"" + a + "\" \"" + b + "\"");
    EXPECT_EQ(Paths(*p.state), (QStringList{a, b}));
    EXPECT_EQ(p.state->mainForm->lstPL->item(0)->text(), "Song A");
    EXPECT_EQ(p.state->mainForm->lstPL->item(1)->text(), "b.mid");
    EXPECT_EQ(p.state->objMediaPlay->PlayingID(), 0);
    EXPECT_EQ(p.state->objMediaPlay->PlayState(), "PLAYING");
    EXPECT_TRUE(Played(p));
    EXPECT_EQ(p.state->mainForm->lstPL->currentRow(), 0);
    EXPECT_EQ(p.state->mainForm->windowTitle(), "Quorvane - " + a);
    EXPECT_EQ(p.state->mainForm->Panel(1)->text(), "> Song A");
    EXPECT_EQ(Read(p, "File", "LastOpenFile"), b);
}

TEST(Startup, UnquotedPathWithABlankSplitsInTwo) {
    TestProgram p;
    // The second piece has the kind MP3 and goes in as the relative path it is.
    p.Start("/nowhere/My Music/a.mp3 other.txt");
    EXPECT_EQ(Paths(*p.state), QStringList{"Music/a.mp3"});
    EXPECT_TRUE(Played(p));
}

TEST(Startup, FirstPlaylistFileEndsTheCommandLine) {
    TestProgram p;
    const QString x = p.dir.write("x.mp3", qvtest::Id3Bytes("X"));
    const QString y1 = p.dir.write("y1.wav", qvtest::WavBytes());
    const QString y2 = p.dir.write("y2.wav", qvtest::WavBytes());
    const QString z = p.dir.write("z.mp3", qvtest::Id3Bytes("Z"));
    const QString y = p.dir.write("lists/y.lst", (y1 + "\r\n" + y2 + "\r\n").toUtf8());
    p.Start(x + " " + y + " " + z);
    EXPECT_EQ(Paths(*p.state), (QStringList{x, y1, y2}));
    EXPECT_EQ(p.state->objMediaPlay->PlayingID(), 0);
    EXPECT_TRUE(Played(p));
    EXPECT_EQ(Read(p, "File", "LastPlayList"), y);
    EXPECT_TRUE(p.state->mainForm->TV1->Node(y));
    EXPECT_TRUE(p.state->mainForm->isVisible());
    EXPECT_FALSE(p.state->splash);
}

TEST(Startup, CommandLineThatAddsNoEntryKeepsTheLastPlaylist) {
    const struct {
        const char* what;
        const char* args;  // "%F": the program folder
        bool restored;     // else only x.mp3
    } rows[] = {
        {"other kinds", "%Fnotes.txt %Fmovie.avi", true},
        {"a folder", "%FPlayLists", true},
        {"a missing playlist file", "%Fgone.lst %Fx.mp3", true},
        {"an empty playlist file", "%Fempty.lst", true},
        {"an entry before", "%Fx.mp3 %Fempty.lst", false},
    };
    for (const auto& row : rows) {
        TestProgram p;
        const QString w = p.dir.write("w.wav", qvtest::WavBytes());
        const QString x = p.dir.write("x.mp3", qvtest::Id3Bytes("X"));
        p.dir.write("empty.lst", "\r\n");
        const QString last = p.dir.write("PlayLists/LastPlayList.lst", (w + "\r\n").toUtf8());
        const QString args = QString(row.args).replace("%F", p.folder());
        p.Start(args);
        EXPECT_EQ(Paths(*p.state), QStringList{row.restored ? w : x}) << row.what;
        EXPECT_EQ(p.state->objMediaPlay->PlayingID(), row.restored ? 0 : kNoEntry) << row.what;
        EXPECT_EQ(Played(p), row.restored) << row.what;
        // A playlist file named is still recorded.
        const QString named = args.split(' ').filter(".lst").value(0);
        if (!named.isEmpty()) {
            EXPECT_EQ(Read(p, "File", "LastPlayList"), named) << row.what;
        }
        p.state->mainForm->close();
        EXPECT_EQ(qvtest::ReadAll(last), ((row.restored ? w : x) + "\r\n").toUtf8()) << row.what;
    }
}

TEST(Startup, LastPlaylistComesBackAndPlays) {
    TestProgram p;
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    const QString b = p.dir.write("b.wav", qvtest::WavBytes());
    const QString c = p.dir.write("c.mid", qvtest::MidiBytes());
    p.dir.write("PlayLists/LastPlayList.lst", ("//comment\r\n" + a + "\r\n\r\n" + b + "\r\n" + c +
                                               "\r\n" + p.folder() + "gone.wav\r\n")
                                                  .toUtf8());
    p.dir.write("PlayLists/Mine.lst", "\r\n");
    p.Start();
    EXPECT_EQ(Paths(*p.state), (QStringList{a, b, c}));
    EXPECT_EQ(p.state->objMediaPlay->PlayingID(), 0);
    EXPECT_EQ(p.mci.commands.filter("open ").value(0),
              "open " + a + " type WaveAudio alias PlayData");
    // Registered playlists, sorted, each once.
    QTreeWidgetItem* registered = p.state->mainForm->TV1->Node("RegisteredPlayList");
    ASSERT_EQ(registered->childCount(), 2);
    EXPECT_EQ(registered->child(0)->text(0), "LastPlayList");
    EXPECT_EQ(registered->child(1)->text(0), "Mine");
}

TEST(Startup, LibraryComesBackBeforeThePlaylists) {
    TestProgram p;
    const QString root = p.folder() + "Music";
    const QString song = p.dir.write("Music/Pop/song.mp3", qvtest::Id3Bytes("S"));
    p.dir.write("MediaDB.db", ("[" + root + "]\r\n" + song + "\r\n").toUtf8());
    p.dir.write("PlayLists/Mine.lst", "\r\n");
    p.Start();
    TreeView& tree = *p.state->mainForm->TV1;
    ASSERT_TRUE(tree.Node(root));
    EXPECT_EQ(tree.Node(root)->parent(), tree.Node("SearchedMedia"));
    ASSERT_TRUE(tree.Node(song));
    EXPECT_EQ(tree.Image(tree.Node(song)), 7);
    EXPECT_TRUE(tree.Node(p.folder() + "PlayLists/Mine.lst"));
}

TEST(Startup, EmptyLastPlaylistMeansNoEntry) {
    TestProgram p;
    p.dir.write("PlayLists/LastPlayList.lst", "\r\n");
    p.Start();
    EXPECT_EQ(p.state->objMediaPlay->PlayingID(), 0);
    EXPECT_FALSE(Played(p));
}

TEST(Shutdown, WritesSettingsAndPlaylistAndEnds) {
    TestProgram p;
    const QString a = p.dir.write("a.wav", qvtest::WavBytes());
    const QString b = p.dir.write("b b.mid", qvtest::MidiBytes());
    p.Start("\"" + a + "\" \"" + b + "\"");
    p.state->objMediaPlay->LoopMode(2);
    p.mci.commands.clear();
    EXPECT_TRUE(p.state->mainForm->close());
    EXPECT_TRUE(p.ended);
    EXPECT_TRUE(p.state->mainForm->Unloaded());
    EXPECT_EQ(p.mci.commands, (QStringList{"stop PlayData", "close PlayData"}));
    EXPECT_EQ(qvtest::ReadAll(p.folder() + "PlayLists/LastPlayList.lst"),
              (a + "\r\n" + b + "\r\n").toUtf8());
    EXPECT_EQ(Read(p, "Quorvane", "LoopMode"), "2");
    EXPECT_EQ(Read(p, "Quorvane", "Left"), "0");
    EXPECT_EQ(Read(p, "Quorvane", "Top"), "0");
    const double dpi = LogicalDpi();
    EXPECT_EQ(Read(p, "Quorvane", "Width"),
              QString::number(PixelsToTwips(TwipsToPixels(8550, dpi), dpi)));
    EXPECT_EQ(Read(p, "File", "LastPlayList"), p.folder() + "PlayLists/LastPlayList.lst");
}

// Starts on these settings, runs act on the shown window and closes it: the
// stored Left, Top, Width and Height.
QStringList StoredGeometry(const QByteArray& settings,
                           const std::function<void(frmQuorvane&)>& act) {
    TestProgram p;
    WriteSettings(p, settings);
    p.Start();
    act(*p.state->mainForm);
    p.state->mainForm->close();
    QStringList out;
    for (const char* key : {"Left", "Top", "Width", "Height"}) out << Read(p, "Quorvane", key);
    return out;
}

TEST(Shutdown, StoredGeometryRoundTripsMovesAndComesBackOnScreen) {
    const double dpi = LogicalDpi();
    auto twips = [dpi](int px) { return QString::number(PixelsToTwips(px, dpi)); };
    const QString width = twips(TwipsToPixels(8550, dpi)), height = twips(TwipsToPixels(6555, dpi));
    EXPECT_EQ(StoredGeometry("[Quorvane]\r\nLeft=1234\r\nTop=567\r\nWidth=9001\r\nHeight=7003\r\n",
                             [](frmQuorvane&) {}),
              QStringList({"1234", "567", "9001", "7003"}));
    EXPECT_EQ(StoredGeometry("", [](frmQuorvane& f) { f.move(20, 10); }),
              QStringList({twips(20), twips(10), width, height}));
    // A maximized window stores its normal rectangle.
    EXPECT_EQ(StoredGeometry("[Quorvane]\r\nLeft=150\r\nTop=150\r\nWidth=6000\r\nHeight=5000\r\n",
                             [dpi](frmQuorvane& f) {
                                 f.showMaximized();
                                 QCoreApplication::processEvents();
                                 ASSERT_TRUE(f.isMaximized());
                                 EXPECT_NE(f.width(), TwipsToPixels(6000, dpi));
                             }),
              QStringList({"150", "150", "6000", "5000"}));
    // A window off every screen comes back to the primary screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(StoredGeometry(
                  "[Quorvane]\r\nLeft=-9000000\r\nTop=9000000\r\n",
                  [&](frmQuorvane& f) { EXPECT_EQ(f.frameGeometry().topLeft(), screen.topLeft()); })
                  .first(),
              twips(screen.left()));
}

// The built program, copied into a folder of its own and left alone: only its
// event loop's monitor moves on when the second track ends, so the third one
// opening shows the loop runs; a SIGTERM then ends it normally.
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

TEST(Shutdown, TheProgramRunsItsEventLoopUntilSignalled) {
    qvtest::TempDir dir;
    const QString exe = dir.file("prog/quorvane");
    dir.write("prog/Setting.ini", "[Quorvane]\r\nLoopMode=1\r\n");  // Loop-All
    ASSERT_TRUE(QFile::copy(QV_BUILD_DIR "/quorvane", exe));
    const QStringList tracks = {dir.write("a.wav", qvtest::WavBytes(200)),
                                dir.write("b.wav", qvtest::WavBytes(500)),
                                dir.write("c.wav", qvtest::WavBytes(3000))};
    QDir().mkpath(dir.file("run"));  // the single-copy lock of its own
    QFile::setPermissions(dir.file("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir.file("run"));
    program.setProcessEnvironment(env);
    program.start(exe, tracks);
    ASSERT_TRUE(program.waitForStarted());
    const pid_t pid = pid_t(program.processId());
    const QString fds = QStringLiteral("/proc/%1/fd/").arg(pid);
    bool third = false;
    for (int i = 0; i < 600 && !third && !program.waitForFinished(50); ++i)
        for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System))
            third |= QFileInfo(fds + fd).symLinkTarget() == tracks[2];
    ASSERT_TRUE(third);
    ::kill(pid, SIGTERM);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(qvtest::ReadAll(dir.file("prog/PlayLists/LastPlayList.lst")),
              (tracks.join("\r\n") + "\r\n").toUtf8());
}

}  // namespace
}  // namespace qv
