// Media files for tests. The tones are plain sines; the MP3 without a Xing
// header starts silent and ends in noise, so that its bit rate changes a lot
// and any length estimated from the first frames is far off.
#include "support/media_maker.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace qvtest {

namespace {

void Put16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF)).append(char(v >> 8));
}
void Put32(QByteArray& b, quint32 v) {
    Put16(b, quint16(v & 0xFFFF));
    Put16(b, quint16(v >> 16));
}
void Put32Be(QByteArray& b, quint32 v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.append(char((v >> shift) & 0xFF));
}

// Samples of a 440 Hz tone (or noise) at about a third of full scale.
std::vector<qint16> Samples(int rate, int ms, bool silent, bool noiseInSecondHalf) {
    const int count = int(qint64(rate) * ms / 1000);
    std::vector<qint16> out(count);
    quint32 seed = 12345;
    for (int i = 0; i < count; ++i) {
        double v = 0.3 * std::sin(2 * std::numbers::pi * 440.0 * i / rate);
        if (noiseInSecondHalf) {
            seed = seed * 1664525u + 1013904223u;
            v = i < count / 2 ? 0.0 : ((seed >> 8) / double(1 << 24) - 0.5) * 1.8;
        }
        out[i] = silent ? 0 : qint16(std::lround(v * 32767));
    }
    return out;
}

// G.711 A-law of one 16-bit sample.
quint8 ALaw(qint16 sample) {
    int pcm = sample >> 3;
    int mask = 0xD5;
    if (pcm < 0) {
        mask = 0x55;
        pcm = -pcm - 1;
    }
    static const int kSegmentEnds[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
    int segment = 0;
    while (segment < 8 && pcm > kSegmentEnds[segment]) ++segment;
    if (segment >= 8) return quint8(0x7F ^ mask);
    int value = segment << 4;
    value |= segment < 2 ? (pcm >> 1) & 0x0F : (pcm >> segment) & 0x0F;
    return quint8(value ^ mask);
}

QByteArray Vlq(quint32 n) {
    QByteArray out(1, char(n & 0x7F));
    while (n >>= 7) out.prepend(char(0x80 | (n & 0x7F)));
    return out;
}

bool Run(const QString& program, const QStringList& args, const QString& output, QString* error) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        *error = program + " did not start (is it installed? scripts/deps installs it)";
        return false;
    }
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 ||
        QFile(output).size() == 0) {
        *error = program + " failed: " + QString::fromLocal8Bit(p.readAll());
        return false;
    }
    return true;
}

}  // namespace

namespace {

struct KindInfo {
    const char *name, *extension, *deviceType;
};

// In the order of MediaKind.
constexpr KindInfo kKinds[] = {{"Wav", "wav", "WaveAudio"},     {"AuPcm", "au", "MPEGVideo"},
                               {"AuAlaw", "au", "MPEGVideo"},   {"Midi", "mid", "Sequencer"},
                               {"Mp3Xing", "mp3", "MPEGVideo"}, {"Mp3NoXing", "mp3", "MPEGVideo"},
                               {"Wma", "wma", "MPEGVideo2"},    {"Asf", "asf", "MPEGVideo2"}};

}  // namespace

const char* KindName(MediaKind kind) {
    return kKinds[static_cast<int>(kind)].name;
}

QString KindExtension(MediaKind kind) {
    return kKinds[static_cast<int>(kind)].extension;
}

QString KindDeviceType(MediaKind kind) {
    return kKinds[static_cast<int>(kind)].deviceType;
}

QByteArray WavFile(int ms, bool silent, bool noiseInSecondHalf) {
    const int rate = 44100, channels = 2;
    const std::vector<qint16> samples = Samples(rate, ms, silent, noiseInSecondHalf);
    const quint32 dataBytes = quint32(samples.size() * channels * 2);
    QByteArray b("RIFF");
    Put32(b, 36 + dataBytes);
    b.append("WAVEfmt ");
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * channels * 2);
    Put16(b, channels * 2);
    Put16(b, 16);
    b.append("data");
    Put32(b, dataBytes);
    for (qint16 s : samples)
        for (int c = 0; c < channels; ++c) Put16(b, quint16(s));
    return b;
}

