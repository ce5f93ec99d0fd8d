// The previous-instance test. QLockFile writes its PID into the lock, so a
// lock whose process is gone is stale and taken over at once.
#include "app/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace qv {

QString InstanceLockPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QStringLiteral("/quorvane.lock");
}

SingleInstance::SingleInstance(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {
    acquired_ = lock_->tryLock(0);
}

}  // namespace qv
