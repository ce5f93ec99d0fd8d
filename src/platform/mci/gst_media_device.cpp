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
#include <utility>

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

// The URI GStreamer reads a local file by; empty when the path makes none.
QByteArray FileUri(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    gchar* uri = gst_filename_to_uri(QFile::encodeName(absolute).constData(), nullptr);
    if (!uri) return {};
    const QByteArray bytes(uri);
    g_free(uri);
    return bytes;
}

// A decoder runs dry at most a few seconds before the sound it made is heard
// (the queues between it and the output hold about that much). Asked for the
// next file long before the end, it is a chained Ogg stream between two of
// its parts, not the end of the file.
constexpr qint64 kEarliestEndNs = 5000 * kNsPerMs;
// What our probes see of the events going downstream: flushes (which a
// seek sends) come apart from the others.
constexpr auto kEventProbes =
    GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH);
// The last sound of a file is heard within this of its length.
constexpr qint64 kLastSoundNs = 40 * kNsPerMs;

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
    if (g_str_equal(name, "uridecodebin")) {
        // A file's decoding bin tells when playbin has done with the file
        // run dry (and set up the next one): after playbin's handler, ours.
        // Playbin adds a decoding bin again for a later file: watched once.
        std::lock_guard lock(self->joinLock_);
        auto& watched = self->drainWatched_;
        if (std::find(watched.begin(), watched.end(), element) == watched.end()) {
            g_signal_connect_after(element, "drained", G_CALLBACK(OnDrained), self);
            watched.push_back(GST_ELEMENT(gst_object_ref(element)));
        }
    }
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

void GstMediaDevice::OnSourceSetup(GstElement*, GstElement*, void* data) {
    auto* self = static_cast<GstMediaDevice*>(data);
    std::lock_guard lock(self->joinLock_);
    ++self->sourcesMade_;
}

// On a streaming thread, once playbin has handled a file that ran dry: the
// file handed on, if any, is set up.
void GstMediaDevice::OnDrained(GstElement*, void* data) {
    auto* self = static_cast<GstMediaDevice*>(data);
    {
        std::lock_guard lock(self->joinLock_);
        self->answering_ = false;
    }
    self->answered_.notify_all();
}

// On a streaming thread: the decoder of the file heard last is about to run
// dry. The next queued file is handed on now, or the sound stops at the end.
void GstMediaDevice::OnAboutToFinish(GstElement* playbin, void* data) {
    auto* self = static_cast<GstMediaDevice*>(data);
    std::lock_guard lock(self->joinLock_);
    // Asked once more for a file already answered, or while the pipeline is
    // torn down, or after what was handed on was taken back: the answer
    // stands, and a second file would skip one.
    if (self->closing_ || self->takenBack_ || self->sourcesAnswered_ >= self->sourcesMade_) return;
    gint64 position = -1, duration = -1;
    if (gst_element_query_duration(playbin, GST_FORMAT_TIME, &duration) && duration > 0 &&
        gst_element_query_position(playbin, GST_FORMAT_TIME, &position) && position >= 0 &&
        duration - position > kEarliestEndNs)
        return;
    if (self->holding_ || self->handedOn_ >= self->upcoming_.size()) {
        self->missedEnd_ = true;
        return;
    }
    const QByteArray uri = FileUri(self->upcoming_[self->handedOn_]);
    g_object_set(playbin, "uri", uri.constData(), nullptr);
    self->answering_ = true;
    ++self->handedOn_;
    self->sourcesAnswered_ = self->sourcesMade_;
}

