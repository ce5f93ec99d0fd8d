// A preloaded library that makes the disk misbehave for one process: writes to
// regular files fail with ENOSPC once a byte budget is spent, trickle out a few
// bytes at a time (so that a kill lands inside a write), or a folder is read-only.
//
// QV_FAIL_WRITE_AFTER=N  writes to regular files stop after N bytes in all (the
//                        write that crosses N is cut short; the next one fails)
// QV_FAIL_FSYNC=1        fsync and fdatasync fail with EIO
// QV_FAIL_RENAME=1       rename fails with EIO
// QV_READONLY_DIR=/path  creating, writing, renaming or removing anything under
//                        /path fails with EROFS, as on a read-only mount (root
//                        ignores a folder's permission bits, so chmod cannot say it)
// QV_TRICKLE_USEC=U      each write to a regular file writes at most 32 bytes,
//                        after a pause of U microseconds
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>

namespace {

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

long long EnvNumber(const char* name, long long fallback) {
    const char* text = getenv(name);
    return text && *text ? atoll(text) : fallback;
}

std::atomic<long long> written{0};

bool RegularFile(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// How many of count bytes this write may put down; -1 (errno set) when none.
ssize_t Allowed(int fd, size_t count) {
    if (!RegularFile(fd)) return static_cast<ssize_t>(count);
    if (const long long pause = EnvNumber("QV_TRICKLE_USEC", 0); pause > 0) {
        usleep(static_cast<useconds_t>(pause));
        if (count > 32) count = 32;
    }
    const long long budget = EnvNumber("QV_FAIL_WRITE_AFTER", -1);
    if (budget < 0) return static_cast<ssize_t>(count);
    const long long left = budget - written.load();
    if (left <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return static_cast<ssize_t>(static_cast<long long>(count) < left ? count : left);
}

void Count(int fd, ssize_t n) {
    if (n > 0 && RegularFile(fd)) written += n;
}

// True when path lies in the read-only folder (relative paths against the
// working folder).
bool ReadOnly(const char* path) {
    const char* folder = getenv("QV_READONLY_DIR");
    if (!folder || !*folder || !path) return false;
    char full[8192];
    if (path[0] == '/') {
        if (strlen(path) >= sizeof full) return false;
        strcpy(full, path);
    } else {
        if (!getcwd(full, sizeof full - 1) || strlen(full) + strlen(path) + 2 > sizeof full)
            return false;
        strcat(full, "/");
        strcat(full, path);
    }
    size_t n = strlen(folder);
    while (n > 1 && folder[n - 1] == '/') --n;
    return strncmp(full, folder, n) == 0 && (full[n] == '/' || full[n] == '\0');
}

bool Writes(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

int Refused(int code) {
    errno = code;
    return -1;
}

int OpenWith(const char* name, const char* path, int flags, mode_t mode) {
    if (Writes(flags) && ReadOnly(path)) return Refused(EROFS);
    return Next<int (*)(const char*, int, ...)>(name)(path, flags, mode);
}

int OpenAtWith(const char* name, int dirfd, const char* path, int flags, mode_t mode) {
    if (Writes(flags) && (dirfd == AT_FDCWD || path[0] == '/') && ReadOnly(path))
        return Refused(EROFS);
    return Next<int (*)(int, const char*, int, ...)>(name)(dirfd, path, flags, mode);
}

mode_t ModeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* buf, size_t count) {
    const ssize_t allowed = Allowed(fd, count);
    if (allowed < 0) return -1;
    const ssize_t n = Next<ssize_t (*)(int, const void*, size_t)>("write")(fd, buf, allowed);
    Count(fd, n);
    return n;
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset) {
    const ssize_t allowed = Allowed(fd, count);
    if (allowed < 0) return -1;
    const ssize_t n =
        Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, buf, allowed, offset);
    Count(fd, n);
    return n;
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off64_t offset) {
    const ssize_t allowed = Allowed(fd, count);
    if (allowed < 0) return -1;
    const ssize_t n =
        Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64")(fd, buf, allowed, offset);
    Count(fd, n);
    return n;
}

// Cut down to the first buffer when the budget or the trickle limits it.
ssize_t writev(int fd, const struct iovec* iov, int iovcnt) {
    size_t total = 0;
    for (int i = 0; i < iovcnt; ++i) total += iov[i].iov_len;
    const ssize_t allowed = Allowed(fd, total);
    if (allowed < 0) return -1;
    if (static_cast<size_t>(allowed) < total && iovcnt > 0)
        return write(fd, iov[0].iov_base,
                     iov[0].iov_len < static_cast<size_t>(allowed) ? iov[0].iov_len : allowed);
    const ssize_t n = Next<ssize_t (*)(int, const struct iovec*, int)>("writev")(fd, iov, iovcnt);
    Count(fd, n);
    return n;
}

int fsync(int fd) {
    if (EnvNumber("QV_FAIL_FSYNC", 0)) return Refused(EIO);
    return Next<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd) {
    if (EnvNumber("QV_FAIL_FSYNC", 0)) return Refused(EIO);
    return Next<int (*)(int)>("fdatasync")(fd);
}

int rename(const char* from, const char* to) {
    if (EnvNumber("QV_FAIL_RENAME", 0)) return Refused(EIO);
    if (ReadOnly(from) || ReadOnly(to)) return Refused(EROFS);
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

int unlink(const char* path) {
    if (ReadOnly(path)) return Refused(EROFS);
    return Next<int (*)(const char*)>("unlink")(path);
}

int mkdir(const char* path, mode_t mode) {
    if (ReadOnly(path)) return Refused(EROFS);
    return Next<int (*)(const char*, mode_t)>("mkdir")(path, mode);
}

int truncate(const char* path, off_t length) {
    if (ReadOnly(path)) return Refused(EROFS);
    return Next<int (*)(const char*, off_t)>("truncate")(path, length);
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    return OpenWith("open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    return OpenWith("open64", path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    return OpenAtWith("openat", dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    return OpenAtWith("openat64", dirfd, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
    return open(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

}  // extern "C"
