// The command-string interpreter: our stand-in for the operating system's
// media-control string interface, one media device per alias.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/mci/mci.h"
#include "platform/mci/mci_tokens.h"
#include "platform/mci/media_device.h"

namespace qv {

// Understands:
//   open <element> type <device type> [alias <alias>]
//   play|stop|pause|resume|close <alias>     close all
//   seek <alias> to start|end|<ms>       (to <ms> keeps a pause)
//   set <alias> time format milliseconds|ms
//   setaudio <alias> volume to <0 ... 1000>
//   status <alias> length|position|mode|ready|volume|output|time format
// Keywords ignore letter case; aliases too. Anything else is refused with an
// MCI error number and changes nothing.
class MciInterpreter final : public MciSender {
  public:
    explicit MciInterpreter(MediaDeviceFactory factory);
    ~MciInterpreter() override;
    MciInterpreter(const MciInterpreter&) = delete;
    MciInterpreter& operator=(const MciInterpreter&) = delete;

    int SendString(const QString& command, QString* reply, int replyLength) override;
    MediaDevice* Device(const QString& alias) override;

    // Called with every command string before it is carried out (tests and
    // tools watch the traffic through it). An empty function removes it.
    void SetRecorder(std::function<void(const QString&)> recorder);

  private:
    struct Alias {
        std::unique_ptr<MediaDevice> device;
        QString type;
    };
    using Words = std::vector<MciToken>;

    int Execute(const Words& words, QString* answer);
    int Open(const Words& words);
    int Simple(const QString& verb, Alias& alias);
    int Seek(Alias& alias, const Words& words);
    int Set(const Words& words);
    int SetAudio(Alias& alias, const Words& words);
    int Status(Alias& alias, const Words& words, QString* answer);

    MediaDeviceFactory factory_;
    std::function<void(const QString&)> recorder_;
    std::map<QString, Alias> aliases_;  // key: the alias in lower case
};

}  // namespace qv
