// The command-string interpreter. It checks every word before it touches a
// device, so a refused command never changes the state of what is open.
#include "platform/mci/mci_interpreter.h"

#include <array>

#include "platform/mci/mci_errors.h"

namespace qv {

namespace {

using namespace mcierr;

bool Is(const MciToken& token, const char* keyword) {
    return !token.quoted && token.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

// Flags of the classic interface that this one knows but does not carry out:
// refused as unsupported rather than as unknown words.
bool IsUnsupportedFlag(const MciToken& token) {
    static constexpr std::array kFlags = {"wait", "notify", "test",    "shareable",
                                          "from", "repeat", "reverse", "fullscreen",
                                          "new",  "buffer", "style",   "parent"};
    for (const char* flag : kFlags)
        if (Is(token, flag)) return true;
    return false;
}

// Commands of the classic interface that no device here offers.
bool IsUnsupportedCommand(const MciToken& token) {
    static constexpr std::array kCommands = {
        "record",    "save",     "cue",     "info",    "capability", "sysinfo", "where",
        "window",    "put",      "load",    "step",    "delete",     "cut",     "copy",
        "paste",     "setvideo", "signal",  "realize", "update",     "freeze",  "unfreeze",
        "configure", "list",     "undo",    "spin",    "escape",     "capture", "monitor",
        "quality",   "reserve",  "restore", "break",   "sound"};
    for (const char* command : kCommands)
        if (Is(token, command)) return true;
    return false;
}

// Device types of the open command. The CD device exists in the classic
// interface but has no counterpart here.
int CanonicalDeviceType(const MciToken& token, QString* type) {
    static constexpr std::array kTypes = {"WaveAudio", "MPEGVideo", "MPEGVideo2", "Sequencer"};
    for (const char* known : kTypes) {
        if (Is(token, known) ||
            (token.quoted && token.text.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)) {
            *type = QLatin1String(known);
            return 0;
        }
    }
    if (token.text.compare(QLatin1String("CDAudio"), Qt::CaseInsensitive) == 0)
        return kDeviceNotInstalled;
    return kDeviceTypeRequired;
}

QString ModeWord(MediaMode mode) {
    switch (mode) {
        case MediaMode::Stopped:
            return kModeStopped;
        case MediaMode::Playing:
            return kModePlaying;
        case MediaMode::Paused:
            return kModePaused;
        case MediaMode::Seeking:
            return kModeSeeking;
        case MediaMode::Open:
            return kModeOpen;
        case MediaMode::NotReady:
            break;
    }
    return kModeNotReady;
}

QString OutputWord(AudioOutput output) {
    switch (output) {
        case AudioOutput::None:
            return kOutputNone;
        case AudioOutput::Lost:
            return kOutputLost;
        case AudioOutput::Present:
            break;
    }
    return kOutputPresent;
}

// Whatever follows the words a command has used up: a classic flag we do not
// carry out, or an unknown word.
int Leftover(const MciToken& token) {
    return IsUnsupportedFlag(token) ? kUnsupportedFunction : kUnrecognizedKeyword;
}

}  // namespace

MciInterpreter::MciInterpreter(MediaDeviceFactory factory) : factory_(std::move(factory)) {}

MciInterpreter::~MciInterpreter() = default;

void MciInterpreter::SetRecorder(std::function<void(const QString&)> recorder) {
    recorder_ = std::move(recorder);
}

int MciInterpreter::SendString(const QString& command, QString* reply, int replyLength) {
    if (recorder_) recorder_(command);
    if (reply) reply->clear();
    Words words;
    int code = SplitMciCommand(command, &words);
    if (code != 0) return code;
    QString answer;
    code = Execute(words, &answer);
    // The reply is cut to fit the caller's buffer together with its NUL.
    if (code == 0 && reply && replyLength > 0) *reply = answer.left(replyLength - 1);
    return code;
}

MediaDevice* MciInterpreter::Device(const QString& alias) {
    const auto it = aliases_.find(alias.toLower());
    return it == aliases_.end() ? nullptr : it->second.device.get();
}

int MciInterpreter::Execute(const Words& words, QString* answer) {
    if (words.empty()) return kMissingCommandString;
    const MciToken& verb = words[0];
    const bool known = Is(verb, "open") || Is(verb, "play") || Is(verb, "stop") ||
                       Is(verb, "pause") || Is(verb, "resume") || Is(verb, "close") ||
                       Is(verb, "seek") || Is(verb, "set") || Is(verb, "status") ||
                       Is(verb, "setaudio");
    if (!known) return IsUnsupportedCommand(verb) ? kUnsupportedFunction : kUnrecognizedCommand;
    if (Is(verb, "open")) return Open(words);
    if (words.size() < 2) return kMissingDeviceName;
    if (Is(words[1], "all")) {
        if (!Is(verb, "close")) return kCannotUseAll;
        if (words.size() > 2) return Leftover(words[2]);
        aliases_.clear();
        return 0;
    }
    auto it = aliases_.find(words[1].text.toLower());
    if (it == aliases_.end()) return kInvalidDeviceName;
    if (Is(verb, "seek")) return Seek(it->second, words);
    if (Is(verb, "set")) return Set(words);
    if (Is(verb, "setaudio")) return SetAudio(it->second, words);
    if (Is(verb, "status")) return Status(it->second, words, answer);
    if (words.size() > 2) return Leftover(words[2]);
    if (Is(verb, "close")) {
        aliases_.erase(it);
        return 0;
    }
    return Simple(verb.text.toLower(), it->second);
}

int MciInterpreter::Open(const Words& words) {
    // The element comes first; a keyword in its place means it was left out
    // (an empty path gives "open  type ...").
    if (words.size() < 2 || Is(words[1], "type") || Is(words[1], "alias")) return kFilenameRequired;
    const MciToken& element = words[1];
    const MciToken* typeWord = nullptr;
    const MciToken* aliasWord = nullptr;
    for (size_t i = 2; i < words.size(); ++i) {
        const bool isType = Is(words[i], "type");
        if (!isType && !Is(words[i], "alias")) return Leftover(words[i]);
        const MciToken*& slot = isType ? typeWord : aliasWord;
        if (slot) return kDuplicateFlags;
        if (i + 1 >= words.size() || Is(words[i + 1], "type") || Is(words[i + 1], "alias"))
            return kMissingStringArgument;
        slot = &words[++i];
    }
    const QString alias = aliasWord ? aliasWord->text : element.text;
    if (alias.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) return kCannotUseAll;
    if (aliases_.count(alias.toLower())) return kDuplicateAlias;
    if (!typeWord) return kExtensionNotFound;
    QString type;
    if (int code = CanonicalDeviceType(*typeWord, &type)) return code;
    std::unique_ptr<MediaDevice> device = factory_ ? factory_(type) : nullptr;
    if (!device) return kCannotLoadDriver;
    if (int code = device->Open(element.text)) return code;
    aliases_[alias.toLower()] = Alias{std::move(device), type};
    return 0;
}

int MciInterpreter::Simple(const QString& verb, Alias& alias) {
    MediaDevice& device = *alias.device;
    if (verb == u"play") return device.Play();
    if (verb == u"stop") return device.Stop();
    if (verb == u"pause") return device.Pause();
    return device.Resume();
}

int MciInterpreter::Seek(Alias& alias, const Words& words) {
    if (words.size() < 3) return kMissingParameter;
    if (!Is(words[2], "to")) return Leftover(words[2]);
    if (words.size() < 4) return kMissingParameter;
    if (words.size() > 4) return Leftover(words[4]);
    const MciToken& where = words[3];
    MediaDevice& device = *alias.device;
    if (Is(where, "start")) return device.SeekStart();
    if (Is(where, "end")) return device.SeekEnd();
    bool ok = false;
    const qint64 ms = where.text.toLongLong(&ok);
    if (!ok || where.quoted) return kBadInteger;
    if (ms < 0 || ms > device.Length()) return kOutOfRange;
    return device.SeekTo(ms);
}

int MciInterpreter::Set(const Words& words) {
    // Milliseconds are the one time format every device here speaks, so
    // setting it changes nothing.
    if (words.size() < 3) return kMissingParameter;
    if (!Is(words[2], "time")) return Leftover(words[2]);
    if (words.size() < 4 || !Is(words[3], "format")) return kMissingParameter;
    if (words.size() < 5) return kMissingParameter;
    if (!Is(words[4], "milliseconds") && !Is(words[4], "ms")) return kBadTimeFormat;
    if (words.size() > 5) return Leftover(words[5]);
    return 0;
}

int MciInterpreter::SetAudio(Alias& alias, const Words& words) {
    // Of the classic audio settings only the volume (0 ... 1000) has a
    // counterpart here; the channel, tone and input settings are refused.
    static constexpr std::array kOthers = {"on",      "off",    "left",   "right", "bass",
                                           "treble",  "source", "output", "input", "algorithm",
                                           "quality", "over",   "record", "stream"};
    if (words.size() < 3) return kMissingParameter;
    if (!Is(words[2], "volume")) {
        for (const char* other : kOthers)
            if (Is(words[2], other)) return kUnsupportedFunction;
        return Leftover(words[2]);
    }
    if (words.size() < 4) return kMissingParameter;
    if (!Is(words[3], "to")) return Leftover(words[3]);
    if (words.size() < 5) return kMissingParameter;
    if (words.size() > 5) return Leftover(words[5]);
    bool ok = false;
    const int volume = words[4].text.toInt(&ok);
    if (!ok || words[4].quoted) return kBadInteger;
    if (volume < 0 || volume > 1000) return kOutOfRange;
    return alias.device->SetVolume(volume);
}

int MciInterpreter::Status(Alias& alias, const Words& words, QString* answer) {
    if (words.size() < 3) return kMissingParameter;
    const MciToken& item = words[2];
    const bool timeFormat = Is(item, "time");
    if (timeFormat && (words.size() < 4 || !Is(words[3], "format"))) return kMissingParameter;
    const size_t used = timeFormat ? 4 : 3;
    if (words.size() > used) return Leftover(words[used]);
    MediaDevice& device = *alias.device;
    if (Is(item, "length")) {
        *answer = QString::number(device.Length());
    } else if (Is(item, "position")) {
        *answer = QString::number(device.Position());
    } else if (Is(item, "volume")) {
        *answer = QString::number(device.Volume());
    } else if (Is(item, "output")) {
        *answer = OutputWord(device.Output());
    } else if (Is(item, "mode")) {
        *answer = ModeWord(device.Mode());
    } else if (Is(item, "ready")) {
        const MediaMode mode = device.Mode();
        const bool ready = mode != MediaMode::NotReady && mode != MediaMode::Open;
        *answer = ready ? QStringLiteral("true") : QStringLiteral("false");
    } else if (timeFormat) {
        *answer = QStringLiteral("milliseconds");
    } else {
        return Leftover(item);
    }
    return 0;
}

}  // namespace qv
