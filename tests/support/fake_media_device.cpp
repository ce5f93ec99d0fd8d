// The scripted fake media device. The position of a playing device is
// computed from the manual clock whenever it is asked, so nothing runs in the
// background.
#include "support/fake_media_device.h"

namespace qvtest {
namespace {

using qv::MediaMode;

class FakeDevice final : public qv::MediaDevice {
  public:
    FakeDevice(std::shared_ptr<FakeMedia::State> world, QString type)
        : world_(std::move(world)), type_(std::move(type)) {}
    ~FakeDevice() override {
        if (!open_) return;
        world_->calls << QStringLiteral("close");
        --world_->openDevices;
    }

    int Open(const QString& path) override {
        world_->calls << QStringLiteral("open %1 %2").arg(path, type_);
        if (int code = world_->openFailures.value(path)) return code;
        length_ = world_->lengths.value(path, 10000);
        open_ = true;
        ++world_->openDevices;
        return 0;
    }
    int Play() override {
        return Go("play", Mode() != MediaMode::Playing && position_ < length_, MediaMode::Playing);
    }
    int Pause() override { return Go("pause", Mode() == MediaMode::Playing, MediaMode::Paused); }
    int Resume() override { return Go("resume", Mode() == MediaMode::Paused, MediaMode::Playing); }
    int Stop() override { return Go("stop", Mode() != MediaMode::Stopped, MediaMode::Stopped); }
    int SeekStart() override { return Seek(QStringLiteral("seek start"), 0); }
    int SeekEnd() override { return Seek(QStringLiteral("seek end"), length_); }
    int SeekTo(qint64 ms) override { return Seek(QStringLiteral("seek %1").arg(ms), ms); }
    qint64 Length() override { return length_; }
    qint64 Position() override {
        Settle();
        return mode_ == MediaMode::Playing ? position_ + world_->now - since_ : position_;
    }
    MediaMode Mode() override {
        Settle();
        return mode_;
    }

  private:
    // A playing device that has reached its end stops there by itself.
    void Settle() {
        if (mode_ == MediaMode::Playing && position_ + world_->now - since_ >= length_) {
            position_ = length_;
            mode_ = MediaMode::Stopped;
        }
    }
    // Logs the call; then its failure, if one is set, or the change to `to`
    // if `when` holds (read through Mode(), so of the device as it is now),
    // the position carried on from where it is.
    int Go(const char* call, bool when, MediaMode to) {
        world_->calls << QLatin1String(call);
        if (int code = world_->callFailures.value(QLatin1String(call))) return code;
        if (when) {
            position_ = Position();
            since_ = world_->now;
            mode_ = to;
        }
        return 0;
    }
    int Seek(const QString& logged, qint64 to) {
        world_->calls << logged;
        Settle();
        if (int code = world_->callFailures.value(QStringLiteral("seek"))) return code;
        position_ = to;
        mode_ = MediaMode::Stopped;
        return 0;
    }

    std::shared_ptr<FakeMedia::State> world_;
    QString type_;
    bool open_ = false;
    qint64 length_ = 0;
    qint64 position_ = 0;  // while playing: the position at since_
    qint64 since_ = 0;
    MediaMode mode_ = MediaMode::Stopped;
};

}  // namespace

qv::MediaDeviceFactory FakeMedia::Factory() {
    std::shared_ptr<State> state = state_;
    return [state](const QString& type) -> std::unique_ptr<qv::MediaDevice> {
        return std::make_unique<FakeDevice>(state, type);
    };
}

}  // namespace qvtest
