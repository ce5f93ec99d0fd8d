// The program with its real windows (offscreen) in a temporary program folder:
// the windows as built and the resize rule, the single-copy lock, the settings,
// the last playlist and the command line read at start, the splash's minimum,
// and what the exit writes. The signals are left to the e2e tests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "app/controls.h"
#include "app/dialogs_qt.h"
#include "app/language.h"
#include "app/frm_hide_menu.h"
#include "app/frm_splash.h"
#include "app/pictures.h"
#include "app/twips.h"
#include "library_support.h"
#include "platform/media_kinds.h"
#include "playback/media_play.h"
#include "playback/transport.h"
#include "playlist/cls_playlist.h"
#include "playlist/frm_save_pl.h"
#include "program/command_line.h"
#include "program/handoff.h"
#include "program/options.h"
#include "program/single_instance.h"
#include "program/startup.h"
#include "support/media_files.h"
#include "support/qt_print.h"

using namespace qv;
using qvtest::ReadAll;
using qvtest::TestProgram;

namespace {

const auto Px = [](int twips) { return TwipsToPixels(twips, LogicalDpi()); };
QString Read(const TestProgram& p, const char* key) {
    return p.state->ini.ReadIni(key == QStringLiteral("LastPlayList") ? "File" : "Quorvane", key);
}

}  // namespace

