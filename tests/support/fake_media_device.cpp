// The scripted fake media device. The position of a playing device is
// computed from the manual clock whenever it is asked, so nothing runs in the
// background.
#include "support/fake_media_device.h"

namespace qvtest {
namespace {

using enum qv::MediaMode;

class FakeDevice final : public qv::MediaDevice {
  public:
    FakeDevice(std::shared_ptr<FakeMedia::State> world, QString type)
        : world_(std::move(world)), type_(std::move(type)) {}
    ~FakeDevice() override {
        if (length_ < 0) return;  // never opened
        world_->calls << QStringLiteral("close");
        --world_->openDevices;
    }

    int Open(const QString& path) override {
        world_->calls << "open " + path + " " + type_;
        if (int code = world_->openFailures.value(path)) return code;
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
    qint64 Length() override { return length_; }
    qint64 Position() override {
        return Mode() == Playing ? position_ + world_->now - since_ : position_;
    }
    qv::MediaMode Mode() override {
        // A playing device that has reached its end stops there by itself.
        if (mode_ == Playing && position_ + world_->now - since_ >= length_) {
            position_ = length_;
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
    qint64 length_ = -1;   // -1 until opened
    qint64 position_ = 0;  // while playing: the position at since_
    qint64 since_ = 0;
    qv::MediaMode mode_ = Stopped;
    int volume_ = 1000;
};

}  // namespace

qv::MediaDeviceFactory FakeMedia::Factory() {
    return [state = state_](const QString& type) -> std::unique_ptr<qv::MediaDevice> {
        return std::make_unique<FakeDevice>(state, type);
    };
}

}  // namespace qvtest
