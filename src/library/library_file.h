// The library file's writer. Every append to MediaDB.db (a scan's end, the
// folder watch's finds) runs in order on a thread of its own, with the read of
// the whole file that tells the lines it holds already: for a large library
// that read alone is a good part of a second the window would not answer.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "library/media_db.h"

namespace qv {

class ProgramState;

class LibraryFile final : public QObject {
  public:
    explicit LibraryFile(QString path);
    // Carries out what is queued; no answer is given any more.
    ~LibraryFile() override;
    LibraryFile(const LibraryFile&) = delete;
    LibraryFile& operator=(const LibraryFile&) = delete;

    // Reads the file's lines ahead of the next append (a scan's start), which
    // uses them unless the file changed meanwhile.
    void ReadAhead();
    // AppendToMediaDBFile, after everything asked before; answered with its
    // result on this thread (from its event loop, or within Finish).
    void Append(const QString& root, const QStringList& found, std::function<void(bool)> answered);
    // Waits for everything asked so far and gives its answers before it returns.
    void Finish();

  private:
    struct Job {
        bool append;
        QString root;
        QStringList found;
        std::function<void(bool)> answered;
    };
    void Run();
    bool Carry(const Job& job);
    void Answer();

    const QString path_;
    MediaDBAhead ahead_;  // the writer's own
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<Job> jobs_;  // under mutex_, as all below
    bool busy_ = false;
    bool stopping_ = false;
    std::vector<std::pair<std::function<void(bool)>, bool>> answers_;
    std::thread thread_;
};

// The program's library file writer, made at its first use.
LibraryFile& LibraryFileOf(ProgramState& state);

}  // namespace qv
