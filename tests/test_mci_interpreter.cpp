// The command interpreter over the scripted fake device: syntax, quoting,
// letter case, error numbers and reply truncation.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/mci/mci_tokens.h"
#include "support/fake_media_device.h"

namespace {

using namespace qv::mcierr;

class Interpreter : public ::testing::Test {
  protected:
    Interpreter() : mci(media.Factory()) {}

    // Sends with a generous reply buffer; the reply lands in `reply`.
    int Send(const QString& command, int length = 128) {
        reply = QStringLiteral("left over");
        return mci.SendString(command, &reply, length);
    }
    QString Ask(const QString& command) {
        Send(command);
        return reply;
    }

    qvtest::FakeMedia media;
    qv::MciInterpreter mci;
    QString reply;
};

TEST(MciTokens, BlanksQuotesAndDoubledQuotes) {
    std::vector<qv::MciToken> words;
    ASSERT_EQ(qv::SplitMciCommand("  open\t\"/a b/c d.mp3\"  type  x ", &words), 0);
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[1].text, "/a b/c d.mp3");
    EXPECT_TRUE(words[1].quoted);
    EXPECT_FALSE(words[2].quoted);

    ASSERT_EQ(qv::SplitMciCommand("open \"/x/say \"\"hi\"\" there.wav\" alias a", &words), 0);
    EXPECT_EQ(words[1].text, "/x/say \"hi\" there.wav");
    ASSERT_EQ(qv::SplitMciCommand("open /x/a\"b.wav", &words), 0);
    EXPECT_EQ(words[1].text, "/x/a\"b.wav");  // a quote inside a bare word is literal
    ASSERT_EQ(qv::SplitMciCommand("open \"\" x", &words), 0);
    EXPECT_EQ(words[1].text, "");

    EXPECT_EQ(qv::SplitMciCommand("open \"/a b.mp3 type x", &words), kNoClosingQuote);
    EXPECT_EQ(qv::SplitMciCommand("open \"/a b\".mp3 type x", &words), kExtraCharacters);
    ASSERT_EQ(qv::SplitMciCommand("   ", &words), 0);
    EXPECT_TRUE(words.empty());
}

TEST_F(Interpreter, OpenTakesEveryDeviceTypeInAnyLetterCase) {
    EXPECT_EQ(Send("open /m/a.wav type waveaudio alias A1"), 0);
    EXPECT_EQ(Send("OPEN /m/b.mp3 TYPE MPEGVIDEO ALIAS a2"), 0);
    EXPECT_EQ(Send("open /m/c.wma type MPEGVideo2 alias a3"), 0);
    EXPECT_EQ(Send("Open \"/m/with blank/d.mid\" Type Sequencer Alias a4"), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(media.Calls(),
              QStringList({"open /m/a.wav WaveAudio", "open /m/b.mp3 MPEGVideo",
                           "open /m/c.wma MPEGVideo2", "open /m/with blank/d.mid Sequencer"}));
    EXPECT_EQ(media.OpenDevices(), 4);
    // Aliases ignore letter case.
    EXPECT_EQ(Ask("status a1 mode"), "stopped");
    EXPECT_EQ(Ask("STATUS A4 MODE"), "stopped");
}

TEST_F(Interpreter, OpenRefusesBadCommandsAndLeavesNothingOpen) {
    struct Case {
        const char* command;
        int code;
    } cases[] = {
        {"open", kFilenameRequired},
        {"open  type MPEGVideo alias PlayData", kFilenameRequired},      // missing file
        {"open /m/a.txt type  alias PlayData", kMissingStringArgument},  // unknown extension
        {"open /m/a.wav alias PlayData", kExtensionNotFound},            // no type at all
        {"open /m/a.wav type Foo alias PlayData", kDeviceTypeRequired},
        {"open /m/a.cda type CDAudio alias PlayData", kDeviceNotInstalled},
        {"open /m/a.wav type WaveAudio alias", kMissingStringArgument},
        {"open /m/a.wav type WaveAudio type WaveAudio alias x", kDuplicateFlags},
        {"open /m/a.wav type WaveAudio alias x bogus", kUnrecognizedKeyword},
        {"open /m/a.wav type WaveAudio alias x wait", kUnsupportedFunction},
        {"open /m/a.wav type WaveAudio alias all", kCannotUseAll},
        {"open \"/m/a.wav type WaveAudio alias x", kNoClosingQuote},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Send(c.command), c.code) << c.command;
        EXPECT_EQ(reply, "") << c.command;
        EXPECT_FALSE(qv::MciGetErrorString(c.code).isEmpty()) << c.code;
    }
    EXPECT_EQ(media.OpenDevices(), 0);
    EXPECT_EQ(Send("status PlayData mode"), kInvalidDeviceName);
    EXPECT_EQ(Send("status x mode"), kInvalidDeviceName);
    EXPECT_EQ(qv::MciGetErrorString(0), "");
    EXPECT_EQ(qv::MciGetErrorString(12345), "");
}

