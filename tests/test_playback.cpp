// The media-control layer and the player over the scripted device: the
// interpreter's words, quoting, letter case, error numbers and reply truncation;
// Mod_MCI's buffer sizes and number reading; the frame walk that gives MP3 files
// without a Xing header their exact length; then the player, the playback
// monitor, the transport buttons, the previews and the track information: a
// test moves the clock and runs the ticks.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTest>
#include <map>

#include "app/controls.h"
#include "app/tree_view.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mpeg_audio_length.h"
#include "playback/track_info.h"
#include "playback/transport.h"
#include "support/fake_program.h"
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
    // Each of the 34 numbers the interpreter and the device answer with has a text of its own.
    QSet<QString> texts;
    for (int code = kBase; code <= kFileRead; ++code) texts.insert(MciGetErrorString(code));
    texts.remove("");
    EXPECT_EQ(texts.size(), 34);
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
    EXPECT_EQ(MCIGetMode(mci) + QString::number(MCIGetPosition(mci)), "paused300");
    media.FailCall("play", kHardware);
    EXPECT_EQ(Send("play PlayData"), kHardware);
    EXPECT_EQ(Send("close all") + Send("close all"), 0);  // the second with nothing open
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

TEST(ModMci, SixteenForNumbersTenForTheModeNumbersReadAtTheStartAndTheTimeText) {
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
    // The time panel: the nearest second, halves to even, and hours shown.
    EXPECT_EQ(NearestSecond(3500), 4);
    EXPECT_EQ(TimeText(59600, 61000), "01:00/01:01");
    EXPECT_EQ(TimeText(3599499, 3600500), "59:59/1:00:00");
    EXPECT_EQ(TimeText(int64_t{40000} * 1000, 0), "11:06:40/00:00");  // beyond 32767 s
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

using qvtest::FakeProgram;

// t0.wav ... t<n-1>.wav in the playlist: 1, 2, 3 ... seconds long.
void Entries(FakeProgram& p, int n = 5) {
    for (int i = 0; i < n; ++i) p.Add(QStringLiteral("t%1.wav").arg(i), 1000 * (i + 1));
}

// The playing entry, the state, StopByUser, and the commands sent since the
// last call by their first word, an open with the entry it opens:
// "2 PLAYING: stop close open2 setaudio play", "0 STOPPED by user: stop seek".
QString Now(FakeProgram& p) {
    QStringList words;
    for (const QString& command : p.Take()) {
        words << command.section(' ', 0, 0);
        for (int i = 0; words.last() == "open" && i < p.form().lstPL->count(); ++i)
            if (command == p.OpenCommand(i)) words.last() += QString::number(i);
    }
    return QString("%1 %2%3: %4")
        .arg(p.player().PlayingID())
        .arg(PlayerStateWord(p.player().PlayState()), p.player().StopByUser() ? " by user" : "",
             words.join(' '));
}

using P = FakeProgram&;

// A panel's text, which a screen reader hears as its description.
QString Panel(FakeProgram& p, int i) {
    EXPECT_EQ(p.form().Panel(i)->accessibleDescription(), p.form().Panel(i)->text());
    return p.form().Panel(i)->text();
}

// The buttons and the player's operations, one after the other: the commands
// sent and the entry, state and StopByUser left. PlayingID starts at 65535,
// naming no entry; nothing may read past the last record, and on an empty
// playlist the buttons do nothing.
TEST(Player, EachButtonAndOperationSendsItsCommandsAndLeavesItsState) {
    FakeProgram p;
    p.player().PlayState(PlayerState::Paused);
    for (auto click : {imgPlay_Click, imgFF_Click, imgREW_Click, imgStop_Click}) click(*p.state);
    EXPECT_EQ(Now(p), "65535 PAUSED by user: ");
    Entries(p);
    const std::pair<void (*)(P), const char*> rows[] = {
        {[](P p) { p.player().SetPrev(); }, "65535 PAUSED by user: "},  // 65534: no entry
        {[](P p) { imgFF_Click(*p.state); }, "0 STOPPED: stop close open0 setaudio"},
        // Play opens the selected line, pauses, resumes (clearing
        // StopByUser); "ready" (no device) counts as "READY".
        {[](P p) { p.player().PlayState(PlayerState::NoDevice); }, "0 ready: "},
        {[](P p) { imgPlay_Click(*p.state); }, "0 PLAYING: stop close open0 setaudio play"},
        {[](P p) { imgPlay_Click(*p.state); }, "0 PAUSED: pause"},
        {[](P p) { p.player().StopByUser(true); }, "0 PAUSED by user: "},
        {[](P p) { imgPlay_Click(*p.state); }, "0 PLAYING: resume"},
        // Next and previous while playing: no step back from the first,
        // the first after the last.
        {[](P p) { imgREW_Click(*p.state); }, "0 PLAYING: stop seek play"},
        {[](P p) { imgFF_Click(*p.state); }, "1 PLAYING: stop close open1 setaudio play"},
        {[](P p) { imgREW_Click(*p.state); }, "0 PLAYING: stop close open0 setaudio play"},
        {[](P p) { p.player().PlayingID(4); }, "4 PLAYING: "},
        {[](P p) { imgFF_Click(*p.state); }, "0 PLAYING: stop close open0 setaudio play"},
        {[](P p) { p.player().PlayStart(1); }, "1 PLAYING: stop close open1 setaudio play"},
        {[](P p) { p.player().PlayStart(1); }, "1 PLAYING: stop seek play"},
        {[](P p) { p.player().OpenFile(2); }, "2 READY by user: stop close open2 setaudio"},
        // Next and previous while stopped leave the new entry to the
        // next tick's end-of-track rule ("Loop-Off" here).
        {[](P p) { imgFF_Click(*p.state); }, "3 STOPPED: stop close open3 setaudio"},
        {[](P p) { imgREW_Click(*p.state); }, "2 STOPPED: stop close open2 setaudio"},
        {[](P p) { p.Tick(); }, "2 STOPPED by user: stop seek"},
        {[](P p) { p.player().SetStart(4); }, "4 STOPPED by user: stop close open4 setaudio"},
        {[](P p) { p.player().Play(); }, "4 PLAYING: play"},
        // One past the end (the last entry removed): back to the new
        // last. Rewinding needs no record.
        {[](P p) { p.player().PlayingID(5); }, "5 PLAYING: "},
        {[](P p) { p.player().SetPrev(); }, "4 STOPPED by user: stop close open4 setaudio"},
        {[](P p) { p.player().PlayingID(9); }, "9 STOPPED by user: "},
        {[](P p) { p.player().PlayStart(9); }, "9 PLAYING: stop seek play"}};
    for (const auto& [op, now] : rows) {
        SCOPED_TRACE(now);
        op(p);
        EXPECT_EQ(Now(p), now);
    }
    // The length recorded when opened; no line for PlayingID 9.
    EXPECT_TRUE(p.state->PlayListData[3].Length == 4 && p.form().lstPL->currentRow() == 4);
}

// Next and previous move exactly one entry whatever the loop mode and state;
// then the modes that go on play it and "Loop-Off" leaves it stopped: the
// entry and the state two ticks after the press, from entry 2 of 5.
TEST(Player, NextAndPreviousMoveOneEntryInEveryModeAndState) {
    for (Looping mode : {Looping::Off, Looping::All, Looping::One}) {
        for (const char* state : {"PLAYING", "PAUSED", "STOPPED"}) {
            for (auto [click, to] : {std::pair{&imgFF_Click, 3}, std::pair{&imgREW_Click, 1}}) {
                FakeProgram p;
                Entries(p);
                p.player().LoopMode(mode);
                p.player().OpenPlay(2);
                p.Tick(200);
                if (state != QStringLiteral("PLAYING")) imgPlay_Click(*p.state);
                if (state == QStringLiteral("STOPPED")) imgStop_Click(*p.state);
                p.Tick();
                click(*p.state);
                p.Tick();
                p.Tick();
                const bool plays = state == QStringLiteral("PLAYING") || mode != Looping::Off;
                SCOPED_TRACE(
                    QString("%1, %2, %3").arg(LoopingWord(mode), state).arg(to).toStdString());
                EXPECT_EQ(p.player().PlayingID(), to);
                EXPECT_EQ(p.player().PlayState(),
                          plays ? PlayerState::Playing : PlayerState::Stopped);
                EXPECT_EQ(p.form().lstPL->currentRow(), to);
            }
        }
    }
}

// Real clicks on buttons wired once, however often the wiring runs: the
// status panels, the play picture (as the tick before left it) and the loop
// button (turning the mode round) follow the player (Timer1's ticks drive the player through
// the real device).
TEST(Monitor, ButtonsSlidersKeysPanelsAndTimersFollowThePlayer) {
    FakeProgram p;
    Entries(p, 3);
    frmQuorvane& f = p.form();
    ConnectPlayback(*p.state, f);  // the program wired it already: this adds nothing
    const auto is = [](ClickLabel* a, ClickLabel* b) {
        return a->pixmap().toImage() == b->pixmap().toImage();
    };
    // The loop button's picture, if its tooltip says the same.
    const auto shown = [&] {
        const QString loop = is(f.imgLoop, f.imgLoopAll)   ? "All"
                             : is(f.imgLoop, f.imgLoopOne) ? "One"
                                                           : "Off";
        return QStringList{Now(p).section(':', 0, 0), Panel(p, 4), Panel(p, 5),
                           is(f.imgPlay, f.imgPlayOn) ? "on" : "off",
                           f.imgLoop->toolTip() == "Loop-" + loop ? loop : "?"}
            .join(' ');
    };
    p.player().LoopMode(Looping::Off);
    p.player().OpenPlay(2);
    const std::tuple<ClickLabel * frmQuorvane::*, int, const char*> steps[] = {
        {nullptr, 1400, "2 PLAYING playing 00:01/00:03 on Off"},
        {&frmQuorvane::imgPlay, 0, "2 PAUSED playing 00:01/00:03 on Off"},
        {nullptr, 2000, "2 PAUSED paused 00:01/00:03 off Off"},
        {&frmQuorvane::imgLoop, 0, "2 PAUSED paused 00:01/00:03 off All"},
        {&frmQuorvane::imgLoop, 0, "2 PAUSED paused 00:01/00:03 off One"},
        {&frmQuorvane::imgLoop, 0, "2 PAUSED paused 00:01/00:03 off Off"},
        {&frmQuorvane::imgFF, 0, "0 STOPPED paused 00:01/00:03 off Off"},
        {&frmQuorvane::imgFF, 0, "1 STOPPED paused 00:01/00:03 off Off"},
        {&frmQuorvane::imgREW, 0, "0 STOPPED paused 00:01/00:03 off Off"},
        {&frmQuorvane::imgStop, 0, "0 STOPPED by user paused 00:01/00:03 off Off"},
        {&frmQuorvane::imgPlay, 0, "0 PLAYING paused 00:01/00:03 off Off"},
        {nullptr, 950, "0 PLAYING playing 00:01/00:01 on Off"},
        {nullptr, 50, "0 STOPPED by user stopped 00:00/00:01 on Off"}};
    for (const auto& [button, ms, expected] : steps) {
        if (button) qvtest::Click(f.*button);
        if (ms) p.Tick(ms);
        EXPECT_EQ(shown(), expected);
    }
    // The seek slider follows the ticks, but not while it is held; a click, the end of a drag
    // and the left arrow (five seconds) move the track there, playing on (the player keeps
    // it within its start and end: the device test). The folder box keeps its keys, the tree its
    // arrows. Right, Space and a click on the volume slider are played through in e2e_transport.
    p.Add("long.wav", 60000);
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    p.player().OpenPlay(3);
    p.Tick(12000);
    StripSlider& seek = *f.sldSeek;
    EXPECT_EQ(QList<int>({seek.maximum(), seek.value()}), QList<int>({60000, 12000}));
    const auto at = [](QWidget* w, double fraction) {
        return QPoint(int(fraction * (w->width() - 1)), w->height() / 2);
    };
    // Within a pixel of the slider (some 400 ms of this track).
    const int pixel = 60000 / (seek.width() - 1) + 1;
    const auto seekedTo = [&](int near) {
        const QStringList sent = p.Take();
        EXPECT_EQ(sent.mid(1), QStringList("play PlayData"));
        const int to = sent.value(0).section("seek PlayData to ", 1).toInt();
        EXPECT_NEAR(to, near, pixel) << sent.join('|').toStdString();
        return to;
    };
    p.Take();
    QTest::mouseClick(&seek, Qt::LeftButton, {}, at(&seek, 0.75));
    seekedTo(45000);
    QTest::mousePress(&seek, Qt::LeftButton, {}, at(&seek, 0.25));
    QTest::mouseMove(&seek, at(&seek, 0.5));
    p.Tick(1000);
    EXPECT_NEAR(seek.value(), 30000, pixel);  // held: the tick leaves it where it is
    EXPECT_EQ(p.Take(), QStringList());
    QTest::mouseRelease(&seek, Qt::LeftButton, {}, at(&seek, 0.5));
    const int dragged = seekedTo(30000);
    p.Tick(0);
    EXPECT_EQ(seek.value(), dragged);
    QTest::keyClick(&f, Qt::Key_Left);
    seekedTo(dragged - 5000);
    f.Text1->setFocus();
    QTest::keyClicks(f.Text1, " xy");
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Delete, Qt::Key_Right}) QTest::keyClick(f.Text1, key);
    f.TV1->setFocus();
    QTest::keyClick(f.TV1, Qt::Key_Left);
    EXPECT_EQ(f.Text1->text() + "|" + p.Take().join('|'), " x|");
    // A volume set elsewhere moves the slider and is sent once.
    p.player().SetVolume(200);
    EXPECT_EQ(f.sldVolume->value(), 200);
    EXPECT_EQ(p.Take(), QStringList("setaudio PlayData volume to 200"));
}

