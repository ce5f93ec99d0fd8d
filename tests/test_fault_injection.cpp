// Every writer of the program's files on a disk that fails under it: full part-way, fsync or
// rename refused, a read-only folder, and the writing process killed at random points.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <cstdio>
#include <limits>
#include <set>

#include "platform/profile.h"
#include "platform/textfile.h"
#include "support/test_program.h"

namespace {

using qvtest::ReadAll;
using qvtest::TempDir;

enum class Outcome { Success, Failure, Killed };

// The child in serve mode: every write in a process of its own, forked from one that has
// loaded everything already, so that hundreds of tries take seconds.
class WriteServer {
  public:
    WriteServer() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QV_FAILWRITE));
        // The sanitizer runtime wants to come first; here the fault library does.
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) +
                                                       QStringLiteral(":verify_asan_link_order=0"));
        child_.setProcessEnvironment(env);
        child_.start(QStringLiteral(QV_WRITE_CHILD), {QStringLiteral("serve")});
        EXPECT_TRUE(child_.waitForStarted(10000));
    }
    ~WriteServer() {
        child_.closeWriteChannel();
        child_.waitForFinished(10000);
    }

    // One write on the disk the faults describe ("QV_..." settings of the fault library).
    // killAfterUs >= 0: SIGKILL that many microseconds after the write began.
    Outcome Run(const QStringList& args, const QStringList& faults = {}, qint64 killAfterUs = -1) {
        child_.write((faults.join(u',') + u'\t' + args.join(u'\t')).toUtf8() + '\n');
        const QByteArray ready = Line();
        EXPECT_TRUE(ready.startsWith("ready ")) << ready.toStdString();
        if (killAfterUs >= 0) {
            ::usleep(useconds_t(killAfterUs));
            ::kill(ready.mid(6).toInt(), SIGKILL);
        }
        const QByteArray end = Line();
        EXPECT_TRUE(end.startsWith("end ") && end != "end 2") << end.toStdString();
        return end == "end 0"    ? Outcome::Success
               : end == "end -1" ? Outcome::Killed
                                 : Outcome::Failure;
    }

  private:
    QByteArray Line() {
        while (!child_.canReadLine() && child_.waitForReadyRead(10000)) {
        }
        return child_.readLine().trimmed();
    }
    QProcess child_;
};

struct Writer {
    const char* name;
    QString target;  // in the program folder
    bool append;
    // Child arguments after the program folder; "%M" is the media folder, "%A" the program's.
    QStringList seed, change;
};

QStringList Words(const char* text) {
    return QString::fromUtf8(text).split(u'|');
}

const Writer kWriters[] = {
    {"Setting.ini", "Setting.ini", false, Words("ini|以前の値 old"),
     QStringList{"ini", QStringLiteral("新しい値 new value ").repeated(20)}},
    {"MediaDB.db", "MediaDB.db", true, Words("db|%M|0|30"), Words("db|%M|20|40")},
    {"playlist", "PlayLists/mine.lst", false, Words("lst|%A/PlayLists/mine.lst|%M|0|10"),
     Words("lst|%A/PlayLists/mine.lst|%M|5|50")},
};

