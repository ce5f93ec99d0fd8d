#include "library/library_file.h"

#include <system_error>

#include "app/program_state.h"
#include "platform/thread_name.h"

namespace qv {

LibraryFile::LibraryFile(QString path) : path_(std::move(path)) {
    try {
        thread_ = std::thread([this] {
            NameThisThread("qv-library-file");
            Run();
        });
    } catch (const std::system_error&) {
        // No thread to be had: each job is carried out as it is asked for.
    }
}

LibraryFile::~LibraryFile() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void LibraryFile::ReadAhead() {
    if (!thread_.joinable()) return;  // read with the append itself
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back({false, {}, {}, {}});
    }
    wake_.notify_one();
}

void LibraryFile::Append(const QString& root, const QStringList& found,
                         std::function<void(bool)> answered) {
    Job job{true, root, found, std::move(answered)};
    if (!thread_.joinable()) {
        const bool ok = Carry(job);
        if (job.answered) job.answered(ok);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void LibraryFile::Finish() {
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }
    Answer();
}

void LibraryFile::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        // What is queued is carried out even when stopping: a path found
        // must not be lost with the program's end.
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        const Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        const bool ok = Carry(job);
        lock.lock();
        busy_ = false;
        if (job.answered && !stopping_) {
            answers_.emplace_back(job.answered, ok);
            QMetaObject::invokeMethod(
                this, [this] { Answer(); }, Qt::QueuedConnection);
        }
        idle_.notify_all();
    }
}

bool LibraryFile::Carry(const Job& job) {
    if (!job.append) {
        ahead_ = ReadMediaDBAhead(path_);
        return ahead_ != nullptr;
    }
    return AppendToMediaDBFile(path_, job.root, job.found, std::move(ahead_));
}

void LibraryFile::Answer() {
    std::vector<std::pair<std::function<void(bool)>, bool>> answers;
    {
        const std::lock_guard lock(mutex_);
        answers.swap(answers_);
    }
    for (const auto& [answered, ok] : answers) answered(ok);
}

LibraryFile& LibraryFileOf(ProgramState& state) {
    if (!state.libraryFile) state.libraryFile = std::make_unique<LibraryFile>(MediaDBPath(state));
    return *state.libraryFile;
}

}  // namespace qv