TEST(Windows, EveryControlNamedPlacedAndStyledEveryPictureDistinctAndTheResizeRule) {
    TestProgram p;
    for (const char* name : {"b.lst", "a.lst", ".hidden.lst", "notes.txt"})
        p.dir.write(QStringLiteral("PlayLists/") + name, "\r\n");
    p.MakeObjects();
    frmQuorvane& f = *p.state->mainForm;
    frmSavePL& d = *p.state->savePL;
    frmSplash s;
    s.Form_Load();
    frmHideMenu m;
    // Every control carries its name as its accessible name and has its place: none is left
    // where Qt puts a new one. The status bar is placed by the resize, its panels by itself.
    int named = 0;
    for (QWidget* form : QWidgetList{&f, &d, &s}) {
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
            ++named;
            EXPECT_EQ(w->accessibleName(), w->objectName());
            EXPECT_TRUE(w->objectName().startsWith("SB1") || w->geometry() != QRect(0, 0, 100, 30))
                << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(named, 33 + 3 + 7 + 3);  // the status bar and its panels, the find bar included
    EXPECT_EQ(s.Image3->geometry(), TwipsRect(142, 780, 3690, 195));
    EXPECT_EQ(f.imgREW->toolTip() + "|" + f.imgFF->toolTip(), "Previous|Next");
    EXPECT_FALSE(f.windowIcon().isNull() || d.windowIcon().isNull() || s.Image2->pixmap().isNull());
    // Timer1's interval and run, Timer2's, the drop targets and the drag source.
    EXPECT_EQ(QList<int>({f.Timer1->interval(), f.Timer1->isActive(), f.Timer2->interval(),
                          f.Timer2->isSingleShot(), f.Timer2->isActive(), f.lstPL->acceptDrops(),
                          f.Text1->acceptDrops(), f.TV1->acceptDrops(), f.TV1->dragEnabled()}),
              QList<int>({50, 1, 1700, 1, 0, 1, 1, 1, 1}));
    // The dark strips and splash; white bold Verdana on the strips, large type in the dialog.
    for (QWidget* dark : QWidgetList{f.frameOperation, f.frameListOperation, &s})
        EXPECT_EQ(dark->autoFillBackground() ? dark->palette().color(QPalette::Window) : QColor(),
                  QColor(0x40, 0x40, 0x40));
    const QFont font = f.lblSave->font();
    EXPECT_TRUE(font.bold() && font.family() == "Verdana" && font.pointSizeF() == 8.25);
    EXPECT_EQ(f.lblSave->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(d.Label2->font().pointSizeF() == 15.75 &&
                d.Label2->palette().color(QPalette::WindowText) == QColor(0x40, 0x40, 0x40));
    EXPECT_EQ(
        QList<QSize>({d.size(), s.size()}),
        QList<QSize>({TwipsRect(0, 0, 5940, 3105).size(), TwipsRect(0, 0, 3975, 1050).size()}));
    EXPECT_TRUE(s.windowFlags() & Qt::WindowStaysOnTopHint);  // above every other window
    // The save dialog lists its folder's playlists, sorted, hidden ones left out.
    EXPECT_EQ(d.File1->Names(), (QStringList{"a.lst", "b.lst"}));
    QStringList items;
    for (QAction* a : m.mnAddListDrop->actions()) items << a->objectName();
    EXPECT_EQ(items.join(u' '),
              "mnTreeExpand sp40 mnAddListNone mnAddListClear sp10 mnAddListCancel sp50 "
              "mnRemoveRoot");
    EXPECT_EQ(m.mnNodePL->accessibleName(), "mnNodePL");
    // Every picture at its size, none blank, no two alike.
    QList<std::pair<QPixmap, QSize>> pictures = {
        {PlayOnPicture(), {35, 16}},  {PlayOffPicture(), {35, 16}}, {StopPicture(), {12, 13}},
        {PrevPicture(), {24, 13}},    {NextPicture(), {24, 13}},    {LoopOffPicture(), {29, 18}},
        {LoopAllPicture(), {29, 18}}, {LoopOnePicture(), {29, 18}}, {UpPicture(), {13, 12}},
        {DownPicture(), {13, 13}},    {BannerPicture(), {213, 23}}, {SubtitlePicture(), {246, 13}},
        {IconPicture(), {32, 32}}};
    for (const QPixmap& image : TreeImages()) pictures.append({image, {16, 16}});
    ASSERT_EQ(pictures.size(), 13 + 11);  // and the tree's eleven
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QImage image = pictures[i].first.toImage();
        EXPECT_EQ(image.size(), pictures[i].second) << i;
        QImage blank = image;
        blank.fill(image.pixelColor(0, 0));
        EXPECT_NE(image, blank) << i;
        for (qsizetype j = 0; j < i; ++j) EXPECT_NE(image, pictures[j].first.toImage()) << i << j;
    }
    // The resize rule, on the shown window.
    f.show();
    const int sbTop = f.height() - Px(255);
    EXPECT_EQ(f.SB1->geometry(), QRect(0, sbTop, f.width(), Px(255)));
    // The lists end 30 twips above the status bar, the column 60 twips before the edge.
    EXPECT_EQ(QList<int>({f.TV1->geometry().bottom(), f.lstPL->geometry().bottom()}),
              QList<int>(2, sbTop - Px(30) - 1));
    EXPECT_EQ(f.width() - (f.lstPL->geometry().right() + 1), Px(60));
    // The position bar lies over the time panel, the status bar's height and at least 150
    // pixels wide (at 96 dpi), with no command that changes the playlist within 6 pixels.
    const auto inForm = [&f](QWidget* w) { return QRect(w->mapTo(&f, QPoint()), w->size()); };
    const QRect bar = inForm(f.sldSeek), time = inForm(f.Panel(5));
    EXPECT_EQ(bar, QRect(time.left(), sbTop, time.width(), Px(255)));
    EXPECT_GE(bar.width(), Px(2250));
    for (QWidget* w : QWidgetList{f.lblShuffle, f.imgUp, f.imgDown, f.lblRemove, f.lblClear})
        EXPECT_FALSE(inForm(w).adjusted(-6, -6, 6, 6).intersects(bar))
            << w->objectName().toStdString();
    f.resize(Px(5000), f.height());
    const int W = PixelsToTwips(f.width(), LogicalDpi());
    // Too narrow the second time: the tree keeps its width, the column stays beside it.
    for (int width : {5000, 3000}) {
        f.resize(Px(width), f.height());
        EXPECT_EQ(f.TV1->width(), Px(W - 3975));
        for (QWidget* w : QWidgetList{f.lstPL, f.Frame1, f.frameOperation, f.frameListOperation})
            EXPECT_EQ(w->x(), Px(W - 3975 + 120)) << width;
    }
    // Minimized there is no client area: a new size moves nothing until it is restored.
    const QRect tree = f.TV1->geometry(), list = f.lstPL->geometry();
    f.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(f.isMinimized());
    f.resize(Px(7000), Px(5000));
    EXPECT_EQ(QList<QRect>({f.TV1->geometry(), f.lstPL->geometry()}), QList<QRect>({tree, list}));
    f.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.TV1->width() != tree.width() && f.lstPL->height() != list.height());
}

