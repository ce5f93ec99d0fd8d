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
        // By path; present if not given. A lost output stops the device.
        QHash<QString, qv::AudioOutput> outputs;
        // Calls received, oldest first: "open <path> <type>", "play", "pause",
        // "resume", "stop", "seek start", "seek end", "seek <ms>",
        // "volume <0 ... 1000>", "gain <factor>", "close".
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
    void SetOutput(const QString& path, qv::AudioOutput output) { state_->outputs[path] = output; }
    // Moves the clock on; playing devices advance and stop at their end.
    void Advance(qint64 ms) { state_->now += ms; }
    QStringList Calls() const { return state_->calls; }
    int OpenDevices() const { return state_->openDevices; }

  private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// The device: the position of a playing one is computed from the manual clock
// whenever it is asked, so nothing runs in the background.
namespace fake {

using enum qv::MediaMode;

class Device final : public qv::MediaDevice {
  public:
    Device(std::shared_ptr<FakeMedia::State> world, QString type)
        : world_(std::move(world)), type_(std::move(type)) {}
    ~Device() override {
        if (length_ < 0) return;  // never opened
        world_->calls << QStringLiteral("close");
        --world_->openDevices;
    }

    int Open(const QString& path) override {
        world_->calls << "open " + path + " " + type_;
        if (int code = world_->openFailures.value(path)) return code;
        path_ = path;
        length_ = world_->lengths.value(path, 10000);
        ++world_->openDevices;
        return 0;
    }
    int Play() override { return Go("play", Mode() != Playing && position_ < length_, Playing); }
    int Pause() override { return Go("pause", Mode() == Playing, Paused); }
    int Resume() override { return Go("resume", Mode() == Paused, Playing); }
    int Stop() override { return Go("stop", Mode() != Stopped, Stopped); }
    int SeekStart() override { return Go("seek start", true, Stopped, 0); }
    int SeekEnd() override { return Go("seek end", true, Stopped, length_); }
    int SeekTo(qint64 ms) override {
        return Go("seek " + QString::number(ms), true, Mode() == Paused ? Paused : Stopped, ms);
    }
    int SetVolume(int volume) override {
        world_->calls << "volume " + QString::number(volume);
        volume_ = volume;
        return 0;
    }
    int Volume() override { return volume_; }
    int SetTrackGain(double factor) override {
        world_->calls << "gain " + QString::number(factor, 'g', 3);
        return 0;
    }
    qv::AudioOutput Output() override { return world_->outputs.value(path_); }
    qint64 Length() override { return length_; }
    qint64 Position() override {
        return Mode() == Playing ? position_ + world_->now - since_ : position_;
    }
    qv::MediaMode Mode() override {
        // A playing device that has reached its end stops there by itself;
        // one whose output went away stops where it is.
        if (mode_ == Playing && position_ + world_->now - since_ >= length_) {
            position_ = length_;
            mode_ = Stopped;
        }
        if (mode_ != Stopped && Output() == qv::AudioOutput::Lost) {
            if (mode_ == Playing) position_ += world_->now - since_;
            mode_ = Stopped;
        }
        return mode_;
    }

  private:
    // Logs the call; then the failure set for its first word, if any, or the
    // change to `to` when `when` holds, at `at` or where the device is now.
    int Go(const QString& call, bool when, qv::MediaMode to, qint64 at = -1) {
        world_->calls << call;
        if (int code = world_->callFailures.value(call.section(' ', 0, 0))) return code;
        if (when) {
            position_ = at < 0 ? Position() : at;
            since_ = world_->now;
            mode_ = to;
        }
        return 0;
    }

    std::shared_ptr<FakeMedia::State> world_;
    QString type_;
    QString path_;
    qint64 length_ = -1;   // -1 until opened
    qint64 position_ = 0;  // while playing: the position at since_
    qint64 since_ = 0;
    qv::MediaMode mode_ = Stopped;
    int volume_ = 1000;
};

}  // namespace fake

inline qv::MediaDeviceFactory FakeMedia::Factory() {
    return [state = state_](const QString& type) -> std::unique_ptr<qv::MediaDevice> {
        return std::make_unique<fake::Device>(state, type);
    };
}

}  // namespace qvtest
