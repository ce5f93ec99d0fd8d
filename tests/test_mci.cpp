// The media-control layer over the scripted device: the interpreter's words,
// quoting, letter case, error numbers and reply truncation; Mod_MCI's buffer
// sizes and number reading; and the frame walk that gives MP3 files without
// a Xing header their exact length.
#include <gtest/gtest.h>

#include <map>

#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/mci/mpeg_audio_length.h"
#include "playback/mod_mci.h"
#include "support/fake_media_device.h"
#include "support/qt_print.h"

namespace qv {
namespace {

using namespace mcierr;

class Mci : public ::testing::Test {
  protected:
    int Send(const QString& command, int length = 99) {
        reply = "left over";
        return mci.SendString(command, &reply, length);
    }

    qvtest::FakeMedia media;
    MciInterpreter mci{media.Factory()};
    QString reply;
};

// Every word is checked before a device is touched: a refused command leaves
// no reply, reaches no device and changes nothing that is open.
TEST_F(Mci, RefusedCommandsAnswerTheirNumberAndTouchNothing) {
    ASSERT_EQ(Send("open /m/a.wav type WaveAudio alias PlayData"), 0);
    const std::pair<int, QStringList> cases[] = {
        {kMissingCommandString, {" \t\r\n"}},
        {kUnrecognizedCommand, {"jump PlayData"}},
        {kMissingDeviceName, {"play"}},
        {kInvalidDeviceName, {"play Other"}},
        {kBadTimeFormat, {"set PlayData time format frames"}},
        {kExtensionNotFound, {"open /m/a.wav alias x"}},
        {kDeviceTypeRequired, {"open /m/a.wav type Foo alias x"}},
        {kDeviceNotInstalled, {"open /m/a.cda type CDAudio alias x"}},
        {kDuplicateFlags, {"open /m/a.wav type WaveAudio type WaveAudio alias x"}},
        {kDuplicateAlias, {"open /m/b.wav type WaveAudio alias playdata"}},
        {kNoClosingQuote, {"open \"/m/a.wav type WaveAudio alias x"}},
        {kExtraCharacters, {"open \"/m/a b\".wav type WaveAudio"}},
        {kBadInteger,
         {"seek PlayData to five", "seek PlayData to \"5\"", "setaudio PlayData volume to 1.5"}},
        {kOutOfRange,
         {"seek PlayData to -5", "seek PlayData to 10001", "setaudio PlayData volume to 1001",
          "setaudio PlayData volume to -1"}},
        {kCannotUseAll, {"stop all", "open /m/a.wav type WaveAudio alias all"}},
        {kFilenameRequired, {"open", "open  type MPEGVideo alias x"}},
        {kMissingStringArgument,
         {"open /m/a.txt type  alias x", "open /m/a.wav type WaveAudio alias"}},
        {kUnsupportedFunction,
         {"record PlayData", "play PlayData from 0", "set PlayData time format ms notify",
          "open /m/a.wav type WaveAudio alias x wait", "setaudio PlayData left off"}},
        {kMissingParameter,
         {"seek PlayData", "seek PlayData to", "set PlayData", "set PlayData time",
          "set PlayData time format", "status PlayData", "status PlayData time",
          "setaudio PlayData", "setaudio PlayData volume", "setaudio PlayData volume to"}},
        {kUnrecognizedKeyword,
         {"play PlayData now", "close all please", "seek PlayData at 5",
          "seek PlayData to start now", "set PlayData audio all off", "status PlayData loudness",
          "setaudio PlayData volume at 5", "setaudio PlayData volume to 5 now",
          "status PlayData mode extra", "open /m/a.wav type WaveAudio alias x bogus"}}};
    for (const auto& [code, commands] : cases) {
        EXPECT_FALSE(MciGetErrorString(code).isEmpty()) << code;
        for (const QString& command : commands) {
            EXPECT_EQ(Send(command), code) << command.toStdString();
            EXPECT_EQ(reply, "") << command.toStdString();
        }
    }
    EXPECT_EQ(media.Calls(), QStringList("open /m/a.wav WaveAudio"));
    EXPECT_EQ(MciGetErrorString(0) + MciGetErrorString(12345), "");
}

// Commands in any letter case reach the device; each reply is cut to the
// buffer together with its NUL; a failed open leaves the alias free, and a
// device's own failure is handed back.
TEST_F(Mci, CommandsReachTheDeviceAndRepliesFitTheBuffer) {
    media.SetLength("/m/a.mp3", 1234567);
    media.FailOpen("/m/bad.mp3", kInvalidFile);
    EXPECT_EQ(Send("open /m/bad.mp3 type MPEGVideo alias PlayData"), kInvalidFile);
    // Without an alias the element is the name.
    for (const char* command :
         {"OPEN /m/a.mp3 TYPE MPEGVIDEO ALIAS PlayData", "open /m/c.wma type mpegvideo2 alias A3",
          "Open \"/m/say \"\"hi\"\".mid\" Type \"Sequencer\"", "set PlayData time format MS",
          "seek PlayData to end", "SetAudio a3 Volume To 0250"})
        EXPECT_EQ(Send(command), 0) << command;
    const std::tuple<const char*, int, const char*> answers[] = {
        {"PLAYDATA length", 8, "1234567"},
        {"PlayData length", 4, "123"},
        {"PlayData length", 0, ""},
        {"a3 mode", 5, "stop"},
        {"playdata ready", 9, "true"},
        {"\"/M/SAY \"\"HI\"\".MID\" mode", 9, "stopped"},
        {"PlayData position", 9, "1234567"},
        {"PlayData time format", 99, "milliseconds"},
        {"A3 volume", 9, "250"},
        {"PlayData volume", 9, "1000"}};
    for (const auto& [what, length, expected] : answers) {
        EXPECT_EQ(Send(QStringLiteral("status ") + what, length), 0) << what;
        EXPECT_EQ(reply, expected) << what << " " << length;
    }
    for (const char* command : {"seek PlayData to 300", "play PlayData", "pause playdata"})
        EXPECT_EQ(Send(command), 0) << command;
    EXPECT_EQ(MCIGetMode(mci), "paused");
    EXPECT_EQ(MCIGetPosition(mci), 300);
    media.FailCall("play", kHardware);
    EXPECT_EQ(Send("play PlayData"), kHardware);
    EXPECT_EQ(Send("close all"), 0);
    EXPECT_EQ(Send("close all"), 0);  // nothing open: still fine
    EXPECT_EQ(media.OpenDevices(), 0);
}

// A sender that answers from a script, to see the buffer sizes Mod_MCI asks
// for and how it reads replies the real device never gives.
struct ScriptedSender : MciSender {
    int SendString(const QString& command, QString* reply, int replyLength) override {
        lengths[command] = replyLength;
        if (reply) *reply = answer.left(replyLength - 1);
        return 0;
    }
    QString answer;
    std::map<QString, int> lengths;
};

TEST(ModMci, SixteenForNumbersTenForTheModeAndNumbersReadAtTheStart) {
    ScriptedSender mci;
    mci.answer = "not ready";  // the longest mode word fits with its NUL
    EXPECT_EQ(MCIGetMode(mci), "not ready");
    mci.answer = QString("  -123") + QChar(0) + "456";
    EXPECT_EQ(MCIGetPosition(mci), -123);  // cut at the first NUL
    mci.answer = "12345678901234567890";
    EXPECT_EQ(MCIGetLength(mci), INT32_MAX);  // 15 digits kept
    EXPECT_EQ(mci.lengths, (std::map<QString, int>{{"set PlayData time format milliseconds", 0},
                                                   {"status PlayData length", 16},
                                                   {"status PlayData mode", 10},
                                                   {"status PlayData position", 16}}));
    EXPECT_EQ(LeadingNumber("+42ms"), 42);
    EXPECT_EQ(LeadingNumber("playing"), 0);
    EXPECT_EQ(LeadingNumber("-2147483648"), INT32_MIN);
}

// Count MPEG-1 Layer III frames (1152 samples) of the bit rate index at
// 44.1, 48 or 32 kHz by rateIndex, padded or not, each body a byte that
// never syncs.
QByteArray Frames(int count, int bitrateIndex, int rateIndex = 0, bool padded = false) {
    static const int kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    const int bytes = 144 * kKbps[bitrateIndex] * 1000 / QList{44100, 48000, 32000}[rateIndex];
    return (QByteArray("\xFF\xFB") + char(bitrateIndex << 4 | rateIndex << 2 | padded << 1) +
            '\x44')
        .leftJustified(bytes + padded, '\x55')
        .repeated(count);
}

TEST(MpegAudioLength, CountsEveryFramePastTagsAndGarbageAndNothingElse) {
    const auto ns = [](int64_t samples, int rate) { return samples * 1000000000 / rate; };
    // 32 kbit/s, then 320 kbit/s with every other frame padded.
    const QByteArray varying = Frames(30, 1) + (Frames(1, 14) + Frames(1, 14, 0, true)).repeated(5);
    EXPECT_EQ(MpegAudioLengthNs(varying), ns(40 * 1152, 44100));
    QByteArray data = QByteArray("ID3\x03\0\0\0\0\x01\0", 10) + QByteArray(128 + 37, '\x11') +
                      Frames(5, 9, 1) + QByteArray(300, '\x22') +   // a damaged stretch
                      Frames(5, 9, 1) + Frames(1, 9, 1).left(100);  // and a frame cut off
    EXPECT_EQ(MpegAudioLengthNs(data), ns(10 * 1152, 48000));
    data += "TAG" + QByteArray(125, ' ');  // ID3v1 at the end ends the walk
    EXPECT_EQ(MpegAudioLengthNs(data), ns(10 * 1152, 48000));
    // MPEG-2 at 22.05 kHz and 64 kbit/s: 576 samples in 208 bytes.
    const QByteArray mpeg2 = QByteArray("\xFF\xF3\x80\x44").leftJustified(208, '\x55');
    EXPECT_EQ(MpegAudioLengthNs(mpeg2.repeated(8)), ns(8 * 576, 22050));
    // One lone header is a chance match; frames of different sampling rates
    // are no stream.
    EXPECT_EQ(MpegAudioLengthNs(Frames(1, 9) + QByteArray(4000, '\x55')), std::nullopt);
    EXPECT_EQ(MpegAudioLengthNs(Frames(1, 9) + Frames(1, 9, 1) + Frames(1, 9)), std::nullopt);
    EXPECT_EQ(MpegAudioLengthNs(QByteArray("RIFF....WAVEfmt ")), std::nullopt);
    EXPECT_EQ(MpegAudioFileLengthNs("/no/such/file.mp3"), std::nullopt);
}

}  // namespace
}  // namespace qv