TEST(Windows, MessageBoxesAreModalJapaneseAndGiveTheChoice) {
    ASSERT_TRUE(InstallLanguage(UiLanguage::Japanese));
    QtDialogs dialogs;
    QStringList seen;
    // Clicks button in the next modal box, after noting its title, icon, text and buttons.
    const auto answer = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(50, [&seen, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            seen = QStringList{box->windowTitle(), QString::number(box->icon()), box->text()};
            for (QAbstractButton* b : box->buttons()) seen << b->text();
            box->button(button)->click();
        });
    };
    answer(QMessageBox::No);
    EXPECT_EQ(dialogs.MsgBox(nullptr, "上書き?", MsgButtons::YesNo, MsgIcon::Information, "確認"),
              MsgAnswer::No);
    seen.sort();
    EXPECT_EQ(seen, (QStringList{"1", "いいえ(&N)", "はい(&Y)", "上書き?", "確認"}));
    answer(QMessageBox::Ok);
    EXPECT_EQ(dialogs.MsgBox(nullptr, "空です", MsgButtons::OK, MsgIcon::None, "Quorvane"),
              MsgAnswer::OK);
    EXPECT_EQ(seen, (QStringList{"Quorvane", "0", "空です", "OK"}));
}

TEST(Startup, LockOfAProgramFolderMovesOnOnlyWhenTheRuntimeFolderCannotHoldOne) {
    // The places: the runtime folder, then the cache's and the temporary folder's own, made,
    // and more names there for when another user took the first.
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/q");
    QStringList places;
    for (const LockPlace& place : InstanceLockPlaces())
        places << place.folder + "|" + QString::number(place.make);
    qputenv("XDG_RUNTIME_DIR", saved);
    const QString temp = QDir::tempPath() + QStringLiteral("/quorvane-%1").arg(::geteuid());
    EXPECT_EQ(places.mid(0, 4),
              (QStringList{"/run/q|0",
                           QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                               "/quorvane|1",
                           temp + "|1", temp + "-1|1"}));
    EXPECT_EQ(places.size(), 10);
    qvtest::TempDir dir;
    QDir().mkdir(dir.file("run"));
    // Root may hand a folder to another user; anyone else finds one in "/".
    QString others = dir.file("others");
    QDir().mkdir(others);
    if (::chown(QFile::encodeName(others).constData(), 65534, 65534) != 0) others = "/";
    const LockPlace cache{dir.file("cache/quorvane"), true}, own{dir.file("own"), true};
    const QString a = "/opt/a/", lock = "/" + InstanceName(a) + ".lock";
    // The runtime folder takes the lock, else the cache's; a second copy finds it, a copy of
    // another program folder does not. The process's own fdinfo folder is ours, but no new
    // file can be made in it; a folder whose socket path is too long takes no lock.
    const QString deep = dir.file(QString(100, u'd'));
    QDir().mkdir(deep);
    for (const QString& runtime : {dir.file("run"), dir.file("gone"), dir.write("file", "x"),
                                   QString("/proc/self/fdinfo"), others, deep}) {
        const std::vector<LockPlace> in = {{runtime, false}, cache, own};
        const SingleInstance first(a, in);
        EXPECT_EQ(first.LockPath(), (runtime == dir.file("run") ? runtime : cache.folder) + lock)
            << runtime.toStdString();
        EXPECT_EQ(SingleInstance(a, in).Result(), SingleInstance::Outcome::AnotherCopy);
        EXPECT_EQ(SingleInstance("/opt/b/", in).Result(), SingleInstance::Outcome::Acquired);
    }
    // A copy that started before the runtime folder came ends a later start.
    const std::vector<LockPlace> late = {{dir.file("late"), false}, cache, own};
    const SingleInstance early(a, late);
    QDir().mkdir(dir.file("late"));
    EXPECT_EQ(SingleInstance(a, late).Result(), SingleInstance::Outcome::AnotherCopy);
    // The last place is made for us alone; one that others may write into takes no lock.
    const std::vector<LockPlace> last = {{dir.file("gone"), false}, {dir.file("file"), true}, own};
    EXPECT_EQ(SingleInstance(a, last).LockPath(), own.folder + lock);
    EXPECT_EQ(QFileInfo(own.folder).permissions() & 0x0077, 0);
    ::chmod(QFile::encodeName(own.folder).constData(), 0777);
    EXPECT_EQ(SingleInstance(a, last).Result(), SingleInstance::Outcome::NoLock);
}