// On a streaming thread, for everything that reaches the sink: counts the
// handed-on files whose sound arrives, and drops the sound of one that was
// taken back.
int GstMediaDevice::OnSinkData(GstPad*, GstPadProbeInfo* info, void* data) {
    auto* self = static_cast<GstMediaDevice*>(data);
    std::lock_guard lock(self->joinLock_);
    if (GST_PAD_PROBE_INFO_TYPE(info) & kEventProbes) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS && self->formatLock_ && !self->formatLocked_) {
            GstCaps* caps = nullptr;
            gst_event_parse_caps(event, &caps);
            int rate = 0;
            if (gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &rate) && rate > 0) {
                GstCaps* locked =
                    gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, rate, nullptr);
                g_object_set(self->formatLock_, "caps", locked, nullptr);
                gst_caps_unref(locked);
            }
            self->formatLocked_ = true;
        }
        // A file started afresh (and one moved) begins with a stream-start
        // of its own, before any of its sound: only one that follows sound
        // is the next file.
        if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) self->soundSinceStart_ = false;
        if (GST_EVENT_TYPE(event) != GST_EVENT_STREAM_START) return GST_PAD_PROBE_OK;
        const bool afterSound = std::exchange(self->soundSinceStart_, false);
        if (afterSound && self->switchesAtSink_ < self->handedOn_) {
            ++self->switchesAtSink_;
            if (self->takenBack_) self->dropping_ = true;
        }
        return GST_PAD_PROBE_OK;
    }
    self->soundSinceStart_ = true;
    return self->dropping_ ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

// On a streaming thread, for everything that reaches the gain: a handed-on
// file's stream begins (counted as at the sink) and its own gain is set
// before its first sound comes through, so that a file after a louder or
// an untagged one after a tagged one is heard at its own level at once.
int GstMediaDevice::OnGainData(GstPad*, GstPadProbeInfo* info, void* data) {
    auto* self = static_cast<GstMediaDevice*>(data);
    std::lock_guard lock(self->joinLock_);
    if (!(GST_PAD_PROBE_INFO_TYPE(info) & kEventProbes)) {
        self->soundAtGain_ = true;
        return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
        self->soundAtGain_ = false;
        // A seek's flush is through: what the decoder asks for now is after it.
        if (std::exchange(self->awaitingFlush_, false)) self->holding_ = self->missedEnd_ = false;
    }
    if (GST_EVENT_TYPE(event) != GST_EVENT_STREAM_START) return GST_PAD_PROBE_OK;
    const bool afterSound = std::exchange(self->soundAtGain_, false);
    if (afterSound && self->switchesAtGain_ < self->handedOn_) {
        const QString& path = self->upcoming_[self->switchesAtGain_++];
        g_object_set(self->gain_, "volume", self->upcomingGains_.value(path, 1.0), nullptr);
    }
    return GST_PAD_PROBE_OK;
}

int GstMediaDevice::Open(const QString& path) {
    Release();
    if (int code = CheckFile(path)) return code;
    const QByteArray uriBytes = FileUri(path);
    if (uriBytes.isEmpty()) return kFileNotFound;
    const QString absolute = QFileInfo(path).absoluteFilePath();

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
    path_ = path;
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
    {
        std::lock_guard lock(joinLock_);
        upcoming_.clear();
        upcomingGains_.clear();
        handedOn_ = sourcesMade_ = sourcesAnswered_ = switchesAtSink_ = switchesAtGain_ = 0;
        missedEnd_ = takenBack_ = dropping_ = closing_ = holding_ = formatLocked_ =
            soundSinceStart_ = soundAtGain_ = answering_ = awaitingFlush_ = false;
    }
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
    output_ = sink_;
    if (GstElement* locked = LockFormat(sink_)) {
        gst_object_unref(sink_);
        sink_ = GST_ELEMENT(gst_object_ref_sink(locked));
    }
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
    g_signal_connect(pipeline_, "source-setup", G_CALLBACK(OnSourceSetup), this);
    g_signal_connect(pipeline_, "about-to-finish", G_CALLBACK(OnAboutToFinish), this);
    if (GstPad* pad = gst_element_get_static_pad(sink_, "sink")) {
        gst_pad_add_probe(
            pad,
            GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                            kEventProbes),
            GstPadProbeCallback(OnSinkData), this, nullptr);
        gst_object_unref(pad);
    }
    if (GstPad* pad = gst_element_get_static_pad(gain_, "sink")) {
        gst_pad_add_probe(
            pad,
            GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                            kEventProbes),
            GstPadProbeCallback(OnGainData), this, nullptr);
        gst_object_unref(pad);
    }
    bus_ = gst_element_get_bus(pipeline_);
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    return WaitForPreroll(options_.openTimeoutMs, sinkFailed);
}

