// GStreamer start-up and the choice of the audio output. Probing the outputs
// costs tens of milliseconds and prints library noise, so it is done once and
// its answer (a sink factory name) reused for every open.
#include "platform/mci/gst_runtime.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <unistd.h>

#include <mutex>
#include <string>

namespace qv {

namespace {

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
    std::string chosen = "fakeaudiosink";
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
    if (chosen.rfind("fake", 0) == 0) chosen = "fakeaudiosink";
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

GstElement* MakeAudioSink(bool nullAudio) {
    EnsureGstreamer();
    std::string factory = "fakeaudiosink";
    if (!nullAudio) {
        std::lock_guard lock(outputMutex);
        if (outputFactory.empty()) outputFactory = ProbeOutput();
        factory = outputFactory;
    }
    GstElement* sink = gst_element_factory_make(factory.c_str(), nullptr);
    if (!sink && factory != "fakeaudiosink")
        sink = gst_element_factory_make("fakeaudiosink", nullptr);
    return sink;
}

void ForgetAudioOutput() {
    std::lock_guard lock(outputMutex);
    outputFactory.clear();
}

}  // namespace qv
