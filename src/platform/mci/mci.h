// The media-control command interface: a command string in, a result code and
// a reply out. The program's media layer (Mod_MCI) talks only to this.
#pragma once

#include <QString>

namespace qv {

// The words a mode query ("status <alias> mode") answers with: the classic
// interface's own, in lower case. With nothing open the reply is empty.
inline const QString kModeStopped = QStringLiteral("stopped");
inline const QString kModePlaying = QStringLiteral("playing");
inline const QString kModePaused = QStringLiteral("paused");
inline const QString kModeSeeking = QStringLiteral("seeking");
inline const QString kModeOpen = QStringLiteral("open");
inline const QString kModeNotReady = QStringLiteral("not ready");

// The words of "status <alias> output", an item of our own: the device plays
// into a sound output, into none (none was found: nothing is heard), or its
// output went away while it played (it stopped there).
inline const QString kOutputPresent = QStringLiteral("present");
inline const QString kOutputNone = QStringLiteral("none");
inline const QString kOutputLost = QStringLiteral("lost");

class MediaDevice;

class MciSender {
  public:
    virtual ~MciSender() = default;
    // Executes one command string. The reply (when reply is given) is cut to
    // fit replyLength characters together with a terminating NUL, as the
    // Windows call does; a failed command leaves it empty. 0 on success, else
    // a media-control error number.
    virtual int SendString(const QString& command, QString* reply, int replyLength) = 0;
    // The device open under the alias, for what has no command string (the
    // file's gain, the files queued to join on, the events the device
    // tells); nullptr when none is open there or the sender keeps no devices
    // of its own.
    virtual MediaDevice* Device(const QString& alias) {
        (void)alias;
        return nullptr;
    }
};

}  // namespace qv
