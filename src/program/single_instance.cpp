// The previous-instance test. QLockFile writes its PID into the lock, so a
// lock whose process is gone is stale and taken over at once.
//
// Only a live copy may end a start. A lock that cannot be made at all (the
// runtime folder missing, read-only, not a folder, or another user's) moves
// to the next place; copies of one user start in the same environment, so
// they settle on the same place.
#include "program/single_instance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "program/handoff.h"

namespace qv {
namespace {

// Another user could plant a lock in a folder he may write into, and end
// every start of ours with it; in his own folder he could remove ours. And a
// place whose socket path is too long for the system would take the lock and
// then lose every second start's files.
bool Usable(const QString& folder, const QString& programFolder) {
    if (QFile::encodeName(HandOffSocketPath(folder, programFolder)).size() > kSocketPathMax)
        return false;
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 022) == 0;
}

void MakeFolder(const LockPlace& place) {
    if (!place.make || QFileInfo::exists(place.folder)) return;
    QDir().mkpath(QFileInfo(place.folder).path());
    ::mkdir(QFile::encodeName(place.folder).constData(), 0700);
}

}  // namespace

std::vector<LockPlace> InstanceLockPlaces() {
    std::vector<LockPlace> places;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        places.push_back({runtime, false});
    if (const QString cache =
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        !cache.isEmpty())
        places.push_back({cache + QStringLiteral("/quorvane"), true});
    const QString temp = QDir::tempPath() + QStringLiteral("/quorvane-%1").arg(::geteuid());
    places.push_back({temp, true});
    // Anyone may make the name above first; every copy of ours then moves on
    // along the same names, so they still meet.
    for (int i = 1; i <= 7; ++i) places.push_back({temp + QStringLiteral("-%1").arg(i), true});
    return places;
}

SingleInstance::SingleInstance(const QString& programFolder, const std::vector<LockPlace>& places) {
    const QString lockName = u'/' + InstanceName(programFolder) + QStringLiteral(".lock");
    size_t at = 0;
    for (; at < places.size() && outcome_ == Outcome::NoLock; ++at) {
        MakeFolder(places[at]);
        if (!Usable(places[at].folder, programFolder)) continue;
        auto lock = std::make_unique<QLockFile>(places[at].folder + lockName);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            outcome_ = Outcome::Acquired;
        } else if (lock->error() == QLockFile::LockFailedError) {
            outcome_ = Outcome::AnotherCopy;
        }
        if (outcome_ != Outcome::NoLock) folder_ = places[at].folder;
    }
    if (outcome_ != Outcome::Acquired) return;
    // A copy started while this place could not be used (the runtime folder
    // came with a later login) holds its lock further down the list.
    for (; at < places.size(); ++at) {
        if (!Usable(places[at].folder, programFolder)) continue;
        QLockFile probe(places[at].folder + lockName);
        if (!probe.tryLock(0) && probe.error() == QLockFile::LockFailedError) {
            lock_.reset();
            outcome_ = Outcome::AnotherCopy;
            folder_ = places[at].folder;
            return;
        }
    }
}

QString SingleInstance::LockPath() const {
    return outcome_ == Outcome::Acquired ? lock_->fileName() : QString();
}

QString NoLockWarning(const std::vector<LockPlace>& places) {
    QStringList folders;
    for (const LockPlace& place : places) folders.append(place.folder);
    return QStringLiteral(
               "quorvane: no lock file could be made in %1; starting without the check for "
               "another running copy")
        .arg(folders.join(QStringLiteral(", ")));
}

}  // namespace qv
