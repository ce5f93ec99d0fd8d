// Mod_MCI: the exact strings it sends (seen through the interpreter's
// recorder), its buffer sizes, its number reading and the media kinds.
#include <gtest/gtest.h>

#include <QDir>
#include <map>

#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/media_kinds.h"
#include "playback/mod_mci.h"
#include "support/fake_media_device.h"
#include "support/tempdir.h"

namespace {

using namespace qv;

class ModMci : public ::testing::Test {
  protected:
    ModMci() : mci(media.Factory()) {
        mci.SetRecorder([this](const QString& command) { sent << command; });
    }
    QString File(const QString& name) { return dir.write(name, "x"); }

    qvtest::TempDir dir;
    qvtest::FakeMedia media;
    MciInterpreter mci;
    QStringList sent;
};

TEST_F(ModMci, OpenNamesTheDeviceTypeByExtensionInAnyCaseOrTwoBlanks) {
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
                 {"notes.txt", "", mcierr::kMissingStringArgument},
                 {"song.midi", "", mcierr::kMissingStringArgument},
                 {"noextension", "", mcierr::kMissingStringArgument},
                 // The CD device is named but does not exist here.
                 {"Track01.cda", "CDAudio", mcierr::kDeviceNotInstalled}};
    for (const auto& c : cases) {
        const QString path = File(c.name);
        sent.clear();
        EXPECT_EQ(MCIOpen(mci, path), c.code) << c.name;
        EXPECT_EQ(sent, QStringList(QString("open %1 type %2 alias PlayData").arg(path, c.type)));
        MCIClose(mci);
    }
    sent.clear();
    EXPECT_NE(MCIOpen(mci, dir.file("missing.mp3")), 0);
    EXPECT_EQ(sent, QStringList("open  type MPEGVideo alias PlayData"));
    EXPECT_EQ(media.OpenDevices(), 0);
    EXPECT_EQ(MCIGetMode(mci), "");
}

TEST_F(ModMci, APathWithBlanksGoesInQuotes) {
    const QString spaced = File("My Music/日本 の歌.mp3");
    EXPECT_EQ(MCIOpen(mci, spaced), 0);
    EXPECT_EQ(sent.last(), "open \"" + spaced + "\" type MPEGVideo alias PlayData");
    EXPECT_EQ(media.Calls().last(), "open " + spaced + " MPEGVideo");
    MCIClose(mci);

    const QString quoted = File("say \"hi\".wav");
    EXPECT_EQ(MCIOpen(mci, quoted), 0);
    EXPECT_EQ(media.Calls().last(), "open " + quoted + " WaveAudio");
    MCIClose(mci);

    const QString bare = File("a\"b.wav");  // no blank: sent as it is
    EXPECT_EQ(MCIOpen(mci, bare), 0);
    EXPECT_EQ(sent.last(), "open " + bare + " type WaveAudio alias PlayData");
}

TEST_F(ModMci, CommandsAndQueriesSendTheirExactStrings) {
    media.SetDefaultLength(65432);
    ASSERT_EQ(MCIOpen(mci, File("a.mp3")), 0);
    sent.clear();
    EXPECT_EQ(MCIPlay(mci), 0);
    media.Advance(1500);
    EXPECT_EQ(MCIGetPosition(mci), 1500);
    EXPECT_EQ(MCIGetLength(mci), 65432);
    EXPECT_EQ(MCIGetMode(mci), "playing");
    EXPECT_EQ(MCIPause(mci), 0);
    EXPECT_EQ(MCIGetMode(mci), "paused");
    EXPECT_EQ(MCIResume(mci), 0);
    EXPECT_EQ(MCIStop(mci), 0);
    EXPECT_EQ(MCISeekStart(mci), 0);
    EXPECT_EQ(MCIGetPosition(mci), 0);
    EXPECT_EQ(MCIClose(mci), 0);
    EXPECT_EQ(sent,
              QStringList({"play PlayData", "set PlayData time format milliseconds",
                           "status PlayData position", "set PlayData time format milliseconds",
                           "status PlayData length", "status PlayData mode", "pause PlayData",
                           "status PlayData mode", "resume PlayData", "stop PlayData",
                           "seek PlayData to start", "set PlayData time format milliseconds",
                           "status PlayData position", "close PlayData"}));
}

