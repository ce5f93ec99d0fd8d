// The GStreamer device. Every call first reads the bus (end of stream,
// errors), then acts; waits are bounded. Rewinds and seeks carry an explicit
// stop at the length: without one, linear-PCM and A-law AU files end at once
// on the next play.
#include "platform/mci/gst_media_device.h"

#include <gst/audio/gstaudiodecoder.h>
#include <gst/audio/streamvolume.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/mci/gst_runtime.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mpeg_audio_length.h"
#include "platform/mci/soundfont.h"

namespace qv {

namespace {

using namespace mcierr;

constexpr qint64 kNsPerMs = 1000000;
// Bound of the waits after a pause, stop or seek (the stream re-prerolls).
constexpr qint64 kSettleTimeoutMs = 2000;

qint64 NowMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

bool IsFrom(GstMessage* message, GstElement* element) {
    for (GstObject* o = GST_MESSAGE_SRC(message); o; o = GST_OBJECT_PARENT(o))
        if (o == GST_OBJECT(element)) return true;
    return false;
}

int CodeOf(const GError* error) {
    if (error->domain == GST_RESOURCE_ERROR) {
        if (error->code == GST_RESOURCE_ERROR_NOT_FOUND) return kFileNotFound;
        if (error->code == GST_RESOURCE_ERROR_READ || error->code == GST_RESOURCE_ERROR_OPEN_READ ||
            error->code == GST_RESOURCE_ERROR_OPEN_READ_WRITE)
            return kFileRead;
    }
    return kInvalidFile;
}

// Checks the file before GStreamer sees it: a folder or a pipe would make the
// source block or fail obscurely.
int CheckFile(const QString& path) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0) return kFileNotFound;
    if (!S_ISREG(st.st_mode) || st.st_size == 0) return kInvalidFile;
    if (::access(name.constData(), R_OK) != 0) return kFileRead;
    return 0;
}

}  // namespace

GstMediaDevice::GstMediaDevice(GstDeviceOptions options) : options_(std::move(options)) {
    EnsureGstreamer();
}

GstMediaDevice::~GstMediaDevice() {
    Release();
}

void GstMediaDevice::OnElementSetup(GstElement*, GstElement* element, void* data) {
    auto* self = static_cast<GstMediaDevice*>(data);
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory) return;
    const gchar* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
    if (g_str_equal(name, "mpegaudioparse")) self->mpegAudio_ = true;
    if (GST_IS_AUDIO_DECODER(element)) {
        // A decoder hands on each frame as it comes (an MP3 frame is 26 ms),
        // and every buffer wakes the decoding and the playing thread in turn.
        // Gathered into 100 ms the same sound costs a quarter of the wakeups.
        g_object_set(element, "min-latency", gint64(100 * GST_MSECOND), nullptr);
    }
    if (g_str_equal(name, "fluiddec")) {
        // Looked up only for MIDI, and afresh each time, so a soundfont
        // installed while the program runs is found. With none, an empty
        // name makes the synthesizer fail at once instead of searching
        // folders of its own.
        const QByteArray soundfont = QFile::encodeName(
            FindSoundfont(self->options_.soundfontDataDirs.value_or(DefaultSoundfontDataDirs())));
        if (soundfont.isEmpty()) self->midiWithoutSoundfont_ = true;
        g_object_set(element, "soundfont", soundfont.constData(), nullptr);
    }
}

int GstMediaDevice::Open(const QString& path) {
    Release();
    if (int code = CheckFile(path)) return code;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    gchar* uri = gst_filename_to_uri(QFile::encodeName(absolute).constData(), nullptr);
    if (!uri) return kFileNotFound;
    const QByteArray uriBytes(uri);
    g_free(uri);

    const qint64 deadline = NowMs() + options_.openTimeoutMs;
    bool sinkFailed = false;
    int code = TryOpen(uriBytes, &sinkFailed);
    if (code != 0 && sinkFailed && !options_.nullAudio) {
        // The output chosen earlier is gone: choose again, once.
        ForgetAudioOutput();
        code = TryOpen(uriBytes, &sinkFailed);
    }
    if (code != 0) {
        Release();
        return code;
    }
    FindLength(absolute, deadline);
    state_ = State::Stopped;
    atStart_ = true;
    lastPositionNs_ = 0;
    return 0;
}