TEST(Startup, SplashStaysItsMinimumCountedFromMainAcrossTheClockWrap) {
    TestProgram p;
    // Start of Main, the clock, its step per reading (the second reading decides): the sleep.
    const uint32_t rows[][4] = {{1000, 1800, 0, 1700},
                                {1000, 3500, 0, 0},
                                {0xFFFFFF00u, 0x100u, 0, 2500 - 0x200},
                                {0xFFFFF000u, 0x1000u, 0, 0},
                                {1000, 3300, 100, 100},
                                {1000, 3450, 100, 0}};
    for (const auto& r : rows) {
        p.state->splash = std::make_unique<frmSplash>();
        p.state->lngStartTime = r[0];
        p.clock.now = r[1];
        p.clock.stepPerReading = r[2];
        p.clock.sleeps.clear();
        UnloadSplash(*p.state);
        // Not two lists compared: Qt 6.4 hands memcmp a null pointer for two empty ones.
        EXPECT_TRUE(!p.state->splash && p.clock.sleeps.size() == (r[3] ? 1 : 0)) << r[1];
        EXPECT_EQ(p.clock.sleeps.value(0), r[3]) << r[1];
    }
}

TEST(Startup, CommandLineSplitAsTheShellDoesOrElseTheLastPlaylistWithTheLibrary) {
    EXPECT_EQ(SplitCommandLine("\""), QStringList());
    EXPECT_EQ(SplitCommandLine("\"\""), QStringList{""});
    EXPECT_EQ(ArgumentText({"/a.mp3", "/b.mid"}), "/a.mp3 /b.mid");  // quoted only with a blank
    EXPECT_EQ(AbsoluteArguments({"../b/c.mid", "/abs.wav", "", "//tmp/./x//a.mp3"}, "/home/u/m"),
              (QStringList{"/home/u/b/c.mid", "/abs.wav", "", "/tmp/x/a.mp3"}));
    // The argument text ("%F": the program folder), the playlist after the start ("" for the
    // last playlist's: w.wav, v.mid), the playlist file recorded, and whether the first entry
    // plays (P), is only made current (C: the user asked for no music) or neither.
    const std::tuple<const char*, const char*, const char*, char> rows[] = {
        {"", "", "", 'P'},
        {"\"%FMy Music/a.mp3\" \"%Fv.mid\"", "%FMy Music/a.mp3|%Fv.mid", "", 'P'},
        // Unquoted, a blank splits the path: the second piece is of a media kind.
        {"/nowhere/My Music/a.mp3 other.txt", "Music/a.mp3", "", 'P'},
        {"%Fx.mp3 %Fy.lst %Fz.mp3", "%Fx.mp3|%Fw.wav|%Fv.mid", "%Fy.lst", 'P'},  // .lst ends it
        // Nothing added: the last playlist comes back, as without a command line, silent.
        {"%Fnotes.txt %FPlayLists", "", "", 'C'},
        {"%Fgone.lst %Fx.mp3", "", "%Fgone.lst", 'C'},
        {"%Fempty.lst", "", "%Fempty.lst", 'C'},
        {"%Fx.mp3 %Fempty.lst", "%Fx.mp3", "%Fempty.lst", ' '},
    };
    for (const auto& [args, listed, recorded, played] : rows) {
        TestProgram p;
        const auto f = [&](const char* text) { return QString(text).replace("%F", p.folder()); };
        for (const char* name : {"My Music/a.mp3", "x.mp3", "w.wav", "v.mid"})
            p.dir.write(name, qvtest::WavBytes());
        p.dir.write("y.lst", f("%Fw.wav\r\n%Fv.mid\r\n").toUtf8());
        p.dir.write("empty.lst", "\r\n");
        p.dir.write("PlayLists/LastPlayList.lst",
                    f("//c\r\n%Fw.wav\r\n\r\n%Fgone.wav\r\n%Fv.mid").toUtf8());
        p.Start(f(args));
        const QString expected = f(*listed ? listed : "%Fw.wav|%Fv.mid");
        EXPECT_EQ(qvtest::PlayListPaths(*p.state).join(u'|'), expected) << args;
        EXPECT_EQ(p.state->objMediaPlay->PlayingID(), played != ' ' ? 0 : kNoEntry) << args;
        EXPECT_TRUE(played != 'C' || p.state->mainForm->lstPL->currentRow() == 0) << args;
        EXPECT_EQ(p.mci.commands.contains("play PlayData"), played == 'P') << args;
        EXPECT_EQ(Read(p, "LastPlayList"), f(recorded)) << args;
        p.state->mainForm->close();
        EXPECT_EQ(ReadAll(p.folder() + "PlayLists/LastPlayList.lst"),
                  (QString(expected).replace(u'|', "\r\n") + "\r\n").toUtf8());
    }
}

