// Every writer of the program's files on a disk that fails under it: full part-way, fsync or
// rename refused, a read-only folder, and the writing process killed at each of these points.
// This program's own write, fsync, rename and open stand in for the C library's for every
// caller; each faulty write runs in a forked process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "app/playlist_data.h"
#include "library/media_db.h"
#include "platform/profile.h"
#include "platform/textfile.h"
#include "playlist/playlist_file.h"
#include "support/test_program.h"

namespace {

// The disk: writes to regular files stop with ENOSPC once failAfter bytes are down (the write
// that crosses it is cut short); fsync or rename fail with EIO; creating a file fails with
// EROFS, as in a read-only folder (the tests run as root, whom a folder's permission bits do
// not stop). With kill, the process is killed where the call would fail.
struct Disk {
    long long failAfter = -1;
    bool failSync = false, failRename = false, readOnly = false, kill = false;
    long long written = 0;
} disk;

int Refuse(int code) {
    if (disk.kill) raise(SIGKILL);
    errno = code;
    return -1;
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* buf, size_t count) {
    struct stat st;
    const bool limited = disk.failAfter >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (limited && disk.written >= disk.failAfter) return Refuse(ENOSPC);
    if (limited) count = std::min<size_t>(count, size_t(disk.failAfter - disk.written));
    const ssize_t n = syscall(SYS_write, fd, buf, count);
    if (limited && n > 0) disk.written += n;
    return n;
}

int fsync(int fd) {
    return disk.failSync ? Refuse(EIO) : int(syscall(SYS_fsync, fd));
}

int rename(const char* from, const char* to) noexcept {
    return disk.failRename ? Refuse(EIO) : int(syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(args, int)) : 0;
    va_end(args);
    if ((flags & O_CREAT) && disk.readOnly) return Refuse(EROFS);
    return int(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

}  // extern "C"

namespace {

using qvtest::ReadAll;
// How a forked writer ended: its exit status, or kKilled.
constexpr int kWritten = 0, kRefused = 1, kKilled = -1;

struct Writer {
    const char* target;  // in the program folder
    bool append;
    int first;  // the songs 0 to 29 are written first, then 40 from this one on
    bool (*write)(qv::ProgramState&, const QString& folder, const QStringList& songs);
};

const Writer kWriters[] = {
    {"Setting.ini", false, 0,
     [](qv::ProgramState& s, const QString&, const QStringList& songs) {
         return s.ini.WriteIni("Quorvane", "Note", songs.join(u'|')) != 0;
     }},
    {"MediaDB.db", true, 20,
     [](qv::ProgramState& s, const QString&, const QStringList& songs) {
         s.strSearchRoot = QStringLiteral("/音楽");
         s.strFoundMedia = songs;
         return qv::SaveMediaDB(s);
     }},
    {"mine.lst", false, 5,
     [](qv::ProgramState& s, const QString& folder, const QStringList& songs) {
         s.PlayListData.Set(0, {songs[0], {}, {}, 0});
         for (const QString& path : songs.mid(1)) s.PlayListData.Append({path, {}, {}, 0});
         return qv::SavePlayListFile(s, folder + "mine.lst");
     }},
};

class FaultInjection : public ::testing::TestWithParam<int> {};

TEST_P(FaultInjection, FullDiskFailedSyncOrRenameReadOnlyFolderOrAKillNeverLosesTheOldFile) {
    const Writer& w = kWriters[GetParam()];
    const qvtest::TempDir dir;
    const QString app = dir.file("app/");
    // Writes songs first to first + count - 1 in folder, in a forked process on a disk with
    // these faults.
    auto run = [&](const QString& folder, int first, int count, const Disk& faults) {
        qvtest::TestProgram t;  // for its sender, dialogs and clock
        qv::ProgramState state(folder, t.mci, t.dialogs, t.clock);
        QStringList songs;
        for (int n = first; n < first + count; ++n)
            songs.append(QStringLiteral("/音楽/曲%1.mp3").arg(n));
        const pid_t pid = fork();
        if (pid == 0) {
            disk = faults;
            _exit(w.write(state, folder, songs) ? kWritten : kRefused);
        }
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        return WIFEXITED(status) ? WEXITSTATUS(status) : kKilled;
    };
    // A settings file with more in it than the one value written.
    for (const QString folder : {"app/", "clean/"}) {
        dir.write(folder + "Setting.ini",
                  "[Quorvane]\r\nLoopMode=1\r\n\r\n[File]\r\nLastSearchedPath=/x\r\n");
        ASSERT_EQ(run(dir.file(folder), 0, 30, {}), kWritten);
    }
    ASSERT_EQ(run(dir.file("clean/"), w.first, 40, {}), kWritten);
    const QByteArray old = ReadAll(app + w.target), fresh = ReadAll(dir.file("clean/") + w.target);
    ASSERT_NE(old, fresh);

    // The file after one faulty run: the old content whole after a reported failure, the new
    // one whole after success, either after a kill (an append may also be cut anywhere after
    // the old content); the settings still read. Then back to the old content, counting the
    // temporary files left behind.
    int leftovers = 0;
    auto checkAndReset = [&](int o) {
        const QByteArray now = ReadAll(app + w.target);
        const bool whole = o == kWritten   ? now == fresh
                           : o == kRefused ? now == old
                           : w.append      ? now.startsWith(old) && fresh.startsWith(now)
                                           : now == old || now == fresh;
        for (const QString& name : QDir(app).entryList({"*.tmp-*"}, QDir::Files))
            leftovers += QFile::remove(app + name);
        dir.write("app/" + QString(w.target), old);
        return whole && qv::ReadProfileString(app + "Setting.ini", "Quorvane", "LoopMode") == u"1";
    };

    // Budgets over the bytes this write adds: the edges and an even spread.
    const int size = int(fresh.size() - (w.append ? old.size() : 0));
    QList<Disk> faults{Disk{.failAfter = size - 1}, Disk{.failAfter = size}};
    for (int n = 0; n < size; n += std::max(1, size / 40)) faults.append(Disk{.failAfter = n});
    faults.append(Disk{.failSync = true});
    if (!w.append) faults.append(Disk{.failRename = true});
    faults.append(Disk{.readOnly = true});
    // Each fault as an error, then as a kill: all but the budget of the whole write fail (a
    // playlist's write may be killed at the settings write after it).
    for (const bool kill : {false, true}) {
        int failures = 0;
        for (qsizetype i = 0; i < faults.size(); ++i) {
            faults[i].kill = kill;
            const int o = run(app, w.first, 40, faults[i]);
            failures += o == (kill ? kKilled : kRefused);
            EXPECT_TRUE(checkAndReset(o)) << "fault " << i << (kill ? ", killed" : "");
        }
        EXPECT_GE(failures, faults.size() - 1);
        EXPECT_TRUE(kill || leftovers == 0);  // a failed write takes its temporary file back
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, FaultInjection, ::testing::Range(0, 3));

}  // namespace
