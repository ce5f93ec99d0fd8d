// A FolderWalk on a worker thread: the folders are listed there, and what the
// walk meets reaches the thread that started it in batches, between its other events.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qv {

// One thing a walk met, in the order of the walk.
struct WalkFind {
    enum Kind : unsigned char { Folder, Media };
    Kind kind;
    QString path;    // the folder or the media file
    QString detail;  // Folder: the folder it was listed in; Media: the upper-cased extension
};

class FolderWalkThread final : public QObject {
  public:
    // The most finds a batch holds, and the most batches that wait for the
    // starting thread before the worker waits in turn: a walk far ahead of
    // the window would only hold memory.
    static constexpr size_t kBatchSize = 256;
    static constexpr size_t kBatchesAhead = 16;

    // All but arrange are called on the thread that made the walk, which runs
    // an event loop; none is called once Stop has begun.
    struct Handlers {
        // Each find, in walk order; none after Abort.
        std::function<void(const WalkFind&)> found;
        // After the finds handed on in one turn of the event loop.
        std::function<void()> turnDone;
        // Once, after the worker has ended (an aborted one too) and every
        // find before it was handed on. unstorable: FolderWalk::Unstorable.
        std::function<void(const QStringList& unstorable)> finished;
        // On the worker: FolderWalk::ArrangeMediaFiles; empty for name order.
        std::function<std::vector<size_t>(const QStringList& paths)> arrange;
    };

    explicit FolderWalkThread(Handlers handlers, QObject* parent = nullptr);
    // Stops the walk.
    ~FolderWalkThread() override;
    FolderWalkThread(const FolderWalkThread&) = delete;
    FolderWalkThread& operator=(const FolderWalkThread&) = delete;

    // FolderWalk::Walk of FolderPath on the worker; once per object.
    void Start(const QString& FolderPath, bool IncludeSubFolders);
    // The worker ends before its next entry; what it met and has not handed
    // on is dropped. finished still comes, once it has ended.
    void Abort();
    // Abort, and waits for the worker to end; no handler is called from now on.
    void Stop();
    // From Start until finished is called or Stop.
    bool Running() const { return running_; }

  private:
    class Worker;

    // Worker: hands the batch on, waiting while too many are ahead of it.
    void Flush(std::vector<WalkFind>& batch);
    // Worker, with mutex_ held: has Drain called soon, unless it is already.
    void Wake();
    // Starting thread: hands on the waiting batches for a turn's share of time.
    void Drain();

    Handlers handlers_;
    std::thread thread_;
    std::atomic<bool> abort_{false};
    bool running_ = false;
    bool stopped_ = false;

    std::mutex mutex_;
    std::condition_variable room_;  // a batch was taken, or the walk aborted
    std::deque<std::vector<WalkFind>> batches_;
    bool wakePosted_ = false;
    bool ended_ = false;  // the worker is done; unstorable_ is set
    QStringList unstorable_;
};

}  // namespace qv