// Options up to "--" decide, the first one seen; everything else goes on as files, "--" left
// out, so that a file named "--x.mp3" can still be given.
TEST(Startup, OptionsUpToTheEndMarkTheRestFiles) {
    using A = Options::Action;
    const std::tuple<std::vector<const char*>, A, const char*, const char*> rows[] = {
        {{"a.mp3", "-x.mp3", "b.lst"}, A::Run, "a.mp3|-x.mp3|b.lst", ""},
        {{"a.mp3", "--help"}, A::Help, "a.mp3", ""},
        {{"--version", "--help"}, A::Version, "", ""},
        {{"--help=1", "--help"}, A::Refuse, "", "--help=1"},
        {{"-", "--", "--x.mp3", "--help", "--"}, A::Run, "-|--x.mp3|--help|--", ""},
    };
    for (const auto& [args, action, files, unknown] : rows) {
        std::vector<char*> argv{const_cast<char*>("quorvane")};
        for (const char* a : args) argv.push_back(const_cast<char*>(a));
        const Options o = ReadOptions(int(argv.size()), argv.data());
        QStringList kept;
        for (int i = 1; i < o.argc(); ++i) kept << o.argv[size_t(i)];
        EXPECT_EQ(o.action, action) << files;
        EXPECT_EQ(o.argv.back(), nullptr);
        EXPECT_EQ(kept.join(u'|'), files) << files;
        EXPECT_EQ(o.unknown, unknown);
    }
    // The help names every kind the program opens and where its files are.
    const QString usage = UsageText("/home/u/.local/share/Quorvane/");
    for (const QString& kind : MediaExtensions())
        EXPECT_TRUE(usage.contains(u'.' + kind.toLower()));
    EXPECT_TRUE(usage.contains("program folder: /home/u/.local/share/Quorvane/\n"));
}

// A file manager offers the program for a file only when the desktop entry lists its type:
// every media kind's (as the desktop's MIME database names it) and the playlists' own.
TEST(Startup, DesktopEntryListsTheTypeOfEveryKindItOpens) {
    const QString resources = QV_TESTDATA "/../../resources/" + AppId();
    const QString entry = QString::fromUtf8(ReadAll(resources + ".desktop"));
    const QStringList types =
        QRegularExpression("\nMimeType=([^\n]*)").match(entry).captured(1).split(u';');
    const QString lists = QRegularExpression("mime-type type=\"([^\"]+)\"")
                              .match(QString::fromUtf8(ReadAll(resources + ".mime.xml")))
                              .captured(1);
    EXPECT_TRUE(!lists.isEmpty() && types.contains(lists)) << qPrintable(lists);
    for (const QString& kind : MediaExtensions()) {
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile("x." + kind.toLower(), QMimeDatabase::MatchExtension);
        EXPECT_TRUE(types.contains(type.name())) << qPrintable(kind + u' ' + type.name());
    }
}

