// The settings module: one value of Setting.ini in the program folder read or
// written per call, and the program folder itself.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace qv {

class Ini {
  public:
    // appPath is the program folder; a missing final "/" is added.
    explicit Ini(const QString& appPath);

    // The folder of the running executable, or the per-user data folder of the
    // desktop when the executable's folder cannot be written. Ends in "/".
    // make: that per-user folder is made when missing (not for the help text).
    static QString DefaultAppPath(bool make = true);

    // The program folder, ending in exactly one "/".
    QString GetAppPath() const { return appPath_; }

    // The stored value, "" when the file, section or key is missing. Section
    // and key names match without regard to letter case.
    QString ReadIni(const QString& Section, const QString& Key) const;

    // Stores the value (creating file, section and key as needed, every other
    // line kept). Non-zero on success.
    int WriteIni(const QString& Section, const QString& Key, const QString& Value) const;

    // Told the path of Setting.ini whenever a write of it fails.
    std::function<void(const QString& path)> onWriteFailed;

  private:
    QString appPath_;
};

// What follows the end of a track: nothing ("Loop-Off"), the next entry
// ("Loop-All") or the same one again ("Loop-One"). The numbers are what
// "LoopMode" of section "Quorvane" stores.
enum class Looping : int32_t { Off = 0, All = 1, One = 2 };

// The mode's word, the loop button's tooltip: "Loop-Off", "Loop-All", "Loop-One".
QString LoopingWord(Looping mode);

// "LoopMode" of section "Quorvane". Any other value than the three (a damaged
// or hand-edited file) reads as Off, so that the loop button shows a picture
// and its next click goes on to "Loop-All".
Looping ReadLoopMode(const Ini& ini);

// "Volume" of section "Quorvane", 0 ... 1000: a number beyond either end is
// taken as that end; a missing value, or one that is not a whole number, is
// full volume (1000), so that nobody starts to silence by accident.
int32_t ReadVolume(const Ini& ini);

// "ReplayGain" of section "Quorvane": 0 off, 1 each file's track gain, 2 its
// album gain; missing or anything else is 1, the track gain.
int32_t ReadReplayGainMode(const Ini& ini);

// "ReplayGainPreamp" of section "Quorvane": dB added to every tagged file's
// gain, kept within -20 ... 20; missing or not a number is 0.
double ReadReplayGainPreamp(const Ini& ini);

// The language of the program's texts: Japanese, whatever the locale, unless
// the user asks for English.
enum class UiLanguage { Japanese, English };

// "Language" of section "Quorvane" decides when it names one: a value starting
// "en" is English, "ja" Japanese. Otherwise languageList (the value of
// LANGUAGE, the user's languages in order, "en_US:ja") chooses English when
// its first entry is English. Nothing is written: the key stays the user's.
UiLanguage ReadLanguage(const Ini& ini, const QString& languageList);

}  // namespace qv
