// The gain texts read as numbers, and the factor a file plays at: pure
// arithmetic over what ReadReplayGain found and the listener's choice.
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "tags/replay_gain.h"

namespace qv {
namespace {

constexpr double kMaxGainDb = 60;
// R128 gains are relative to -23 LUFS, ReplayGain's to about -18.
constexpr double kR128ToReplayGainDb = 5;

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> ParseReplayGain(const QString& text) {
    // A number, optionally followed by "dB" in any letter case.
    static const QRegularExpression kGain(
        QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+)\\s*(dB)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = kGain.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const std::optional<double> gain = Number(match.captured(1));
    if (!gain || std::abs(*gain) > kMaxGainDb) return std::nullopt;
    return gain;
}

std::optional<double> ParseReplayPeak(const QString& text) {
    const std::optional<double> peak = Number(text.trimmed());
    if (!peak || *peak <= 0) return std::nullopt;
    return peak;
}

std::optional<double> ParseR128Gain(const QString& text) {
    bool ok = false;
    const int q78 = text.trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    const double gain = q78 / 256.0 + kR128ToReplayGainDb;
    if (std::abs(gain) > kMaxGainDb) return std::nullopt;
    return gain;
}

double ReplayGainFactor(const ReplayGain& gain, ReplayGainMode mode, double preampDb) {
    if (mode != ReplayGainMode::Track && mode != ReplayGainMode::Album) return 1.0;
    const bool album = mode == ReplayGainMode::Album;
    const std::optional<double> db = album ? (gain.albumGain ? gain.albumGain : gain.trackGain)
                                           : (gain.trackGain ? gain.trackGain : gain.albumGain);
    if (!db) return 1.0;
    const std::optional<double> peak = album ? (gain.albumPeak ? gain.albumPeak : gain.trackPeak)
                                             : (gain.trackPeak ? gain.trackPeak : gain.albumPeak);
    double factor = std::pow(10.0, (*db + preampDb) / 20.0);
    // A cut never clips; a raise goes no further than the peak allows, and a
    // file already past full scale is not raised at all.
    if (factor > 1.0 && peak) factor = std::max(1.0, std::min(factor, 1.0 / *peak));
    return std::clamp(factor, 0.0, kMaxReplayGainFactor);
}

}  // namespace qv
