// The loudness a file's tags ask for (ReplayGain, and Opus's R128 gains) and
// the one factor the device plays a file at, by the listener's choice.
#pragma once

#include <QString>
#include <optional>

namespace qv {

// Gains in dB to the ReplayGain reference level; peaks as a fraction of full
// scale (1.0). What the file does not say, or says in a form we cannot read,
// is missing.
struct ReplayGain {
    std::optional<double> trackGain, trackPeak, albumGain, albumPeak;
    bool operator==(const ReplayGain&) const = default;
};

// REPLAYGAIN_{TRACK,ALBUM}_{GAIN,PEAK} from whichever tag the file's kind
// keeps them in: Vorbis comments (FLAC, Ogg), ID3v2 TXXX frames or an APE
// tag (MP3), MP4 freeform items, ASF attributes; in Opus files
// R128_{TRACK,ALBUM}_GAIN first. Nothing for a file without them, a missing
// one or one of another kind.
ReplayGain ReadReplayGain(const QString& FilePath);

// A gain text as taggers write it ("-7.03 dB", "+2.5 dB", "-7.03"), within
// ±60 dB; anything else is no gain.
std::optional<double> ParseReplayGain(const QString& text);
// A peak text ("0.988525"): a finite number above 0.
std::optional<double> ParseReplayPeak(const QString& text);
// An R128 gain: a whole number of 1/256 dB relative to -23 LUFS (Q7.8),
// turned into a ReplayGain gain (5 dB louder reference), within ±60 dB.
std::optional<double> ParseR128Gain(const QString& text);

// "ReplayGain" of section "Quorvane": which gain plays.
enum class ReplayGainMode { Off = 0, Track = 1, Album = 2 };

// The factor of the file's amplitude to play it at: 1 with the mode off or a
// file without a gain (untagged files play as recorded); otherwise the
// chosen gain (the other one when the file has only that) plus preampDb. A
// positive gain stops where the chosen peak (or the other) would reach full
// scale. Within 0 ... kMaxReplayGainFactor.
double ReplayGainFactor(const ReplayGain& gain, ReplayGainMode mode, double preampDb);

// The most the device raises a file (+20 dB).
inline constexpr double kMaxReplayGainFactor = 10.0;

}  // namespace qv