TEST_F(Interpreter, AliasesInUseFailedOpensAndElementNames) {
    ASSERT_EQ(Send("open /m/a.wav type WaveAudio alias PlayData"), 0);
    EXPECT_EQ(Send("open /m/b.wav type WaveAudio alias playdata"), kDuplicateAlias);
    EXPECT_EQ(media.OpenDevices(), 1);
    EXPECT_EQ(Send("close PLAYDATA"), 0);
    EXPECT_EQ(media.OpenDevices(), 0);
    // A failed open leaves the alias free.
    media.FailOpen("/m/bad.mp3", kInvalidFile);
    EXPECT_EQ(Send("open /m/bad.mp3 type MPEGVideo alias PlayData"), kInvalidFile);
    EXPECT_EQ(media.OpenDevices(), 0);
    EXPECT_EQ(Send("play PlayData"), kInvalidDeviceName);
    EXPECT_EQ(Send("open /m/b.wav type WaveAudio alias PlayData"), 0);
    EXPECT_EQ(media.Calls().last(), "open /m/b.wav WaveAudio");
    // Without an alias the element is the name, without letter case.
    ASSERT_EQ(Send("open \"/m/a b.wav\" type WaveAudio"), 0);
    EXPECT_EQ(Ask("status \"/m/a b.wav\" mode"), "stopped");
    EXPECT_EQ(Send("close \"/M/A B.WAV\""), 0);
}

TEST_F(Interpreter, UnknownCommandsAndWordsAreRefused) {
    ASSERT_EQ(Send("open /m/a.wav type WaveAudio alias PlayData"), 0);
    media.ClearCalls();
    struct Case {
        const char* command;
        int code;
    } cases[] = {
        {"", kMissingCommandString},
        {"   ", kMissingCommandString},
        {"jump PlayData", kUnrecognizedCommand},
        {"record PlayData", kUnsupportedFunction},
        {"play", kMissingDeviceName},
        {"play Other", kInvalidDeviceName},
        {"play PlayData now", kUnrecognizedKeyword},
        {"play PlayData from 0", kUnsupportedFunction},
        {"play PlayData notify", kUnsupportedFunction},
        {"stop all", kCannotUseAll},
        {"close all please", kUnrecognizedKeyword},
        {"seek PlayData", kMissingParameter},
        {"seek PlayData to", kMissingParameter},
        {"seek PlayData at 5", kUnrecognizedKeyword},
        {"seek PlayData to five", kBadInteger},
        {"seek PlayData to -5", kOutOfRange},
        {"seek PlayData to 10001", kOutOfRange},
        {"seek PlayData to start now", kUnrecognizedKeyword},
        {"set PlayData", kMissingParameter},
        {"set PlayData time", kMissingParameter},
        {"set PlayData time format", kMissingParameter},
        {"set PlayData time format frames", kBadTimeFormat},
        {"set PlayData audio all off", kUnrecognizedKeyword},
        {"status PlayData", kMissingParameter},
        {"status PlayData volume", kUnrecognizedKeyword},
        {"status PlayData mode extra", kUnrecognizedKeyword},
        {"status PlayData time", kMissingParameter},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Send(c.command), c.code) << c.command;
        EXPECT_EQ(reply, "") << c.command;
    }
    // None of them reached the device.
    EXPECT_TRUE(media.Calls().isEmpty()) << media.Calls().join(", ").toStdString();
    EXPECT_EQ(Ask("status PlayData mode"), "stopped");
    EXPECT_EQ(Ask("status PlayData position"), "0");
}

