// Fuzz target of the media-control command interpreter: each input line is one
// command string, sent to an interpreter with real GStreamer devices on the
// null sink. The alias "PlayData" is open on a short WAV file, "Gone" was open
// and is closed. Every answer is 0 or a known error number with a text, and a
// reply never outgrows the caller's buffer. Between inputs the interpreter goes
// back to that one open alias, stopped at the start.
#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>

#include "fuzz_media.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "support/media_maker.h"

namespace {

// The real device, counted, so the target knows when an input has opened
// devices of its own that must go.
class CountedDevice final : public qv::MediaDevice {
  public:
    static inline int live = 0;
    explicit CountedDevice(std::unique_ptr<qv::MediaDevice> inner) : inner_(std::move(inner)) {
        ++live;
    }
    ~CountedDevice() override { --live; }
    int Open(const QString& path) override { return inner_->Open(path); }
    int Play() override { return inner_->Play(); }
    int Pause() override { return inner_->Pause(); }
    int Resume() override { return inner_->Resume(); }
    int Stop() override { return inner_->Stop(); }
    int SeekStart() override { return inner_->SeekStart(); }
    int SeekEnd() override { return inner_->SeekEnd(); }
    int SeekTo(qint64 ms) override { return inner_->SeekTo(ms); }
    qint64 Length() override { return inner_->Length(); }
    qint64 Position() override { return inner_->Position(); }
    qv::MediaMode Mode() override { return inner_->Mode(); }

  private:
    std::unique_ptr<qv::MediaDevice> inner_;
};

qv::MciInterpreter* mci = nullptr;
QString openCommand;

int Send(const QString& command, QString* reply = nullptr, int length = 256) {
    QString ignored;
    return mci->SendString(command, reply ? reply : &ignored, length);
}

// Reopening the WAV has failed now and then (code 296 with nothing on the bus)
// on a loaded machine right after a MIDI device closed; it is reported and
// tried again, and only a file that will not open at all stops the run.
void OpenPlayData() {
    int code = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        code = Send(openCommand);
        if (code == 0) return;
        std::fprintf(stderr, "fuzz_mci: reopening the media file failed with %d\n", code);
    }
    qvfuzz::Fail("cannot open the media file", qv::MciGetErrorString(code));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    const QString wav = dir.path() + QStringLiteral("/play data.wav");
    if (!qvfuzz::WriteFile(wav, qvtest::WavFile(1500))) qvfuzz::Fail("cannot write", wav);
    qv::GstDeviceOptions options;
    options.nullAudio = true;
    qv::MediaDeviceFactory real = qv::GstDeviceFactory(options);
    mci = new qv::MciInterpreter([real](const QString& type) -> std::unique_ptr<qv::MediaDevice> {
        std::unique_ptr<qv::MediaDevice> device = real(type);
        if (!device) return nullptr;
        return std::make_unique<CountedDevice>(std::move(device));
    });
    openCommand = QStringLiteral("open \"%1\" type WaveAudio alias PlayData").arg(wav);
    if (Send(QStringLiteral("open \"%1\" type WaveAudio alias Gone").arg(wav)) != 0 ||
        Send(QStringLiteral("close Gone")) != 0)
        qvfuzz::Fail("cannot open and close the alias Gone");
    OpenPlayData();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList commands = QString::fromUtf8(qvfuzz::Bytes(data, size)).split(u'\n');
    int sent = 0;
    for (const QString& command : commands) {
        // A handful of commands an input; more only makes inputs slow.
        if (++sent > 8) break;
        const int length = 1 + (command.size() * 7) % 40;  // buffers from 1 to 40 characters
        QString reply = QStringLiteral("stale");
        const int code = Send(command, &reply, length);
        if (reply.size() >= length) qvfuzz::Fail("reply longer than the buffer", command);
        if (code != 0) {
            if (!reply.isEmpty()) qvfuzz::Fail("a refused command left a reply", command);
            if (code <= qv::mcierr::kBase || qv::MciGetErrorString(code).isEmpty())
                qvfuzz::Fail("an error without a number or text", command);
        }
    }
    QString mode;
    const bool onlyPlayData =
        CountedDevice::live == 1 && Send(QStringLiteral("status PlayData mode"), &mode) == 0;
    if (!onlyPlayData) {
        if (Send(QStringLiteral("close all")) != 0) qvfuzz::Fail("close all failed");
        if (CountedDevice::live != 0) qvfuzz::Fail("close all left devices open");
        OpenPlayData();
    } else {
        QString position;
        Send(QStringLiteral("status PlayData position"), &position);
        if (mode != u"stopped" || position != u"0") Send(QStringLiteral("seek PlayData to start"));
    }
    return 0;
}