// After a refused file "Loop-All" goes on to the next entry that opens, at
// most once round the list, and round again after a good one (g: 1 s long) played;
// "Loop-One" stops on it, as "Loop-Off" does (see the previews). A file whose
// output goes away while it plays fails as a refused one, not as a track that
// ended; one played into no output says so beside the mode. Later ticks send nothing.
TEST(Monitor, TheLoopModeDecidesWhatFollowsARefusedFile) {
    // The list (G opens, B is refused, L loses its output, N has none), the
    // loop mode, the entry started, whether play fails; what the player and
    // panels 1 and 4 show at the end, and how many opens it took.
    constexpr Looping Off = Looping::Off, All = Looping::All, One = Looping::One;
    const std::tuple<const char*, Looping, int, bool, const char*, const char*, int> cases[] = {
        {"GBGG", One, 1, false, "1 ready by user: ", "1B.wav failed", 1},
        {"GBB", All, 1, false, "0 PLAYING: ", "> 0G.wav playing", 3},     // round the end
        {"BBB", All, 0, false, "2 ready by user: ", "2B.wav failed", 3},  // once round only
        {"GG", All, 0, true, "1 STOPPED by user: ", "1G.wav failed", 2},  // will not start
        // Round again after each good one.
        {"gBB", All, 0, false,
         "0 PLAYING: stop close open1 play stop close open2 play stop close open0 setaudio play",
         "> 0g.wav playing", 4},
        {"GLG", Off, 1, false, "1 STOPPED by user: ", "1L.wav failed", 1},
        {"N", Off, 0, false, "0 PLAYING: ", "> 0N.wav playing (no sound output)", 1}};
    for (const auto& [list, mode, start, playFails, now, panels, opens] : cases) {
        SCOPED_TRACE(testing::Message() << list << " " << LoopingWord(mode).toStdString());
        FakeProgram p;
        for (int i = 0; list[i]; ++i) {
            const QString path = p.Add(QStringLiteral("%1%2.wav").arg(i).arg(list[i]),
                                       list[i] == 'g' ? 1000 : 10000);
            if (list[i] == 'B') p.media.FailOpen(path, 296);
            if (list[i] == 'L') p.media.SetOutput(path, AudioOutput::Lost);
            if (list[i] == 'N') p.media.SetOutput(path, AudioOutput::None);
        }
        if (playFails) p.media.FailCall("play", 282);
        p.player().LoopMode(mode);
        p.player().OpenPlay(start);
        for (int i = 0; i < 40; ++i) p.Tick();
        EXPECT_EQ(p.Take().filter("open ").size(), opens);
        for (int i = 0; i < 20; ++i) p.Tick();
        EXPECT_EQ(Now(p), now);
        EXPECT_EQ(Panel(p, 1) + " " + Panel(p, 4), panels);
    }
}

