// One running copy per user: a lock file in the user's runtime folder. A copy
// killed without cleaning up leaves a lock that the next start takes over.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace qv {

// The lock file's path: XDG_RUNTIME_DIR (or Qt's runtime location) + "/quorvane.lock".
QString InstanceLockPath();

// Holds the lock while alive; Acquired() false means another copy runs.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& lockPath = InstanceLockPath());
    bool Acquired() const { return acquired_; }

  private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

}  // namespace qv
