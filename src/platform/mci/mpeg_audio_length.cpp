// Frame walk over MPEG audio. Each frame header gives the frame's size and
// its number of samples, so the count is exact for constant and variable bit
// rates alike, where an estimate from the first frames' bit rate is not.
#include "platform/mci/mpeg_audio_length.h"

#include <QFile>

namespace qv {

namespace {

struct Frame {
    int version = 0;  // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
    int layer = 0;
    int rate = 0;
    int bytes = 0;
    int samples = 0;
};

// Bit rates in kbit/s by [MPEG-1?][layer-1][index].
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
};
constexpr int kRates[3] = {44100, 48000, 32000};

std::optional<Frame> ParseHeader(const uint8_t* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return std::nullopt;
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    // Reserved values, and the free bit rate, whose frames have no size here.
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3)
        return std::nullopt;
    Frame f;
    f.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    f.layer = 4 - layerBits;
    f.rate = kRates[rateIndex] / (f.version == 1 ? 1 : f.version == 2 ? 2 : 4);
    const int kbps = kBitrates[f.version == 1 ? 1 : 0][f.layer - 1][bitrateIndex];
    if (f.layer == 1) {
        f.samples = 384;
        f.bytes = (12 * kbps * 1000 / f.rate + padding) * 4;
    } else if (f.layer == 2 || f.version == 1) {
        f.samples = 1152;
        f.bytes = 144 * kbps * 1000 / f.rate + padding;
    } else {
        f.samples = 576;
        f.bytes = 72 * kbps * 1000 / f.rate + padding;
    }
    if (f.bytes < 4) return std::nullopt;
    return f;
}

bool SameStream(const Frame& a, const Frame& b) {
    return a.version == b.version && a.layer == b.layer && a.rate == b.rate;
}

// A header at pos that is followed by enough frames of the same stream to
// rule out a chance match in other data.
std::optional<Frame> FrameRunAt(QByteArrayView data, qsizetype pos, int needed) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    std::optional<Frame> first;
    qsizetype at = pos;
    for (int i = 0; i < needed; ++i) {
        if (at + 4 > data.size()) return i >= 2 && at == data.size() ? first : std::nullopt;
        const std::optional<Frame> f = ParseHeader(bytes + at);
        if (!f || (first && !SameStream(*first, *f))) return std::nullopt;
        if (!first) first = f;
        at += f->bytes;
    }
    return first;
}

}  // namespace

std::optional<int64_t> MpegAudioLengthNs(QByteArrayView data) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    qsizetype pos = 0;
    if (data.size() >= 10 && data.first(3) == QByteArrayView("ID3")) {
        const qsizetype tag = (qsizetype(bytes[6] & 0x7F) << 21) | ((bytes[7] & 0x7F) << 14) |
                              ((bytes[8] & 0x7F) << 7) | (bytes[9] & 0x7F);
        pos = 10 + tag + ((bytes[5] & 0x10) ? 10 : 0);
    }
    // The first frame must start close to the beginning.
    constexpr qsizetype kSearch = 64 * 1024;
    std::optional<Frame> stream;
    const qsizetype searchEnd = std::min(data.size(), pos + kSearch);
    for (; pos + 4 <= searchEnd; ++pos) {
        if (bytes[pos] != 0xFF) continue;
        if ((stream = FrameRunAt(data, pos, 4))) break;
    }
    if (!stream) return std::nullopt;

    int64_t samples = 0;
    while (pos + 4 <= data.size()) {
        const std::optional<Frame> f = ParseHeader(bytes + pos);
        if (f && SameStream(*stream, *f)) {
            if (pos + f->bytes > data.size()) break;  // cut short: not played
            samples += f->samples;
            pos += f->bytes;
            continue;
        }
        // Skip garbage up to the next run of frames; trailing tags end the walk.
        qsizetype next = pos + 1;
        const qsizetype limit = std::min(data.size(), pos + 8192);
        while (next + 4 <= limit && !(bytes[next] == 0xFF && FrameRunAt(data, next, 3))) ++next;
        if (next + 4 > limit) break;
        pos = next;
    }
    if (samples == 0) return std::nullopt;
    return samples * int64_t{1000000000} / stream->rate;
}

std::optional<int64_t> MpegAudioFileLengthNs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) return std::nullopt;
    const uchar* mapped = file.map(0, file.size());
    if (mapped) {
        auto result =
            MpegAudioLengthNs(QByteArrayView(reinterpret_cast<const char*>(mapped), file.size()));
        file.unmap(const_cast<uchar*>(mapped));
        return result;
    }
    return MpegAudioLengthNs(file.readAll());
}

}  // namespace qv