int GstMediaDevice::TryOpen(const QByteArray& uri, bool* sinkFailed) {
    Release();
    midiWithoutSoundfont_ = false;
    mpegAudio_ = false;
    outputLost_ = false;
    pipeline_ = gst_element_factory_make("playbin", nullptr);
    sink_ = MakeSink();
    // The file's gain: an element of its own in playbin's audio filter, so
    // that neither the volume (the stream volume, which a sink may take
    // over) nor a new sink loses it. At 1 it passes the sound through.
    gain_ = gst_element_factory_make("volume", "trackgain");
    if (!pipeline_ || !sink_ || !gain_) {
        for (GstElement** e : {&sink_, &gain_})
            if (*e) gst_object_unref(gst_object_ref_sink(*e));
        sink_ = gain_ = nullptr;
        return kCannotLoadDriver;
    }
    gst_object_ref_sink(sink_);  // ours until Release, whatever playbin does
    gst_object_ref_sink(gain_);
    g_object_set(gain_, "volume", gainFactor_, nullptr);
    // Audio only: no video window for a Windows Media file with pictures.
    // The volume is our own element's: a sink without a volume of its own
    // (the null sink, ALSA) would otherwise ignore it, and at 1000 the
    // element passes the sound through untouched.
    gst_util_set_object_arg(G_OBJECT(pipeline_), "flags", "audio+soft-volume");
    g_object_set(pipeline_, "uri", uri.constData(), "audio-sink", sink_, "audio-filter", gain_,
                 nullptr);
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(pipeline_), GST_STREAM_VOLUME_FORMAT_CUBIC,
                                 volume_ / 1000.0);
    g_signal_connect(pipeline_, "element-setup", G_CALLBACK(OnElementSetup), this);
    bus_ = gst_element_get_bus(pipeline_);
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    return WaitForPreroll(options_.openTimeoutMs, sinkFailed);
}

GstElement* GstMediaDevice::MakeSink() {
    noOutput_ = false;
    if (options_.audioSink.isEmpty()) return MakeAudioSink(options_.nullAudio, &noOutput_);
    EnsureGstreamer();
    GError* error = nullptr;
    GstElement* sink =
        gst_parse_bin_from_description(options_.audioSink.toUtf8().constData(), TRUE, &error);
    if (error) g_error_free(error);
    return sink;
}

// Waits for the pipeline to preroll, in short slices so that an error on the
// bus ends the wait at once.
int GstMediaDevice::WaitForPreroll(qint64 timeoutMs, bool* sinkFailed) {
    const qint64 deadline = NowMs() + timeoutMs;
    while (true) {
        if (GstMessage* message = gst_bus_pop_filtered(bus_, GST_MESSAGE_ERROR)) {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            int code = CodeOf(error);
            if (midiWithoutSoundfont_) code = kSeqNoMidiPresent;
            if (sinkFailed && IsFrom(message, sink_)) {
                *sinkFailed = true;
                code = kHardware;
            }
            g_error_free(error);
            gst_message_unref(message);
            return code;
        }
        const qint64 left = deadline - NowMs();
        const GstClockTime slice = std::clamp<qint64>(left, 0, 50) * kNsPerMs;
        switch (gst_element_get_state(pipeline_, nullptr, nullptr, slice)) {
            case GST_STATE_CHANGE_SUCCESS:
            case GST_STATE_CHANGE_NO_PREROLL:
                return 0;
            case GST_STATE_CHANGE_FAILURE:
                if (gst_bus_have_pending(bus_)) continue;  // read its error first
                return midiWithoutSoundfont_ ? kSeqNoMidiPresent : kInvalidFile;
            case GST_STATE_CHANGE_ASYNC:
                if (left <= 0) return kDeviceNotReady;
                break;
        }
    }
}

