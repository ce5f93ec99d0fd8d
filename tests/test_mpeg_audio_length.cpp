// The frame walk that gives MP3 files without a Xing header their exact
// length: frame sizes, sample counts, tags, garbage and cut-off ends.
#include <gtest/gtest.h>

#include <QByteArray>

#include "platform/mci/mpeg_audio_length.h"

namespace {

// One MPEG-1 Layer III frame (44.1 kHz unless rateIndex says otherwise) of
// the given bit rate index, its body filled with a byte that never syncs.
QByteArray Frame(int bitrateIndex, int rateIndex = 0, bool padding = false) {
    static const int kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kRates[] = {44100, 48000, 32000};
    const int size = 144 * kKbps[bitrateIndex] * 1000 / kRates[rateIndex] + (padding ? 1 : 0);
    QByteArray f(size, '\x55');
    f[0] = '\xFF';
    f[1] = '\xFB';
    f[2] = char((bitrateIndex << 4) | (rateIndex << 2) | (padding ? 2 : 0));
    f[3] = '\x44';
    return f;
}

// One MPEG-2 Layer III frame at 22.05 kHz (576 samples).
QByteArray Mpeg2Frame(int kbpsIndex) {
    static const int kKbps[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    QByteArray f(72 * kKbps[kbpsIndex] * 1000 / 22050, '\x55');
    f[0] = '\xFF';
    f[1] = '\xF3';
    f[2] = char(kbpsIndex << 4);
    f[3] = '\x44';
    return f;
}

int64_t Ns(int64_t samples, int rate) {
    return samples * 1000000000 / rate;
}

TEST(MpegAudioLength, CountsEveryFrameWhateverItsBitRate) {
    QByteArray data;
    for (int i = 0; i < 30; ++i) data += Frame(1);             // 32 kbit/s
    for (int i = 0; i < 10; ++i) data += Frame(14, 0, i % 2);  // 320 kbit/s, padded
    EXPECT_EQ(qv::MpegAudioLengthNs(data), Ns(40 * 1152, 44100));
}

TEST(MpegAudioLength, SkipsTheId3TagAndGarbageAndDropsACutOffFrame) {
    QByteArray tag("ID3\x03\x00\x00\x00\x00\x01\x00", 10);  // 128 bytes of tag body
    tag += QByteArray(128, '\0');
    QByteArray data = tag + QByteArray(37, '\x11');
    for (int i = 0; i < 5; ++i) data += Frame(9, 1);
    data += QByteArray(300, '\x22');  // damaged stretch between frames
    for (int i = 0; i < 5; ++i) data += Frame(9, 1);
    data += Frame(9, 1).left(100);  // cut off: not played
    EXPECT_EQ(qv::MpegAudioLengthNs(data), Ns(10 * 1152, 48000));
    data += QByteArray("TAG") + QByteArray(125, ' ');  // ID3v1 at the end ends the walk
    EXPECT_EQ(qv::MpegAudioLengthNs(data), Ns(10 * 1152, 48000));
}

TEST(MpegAudioLength, MpegTwoFramesHoldHalfAsManySamples) {
    QByteArray data;
    for (int i = 0; i < 8; ++i) data += Mpeg2Frame(8);
    EXPECT_EQ(qv::MpegAudioLengthNs(data), Ns(8 * 576, 22050));
}

TEST(MpegAudioLength, OtherDataHasNoLength) {
    EXPECT_EQ(qv::MpegAudioLengthNs(QByteArray()), std::nullopt);
    EXPECT_EQ(qv::MpegAudioLengthNs(QByteArray("RIFF....WAVEfmt ")), std::nullopt);
    // One lone header is a chance match, not a stream.
    EXPECT_EQ(qv::MpegAudioLengthNs(Frame(9) + QByteArray(4000, '\x55')), std::nullopt);
    // Frames of different sampling rates do not make one stream.
    QByteArray mixed;
    for (int i = 0; i < 4; ++i) mixed += Frame(9, i % 2);
    EXPECT_EQ(qv::MpegAudioLengthNs(mixed), std::nullopt);
    EXPECT_EQ(qv::MpegAudioFileLengthNs("/no/such/file.mp3"), std::nullopt);
}

}  // namespace