QByteArray AuFile(int ms, bool alaw) {
    const int rate = alaw ? 8000 : 44100;
    const std::vector<qint16> samples = Samples(rate, ms, false, false);
    QByteArray b(".snd");
    Put32Be(b, 24);
    Put32Be(b, quint32(samples.size() * (alaw ? 1 : 2)));
    Put32Be(b, alaw ? 27 : 3);
    Put32Be(b, rate);
    Put32Be(b, 1);
    for (qint16 s : samples) {
        if (alaw) {
            b.append(char(ALaw(s)));
        } else {
            b.append(char(quint16(s) >> 8)).append(char(s & 0xFF));
        }
    }
    return b;
}

QByteArray MidiFile(int ms) {
    // 480 ticks a quarter note at 120 beats a minute: 960 ticks a second.
    const quint32 end = quint32(qint64(ms) * 960 / 1000);
    QByteArray track;
    track += Vlq(0) + QByteArray("\xFF\x51\x03\x07\xA1\x20", 6);  // tempo 500000 us
    track += Vlq(0) + QByteArray("\xC0\x00", 2);                  // piano
    track += Vlq(0) + QByteArray("\x90\x3C\x64", 3);              // C4 on
    track += Vlq(end / 2) + QByteArray("\x80\x3C\x40", 3);
    track += Vlq(0) + QByteArray("\x90\x40\x64", 3);  // E4 on
    track += Vlq(end - end / 2) + QByteArray("\x80\x40\x40", 3);
    track += Vlq(0) + QByteArray("\xFF\x2F\x00", 3);  // end of track
    QByteArray b("MThd");
    Put32Be(b, 6);
    b.append(QByteArray("\x00\x00\x00\x01\x01\xE0", 6));  // format 0, 1 track, 480
    b.append("MTrk");
    Put32Be(b, quint32(track.size()));
    return b + track;
}

QString MakeMedia(MediaKind kind, const QString& folder, const QString& name, int ms,
                  QString* error) {
    const QString out = folder + (folder.endsWith(u'/') ? "" : "/") + name;
    auto write = [&](const QByteArray& bytes) -> QString {
        QFile f(out);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            *error = "cannot write " + out;
            return {};
        }
        return out;
    };
    switch (kind) {
        case MediaKind::Wav:
            return write(WavFile(ms));
        case MediaKind::AuPcm:
            return write(AuFile(ms, false));
        case MediaKind::AuAlaw:
            return write(AuFile(ms, true));
        case MediaKind::Midi:
            return write(MidiFile(ms));
        default:
            break;
    }
    const QString source = out + ".source.wav";
    {
        QFile f(source);
        const QByteArray wav = WavFile(ms, false, kind == MediaKind::Mp3NoXing);
        if (!f.open(QIODevice::WriteOnly) || f.write(wav) != wav.size()) {
            *error = "cannot write " + source;
            return {};
        }
    }
    const QStringList quiet = {"-hide_banner", "-loglevel", "error", "-nostdin",
                               "-y",           "-i",        source};
    bool ok = false;
    switch (kind) {
        case MediaKind::Mp3Xing:
            ok = Run("ffmpeg", quiet + QStringList{"-c:a", "libmp3lame", "-q:a", "4", out}, out,
                     error);
            break;
        case MediaKind::Mp3NoXing:
            // lamemp3enc writes bare frames: no Xing/Info header.
            ok = Run(
                "gst-launch-1.0",
                {"-q", "filesrc", "location=" + source, "!", "wavparse", "!", "audioconvert", "!",
                 "lamemp3enc", "target=quality", "quality=2", "!", "filesink", "location=" + out},
                out, error);
            break;
        case MediaKind::Wma:
            ok =
                Run("ffmpeg", quiet + QStringList{"-c:a", "wmav2", "-b:a", "64k", out}, out, error);
            break;
        case MediaKind::Asf:
            ok =
                Run("ffmpeg", quiet + QStringList{"-c:a", "wmav2", "-b:a", "64k", "-f", "asf", out},
                    out, error);
            break;
        default:
            break;
    }
    QFile::remove(source);
    return ok ? out : QString();
}

}  // namespace qvtest
