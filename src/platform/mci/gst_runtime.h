// GStreamer for the media device: initialised once per process, and the
// audio output chosen once, quietly.
#pragma once

#include <QByteArray>

typedef struct _GstElement GstElement;

namespace qv {

// Initialises GStreamer the first time it is called; later calls do nothing.
void EnsureGstreamer();

// A new audio sink for one device. With nullAudio, a null sink that still
// plays in real time; otherwise the desktop's default output as GStreamer's
// automatic choice finds it, or the null sink when there is no output at all
// (*noOutput then says so). The choice is made with standard error silenced,
// since the sinks tried on the way (ALSA, OpenAL, JACK) print their failures
// there; once per process while it finds an output, and afresh for every
// sink while it finds none, so that a sound server started later is heard.
GstElement* MakeAudioSink(bool nullAudio, bool* noOutput);

// Forgets the chosen output, so the next sink is chosen afresh (after the
// sound server went away, say).
void ForgetAudioOutput();

}  // namespace qv
