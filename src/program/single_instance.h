// One running copy per user and program folder: a lock file in the user's
// runtime folder, or, when that folder cannot hold one, in another place of
// the user's own. A copy
// killed without cleaning up leaves a lock that the next start takes over.
#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace qv {

// A folder that may hold the lock file "quorvane.lock".
struct LockPlace {
    QString folder;
    bool make = false;  // the program's own folder: made (mode 700) when missing
};

// Best first: the runtime folder (XDG_RUNTIME_DIR), "quorvane" in the per-user
// cache folder, and "quorvane-<uid>" in the temporary folder, then
// "quorvane-<uid>-1" ... "-7" there, for when another user made that first.
std::vector<LockPlace> InstanceLockPlaces();

// Holds the lock while alive.
class SingleInstance {
  public:
    enum class Outcome {
        Acquired,     // this is the one copy
        AnotherCopy,  // a live copy holds the lock: this start ends
        NoLock,       // no place could hold a lock: this copy runs unguarded
    };

    // Takes the lock of the copy of programFolder in the first place that can
    // hold one. A place can when it is a folder of this user that nobody else
    // may write into, and short enough a path for the hand-off's socket.
    explicit SingleInstance(const QString& programFolder,
                            const std::vector<LockPlace>& places = InstanceLockPlaces());
    Outcome Result() const { return outcome_; }
    // The lock file held; empty unless Acquired.
    QString LockPath() const;
    // The place of the lock this copy holds, or of the one a live copy holds
    // (the running copy listens there for the files of a second start); empty
    // with NoLock.
    QString Folder() const { return folder_; }

  private:
    std::unique_ptr<QLockFile> lock_;
    Outcome outcome_ = Outcome::NoLock;
    QString folder_;
};

// The one line told on standard error when a copy runs without a lock.
QString NoLockWarning(const std::vector<LockPlace>& places);

}  // namespace qv