// The output keeps the sample rate of the first sound it was given: a file
// joined on in another rate is converted to it, as a new rate would make the
// output drain and start over, a tenth of a second of silence at the join.
// Nothing is converted while the rates agree; the channels are left as they
// come (a mono file first must not make the rest mono).
GstElement* GstMediaDevice::LockFormat(GstElement* output) {
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* lock = gst_element_factory_make("capsfilter", nullptr);
    GstElement* bin = gst_bin_new(nullptr);
    GstPad* in = convert ? gst_element_get_static_pad(convert, "sink") : nullptr;
    if (!convert || !resample || !lock || !in) {
        for (GstElement* e : {convert, resample, lock, bin})
            if (e) gst_object_unref(gst_object_ref_sink(e));
        if (in) gst_object_unref(in);
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(bin), convert, resample, lock, output, nullptr);
    gst_element_link_many(convert, resample, lock, output, nullptr);
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", in));
    gst_object_unref(in);
    formatLock_ = lock;
    return bin;
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

// Takes the pipeline down to READY or NULL. Playbin sets up a file handed
// on after our answer has returned, on the streaming thread and under its
// own locks; taken down meanwhile, the two threads would wait for each other
// for good. So no new answer is given, and one in flight is let finish.
void GstMediaDevice::TakeDown(int state) {
    {
        std::unique_lock lock(joinLock_);
        closing_ = true;
        answered_.wait_for(lock, std::chrono::milliseconds(kSettleTimeoutMs),
                           [this] { return !answering_; });
        answering_ = false;
    }
    gst_element_set_state(pipeline_, GstState(state));
    if (state == GST_STATE_NULL) return;
    std::lock_guard lock(joinLock_);
    closing_ = false;
}

void GstMediaDevice::Release() {
    {
        std::lock_guard lock(joinLock_);
        closing_ = true;
    }
    if (pipeline_) {
        TakeDown(GST_STATE_NULL);
        g_signal_handlers_disconnect_by_data(pipeline_, this);
        for (GstElement* decoding : drainWatched_) {
            g_signal_handlers_disconnect_by_data(decoding, this);
            gst_object_unref(decoding);
        }
        drainWatched_.clear();
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
    }
    if (bus_) {
        gst_object_unref(bus_);
        bus_ = nullptr;
    }
    output_ = nullptr;  // within sink_
    formatLock_ = nullptr;
    for (GstElement** e : {&sink_, &gain_}) {
        if (*e) gst_object_unref(*e);
        *e = nullptr;
    }
    state_ = State::Closed;
    lengthNs_ = 0;
    outputLost_ = false;
    nextBroke_ = false;
    path_.clear();
}

// Reads what the pipeline has posted since the last call.
void GstMediaDevice::Poll() {
    if (!bus_) return;
    TakeStarts();
    const auto wanted =
        GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_CLOCK_LOST);
    while (GstMessage* message = gst_bus_pop_filtered(bus_, wanted)) {
        switch (GST_MESSAGE_TYPE(message)) {
            case GST_MESSAGE_EOS:
                if (state_ == State::Playing) {
                    state_ = State::Ended;
                    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
                }
                ForgetJoins();
                break;
            case GST_MESSAGE_ERROR:
                // The stream broke off: stop where it is. A file cut short is
                // an end the player can move on from; an output that went
                // away (the sound server ended) is told as such, and this
                // pipeline plays nothing more: the next open makes a new one,
                // which looks for the output again.
                if (IsFrom(message, sink_)) outputLost_ = true;
                if (!outputLost_ && NextFileBroke()) break;
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
    // The file heard now plays out before a broken next one ends it.
    if (nextBroke_ && state_ == State::Playing) {
        gint64 ns = -1;
        if (gst_element_query_position(output_, GST_FORMAT_TIME, &ns) && ns >= 0)
            lastPositionNs_ = ns;
        if (lastPositionNs_ >= lengthNs_ - kLastSoundNs || NowMs() > nextBrokeByMs_) {
            nextBroke_ = false;
            ForgetJoins();
            state_ = State::Ended;
            gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        }
    }
}

// A file handed on that failed before its sound came: the one heard now
// still has its last moments queued, which the player would cut off; it
// ends at its length instead, and the player opens the broken file itself
// (and tells it failed) as if nothing had been queued.
bool GstMediaDevice::NextFileBroke() {
    std::lock_guard lock(joinLock_);
    if (handedOn_ <= switchesAtSink_) return false;
    nextBroke_ = true;
    // Should the position stall short of the length, the end comes anyway.
    nextBrokeByMs_ = NowMs() + (lengthNs_ - lastPositionNs_) / kNsPerMs + 500;
    return true;
}

void GstMediaDevice::ForgetJoins() {
    std::lock_guard lock(joinLock_);
    upcoming_.clear();
    upcomingGains_.clear();
    handedOn_ = switchesAtSink_ = switchesAtGain_ = 0;
    missedEnd_ = takenBack_ = dropping_ = false;
}

// Starts the open file afresh, stopped at its start: the only way to take
// back a file handed to the decoder, which a seek would leave queued.
// The queue stays: the file asks for the next one again as it ends. With
// hold, not until EndHold (or the flush of a seek): the seek that follows
// would find the next file handed on again, the very thing the restart undid.
void GstMediaDevice::RestartFile(bool hold) {
    TakeDown(GST_STATE_READY);
    {
        std::lock_guard lock(joinLock_);
        handedOn_ = switchesAtSink_ = switchesAtGain_ = sourcesMade_ = sourcesAnswered_ = 0;
        missedEnd_ = takenBack_ = dropping_ = soundSinceStart_ = soundAtGain_ = false;
        holding_ = hold;
    }
    nextBroke_ = false;
    g_object_set(pipeline_, "uri", FileUri(path_).constData(), nullptr);
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    WaitForPreroll(kSettleTimeoutMs, nullptr);
}

void GstMediaDevice::EndHold() {
    std::lock_guard lock(joinLock_);
    holding_ = awaitingFlush_ = false;
}

// Catches up with the files whose sound reached the sink.
void GstMediaDevice::TakeStarts() {
    QStringList started;
    {
        std::lock_guard lock(joinLock_);
        if (switchesAtSink_ == 0) return;
        if (!dropping_) {
            started = upcoming_.mid(0, switchesAtSink_);
            upcoming_.remove(0, switchesAtSink_);
            handedOn_ -= switchesAtSink_;
            switchesAtGain_ -= switchesAtSink_;
            switchesAtSink_ = 0;
            gainFactor_ = upcomingGains_.value(started.last(), 1.0);
        }
    }
    if (started.isEmpty()) {
        // A file taken back began: what was heard ended as at the end of
        // the stream, and the file stays open at its end.
        ForgetJoins();
        RestartFile(true);
        EndHold();
        g_object_set(gain_, "volume", gainFactor_, nullptr);  // it had the dropped file's
        state_ = State::Ended;
        atStart_ = false;
        return;
    }
    for (const QString& path : started) events_.push_back({MediaEvent::Kind::TrackStarted, path});
    path_ = started.last();
    lengthNs_ = 0;
    FindLength(QFileInfo(path_).absoluteFilePath(), NowMs() + 500);
    lastPositionNs_ = 0;
    Anchor();
    atStart_ = false;
}

int GstMediaDevice::QueueNext(const QStringList& paths, const QList<double>& gains) {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    bool again = false;
    {
        std::lock_guard lock(joinLock_);
        if (takenBack_) return 0;
        const QStringList handed = upcoming_.mid(0, handedOn_);
        if (paths.mid(0, handedOn_) != handed) {
            takenBack_ = true;
            upcoming_ = handed;
            return 0;
        }
        upcoming_ = paths;
        upcomingGains_.clear();
        for (qsizetype i = 0; i < paths.size(); ++i)
            upcomingGains_.insert(paths[i], i < gains.size() ? gains[i] : 1.0);
        // A short file runs the decoder dry while it prerolls, before anything
        // could be queued: decoded again, it asks again.
        again = missedEnd_ && handedOn_ == 0 && !paths.isEmpty() && state_ == State::Stopped &&
                atStart_;
    }
    // Started afresh rather than moved to the start: a decoder moved back
    // (Opus) makes its first moments a little otherwise than a fresh one.
    if (again) RestartFile(false);
    return 0;
}

std::vector<MediaEvent> GstMediaDevice::TakeEvents() {
    Poll();
    return std::exchange(events_, {});
}

int GstMediaDevice::Play() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (outputLost_) return kHardware;
    // At the end there is nothing left to play until a rewind.
    if (state_ == State::Playing || state_ == State::Ended) return 0;
    if (atStart_) lastPositionNs_ = 0;
    Anchor();
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return kHardware;
    state_ = State::Playing;
    atStart_ = false;
    return 0;
}

void GstMediaDevice::Anchor() {
    anchorNs_ = lastPositionNs_;
    anchorMs_ = NowMs();
}

int GstMediaDevice::Pause() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (state_ != State::Playing) return 0;
    Position();  // where it stops, while the clock still says
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    state_ = State::Paused;
    return 0;
}

