// A scripted stand-in for the media device, with a manual clock: tests of the
// player and the monitor get instant, deterministic playback and track ends.
#pragma once

#include <QHash>
#include <QStringList>
#include <memory>

#include "platform/mci/media_device.h"

namespace qvtest {

// The world the fake devices live in: one clock, per-path lengths and
// failures, and a log of every call the devices received. Give Factory() to
// qv::MciInterpreter. Devices behave as the real one does: play returns at
// once and the position follows the clock; at the end the device stops by
// itself at the length; pause, resume and stop keep the position; a seek
// leaves it stopped (a seek to a position keeps a pause); play at the end
// stays stopped there.
class FakeMedia {
  public:
    struct State {
        qint64 now = 0;
        QHash<QString, qint64> lengths;    // by path; 10000 ms if not given
        QHash<QString, int> openFailures;  // by path: the MCI error number
        QHash<QString, int> callFailures;  // by call, see FailCall
        // Calls received, oldest first: "open <path> <type>", "play", "pause",
        // "resume", "stop", "seek start", "seek end", "seek <ms>",
        // "volume <0 ... 1000>", "close".
        // Queries (length, position, mode) are not logged.
        QStringList calls;
        int openDevices = 0;  // opened and not yet closed
    };

    qv::MediaDeviceFactory Factory();

    void SetLength(const QString& path, qint64 ms) { state_->lengths[path] = ms; }
    // Opening this path fails with the given MCI error number.
    void FailOpen(const QString& path, int code) { state_->openFailures[path] = code; }
    // Every later call of this kind ("play", "pause", "resume", "stop",
    // "seek") fails with the code and changes nothing; 0 ends that.
    void FailCall(const QString& call, int code) { state_->callFailures[call] = code; }
    // Moves the clock on; playing devices advance and stop at their end.
    void Advance(qint64 ms) { state_->now += ms; }
    QStringList Calls() const { return state_->calls; }
    int OpenDevices() const { return state_->openDevices; }

  private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace qvtest
