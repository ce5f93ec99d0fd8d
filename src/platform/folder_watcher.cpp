// The watcher's thread waits on the inotify descriptor and on an eventfd that
// wakes it for the commands of the owning thread. Only it touches the maps of
// paths and watch descriptors.
#include "platform/folder_watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <QSet>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/paths.h"
#include "platform/thread_name.h"

namespace qv {
namespace {

// What changes a folder's entries, or the folder itself.
constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                           IN_MOVE_SELF | IN_ONLYDIR;

}  // namespace

struct FolderWatcher::Worker {
    struct Command {
        bool add;
        QStringList folders;
    };

    FolderWatcher& owner;
    int inotify = -1;
    int wake = -1;
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::deque<Command> commands;  // under mutex
    // The watcher thread's own.
    QHash<QString, int> wdOf;
    QHash<int, QStringList> pathsOf;

    explicit Worker(FolderWatcher& o) : owner(o) {
        inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (inotify < 0) return;
        wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wake >= 0) {
            try {
                thread = std::thread([this] {
                    NameThisThread("qv-folder-watch");
                    Run();
                });
                return;
            } catch (const std::system_error&) {
            }
        }
        Close();
    }

    ~Worker() {
        if (thread.joinable()) {
            stopping = true;
            Wake();
            thread.join();
        }
        Close();
    }

    void Close() {
        if (inotify >= 0) close(inotify);
        if (wake >= 0) close(wake);
        inotify = wake = -1;
    }

    bool Running() const { return thread.joinable(); }

    void Post(Command command) {
        {
            const std::lock_guard lock(mutex);
            commands.push_back(std::move(command));
        }
        Wake();
    }

    void Wake() const {
        const uint64_t one = 1;
        // A full counter wakes the thread as well as a one added would.
        [[maybe_unused]] const ssize_t n = write(wake, &one, sizeof one);
    }

    void Run() {
        std::array<pollfd, 2> fds{{{inotify, POLLIN, 0}, {wake, POLLIN, 0}}};
        while (!stopping) {
            if (poll(fds.data(), fds.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[1].revents) {
                uint64_t count;
                [[maybe_unused]] const ssize_t n = read(wake, &count, sizeof count);
                RunCommands();
            }
            if (fds[0].revents) ReadEvents();
        }
    }

    void RunCommands() {
        std::deque<Command> taken;
        {
            const std::lock_guard lock(mutex);
            taken.swap(commands);
        }
        for (const Command& command : taken) {
            if (stopping) return;
            const qsizetype refused = command.add ? AddWatches(command.folders) : 0;
            if (!command.add) RemoveWatches(command.folders.value(0));
            QMetaObject::invokeMethod(
                &owner, [o = &owner, add = command.add, refused] { o->Done(add, refused); },
                Qt::QueuedConnection);
        }
    }

    qsizetype AddWatches(const QStringList& folders) {
        qsizetype refused = 0;
        for (const QString& folder : folders) {
            if (stopping) break;
            if (wdOf.contains(folder)) continue;
            const int wd = inotify_add_watch(inotify, QFile::encodeName(folder).constData(), kMask);
            if (wd < 0) {
                // ENOSPC is the limit on watches; a folder gone or not a
                // folder any more is no news.
                if (errno == ENOSPC || errno == ENOMEM) ++refused;
                continue;
            }
            wdOf.insert(folder, wd);
            // One folder by two paths (a link) has one descriptor.
            pathsOf[wd].append(folder);
        }
        return refused;
    }

    void RemoveWatches(const QString& folder) {
        for (auto it = wdOf.begin(); it != wdOf.end();) {
            if (!PathIsIn(it.key(), folder)) {
                ++it;
                continue;
            }
            const int wd = it.value();
            const auto paths = pathsOf.find(wd);
            if (paths != pathsOf.end()) {
                paths->removeOne(it.key());
                if (paths->isEmpty()) {
                    pathsOf.erase(paths);
                    inotify_rm_watch(inotify, wd);
                }
            }
            it = wdOf.erase(it);
        }
    }

    void ReadEvents() {
        alignas(inotify_event) char buffer[64 * 1024];
        QStringList changed;
        QSet<QString> seen;
        for (;;) {
            const ssize_t n = read(inotify, buffer, sizeof buffer);
            if (n <= 0) break;  // EAGAIN: all read
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                const auto paths = pathsOf.constFind(event->wd);
                if (paths == pathsOf.cend()) continue;
                if (event->mask & IN_IGNORED) {
                    // The system dropped the watch (the folder is gone).
                    for (const QString& path : *paths) wdOf.remove(path);
                    pathsOf.erase(paths);
                    continue;
                }
                for (const QString& path : *paths)
                    if (!seen.contains(path)) {
                        seen.insert(path);
                        changed.append(path);
                    }
            }
        }
        // A queue overflow loses events: the folders of those show at the
        // next scan or start, as a change made while the program was closed.
        if (changed.isEmpty()) return;
        QMetaObject::invokeMethod(
            &owner, [o = &owner, changed = std::move(changed)] { o->Changed(changed); },
            Qt::QueuedConnection);
    }
};

FolderWatcher::FolderWatcher(Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)), worker_(std::make_unique<Worker>(*this)) {}

FolderWatcher::~FolderWatcher() {
    // Joined here, before the answers it posted are dropped with this object.
    worker_.reset();
}

bool FolderWatcher::Usable() const {
    return worker_->Running();
}

void FolderWatcher::Add(const QStringList& folders) {
    if (!Usable() || folders.isEmpty()) return;
    ++pending_;
    worker_->Post({true, folders});
}

void FolderWatcher::RemoveBelow(const QString& folder) {
    if (!Usable()) return;
    ++pending_;
    worker_->Post({false, {folder}});
}

void FolderWatcher::Changed(const QStringList& folders) {
    if (handlers_.changed) handlers_.changed(folders);
}

void FolderWatcher::Done(bool added, qsizetype refused) {
    --pending_;
    if (added && handlers_.added) handlers_.added(refused);
}

}  // namespace qv
