// The media-control layer over the scripted device: the interpreter's words,
// quoting, letter case, error numbers and reply truncation; Mod_MCI's exact
// strings, buffer sizes and number reading; the kind table; and the frame walk
// that gives MP3 files without a Xing header their exact length.
#include <gtest/gtest.h>

#include <map>

#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/mci/mpeg_audio_length.h"
#include "platform/media_kinds.h"
#include "playback/mod_mci.h"
#include "support/fake_media_device.h"
#include "support/tempdir.h"

namespace {

using namespace qv;
using namespace qv::mcierr;

class Mci : public ::testing::Test {
  protected:
    Mci() : mci(media.Factory()) {
        mci.SetRecorder([this](const QString& command) { sent << command; });
    }
    int Send(const QString& command, int length = 99) {
        reply = "left over";
        return mci.SendString(command, &reply, length);
    }

    qvtest::TempDir dir;
    qvtest::FakeMedia media;
    MciInterpreter mci;
    QStringList sent;
    QString reply;
};

// Every word is checked before a device is touched: a refused command leaves
// no reply, reaches no device and changes nothing that is open.
TEST_F(Mci, RefusedCommandsAnswerTheirNumberAndTouchNothing) {
    ASSERT_EQ(Send("open /m/a.wav type WaveAudio alias PlayData"), 0);
    const struct {
        const char* command;
        int code;
    } cases[] = {{"", kMissingCommandString},
                 {" \t\r\n", kMissingCommandString},
                 {"jump PlayData", kUnrecognizedCommand},
                 {"record PlayData", kUnsupportedFunction},
                 {"play", kMissingDeviceName},
                 {"play Other", kInvalidDeviceName},
                 {"play PlayData now", kUnrecognizedKeyword},
                 {"play PlayData from 0", kUnsupportedFunction},
                 {"stop all", kCannotUseAll},
                 {"close all please", kUnrecognizedKeyword},
                 {"seek PlayData", kMissingParameter},
                 {"seek PlayData to", kMissingParameter},
                 {"seek PlayData at 5", kUnrecognizedKeyword},
                 {"seek PlayData to five", kBadInteger},
                 {"seek PlayData to \"5\"", kBadInteger},
                 {"seek PlayData to -5", kOutOfRange},
                 {"seek PlayData to 10001", kOutOfRange},
                 {"seek PlayData to start now", kUnrecognizedKeyword},
                 {"set PlayData", kMissingParameter},
                 {"set PlayData time", kMissingParameter},
                 {"set PlayData time format", kMissingParameter},
                 {"set PlayData time format frames", kBadTimeFormat},
                 {"set PlayData time format ms notify", kUnsupportedFunction},
                 {"set PlayData audio all off", kUnrecognizedKeyword},
                 {"status PlayData", kMissingParameter},
                 {"status PlayData volume", kUnrecognizedKeyword},
                 {"status PlayData mode extra", kUnrecognizedKeyword},
                 {"status PlayData time", kMissingParameter},
                 {"open", kFilenameRequired},
                 {"open  type MPEGVideo alias x", kFilenameRequired},
                 {"open /m/a.txt type  alias x", kMissingStringArgument},
                 {"open /m/a.wav alias x", kExtensionNotFound},
                 {"open /m/a.wav type Foo alias x", kDeviceTypeRequired},
                 {"open /m/a.cda type CDAudio alias x", kDeviceNotInstalled},
                 {"open /m/a.wav type WaveAudio alias", kMissingStringArgument},
                 {"open /m/a.wav type WaveAudio type WaveAudio alias x", kDuplicateFlags},
                 {"open /m/a.wav type WaveAudio alias x bogus", kUnrecognizedKeyword},
                 {"open /m/a.wav type WaveAudio alias x wait", kUnsupportedFunction},
                 {"open /m/a.wav type WaveAudio alias all", kCannotUseAll},
                 {"open /m/b.wav type WaveAudio alias playdata", kDuplicateAlias},
                 {"open \"/m/a.wav type WaveAudio alias x", kNoClosingQuote},
                 {"open \"/m/a b\".wav type WaveAudio", kExtraCharacters}};
    for (const auto& c : cases) {
        EXPECT_EQ(Send(c.command), c.code) << c.command;
        EXPECT_EQ(reply, "") << c.command;
        EXPECT_FALSE(MciGetErrorString(c.code).isEmpty()) << c.code;
    }
    EXPECT_EQ(media.Calls(), QStringList("open /m/a.wav WaveAudio"));
    EXPECT_EQ(MciGetErrorString(0) + MciGetErrorString(12345), "");
}

TEST_F(Mci, CommandsInAnyLetterCaseReachTheDeviceAndQueriesFitTheBuffer) {
    media.SetLength("/m/a.mp3", 1234567);
    media.FailOpen("/m/bad.mp3", kInvalidFile);
    EXPECT_EQ(Send("open /m/bad.mp3 type MPEGVideo alias PlayData"), kInvalidFile);
    EXPECT_EQ(Send("OPEN /m/a.mp3 TYPE MPEGVIDEO ALIAS PlayData"), 0);  // free again
    EXPECT_EQ(Send("open /m/c.wma type mpegvideo2 alias A3"), 0);
    // Without an alias the element is the name, in any letter case.
    EXPECT_EQ(Send("Open \"/m/say \"\"hi\"\".mid\" Type \"Sequencer\""), 0);
    EXPECT_EQ(Send("Set PlayData Time Format MS"), 0);
    EXPECT_EQ(Send("set playdata time format milliseconds"), 0);
    EXPECT_EQ(reply, "");
    // The reply is cut to the buffer together with its NUL.
    const std::tuple<const char*, int, const char*> answers[] = {
        {"PLAYDATA length", 8, "1234567"},
        {"PlayData length", 4, "123"},
        {"PlayData length", 1, ""},
        {"PlayData length", 0, ""},
        {"a3 mode", 5, "stop"},
        {"PlayData time format", 99, "milliseconds"},
        {"PlayData ready", 99, "true"},
        {"\"/M/SAY \"\"HI\"\".MID\" mode", 99, "stopped"},
        {"PlayData position", 99, "0"}};
    for (const auto& [what, length, expected] : answers) {
        EXPECT_EQ(Send(QStringLiteral("status ") + what, length), 0);
        EXPECT_EQ(reply, expected) << what << " " << length;
    }
    EXPECT_EQ(Send("play PlayData"), 0);
    media.Advance(1200);
    EXPECT_EQ(Send("status PlayData position"), 0);
    EXPECT_EQ(reply, "1200");
    EXPECT_EQ(Send("pause PlayData"), 0);
    EXPECT_EQ(Send("status PlayData mode"), 0);
    EXPECT_EQ(reply, "paused");
    for (const char* command : {"resume PlayData", "stop PlayData", "seek PlayData to 300",
                                "seek PlayData to end", "seek PlayData to start"})
        EXPECT_EQ(Send(command), 0) << command;
    media.FailCall("play", kHardware);
    EXPECT_EQ(Send("play PlayData"), kHardware);  // the device's own failure
    EXPECT_EQ(mci.SendString("status PlayData mode", nullptr, 10), 0);
    EXPECT_EQ(Send("close \"/m/say \"\"hi\"\".mid\""), 0);
    EXPECT_EQ(media.Calls(),
              QStringList({"open /m/bad.mp3 MPEGVideo", "open /m/a.mp3 MPEGVideo",
                           "open /m/c.wma MPEGVideo2", "open /m/say \"hi\".mid Sequencer", "play",
                           "pause", "resume", "stop", "seek 300", "seek end", "seek start", "play",
                           "close"}));
    EXPECT_EQ(Send("close all"), 0);
    EXPECT_EQ(media.OpenDevices(), 0);
    EXPECT_EQ(Send("close all"), 0);  // nothing open: still fine
    EXPECT_EQ(Send("status a3 mode"), kInvalidDeviceName);
    {
        MciInterpreter other(media.Factory());
        ASSERT_EQ(other.SendString("open /m/x.wav type WaveAudio alias x", nullptr, 0), 0);
        EXPECT_EQ(media.OpenDevices(), 1);
    }
    EXPECT_EQ(media.OpenDevices(), 0);  // an interpreter's end closes its devices
}

TEST_F(Mci, ModMciNamesTheTypeByExtensionAndQuotesAPathWithBlanks) {
    const struct {
        const char *name, *type;
        int code;
    } cases[] = {{"a.mp3", "MPEGVideo", 0},
                 {"b.Mp3", "MPEGVideo", 0},
                 {"c.WMA", "MPEGVideo2", 0},
                 {"d.asf", "MPEGVideo2", 0},
                 {"e.au", "MPEGVideo", 0},
                 {"f.MID", "Sequencer", 0},
                 {"g.wav", "WaveAudio", 0},
                 {"notes.txt", "", kMissingStringArgument},
                 {"song.midi", "", kMissingStringArgument},
                 {"noextension", "", kMissingStringArgument},
                 {"Track01.cda", "CDAudio", kDeviceNotInstalled},  // named, not here
                 {"My Music/日本 の歌.mp3", "MPEGVideo", 0},
                 {"say \"hi\".wav", "WaveAudio", 0},
                 {"a\"b.wav", "WaveAudio", 0}};  // no blank: sent as it is
    for (const auto& c : cases) {
        const QString path = dir.write(c.name, "x");
        QString word = path;
        if (path.contains(' ')) word = '"' + word.replace("\"", "\"\"") + '"';
        sent.clear();
        EXPECT_EQ(MCIOpen(mci, path), c.code) << c.name;
        EXPECT_EQ(sent, QStringList("open " + word + " type " + c.type + " alias PlayData"));
        if (c.code == 0) {
            EXPECT_EQ(media.Calls().last(), "open " + path + " " + c.type);
        }
        MCIClose(mci);
    }
    EXPECT_NE(MCIOpen(mci, dir.file("missing.mp3")), 0);
    EXPECT_EQ(sent.last(), "open  type MPEGVideo alias PlayData");
    EXPECT_EQ(media.OpenDevices(), 0);
}

TEST_F(Mci, ModMciSendsItsExactStringsAndReadsTheReplies) {
    EXPECT_EQ(MCIGetLength(mci), 0);  // nothing open
    EXPECT_EQ(MCIGetPosition(mci), 0);
    EXPECT_EQ(MCIGetMode(mci), "");
    for (auto command : {MCIPlay, MCIStop, MCIClose, MCIPause, MCIResume, MCISeekStart})
        EXPECT_EQ(command(mci), kInvalidDeviceName);
    media.SetLength(dir.file("a.mp3"), 65432);
    ASSERT_EQ(MCIOpen(mci, dir.write("a.mp3", "x")), 0);
    sent.clear();
    EXPECT_EQ(MCIPlay(mci), 0);
    media.Advance(1500);
    EXPECT_EQ(MCIGetPosition(mci), 1500);
    EXPECT_EQ(MCIGetLength(mci), 65432);
    EXPECT_EQ(MCIGetMode(mci), "playing");
    EXPECT_EQ(MCIPause(mci), 0);
    EXPECT_EQ(MCIResume(mci), 0);
    EXPECT_EQ(MCIStop(mci), 0);
    EXPECT_EQ(MCISeekStart(mci), 0);
    EXPECT_EQ(MCIClose(mci), 0);
    EXPECT_EQ(sent, QStringList({"play PlayData", "set PlayData time format milliseconds",
                                 "status PlayData position",
                                 "set PlayData time format milliseconds", "status PlayData length",
                                 "status PlayData mode", "pause PlayData", "resume PlayData",
                                 "stop PlayData", "seek PlayData to start", "close PlayData"}));
}

// A sender that answers from a script, to see the buffer sizes the layer asks
// for and how it reads replies the real device never gives.
class ScriptedSender : public MciSender {
  public:
    int SendString(const QString& command, QString* reply, int replyLength) override {
        lengths[command] = replyLength;
        if (reply) *reply = answer.left(replyLength - 1);
        return 0;
    }
    QString answer;
    std::map<QString, int> lengths;
};

TEST(ModMciReplies, SixteenForNumbersTenForTheModeNoneForCommands) {
    ScriptedSender mci;
    mci.answer = "not ready";  // the longest mode word fits with its NUL
    EXPECT_EQ(MCIGetMode(mci), "not ready");
    mci.answer = "12345678901234567890";
    EXPECT_EQ(MCIGetLength(mci), std::numeric_limits<int32_t>::max());  // 15 digits kept
    mci.answer = QString("123") + QChar(0) + "456";
    EXPECT_EQ(MCIGetPosition(mci), 123);  // cut at the first NUL
    MCIPlay(mci);
    EXPECT_EQ(mci.lengths, (std::map<QString, int>{{"play PlayData", 0},
                                                   {"set PlayData time format milliseconds", 0},
                                                   {"status PlayData length", 16},
                                                   {"status PlayData mode", 10},
                                                   {"status PlayData position", 16}}));
    EXPECT_EQ(LeadingNumber("  42ms"), 42);
    EXPECT_EQ(LeadingNumber("-17"), -17);
    EXPECT_EQ(LeadingNumber("+9"), 9);
    EXPECT_EQ(LeadingNumber("playing"), 0);
    EXPECT_EQ(LeadingNumber("2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(LeadingNumber("-2147483648"), std::numeric_limits<int32_t>::min());
}

// Every lookup over the kind table, by extension in any letter case: the
// name, the tree picture (none: the library never lists it) and whether an
// entry's title comes from the tag.
TEST(MediaKinds, EachKindByExtension) {
    const struct {
        const char *path, *kind;
        int picture;
        bool tags;
    } cases[] = {{"/m/a.mp3", "MP3", 7, true},   {"/m/a.MID", "MIDI", 5, false},
                 {"/m/a.wav", "WAVE", 6, false}, {"/m/a.Cda", "CDAudio", 0, false},
                 {"/m/a.au", "AU", 7, false},    {"/m/a.asf", "ASF", 8, false},
                 {"/m/a.wMa", "WMA", 8, false},  {"/m/a.midi", "", 0, false},
                 {"/m.x/readme", "", 0, false},  {"/m/a.mp3.", "", 0, false}};
    for (const auto& c : cases) {
        const QString ext = EntryExtension(c.path);
        EXPECT_EQ(GetMediaType(c.path), c.kind) << c.path;
        EXPECT_EQ(MediaImage(ext), c.picture) << c.path;
        EXPECT_EQ(IsMediaKind(ext), c.picture != 0) << c.path;
        EXPECT_EQ(KindReadsTags(GetMediaType(c.path)), c.tags) << c.path;
    }
}

// One Layer III frame of the bit rate index, its body a byte that never
// syncs: MPEG-1 (1152 samples) at 44.1, 48 or 32 kHz by rateIndex, or MPEG-2
// at 22.05 kHz (576 samples).
QByteArray Frame(int bitrateIndex, int rateIndex = 0, bool padding = false, bool mpeg2 = false) {
    static const int kKbps[2][15] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    static const int kRates[] = {44100, 48000, 32000};
    QByteArray f(
        (mpeg2 ? 72 : 144) * kKbps[mpeg2][bitrateIndex] * 1000 / (kRates[rateIndex] >> int(mpeg2)) +
            int(padding),
        '\x55');
    f[0] = '\xFF';
    f[1] = mpeg2 ? '\xF3' : '\xFB';
    f[2] = char((bitrateIndex << 4) | (rateIndex << 2) | (padding ? 2 : 0));
    f[3] = '\x44';
    return f;
}

int64_t Ns(int64_t samples, int rate) {
    return samples * 1000000000 / rate;
}

TEST(MpegAudioLength, CountsEveryFrameSkippingTagsAndGarbage) {
    QByteArray data;
    for (int i = 0; i < 30; ++i) data += Frame(1);             // 32 kbit/s
    for (int i = 0; i < 10; ++i) data += Frame(14, 0, i % 2);  // 320 kbit/s, padded
    EXPECT_EQ(MpegAudioLengthNs(data), Ns(40 * 1152, 44100));
    data = QByteArray("ID3\x03\x00\x00\x00\x00\x01\x00", 10) + QByteArray(128 + 37, '\x11');
    for (int i = 0; i < 10; ++i) {
        if (i == 5) data += QByteArray(300, '\x22');  // a damaged stretch between frames
        data += Frame(9, 1);
    }
    data += Frame(9, 1).left(100);  // cut off: not played
    EXPECT_EQ(MpegAudioLengthNs(data), Ns(10 * 1152, 48000));
    data += QByteArray("TAG") + QByteArray(125, ' ');  // ID3v1 at the end ends the walk
    EXPECT_EQ(MpegAudioLengthNs(data), Ns(10 * 1152, 48000));
    EXPECT_EQ(MpegAudioLengthNs(Frame(8, 0, false, true).repeated(8)), Ns(8 * 576, 22050));
}

TEST(MpegAudioLength, OtherDataHasNoLength) {
    EXPECT_EQ(MpegAudioLengthNs(QByteArray()), std::nullopt);
    EXPECT_EQ(MpegAudioLengthNs(QByteArray("RIFF....WAVEfmt ")), std::nullopt);
    // One lone header is a chance match, not a stream.
    EXPECT_EQ(MpegAudioLengthNs(Frame(9) + QByteArray(4000, '\x55')), std::nullopt);
    // Frames of different sampling rates do not make one stream.
    EXPECT_EQ(MpegAudioLengthNs(Frame(9) + Frame(9, 1) + Frame(9) + Frame(9, 1)), std::nullopt);
    EXPECT_EQ(MpegAudioFileLengthNs("/no/such/file.mp3"), std::nullopt);
}

}  // namespace