// Panels 1 to 3 show the title ("> " while it plays), artist and comment of the tag
// of any kind (here one its container holds), each hidden while empty, never the
// album; a file without tags its name, and a file that failed its name alone. A
// preview (another line selected) shows that line and starts Timer2; when it
// fires, panels and caption come back to the playing entry, or to the file that
// failed (an entry, or the tree's); with no entry to come back to, the preview stays.
TEST(Monitor, TrackInfoAndPreviewsComeBackToThePlayingEntryOrTheFailure) {
    FakeProgram p;
    QString error;
    const QString tagged =
        qvtest::MakeMedia(qvtest::MediaKind::Opus, p.dir.path(), "tag.opus", 200, &error,
                          {"title=曲名", "artist=Band", "comment=Note", "album=Album"});
    ASSERT_FALSE(tagged.isEmpty()) << qPrintable(error);
    p.state->objPlayList->AddToPlayList(tagged);
    const QString missing = p.Add("missing.wav"), midi = p.Add("tune.mid");
    QFile::remove(missing);
    QTimer& timer2 = *p.form().Timer2;
    const auto panels = [&] {
        QStringList texts;
        for (int i = 1; i <= 4; ++i)
            texts << Panel(p, i) + (p.form().Panel(i)->isHidden() ? "-" : "");
        return texts.join('|') + " " + p.form().windowTitle();
    };
    p.player().OpenPlay(0);
    p.Tick();
    EXPECT_EQ(panels(), "> 曲名|Band|Note|playing Quorvane - " + tagged);
    p.player().OpenPlay(1);
    for (int i = 0; i < 5; ++i) p.Tick();
    const QString failure = "missing.wav|-|-|failed Quorvane - " + missing;
    EXPECT_EQ(panels(), failure);
    p.state->objPlayList->SetListIndex(0);
    EXPECT_EQ(panels(), "曲名|Band|Note|failed Quorvane - " + tagged);
    EXPECT_GT(timer2.remainingTime(), 1500);
    qvtest::RunEvents(1900);  // Timer2 fires
    EXPECT_EQ(panels(), failure);

    p.player().OpenPlay(2);
    p.Tick();
    p.state->objPlayList->SetListIndex(1);  // a missing file: only the caption changes
    EXPECT_EQ(panels(), "> tune.mid|-|-|playing Quorvane - " + missing);
    Timer2_Timer(*p.state);
    EXPECT_EQ(panels(), "> tune.mid|-|-|playing Quorvane - " + midi);
    ShowSelectedInfo(*p.state, "");  // no line selected: nothing to come back from
    EXPECT_FALSE(timer2.isActive());
    p.player().PlayingID(4);
    p.state->objPlayList->SetListIndex(0);
    Timer2_Timer(*p.state);
    EXPECT_TRUE(p.form().windowTitle() == "Quorvane - " + tagged && !timer2.isActive());
    // The tree's file that does not open is shown as the player's own failure.
    p.player().PlayOutside(missing);
    EXPECT_EQ(panels(), failure);
}

}  // namespace
}  // namespace qv
