// The media device on GStreamer's playbin: one file, played synchronously
// from the caller's thread; no GLib main loop, the bus is read when asked.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/mci/media_device.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstPad GstPad;
typedef struct _GstPadProbeInfo GstPadProbeInfo;

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
    int QueueNext(const QStringList& paths, const QList<double>& gains = {}) override;
    std::vector<MediaEvent> TakeEvents() override;

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
    GstElement* LockFormat(GstElement* output);
    void Poll();
    void TakeStarts();
    void ForgetJoins();
    void Anchor();  // the position read last is true now
    bool NextFileBroke();
    void RestartFile(bool hold);
    void EndHold();
    void Release();
    void TakeDown(int state);
    static void OnElementSetup(GstElement* playbin, GstElement* element, void* self);
    static void OnAboutToFinish(GstElement* playbin, void* self);
    static void OnSourceSetup(GstElement* playbin, GstElement* source, void* self);
    static void OnDrained(GstElement* decoding, void* self);
    static int OnSinkData(GstPad* pad, GstPadProbeInfo* info, void* self);
    static int OnGainData(GstPad* pad, GstPadProbeInfo* info, void* self);

    const GstDeviceOptions options_;  // also read by the pipeline's threads
    GstElement* pipeline_ = nullptr;
    GstElement* gain_ = nullptr;        // the file's gain, playbin's audio filter
    GstElement* sink_ = nullptr;        // what playbin plays into
    GstElement* output_ = nullptr;      // the sound output within it
    GstElement* formatLock_ = nullptr;  // keeps the rate of the first sound
    GstBus* bus_ = nullptr;
    State state_ = State::Closed;
    qint64 lengthNs_ = 0;
    qint64 lastPositionNs_ = 0;
    qint64 anchorNs_ = 0, anchorMs_ = 0;  // a true position, and when it was
    bool atStart_ = false;
    int volume_ = 1000;
    double gainFactor_ = 1.0;
    bool noOutput_ = false;    // the sink is the null one, as no output was found
    bool outputLost_ = false;  // the sink failed after the open
    std::atomic<bool> midiWithoutSoundfont_{false};
    std::atomic<bool> mpegAudio_{false};
    QString path_;            // the file heard now
    bool nextBroke_ = false;  // a file handed on failed: the end comes at the length
    qint64 nextBrokeByMs_ = 0;
    std::vector<MediaEvent> events_;

    // Joins. GStreamer asks for the next file on its own thread, shortly
    // before the decoder runs dry (about-to-finish); the sound of that file
    // reaches the sink a little later (stream-start). Both are counted under
    // the lock, and the user-interface thread catches up in TakeStarts.
    std::mutex joinLock_;
    QStringList upcoming_;          // to play after path_, in order
    int handedOn_ = 0;              // of upcoming_, given to the decoder already
    int sourcesMade_ = 0;           // files the decoder began, the open one too
    int sourcesAnswered_ = 0;       // of those, whose end was answered
    bool missedEnd_ = false;        // an end was asked for when nothing was queued
    bool takenBack_ = false;        // what was handed on is no longer wanted
    bool dropping_ = false;         // a file taken back reached the sink: unheard
    bool closing_ = false;          // the pipeline is being torn down
    bool answering_ = false;        // a file handed on, not yet set up by playbin
    std::condition_variable answered_;
    std::vector<GstElement*> drainWatched_;  // decoding bins whose "drained" we follow
    bool holding_ = false;          // started afresh, not yet moved where it is to play
    bool awaitingFlush_ = false;    // holding until a seek's flush reaches the gain
    bool soundSinceStart_ = false;  // sound reached the sink since the last stream-start
    bool formatLocked_ = false;     // the output keeps the rate of the first sound
    int switchesAtSink_ = 0;        // handed-on files whose sound reached the sink
    // The same at the gain, a step before the sink: there each file's own
    // gain is set as its stream begins, before its first sound.
    QHash<QString, double> upcomingGains_;  // of upcoming_, by path
    bool soundAtGain_ = false;
    int switchesAtGain_ = 0;
};

// Makes GStreamer devices for the command interpreter.
MediaDeviceFactory GstDeviceFactory(GstDeviceOptions options = {});

}  // namespace qv
