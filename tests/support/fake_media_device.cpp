// The scripted fake media device and its world. The position of a playing
// device is computed from the manual clock whenever it is asked, so nothing
// runs in the background.
#include "support/fake_media_device.h"

#include <QHash>
#include <algorithm>

#include "platform/mci/mci_errors.h"

namespace qvtest {

struct FakeMedia::State {
    qint64 now = 0;
    qint64 defaultLength = 10000;
    QHash<QString, qint64> lengths;
    QHash<QString, int> openFailures;
    QHash<QString, int> callFailures;
    QStringList calls;
    int openDevices = 0;
};

namespace {

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
        length_ = world_->lengths.value(path, world_->defaultLength);
        open_ = true;
        ++world_->openDevices;
        return 0;
    }
    int Play() override {
        if (int code = Begin("play")) return code;
        if (mode_ == qv::MediaMode::Playing || position_ >= length_) return 0;
        mode_ = qv::MediaMode::Playing;
        since_ = world_->now;
        return 0;
    }
    int Pause() override {
        if (int code = Begin("pause")) return code;
        if (mode_ == qv::MediaMode::Playing) Halt(qv::MediaMode::Paused);
        return 0;
    }
    int Resume() override {
        if (int code = Begin("resume")) return code;
        if (mode_ != qv::MediaMode::Paused) return 0;
        mode_ = qv::MediaMode::Playing;
        since_ = world_->now;
        return 0;
    }
    int Stop() override {
        if (int code = Begin("stop")) return code;
        if (mode_ != qv::MediaMode::Stopped) Halt(qv::MediaMode::Stopped);
        return 0;
    }
    int SeekStart() override { return SeekCall(QStringLiteral("seek start"), 0); }
    int SeekEnd() override { return SeekCall(QStringLiteral("seek end"), length_); }
    int SeekTo(qint64 ms) override {
        if (ms < 0 || ms > length_) return qv::mcierr::kOutOfRange;
        return SeekCall(QStringLiteral("seek %1").arg(ms), ms);
    }
    qint64 Length() override { return length_; }
    qint64 Position() override {
        Settle();
        return mode_ == qv::MediaMode::Playing ? PlayingPosition() : position_;
    }
    qv::MediaMode Mode() override {
        Settle();
        return mode_;
    }

  private:
    qint64 PlayingPosition() const { return std::min(length_, position_ + (world_->now - since_)); }
    // A playing device that has reached its end stops there by itself.
    void Settle() {
        if (mode_ == qv::MediaMode::Playing && PlayingPosition() >= length_) {
            position_ = length_;
            mode_ = qv::MediaMode::Stopped;
        }
    }
    void Halt(qv::MediaMode mode) {
        if (mode_ == qv::MediaMode::Playing) position_ = PlayingPosition();
        mode_ = mode;
    }
    int Begin(const char* call) {
        world_->calls << QLatin1String(call);
        Settle();
        return world_->callFailures.value(QLatin1String(call));
    }
    int SeekCall(const QString& logged, qint64 to) {
        world_->calls << logged;
        Settle();
        if (int code = world_->callFailures.value(QStringLiteral("seek"))) return code;
        position_ = to;
        mode_ = qv::MediaMode::Stopped;
        return 0;
    }

    std::shared_ptr<FakeMedia::State> world_;
    QString type_;
    bool open_ = false;
    qint64 length_ = 0;
    qint64 position_ = 0;  // while playing: the position at since_
    qint64 since_ = 0;
    qv::MediaMode mode_ = qv::MediaMode::Stopped;
};

}  // namespace

FakeMedia::FakeMedia() : state_(std::make_shared<State>()) {}
FakeMedia::~FakeMedia() = default;

qv::MediaDeviceFactory FakeMedia::Factory() {
    std::shared_ptr<State> state = state_;
    return [state](const QString& type) -> std::unique_ptr<qv::MediaDevice> {
        return std::make_unique<FakeDevice>(state, type);
    };
}

void FakeMedia::SetDefaultLength(qint64 ms) {
    state_->defaultLength = ms;
}
void FakeMedia::SetLength(const QString& path, qint64 ms) {
    state_->lengths[path] = ms;
}
void FakeMedia::FailOpen(const QString& path, int code) {
    state_->openFailures[path] = code;
}
void FakeMedia::FailCall(const QString& call, int code) {
    if (code == 0)
        state_->callFailures.remove(call);
    else
        state_->callFailures[call] = code;
}
void FakeMedia::Advance(qint64 ms) {
    state_->now += ms;
}
qint64 FakeMedia::Now() const {
    return state_->now;
}
QStringList FakeMedia::Calls() const {
    return state_->calls;
}
void FakeMedia::ClearCalls() {
    state_->calls.clear();
}
int FakeMedia::OpenDevices() const {
    return state_->openDevices;
}

}  // namespace qvtest