void GstMediaDevice::FindLength(const QString& path, qint64 deadlineMs) {
    gint64 ns = -1;
    if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns) && ns > 0) {
        lengthNs_ = ns;
        return;
    }
    // MP3 without a Xing/Info header: the parser knows no length until it
    // has read a while, and then only an estimate. Count the frames.
    if (mpegAudio_) {
        if (std::optional<int64_t> exact = MpegAudioFileLengthNs(path)) {
            lengthNs_ = *exact;
            return;
        }
    }
    const qint64 left = std::max<qint64>(deadlineMs - NowMs(), 500);
    if (GstDiscoverer* discoverer = gst_discoverer_new(left * kNsPerMs, nullptr)) {
        gchar* uri = gst_filename_to_uri(QFile::encodeName(path).constData(), nullptr);
        if (GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, nullptr)) {
            const GstClockTime d = gst_discoverer_info_get_duration(info);
            if (GST_CLOCK_TIME_IS_VALID(d)) lengthNs_ = static_cast<qint64>(d);
            g_object_unref(info);
        }
        g_free(uri);
        g_object_unref(discoverer);
    }
}

void GstMediaDevice::Release() {
    if (pipeline_) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        g_signal_handlers_disconnect_by_data(pipeline_, this);
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
    }
    if (bus_) {
        gst_object_unref(bus_);
        bus_ = nullptr;
    }
    for (GstElement** e : {&sink_, &gain_}) {
        if (*e) gst_object_unref(*e);
        *e = nullptr;
    }
    state_ = State::Closed;
    lengthNs_ = 0;
    outputLost_ = false;
}

// Reads what the pipeline has posted since the last call.
void GstMediaDevice::Poll() {
    if (!bus_) return;
    const auto wanted =
        GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_CLOCK_LOST);
    while (GstMessage* message = gst_bus_pop_filtered(bus_, wanted)) {
        switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_EOS:
                if (state_ == State::Playing) {
                    state_ = State::Ended;
                    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
                }
                break;
            case GST_MESSAGE_ERROR:
                // The stream broke off: stop where it is. A file cut short is
                // an end the player can move on from; an output that went
                // away (the sound server ended) is told as such, and this
                // pipeline plays nothing more: the next open makes a new one,
                // which looks for the output again.
                if (IsFrom(message, sink_)) outputLost_ = true;
                if (state_ == State::Playing || state_ == State::Paused) {
                    gint64 ns = -1;
                    if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0)
                        lastPositionNs_ = ns;
                    state_ = State::Stopped;
                    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
                }
                break;
            case GST_MESSAGE_CLOCK_LOST:
                if (state_ == State::Playing) {
                    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
                    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
                }
                break;
            default:
                break;
        }
        gst_message_unref(message);
    }
}

int GstMediaDevice::Play() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (outputLost_) return kHardware;
    // At the end there is nothing left to play until a rewind.
    if (state_ == State::Playing || state_ == State::Ended) return 0;
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return kHardware;
    state_ = State::Playing;
    atStart_ = false;
    return 0;
}

int GstMediaDevice::Pause() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (state_ != State::Playing) return 0;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    state_ = State::Paused;
    return 0;
}

int GstMediaDevice::Resume() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (outputLost_) return kHardware;
    if (state_ != State::Paused) return 0;
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return kHardware;
    state_ = State::Playing;
    atStart_ = false;  // paused, then moved to the start
    return 0;
}

int GstMediaDevice::Stop() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (state_ == State::Playing || state_ == State::Paused) {
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        state_ = State::Stopped;
    }
    return 0;
}

int GstMediaDevice::SeekStart() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (state_ == State::Stopped && atStart_) return 0;
    return SeekNs(0);
}

int GstMediaDevice::SeekEnd() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (state_ == State::Playing || state_ == State::Paused)
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    state_ = State::Ended;
    atStart_ = false;
    return 0;
}

int GstMediaDevice::SeekTo(qint64 ms) {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (ms < 0 || ms > Length()) return kOutOfRange;
    if (ms == Length()) return SeekEnd();
    const bool paused = state_ == State::Paused;
    const int code = SeekNs(ms * kNsPerMs);
    if (code == 0 && paused) state_ = State::Paused;
    return code;
}

