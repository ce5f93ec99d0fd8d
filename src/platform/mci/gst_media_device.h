// The media device on GStreamer's playbin: one file, played synchronously
// from the caller's thread; no GLib main loop, the bus is read when asked.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

#include "platform/mci/media_device.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;

namespace qv {

struct GstDeviceOptions {
    // Play into a null sink (still in real time) instead of the desktop's
    // output: for tests, tools and machines without sound. Chosen so, it is
    // no missing output.
    bool nullAudio = false;
    // An open that has not prerolled after this long fails.
    int openTimeoutMs = 4000;
    // Folders searched for a MIDI soundfont; nothing: the desktop's data folders.
    std::optional<QStringList> soundfontDataDirs;
    // A GStreamer pipeline description to play into instead of either of the
    // above ("audioconvert ! wavenc ! filesink location=x.wav", say), so that
    // what would be heard can be examined.
    QString audioSink;
};

class GstMediaDevice final : public MediaDevice {
  public:
    explicit GstMediaDevice(GstDeviceOptions options = {});
    ~GstMediaDevice() override;
    GstMediaDevice(const GstMediaDevice&) = delete;
    GstMediaDevice& operator=(const GstMediaDevice&) = delete;

    int Open(const QString& path) override;
    int Play() override;
    int Pause() override;
    int Resume() override;
    int Stop() override;
    int SeekStart() override;
    int SeekEnd() override;
    int SeekTo(qint64 ms) override;
    qint64 Length() override;
    qint64 Position() override;
    MediaMode Mode() override;
    int SetVolume(int volume) override;
    int Volume() override { return volume_; }
    int SetTrackGain(double factor) override;
    AudioOutput Output() override;

  private:
    // Our own state: after the end of the stream the pipeline would still
    // say PLAYING, and a stop is a paused pipeline.
    enum class State { Closed, Stopped, Playing, Paused, Ended };

    int TryOpen(const QByteArray& uri, bool* sinkFailed);
    int WaitForPreroll(qint64 timeoutMs, bool* sinkFailed);
    void FindLength(const QString& path, qint64 deadlineMs);
    int SeekNs(qint64 ns);
    // Brings the sound a stopped or paused pipeline holds through the
    // volume and the gain again.
    void RefillHeldSound();
    GstElement* MakeSink();
    void Poll();
    void Release();
    static void OnElementSetup(GstElement* playbin, GstElement* element, void* self);

    const GstDeviceOptions options_;  // also read by the pipeline's threads
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    GstElement* gain_ = nullptr;  // the file's gain, playbin's audio filter
    GstBus* bus_ = nullptr;
    State state_ = State::Closed;
    qint64 lengthNs_ = 0;
    qint64 lastPositionNs_ = 0;
    bool atStart_ = false;
    int volume_ = 1000;
    double gainFactor_ = 1.0;
    bool noOutput_ = false;    // the sink is the null one, as no output was found
    bool outputLost_ = false;  // the sink failed after the open
    std::atomic<bool> midiWithoutSoundfont_{false};
    std::atomic<bool> mpegAudio_{false};
};

// Makes GStreamer devices for the command interpreter.
MediaDeviceFactory GstDeviceFactory(GstDeviceOptions options = {});

}  // namespace qv
