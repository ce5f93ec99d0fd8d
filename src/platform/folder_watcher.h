// Folders watched through the system's inotify on a thread of its own. The
// watches are added there, so that tens of thousands of folders never hold
// the thread that asks, and each path is kept in a hash: the cost of a
// folder does not grow with the number already watched.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace qv {

class FolderWatcher final : public QObject {
  public:
    struct Handlers {
        // The folders whose entries changed (a file or folder made, removed
        // or renamed in them), or that were themselves removed or renamed;
        // each once per look at the system's events.
        std::function<void(const QStringList& folders)> changed;
        // For each Add, once it was carried out: the folders the system
        // refused for its limit on watches (not those that are gone).
        std::function<void(qsizetype refused)> added;
    };

    // The handlers are called on the thread that made the watcher, which
    // runs an event loop; none after the watcher is destroyed.
    explicit FolderWatcher(Handlers handlers, QObject* parent = nullptr);
    ~FolderWatcher() override;
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // False when the system gave no inotify instance: nothing is watched.
    bool Usable() const;
    // Adds or removes watches, in the order asked, on the watcher's thread.
    // A folder already watched is passed over; a folder reached by two
    // paths is watched until both are removed.
    void Add(const QStringList& folders);
    // Stops watching folder and every folder inside it.
    void RemoveBelow(const QString& folder);
    // Whether every Add and RemoveBelow asked for has been carried out.
    bool Settled() const { return pending_ == 0; }

  private:
    struct Worker;
    void Changed(const QStringList& folders);
    void Done(bool added, qsizetype refused);

    Handlers handlers_;
    int pending_ = 0;
    std::unique_ptr<Worker> worker_;
};

}  // namespace qv