TEST_F(ModMci, NothingOpenGivesZeroAndEmptyAndFailingCodes) {
    EXPECT_EQ(MCIGetLength(mci), 0);
    EXPECT_EQ(MCIGetPosition(mci), 0);
    EXPECT_EQ(MCIGetMode(mci), "");
    for (auto command : {MCIPlay, MCIStop, MCIClose, MCIPause, MCIResume, MCISeekStart})
        EXPECT_EQ(command(mci), mcierr::kInvalidDeviceName);
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

TEST(ModMciBuffers, SixteenForNumbersTenForTheModeNoneForCommands) {
    ScriptedSender mci;
    mci.answer = "not ready";  // the longest mode word fits with its NUL
    EXPECT_EQ(MCIGetMode(mci), "not ready");
    mci.answer = "12345678901234567890";
    EXPECT_EQ(MCIGetLength(mci), std::numeric_limits<int32_t>::max());  // 15 digits kept
    MCIGetPosition(mci);
    MCIPlay(mci);
    EXPECT_EQ(mci.lengths["status PlayData mode"], 10);
    EXPECT_EQ(mci.lengths["status PlayData length"], 16);
    EXPECT_EQ(mci.lengths["status PlayData position"], 16);
    EXPECT_EQ(mci.lengths["set PlayData time format milliseconds"], 0);
    EXPECT_EQ(mci.lengths["play PlayData"], 0);

    mci.answer = QString("123") + QChar(0) + "456";
    EXPECT_EQ(MCIGetPosition(mci), 123);  // cut at the first NUL
}

TEST(ModMciNumbers, LeadingNumberReadsTheNumberAtTheStart) {
    EXPECT_EQ(LeadingNumber("61000"), 61000);
    EXPECT_EQ(LeadingNumber("  42ms"), 42);
    EXPECT_EQ(LeadingNumber("-17"), -17);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("playing"), 0);
    EXPECT_EQ(LeadingNumber("2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(LeadingNumber("-2147483648"), std::numeric_limits<int32_t>::min());
}

// Every lookup over the kind table, by extension in any letter case: the
// name, the tree picture (none: the library never lists it) and whether an
// entry's title comes from the tag.
TEST(ModMciKinds, EachKindByExtension) {
    const struct {
        const char *path, *kind;
        int picture;
        bool tags;
    } cases[] = {
        {"/m/a.mp3", "MP3", 7, true},   {"/m/a.MID", "MIDI", 5, false},
        {"/m/a.wav", "WAVE", 6, false}, {"/m/a.Cda", "CDAudio", 0, false},
        {"/m/a.au", "AU", 7, false},    {"/m/a.asf", "ASF", 8, false},
        {"/m/a.wMa", "WMA", 8, false},  {"/m/a.midi", "", 0, false},
        {"/m/a.wave", "", 0, false},    {"/m/a", "", 0, false},
        {"/m.x/readme", "", 0, false},  {"/m/a.ogg", "", 0, false},
        {"/m/a.mp3.", "", 0, false},
    };
    for (const auto& c : cases) {
        const QString ext = EntryExtension(c.path);
        EXPECT_EQ(GetMediaType(c.path), c.kind) << c.path;
        EXPECT_EQ(MediaImage(ext), c.picture) << c.path;
        EXPECT_EQ(IsMediaKind(ext), c.picture != 0) << c.path;
        EXPECT_EQ(KindReadsTags(GetMediaType(c.path)), c.tags) << c.path;
    }
}

}  // namespace