int GstMediaDevice::Resume() {
    Poll();
    if (state_ == State::Closed) return kDeviceNotReady;
    if (outputLost_) return kHardware;
    if (state_ != State::Paused) return 0;
    Anchor();
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
    bool handedOn = false;
    {
        // Nothing is handed on until the move's flush has gone through: the
        // decoder may run dry just before it, and playbin would then move the
        // next file instead of this one. Asked before the flush, the decoder
        // asks again after it; the flush reaches our gain before it can.
        std::lock_guard lock(joinLock_);
        holding_ = awaitingFlush_ = true;
        handedOn = handedOn_ > 0;
        missedEnd_ = false;
    }
    if (handedOn) RestartFile(true);
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    const auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const bool stopAtLength = lengthNs_ > 0;
    const bool moved =
        gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, ns,
                         stopAtLength ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                         stopAtLength ? lengthNs_ : GST_CLOCK_TIME_NONE);
    // A stream that cannot seek still rewinds by starting over.
    if (!moved && ns == 0) TakeDown(GST_STATE_READY);
    EndHold();
    if (!moved) {
        if (ns != 0) return kUnsupportedFunction;
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
    // A file joined on may not know its length yet when its sound begins.
    gint64 ns = -1;
    if (lengthNs_ <= 0 && pipeline_ && gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns))
        lengthNs_ = std::max<gint64>(ns, 0);
    return lengthNs_ / kNsPerMs;
}

qint64 GstMediaDevice::Position() {
    Poll();
    if (state_ == State::Closed) return 0;
    if (state_ == State::Ended) return Length();
    if (atStart_) return 0;
    bool handedOn = false;
    {
        std::lock_guard lock(joinLock_);
        handedOn = handedOn_ > switchesAtSink_;
    }
    if (handedOn) {
        // With the next file handed on, the sink clips what it answers to
        // that file's length, which may be shorter: the position goes on by
        // the clock from the last true reading.
        if (state_ == State::Playing)
            lastPositionNs_ = anchorNs_ + (NowMs() - anchorMs_) * kNsPerMs;
        return std::min(lastPositionNs_ / kNsPerMs, Length());
    }
    // Asked of the sink itself: the pipeline would only pass the query on to
    // it, at twice the cost, and the monitor asks 20 times a second.
    gint64 ns = -1;
    if ((gst_element_query_position(output_, GST_FORMAT_TIME, &ns) ||
         gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns)) &&
        ns >= 0) {
        lastPositionNs_ = ns;
        Anchor();
    }
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
    {
        // The next file's sound has passed the gain already, at its own.
        std::lock_guard lock(joinLock_);
        if (switchesAtGain_ > 0) return 0;
    }
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