// A run that ends without its exit loses at most a second: the playlist in use (the command
// line's too) is kept in a hidden recovery file, and the loop mode, window and volume in
// Setting.ini, within a second of each change; the next start takes the recovery file over as
// LastPlayList.lst, which otherwise keeps the last run's list until the exit (the files in the
// middle of a run are read by e2e_program, after a SIGKILL).
TEST(Startup, ARunKilledAnyTimeLosesAtMostASecondOfPlaylistAndSettings) {
    TestProgram p;
    for (const char* name : {"w.wav", "v.mid", "x.mp3"}) p.dir.write(name, qvtest::WavBytes());
    const auto lines = [&](QStringList names) {
        for (QString& name : names) name = p.folder() + name + "\r\n";
        return names.join("").toUtf8();
    };
    const QString last = p.folder() + "PlayLists/LastPlayList.lst";
    const QString recovery = p.folder() + "PlayLists/.LastPlayList.recovery";
    p.dir.write("PlayLists/LastPlayList.lst", lines({"w.wav"}));
    p.dir.write("PlayLists/.LastPlayList.recovery", lines({"v.mid", "w.wav"}));
    p.Start();
    frmQuorvane& f = *p.state->mainForm;
    EXPECT_EQ(qvtest::PlayListPaths(*p.state),
              QStringList({p.folder() + "v.mid", p.folder() + "w.wav"}));
    EXPECT_EQ(f.TV1->Node("RegisteredPlayList")->childCount(), 1);  // no node for the recovery
    p.state->objPlayList->AddToPlayList(p.folder() + "x.mp3");
    imgLoop_Click(*p.state);
    f.move(40, 20);
    p.state->objMediaPlay->SetVolume(300);
    QTest::qWait(1300);
    const QByteArray ini = ReadAll(p.folder() + "Setting.ini");
    for (const char* kept : {"LoopMode=1", "Left=600", "Top=300", "Volume=300"})
        EXPECT_TRUE(ini.contains(kept)) << kept << ini.toStdString();
    EXPECT_TRUE(f.close() && !QFile::exists(recovery));
    EXPECT_EQ(ReadAll(last), lines({"v.mid", "w.wav", "x.mp3"}));

    // A list from the command line is kept from the start on, not only once it is edited.
    // What cannot be written (a folder in the file's place) is said in the status bar while
    // the program runs, and named in one box at the exit.
    TestProgram q;
    q.dir.write("x.mp3", qvtest::WavBytes());
    QDir().mkpath(q.folder() + "PlayLists/LastPlayList.lst");
    q.Start(q.folder() + "x.mp3");
    QTest::qWait(1300);
    EXPECT_EQ(ReadAll(q.folder() + "PlayLists/.LastPlayList.recovery"),
              (q.folder() + "x.mp3\r\n").toUtf8());
    QDir().mkpath(q.folder() + "Setting.ini.d");
    QFile::remove(q.folder() + "Setting.ini");
    QDir().rename(q.folder() + "Setting.ini.d", q.folder() + "Setting.ini");
    imgLoop_Click(*q.state);
    QTest::qWait(1300);
    EXPECT_EQ(q.state->mainForm->SB1->currentMessage(),
              "保存できませんでした: " + q.folder() + "Setting.ini");
    ASSERT_TRUE(q.state->mainForm->close() && q.dialogs.asked.size() == 1);
    EXPECT_TRUE(q.dialogs.asked[0].prompt.startsWith("次のファイルを保存できませんでした:\n"));
    for (const char* file : {"Setting.ini", "PlayLists/LastPlayList.lst"})
        EXPECT_TRUE(q.dialogs.asked[0].prompt.contains(q.folder() + file)) << file;
    EXPECT_TRUE(QFile::exists(q.folder() + "PlayLists/.LastPlayList.recovery"));
}

// Starts on these settings ("%F": the program folder) and this last playlist, runs act on the
// shown window and closes it: the folder box, then the stored Left, Top, Width, Height,
// LoopMode and Volume. Whatever the settings, the start (with no entry: an empty last playlist is
// none) and the exit do the same.
QString StartAndClose(const char* settings, const char* last, void (*act)(frmQuorvane&)) {
    TestProgram p;
    QDir().mkpath(p.folder() + "scan/Sub");
    p.dir.write("Setting.ini",
                QString(settings).replace("%F", p.folder()).replace("\n", "\r\n").toUtf8());
    if (last) p.dir.write("PlayLists/LastPlayList.lst", last);
    p.Start();
    frmQuorvane& f = *p.state->mainForm;
    EXPECT_TRUE(f.isVisible() && !p.state->splash && f.chkSF->isChecked());
    EXPECT_EQ(p.clock.sleeps, QList<uint32_t>{2500});  // the clock stood still
    EXPECT_TRUE(p.state->objMediaPlay->StopByUser() && f.TV1->Root()->child(0)->isExpanded());
    EXPECT_EQ(f.Panel(4)->text() + "|" + p.state->strFoundMedia.join(u'|'), "ready|");
    EXPECT_TRUE(!p.mci.commands.contains("play PlayData") &&
                p.state->objMediaPlay->PlayingID() == 0);
    if (act) act(f);
    QStringList out{f.Text1->text().replace(p.folder(), "%F")};
    p.mci.commands.clear();
    EXPECT_TRUE(f.close() && p.ended);
    EXPECT_EQ(p.mci.commands, (QStringList{"stop PlayData", "close PlayData"}));
    EXPECT_EQ(ReadAll(p.folder() + "PlayLists/LastPlayList.lst"), "\r\n");
    EXPECT_EQ(Read(p, "LastPlayList"), p.folder() + "PlayLists/LastPlayList.lst");
    for (auto key : {"Left", "Top", "Width", "Height", "LoopMode", "Volume"}) out << Read(p, key);
    return out.join(u'|');
}

