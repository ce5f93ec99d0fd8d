// The worker lists and sorts the folders, the slow part of a walk on a large
// or cold tree; the starting thread only takes what it found. Batches keep the
// hand-over cheap, and the starting thread takes them for a share of a turn
// at a time, so its window answers input and paints however fast they come.
#include "platform/folder_walk_thread.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <system_error>
#include <utility>

#include "platform/folder_walk.h"
#include "platform/thread_name.h"

namespace qv {
namespace {

// A batch older than this goes at the next find: a slow file system still
// shows where the walk is.
constexpr qint64 kBatchMs = 20;
// How long one turn of the starting thread's event loop takes finds for.
constexpr qint64 kTurnMs = 10;

}  // namespace

class FolderWalkThread::Worker final : public FolderWalk {
  public:
    explicit Worker(FolderWalkThread& owner)
        : FolderWalk(bool(owner.handlers_.arrange)), owner_(owner) {
        batch_.reserve(kBatchSize);
        age_.start();
    }

    // The finds not handed on yet go.
    void Finish() { owner_.Flush(batch_); }

  protected:
    bool Aborted() override { return owner_.abort_.load(std::memory_order_relaxed); }
    void FolderMet(const QString& FolderPath, const QString& FullPath,
                   bool IncludeSubFolders) override {
        Hand({WalkFind::Folder, FullPath, FolderPath});
        if (IncludeSubFolders) Walk(FullPath, true);
    }
    void MediaMet(const QString& FullPath, const QString& Extension) override {
        Hand({WalkFind::Media, FullPath, Extension});
    }
    std::vector<size_t> ArrangeMediaFiles(const QStringList& paths) override {
        return owner_.handlers_.arrange(paths);
    }

  private:
    void Hand(WalkFind&& find) {
        if (batch_.empty()) age_.restart();
        batch_.push_back(std::move(find));
        if (batch_.size() >= kBatchSize || age_.elapsed() >= kBatchMs) owner_.Flush(batch_);
    }

    FolderWalkThread& owner_;
    std::vector<WalkFind> batch_;
    QElapsedTimer age_;
};

FolderWalkThread::FolderWalkThread(Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)) {}

FolderWalkThread::~FolderWalkThread() {
    Stop();
}

void FolderWalkThread::Start(const QString& FolderPath, bool IncludeSubFolders) {
    running_ = true;
    const auto walk = [this, FolderPath, IncludeSubFolders] {
        Worker worker(*this);
        worker.Walk(FolderPath, IncludeSubFolders);
        worker.Finish();
        const std::lock_guard lock(mutex_);
        ended_ = true;
        unstorable_ = worker.Unstorable();
        Wake();
    };
    try {
        thread_ = std::thread([walk] {
            NameThisThread("qv-walk");
            walk();
        });
    } catch (const std::system_error&) {
        // No thread to be had: the walk ends at once, having found nothing.
        const std::lock_guard lock(mutex_);
        ended_ = true;
        Wake();
    }
}

void FolderWalkThread::Abort() {
    abort_ = true;
    {
        const std::lock_guard lock(mutex_);
        batches_.clear();
    }
    room_.notify_all();
}

void FolderWalkThread::Stop() {
    stopped_ = true;
    Abort();
    if (thread_.joinable()) thread_.join();
    running_ = false;
}

void FolderWalkThread::Flush(std::vector<WalkFind>& batch) {
    if (batch.empty()) return;
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return batches_.size() < kBatchesAhead || abort_; });
    if (!abort_) {
        batches_.push_back(std::move(batch));
        Wake();
    }
    batch.clear();
    batch.reserve(kBatchSize);
}

void FolderWalkThread::Wake() {
    if (std::exchange(wakePosted_, true)) return;
    QMetaObject::invokeMethod(
        this, [this] { Drain(); }, Qt::QueuedConnection);
}

void FolderWalkThread::Drain() {
    if (stopped_ || !running_) return;
    QElapsedTimer turn;
    turn.start();
    bool handed = false, ended = false;
    for (;;) {
        std::vector<WalkFind> batch;
        {
            const std::lock_guard lock(mutex_);
            if (batches_.empty() || turn.elapsed() >= kTurnMs) {
                ended = ended_ && batches_.empty();
                // What is left waits for the next turn; with nothing left,
                // the worker's next batch (or its end) calls again.
                wakePosted_ = false;
                if (!batches_.empty()) Wake();
                break;
            }
            batch = std::move(batches_.front());
            batches_.pop_front();
        }
        room_.notify_one();
        for (const WalkFind& find : batch) {
            if (abort_) break;
            handlers_.found(find);
            if (stopped_) return;
        }
        handed = true;
    }
    if (handed && handlers_.turnDone) handlers_.turnDone();
    if (!ended || stopped_) return;
    thread_.join();  // it has set ended_, its last step
    running_ = false;
    handlers_.finished(unstorable_);
}

}  // namespace qv