int GstMediaDevice::SeekNs(qint64 ns) {
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    const auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const bool stopAtLength = lengthNs_ > 0;
    if (!gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, ns,
                          stopAtLength ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                          stopAtLength ? lengthNs_ : GST_CLOCK_TIME_NONE)) {
        if (ns != 0) return kUnsupportedFunction;
        // A stream that cannot seek still rewinds by starting over.
        gst_element_set_state(pipeline_, GST_STATE_READY);
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    }
    const int code = WaitForPreroll(kSettleTimeoutMs, nullptr);
    // An end of stream posted before the flush belongs to the old run.
    while (GstMessage* stale = gst_bus_pop_filtered(bus_, GST_MESSAGE_EOS))
        gst_message_unref(stale);
    state_ = State::Stopped;
    atStart_ = code == 0 && ns == 0;
    lastPositionNs_ = ns;
    return code;
}

qint64 GstMediaDevice::Length() {
    return lengthNs_ / kNsPerMs;
}

qint64 GstMediaDevice::Position() {
    Poll();
    if (state_ == State::Closed) return 0;
    if (state_ == State::Ended) return Length();
    if (atStart_) return 0;
    // Asked of the sink itself: the pipeline would only pass the query on to
    // it, at twice the cost, and the monitor asks 20 times a second.
    gint64 ns = -1;
    if ((gst_element_query_position(sink_, GST_FORMAT_TIME, &ns) ||
         gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns)) &&
        ns >= 0)
        lastPositionNs_ = ns;
    return std::min(lastPositionNs_ / kNsPerMs, Length());
}

int GstMediaDevice::SetVolume(int volume) {
    Poll();
    if (volume < 0 || volume > 1000) return kOutOfRange;
    if (volume == volume_) return 0;
    volume_ = volume;
    if (state_ == State::Closed) return 0;
    // Cubic, as desktop volume controls are: equal steps of the number sound
    // like equal steps of loudness, where the sound's own amplitude would
    // put all the audible change into the lowest tenth.
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(pipeline_), GST_STREAM_VOLUME_FORMAT_CUBIC,
                                 volume / 1000.0);
    RefillHeldSound();
    return 0;
}

int GstMediaDevice::SetTrackGain(double factor) {
    Poll();
    if (!(factor >= 0 && factor <= 10)) return kOutOfRange;
    if (factor == gainFactor_) return 0;
    gainFactor_ = factor;
    if (state_ == State::Closed) return 0;
    g_object_set(gain_, "volume", factor, nullptr);
    RefillHeldSound();
    return 0;
}

void GstMediaDevice::RefillHeldSound() {
    // A stopped or paused pipeline holds its next sound in the sink already,
    // at the old volume and gain: played from there, it would begin with a
    // moment at full volume (every track does, as the volume and the gain
    // follow each open). A seek to where it stands brings that sound
    // through them again.
    if (state_ == State::Stopped || state_ == State::Paused) {
        const bool paused = state_ == State::Paused;
        const bool atStart = atStart_;
        SeekNs(atStart ? 0 : Position() * kNsPerMs);
        if (paused) state_ = State::Paused;
    }
}

MediaMode GstMediaDevice::Mode() {
    Poll();
    switch (state_) {
        case State::Playing:
            return MediaMode::Playing;
        case State::Paused:
            return MediaMode::Paused;
        case State::Stopped:
        case State::Ended:
            return MediaMode::Stopped;
        case State::Closed:
            break;
    }
    return MediaMode::NotReady;
}

AudioOutput GstMediaDevice::Output() {
    Poll();
    if (outputLost_) return AudioOutput::Lost;
    return noOutput_ ? AudioOutput::None : AudioOutput::Present;
}

MediaDeviceFactory GstDeviceFactory(GstDeviceOptions options) {
    return [options](const QString&) -> std::unique_ptr<MediaDevice> {
        return std::make_unique<GstMediaDevice>(options);
    };
}

}  // namespace qv