class FaultInjection : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        w = kWriters[GetParam()];
        for (int n = 0; n < 60; ++n) dir.write(QStringLiteral("media/song%1.mp3").arg(n), {});
        // A settings file with more in it than the one value written.
        for (const QString& folder : {dir.file("app/"), dir.file("clean/")}) {
            dir.write(folder.mid(dir.path().size()) + "Setting.ini",
                      "[Quorvane]\r\nLoopMode=1\r\n\r\n[File]\r\nLastSearchedPath=/x\r\n");
            ASSERT_TRUE(QDir().mkpath(folder + "PlayLists"));
            ASSERT_EQ(server.Run(Args(w.seed, folder)), Outcome::Success);
        }
        ASSERT_EQ(server.Run(Args(w.change, dir.file("clean/"))), Outcome::Success);
        old = ReadAll(app + w.target);
        fresh = ReadAll(dir.file("clean/") + w.target);
        ASSERT_NE(old, fresh);
    }

    QStringList Args(const QStringList& pattern, const QString& folder) const {
        QStringList out{pattern[0], folder};
        for (QString a : pattern.mid(1))
            out.append(a.replace("%M", dir.file("media")).replace("%A", folder));
        return out;
    }

    // The file after one faulty run: the old content whole after a reported failure, the new
    // one whole after success, either after a kill (an append may also be cut anywhere after
    // the old content); the settings still read. False when content was lost.
    bool Check(Outcome o) {
        const QByteArray now = ReadAll(app + w.target);
        if (now != old && now != fresh) ++cut;
        bool whole = o == Outcome::Success   ? now == fresh
                     : o == Outcome::Failure ? now == old
                     : w.append              ? now.startsWith(old) && fresh.startsWith(now)
                                             : now == old || now == fresh;
        return whole && qv::ReadProfileString(app + "Setting.ini", "Quorvane", "LoopMode") == u"1";
    }

    // Back to the old content for the next try; temporary files a kill left are counted.
    void Reset() {
        const QString folder = app + w.target.left(w.target.lastIndexOf(u'/') + 1);
        for (const QString& name : QDir(folder).entryList({"*.tmp-*"}, QDir::Files))
            leftovers += QFile::remove(folder + name);
        dir.write("app/" + w.target, old);
    }

    // The next start after all the damage: a clean run writes, and the file reads back
    // (an append may leave a cut line between the old lines and the new ones).
    void ExpectNextRunWorks() {
        ASSERT_EQ(server.Run(Args(w.change, app)), Outcome::Success);
        const QStringList lines = *qv::ReadTextFile(app + w.target);
        EXPECT_TRUE(w.append || ReadAll(app + w.target) == fresh);
        for (const QString& line : qv::SplitTextLines(fresh)) EXPECT_TRUE(lines.contains(line));
    }

    void Figure(const char* what, int tries, int lost) {
        std::printf("[fault] %s, %s: %d injected, %d cut, %d temporary files left, %d lost\n",
                    w.name, what, tries, cut, leftovers, lost);
    }

    WriteServer server;
    TempDir dir;
    const QString app = dir.file("app/");
    Writer w;
    QByteArray old, fresh;
    int cut = 0, leftovers = 0;
};

TEST_P(FaultInjection, FullDiskFailingSyncOrRenameAndReadOnlyFolderLeaveTheOldFileWhole) {
    // Budgets over the bytes this write adds: every point for short writes, an even spread
    // over longer ones, and the edges. The read-only folder stands for a read-only mount: the
    // tests run as root, whom a folder's permission bits do not stop.
    const int size = int(fresh.size() - (w.append ? old.size() : 0));
    // A set: the spread may land on the edges too, and each budget counts once.
    std::set<int> budgets{size - 1, size};
    for (int n = 0; n < size; n += std::max(1, size / 40)) budgets.insert(n);
    QList<QStringList> faults;
    for (int n : budgets) faults.append({QStringLiteral("QV_FAIL_WRITE_AFTER=%1").arg(n)});
    faults.append({QStringLiteral("QV_FAIL_FSYNC=1")});
    if (!w.append) faults.append({QStringLiteral("QV_FAIL_RENAME=1")});
    faults.append({"QV_READONLY_DIR=" + app});
    int lost = 0, failures = 0;
    for (const QStringList& fault : faults) {
        const Outcome o = server.Run(Args(w.change, app), fault);
        failures += o == Outcome::Failure;
        if (!Check(o)) ADD_FAILURE() << ++lost << ": " << fault.join(u' ').toStdString();
        Reset();
    }
    EXPECT_EQ(leftovers, 0);                 // a failed write takes its temporary file back
    EXPECT_EQ(failures, faults.size() - 1);  // only the budget of the whole write suffices
    Figure("disk full / fsync / rename / read-only", int(faults.size()), lost);
    ExpectNextRunWorks();
}

TEST_P(FaultInjection, KilledAtRandomPointsNeverLosesTheOldContent) {
    // Writes trickle out a few bytes at a time, so that the kills spread over the whole
    // write; the delays cover about one write.
    const QStringList trickle = {QStringLiteral("QV_TRICKLE_USEC=20")};
    qint64 span = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        ASSERT_EQ(server.Run(Args(w.change, app), trickle), Outcome::Success);
        span = std::min(span, clock.nsecsElapsed() / 1000);
    }
    Reset();
    QRandomGenerator random(20261207u + GetParam());
    int lost = 0, killed = 0;
    for (int i = 0; i < 200; ++i) {
        const Outcome o = server.Run(Args(w.change, app), trickle, random.bounded(span));
        killed += o == Outcome::Killed;
        if (!Check(o)) ADD_FAILURE() << ++lost << ": try " << i;
        Reset();
    }
    EXPECT_GT(killed, 20);
    EXPECT_GT(cut + leftovers, 0);  // some kills did land inside a write
    Figure(QByteArray("SIGKILL, " + QByteArray::number(killed) + " killed mid-way").constData(),
           200, lost);
    ExpectNextRunWorks();
}

INSTANTIATE_TEST_SUITE_P(Writers, FaultInjection, ::testing::Range(0, 3));

}  // namespace
