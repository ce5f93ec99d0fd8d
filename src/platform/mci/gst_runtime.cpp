// GStreamer start-up and the choice of the audio output. Probing the outputs
// costs milliseconds and prints library noise, so an output found is kept (a
// sink factory name) and reused for every open; no output found is looked
// for again at the next open.
#include "platform/mci/gst_runtime.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <unistd.h>

#include <mutex>
#include <string>

namespace qv {

namespace {

// The real-time null sink: what no output at all, or a null output asked
// for, plays into.
constexpr const char* kNullSink = "fakeaudiosink";

std::mutex outputMutex;
std::string outputFactory;  // empty: not chosen yet

// Runs fn with file descriptor 2 pointed at /dev/null.
template <typename Fn>
void WithQuietStderr(Fn fn) {
    fflush(stderr);
    const int saved = dup(2);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) dup2(null, 2);
    fn();
    fflush(stderr);
    if (saved >= 0) {
        dup2(saved, 2);
        close(saved);
    }
    if (null >= 0) close(null);
}

// Lets autoaudiosink pick an output and reports which sink it took.
std::string ProbeOutput() {
    std::string chosen = kNullSink;
    WithQuietStderr([&] {
        GstElement* probe = gst_element_factory_make("autoaudiosink", nullptr);
        if (!probe) return;
        if (gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
            GstIterator* it = gst_bin_iterate_elements(GST_BIN(probe));
            GValue item = G_VALUE_INIT;
            if (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
                auto* child = GST_ELEMENT(g_value_get_object(&item));
                if (GstElementFactory* factory = gst_element_get_factory(child))
                    chosen = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
                g_value_unset(&item);
            }
            gst_iterator_free(it);
        }
        gst_element_set_state(probe, GST_STATE_NULL);
        gst_object_unref(probe);
    });
    // Any fake sink becomes the real-time null sink.
    if (chosen.rfind("fake", 0) == 0) chosen = kNullSink;
    return chosen;
}

}  // namespace

void EnsureGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] {
        gst_init(nullptr, nullptr);
        // Both MP3 decoders carry the same rank, and the tie goes to libav's,
        // which takes about half as much CPU again to play a file and loads
        // a large library on the first MP3. Prefer mpg123 in this process.
        if (GstPluginFeature* mpg123 =
                gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
            gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
            gst_object_unref(mpg123);
        }
    });
}

GstElement* MakeAudioSink(bool nullAudio, bool* noOutput) {
    EnsureGstreamer();
    std::string factory = kNullSink;
    bool none = false;
    if (!nullAudio) {
        std::lock_guard lock(outputMutex);
        // A probe costs a few milliseconds once GStreamer is warm.
        if (outputFactory.empty() || outputFactory == kNullSink) outputFactory = ProbeOutput();
        factory = outputFactory;
        none = factory == kNullSink;
    }
    GstElement* sink = gst_element_factory_make(factory.c_str(), nullptr);
    if (!sink && factory != kNullSink) {
        sink = gst_element_factory_make(kNullSink, nullptr);
        none = true;
    }
    *noOutput = none;
    return sink;
}

void ForgetAudioOutput() {
    std::lock_guard lock(outputMutex);
    outputFactory.clear();
}

}  // namespace qv