TEST_F(Interpreter, CommandsReachTheDeviceAndQueriesAnswer) {
    media.SetLength("/m/a.mp3", 5000);
    ASSERT_EQ(Send("open /m/a.mp3 type MPEGVideo alias PlayData"), 0);
    EXPECT_EQ(Send("set PlayData time format milliseconds"), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(Send("Set PlayData Time Format MS"), 0);
    EXPECT_EQ(Ask("status PlayData length"), "5000");
    EXPECT_EQ(Ask("status PlayData time format"), "milliseconds");
    EXPECT_EQ(Ask("status PlayData ready"), "true");
    EXPECT_EQ(Send("play PlayData"), 0);
    EXPECT_EQ(Ask("status PlayData mode"), "playing");
    media.Advance(1200);
    EXPECT_EQ(Ask("status PlayData position"), "1200");
    EXPECT_EQ(Send("pause PlayData"), 0);
    EXPECT_EQ(Ask("status PlayData mode"), "paused");
    EXPECT_EQ(Send("resume PlayData"), 0);
    EXPECT_EQ(Send("stop PlayData"), 0);
    EXPECT_EQ(Send("seek PlayData to 300"), 0);
    EXPECT_EQ(Send("seek PlayData to end"), 0);
    EXPECT_EQ(Ask("status PlayData position"), "5000");
    EXPECT_EQ(Send("seek PlayData to start"), 0);
    EXPECT_EQ(Send("close PlayData"), 0);
    EXPECT_EQ(media.Calls(), QStringList({"open /m/a.mp3 MPEGVideo", "play", "pause", "resume",
                                          "stop", "seek 300", "seek end", "seek start", "close"}));
    // A device's failure is handed back.
    ASSERT_EQ(Send("open /m/a.mp3 type MPEGVideo alias PlayData"), 0);
    media.FailCall("play", kHardware);
    EXPECT_EQ(Send("play PlayData"), kHardware);
    EXPECT_EQ(Ask("status PlayData mode"), "stopped");
}

TEST_F(Interpreter, RepliesAreCutToTheBufferWithItsNul) {
    media.SetLength("/m/a.mp3", 1234567);
    ASSERT_EQ(Send("open /m/a.mp3 type MPEGVideo alias PlayData"), 0);
    const std::tuple<const char*, int, const char*> cases[] = {
        {"length", 16, "1234567"}, {"length", 4, "123"},    {"length", 1, ""},
        {"length", 0, ""},         {"mode", 10, "stopped"}, {"mode", 5, "stop"}};
    for (const auto& [what, length, expected] : cases) {
        EXPECT_EQ(Send(QStringLiteral("status PlayData ") + what, length), 0);
        EXPECT_EQ(reply, expected) << what << " " << length;
    }
    // No reply buffer at all.
    EXPECT_EQ(mci.SendString("status PlayData mode", nullptr, 10), 0);
    EXPECT_EQ(mci.SendString("play PlayData", nullptr, 0), 0);
}

TEST_F(Interpreter, CloseAllAndDestructionReleaseEveryDevice) {
    {
        qv::MciInterpreter other(media.Factory());
        QString r;
        ASSERT_EQ(other.SendString("open /m/x.wav type WaveAudio alias x", &r, 0), 0);
        EXPECT_EQ(media.OpenDevices(), 1);
    }
    EXPECT_EQ(media.OpenDevices(), 0);
    ASSERT_EQ(Send("open /m/a.wav type WaveAudio alias a"), 0);
    ASSERT_EQ(Send("open /m/b.wav type WaveAudio alias b"), 0);
    EXPECT_EQ(Send("close all"), 0);
    EXPECT_EQ(media.OpenDevices(), 0);
    EXPECT_EQ(Send("close all"), 0);  // nothing open: still fine
    EXPECT_EQ(Send("status a mode"), kInvalidDeviceName);
}

}  // namespace