TEST(Startup, StoredWindowAndSettingsComeBackAndGoBack) {
    // The settings, LastPlayList.lst, what is done to the window, what comes back.
    const std::tuple<const char*, const char*, void (*)(frmQuorvane&), const char*> rows[] = {
        {"[Quorvane]\nLeft=1234\nTop=567\nWidth=9001\nHeight=7003\nLoopMode=2\n"
         "Volume= 250\n[File]\nLastSearchedPath=%Fscan/sub\n",
         "\r\n", nullptr, "%Fscan/Sub|1234|567|9001|7003|2|250"},  // the folder as stored
        {"[Quorvane]\nLeft=abc\nTop=  1 5x\nWidth=0\nHeight=zz\nLoopMode=2.6junk\n"
         "Volume=20x\n[File]\nLastSearchedPath=/no/such/folder\n",
         nullptr, nullptr, "|0|15|8550|6555|0|1000"},
        // Smaller than the smallest usable size: the default.
        {"[Quorvane]\nLeft=30\nTop=45\nWidth=3974\nHeight=2100\nLoopMode=-1\nVolume=-20\n", nullptr,
         nullptr, "|30|45|8550|2100|0|0"},
        {"[Quorvane]\nWidth=3975\nHeight=2099\nVolume=5000\n", nullptr, nullptr,
         "|0|0|3975|6555|0|1000"},
        {"", nullptr, [](frmQuorvane& f) { f.move(20, 10); }, "|300|150|8550|6555|0|1000"},
        // A maximized window stores its normal rectangle.
        {"[Quorvane]\nLeft=150\nTop=150\nWidth=6000\nHeight=5000\n", nullptr,
         [](frmQuorvane& f) {
             f.showMaximized();
             QCoreApplication::processEvents();
             EXPECT_TRUE(f.isMaximized() && f.width() != Px(6000));
         },
         "|150|150|6000|5000|0|1000"},
        // Off every screen: back at the primary screen's top left. Larger than the screen
        // (800 x 600 pixels): shrunk to it, inside it, and stored as shown.
        {"[Quorvane]\nLeft=-9000000\nTop=9000000\n", nullptr, nullptr, "|0|0|8550|6555|0|1000"},
        {"[Quorvane]\nLeft=300\nTop=-150\nWidth=36000\nHeight=7005\n", nullptr, nullptr,
         "|0|0|12000|7005|0|1000"},
    };
    for (const auto& [settings, last, act, after] : rows)
        EXPECT_EQ(StartAndClose(settings, last, act), after);
    // Where a window of a stored size is shown on more screens: on the one that holds most of
    // it, and within its free area when it is larger than that. A primary screen with a panel at
    // the top, and a smaller one to its right.
    const QList<ScreenArea> screens = {{{0, 0, 1600, 1000}, {0, 30, 1600, 970}},
                                       {{1600, 0, 800, 600}, {1600, 0, 800, 600}}};
    EXPECT_EQ(PlaceOnScreens({100, 100, 2400, 1600}, screens), QRect(0, 30, 1600, 970));
    // Mostly on the second screen, and too tall for it; one that fits stays, partly off.
    EXPECT_EQ(PlaceOnScreens({1500, 200, 600, 900}, screens), QRect(1600, 0, 600, 600));
    EXPECT_EQ(PlaceOnScreens({1590, 500, 570, 437}, screens), QRect(1590, 500, 570, 437));
}
