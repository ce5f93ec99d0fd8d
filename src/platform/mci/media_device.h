// One media device as the command interpreter drives it: one open file, one
// alias. The GStreamer device plays for real; tests put a scripted fake here.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

#include "platform/mci/mci_errors.h"

namespace qv {

// The modes a device reports; the interpreter turns them into the
// interface's own lower-case words.
enum class MediaMode { NotReady, Stopped, Playing, Paused, Seeking, Open };

// What a device plays into: a sound output (the desktop's, or the one its
// maker chose); none, as no output was found, so nothing is heard; or an
// output that went away while the device played, which stopped it there and
// plays nothing more until a file is opened anew.
enum class AudioOutput { Present, None, Lost };

// What happened in the device since the player last asked. A file queued with
// QueueNext that is now heard is told once, when its sound reaches the output.
struct MediaEvent {
    enum class Kind { TrackStarted };
    Kind kind = Kind::TrackStarted;
    QString path;  // the file now heard
};

class MediaDevice {
  public:
    virtual ~MediaDevice() = default;
    // Opens the file and leaves the device stopped at the start with its
    // length known. Called once per device; 0 or an MCI error number. The
    // device is destroyed when this fails.
    virtual int Open(const QString& path) = 0;
    // Each of these returns 0 or an MCI error number.
    virtual int Play() = 0;    // returns at once; playback goes on by itself
    virtual int Pause() = 0;   // keeps the position
    virtual int Resume() = 0;  // goes on from a pause
    virtual int Stop() = 0;    // keeps the position
    virtual int SeekStart() = 0;
    virtual int SeekEnd() = 0;
    // 0 ... Length(); leaves the device stopped, or paused when it was
    // paused, so that a paused track can be moved and then resumed.
    virtual int SeekTo(qint64 ms) = 0;
    virtual qint64 Length() = 0;    // milliseconds
    virtual qint64 Position() = 0;  // milliseconds, 0 ... Length()
    virtual MediaMode Mode() = 0;
    // The loudness, 0 (silent) ... 1000 (as recorded); a new device plays at
    // 1000. Heard from the next sound on, also when set while stopped.
    virtual int SetVolume(int volume) = 0;
    virtual int Volume() = 0;
    // The file's own correction of its loudness (ReplayGain), a factor of
    // its amplitude, 0 ... 10; a new device plays at 1. Applied apart from
    // the volume, and heard from the next sound on as the volume is.
    virtual int SetTrackGain(double factor) = 0;
    virtual AudioOutput Output() = 0;

    // The files to play after the open one, in order, each joined to the one
    // before without a gap; an empty list plays nothing after it (the device
    // stops at the end as before). Replaces what was queued. A file already
    // handed to the decoder can no longer be taken back: when the new list
    // does not begin with it, its sound is dropped when it comes and the
    // device stops as at the end, so nothing unwanted is heard. gains: each
    // file's own (as SetTrackGain's), in the same order, heard from its first
    // sound on; a file without one plays at 1. 0, or an MCI error number when
    // the device cannot join files (it then plays each file alone, as
    // before).
    virtual int QueueNext(const QStringList& paths, const QList<double>& gains = {}) {
        (void)gains;
        return paths.isEmpty() ? 0 : mcierr::kUnsupportedFunction;
    }
    // The events since the last call, oldest first.
    virtual std::vector<MediaEvent> TakeEvents() { return {}; }
};

// Makes the device for one open command; deviceType is the canonical name of
// the command's type ("WaveAudio", "MPEGVideo", "MPEGVideo2", "Sequencer").
using MediaDeviceFactory = std::function<std::unique_ptr<MediaDevice>(const QString& deviceType)>;

}  // namespace qv
