// The gain tags of every container, in files ffmpeg makes here and TagLib
// tags where ffmpeg cannot (an APE tag on MP3, MP4 freeform items), and the
// factor a file plays at by mode, preamplification and peak.
#include <gtest/gtest.h>
#include <taglib/apetag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>

#include <QFile>
#include <cmath>
#include <functional>

#include "support/media_maker.h"
#include "support/tempdir.h"
#include "tags/replay_gain.h"

using namespace qv;
using qvtest::MediaKind;

namespace {

std::string Show(const ReplayGain& g) {
    const auto one = [](const std::optional<double>& v) {
        return v ? QString::number(*v).toStdString() : std::string("-");
    };
    return one(g.trackGain) + " " + one(g.trackPeak) + " " + one(g.albumGain) + " " +
           one(g.albumPeak);
}

const QStringList kFourFields{"REPLAYGAIN_TRACK_GAIN=-12.00 dB", "REPLAYGAIN_TRACK_PEAK=0.5",
                              "REPLAYGAIN_ALBUM_GAIN=-6.00 dB", "REPLAYGAIN_ALBUM_PEAK=0.7"};

void TagApe(const QString& path) {
    TagLib::MPEG::File f(QFile::encodeName(path).constData());
    for (const QString& field : kFourFields) {
        const QStringList kv = field.split('=');
        f.APETag(true)->addValue(kv[0].toStdString(), kv[1].toStdString());
    }
    f.save(TagLib::MPEG::File::APE);
}

void TagMp4(const QString& path) {
    TagLib::MP4::File f(QFile::encodeName(path).constData());
    for (const QString& field : kFourFields) {
        const QStringList kv = field.split('=');
        // Lower case, as some taggers write the names.
        f.tag()->setItem(("----:com.apple.iTunes:" + kv[0].toLower()).toStdString(),
                         TagLib::StringList(kv[1].toStdString()));
    }
    f.save();
}

}  // namespace

TEST(ReplayGainTags, EveryContainerGivesItsGainsAndPeaks) {
    qvtest::TempDir dir;
    const std::string all = "-12 0.5 -6 0.7", none = "- - - -";
    const struct {
        MediaKind kind;
        QStringList metadata;
        std::function<void(const QString&)> tagger;
        std::string expected;
    } rows[] = {
        {MediaKind::Flac, kFourFields, {}, all},
        {MediaKind::Vorbis, kFourFields, {}, all},
        {MediaKind::OggFlac, kFourFields, {}, all},
        {MediaKind::Mp3Xing, kFourFields, {}, all},  // ID3v2 TXXX
        {MediaKind::Mp3Xing, {}, TagApe, all},
        {MediaKind::Wma, kFourFields, {}, all},  // ASF attributes
        {MediaKind::M4a, {}, TagMp4, all},
        // R128 in Q7.8 dB, 5 dB below the ReplayGain reference, wins over
        // a ReplayGain field.
        {MediaKind::Opus,
         {"R128_TRACK_GAIN=-2816", "R128_ALBUM_GAIN=256", "REPLAYGAIN_TRACK_GAIN=-3 dB"},
         {},
         "-6 - 6 -"},
        // Names in any case, "dB" optional, signs; unreadable values missing.
        {MediaKind::Flac,
         {"replaygain_track_gain=+2.5 db", "REPLAYGAIN_TRACK_PEAK=0", "REPLAYGAIN_ALBUM_GAIN=loud",
          "REPLAYGAIN_ALBUM_PEAK=1.2"},
         {},
         "2.5 - - 1.2"},
        {MediaKind::Flac,
         {"REPLAYGAIN_TRACK_GAIN=-99 dB", "R128_TRACK_GAIN=x", "R128_ALBUM_GAIN=20000"},
         {},
         none},
        {MediaKind::Flac, {"title=untagged"}, {}, none},
        // WAV keeps no gains, even where ffmpeg put fields.
        {MediaKind::Wav, kFourFields, {}, none},
    };
    int n = 0;
    for (const auto& row : rows) {
        QString error;
        const QString path = qvtest::MakeMedia(
            row.kind, dir.path(), QString("f%1.").arg(n++) + qvtest::KindExtension(row.kind), 300,
            &error, row.metadata);
        ASSERT_FALSE(path.isEmpty()) << error.toStdString();
        if (row.tagger) row.tagger(path);
        EXPECT_EQ(Show(ReadReplayGain(path)), row.expected) << path.toStdString();
    }
    EXPECT_EQ(Show(ReadReplayGain(dir.file("missing.flac"))), none);
    EXPECT_EQ(Show(ReadReplayGain(dir.write("text.mp3", "no audio here"))), none);
}

TEST(ReplayGainLevel, ModePreampAndPeakMakeOneFactor) {
    using enum ReplayGainMode;
    const ReplayGain both{-12, 0.5, -6, 0.7}, trackOnly{3, 0.5, {}, {}}, loudPeak{12, 0.9, {}, {}},
        overFull{4, 1.3, {}, {}}, noPeak{30, {}, {}, {}};
    const struct {
        ReplayGain gain;
        ReplayGainMode mode;
        double preamp, db;  // the factor in dB
    } rows[] = {
        {both, Off, 6, 0},
        {both, Track, 0, -12},
        {both, Album, 0, -6},
        {both, Track, 4.5, -7.5},
        {trackOnly, Album, 0, 3},
        {trackOnly, Track, 2, 5},
        {{}, Track, 6, 0},                            // untagged: as recorded, no preamp
        {loudPeak, Track, 0, -20 * std::log10(0.9)},  // raised up to the peak only
        {overFull, Track, 0, 0},                      // already past full scale
        {both, Album, 20, -20 * std::log10(0.7)},     // the album's own peak
        {noPeak, Track, 0, 20},                       // the element's limit
        {both, static_cast<ReplayGainMode>(7), 0, 0},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(20 * std::log10(ReplayGainFactor(row.gain, row.mode, row.preamp)), row.db, 1e-9)
            << Show(row.gain) << " mode " << int(row.mode) << " preamp " << row.preamp;
}
