// The GStreamer device on short files of every kind made here, into the null
// sink in real time: what the player relies on and bad input; and the
// player's loop rules through it with the real monitor timer.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QDir>
#include <QTest>
#include <QtEndian>
#include <functional>

#include "app/controls.h"
#include "app/frm_hide_menu.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_errors.h"
#include "platform/media_kinds.h"
#include "playlist/playlist_edit.h"
#include "support/fake_program.h"
#include "support/media_maker.h"
#include "support/qt_print.h"

namespace qv {
namespace {

using namespace mcierr;
using qvtest::MediaKind;

// Into the null sink, still in real time.
const GstDeviceOptions kNullAudio{true, 4000, {}, {}};

// The RMS level of 16-bit samples [from, to) of pcm (bytes; to -1: the end),
// in dB of full scale.
double LevelDb(const QByteArray& pcm, qsizetype from = 0, qsizetype to = -1) {
    to = to < 0 ? pcm.size() : std::min(to, pcm.size());
    double sum = 0;
    for (qsizetype at = from; at + 1 < to; at += 2)
        sum += std::pow(qFromLittleEndian<qint16>(pcm.constData() + at) / 32768.0, 2);
    return 10 * std::log10(sum / std::max<qsizetype>((to - from) / 2, 1));
}

class GstDevice : public ::testing::TestWithParam<MediaKind> {
  protected:
    QString Make(MediaKind kind, const QString& name, int ms = 1200) {
        QString error;
        const QString path = qvtest::MakeMedia(kind, dir.path(), name, ms, &error);
        EXPECT_FALSE(path.isEmpty()) << error.toStdString();
        return path;
    }
    // A FLAC tagged -12 dB track gain and -6 dB album gain, and its untagged
    // twin: the same sound.
    QStringList TaggedAndPlain() {
        QString error;
        const QString tagged =
            qvtest::MakeMedia(MediaKind::Flac, dir.path(), "tagged.flac", 500, &error,
                              {"REPLAYGAIN_TRACK_GAIN=-12.00 dB", "REPLAYGAIN_ALBUM_GAIN=-6.00 dB"});
        EXPECT_FALSE(tagged.isEmpty()) << error.toStdString();
        return {tagged, Make(MediaKind::Flac, "plain.flac", 500)};
    }
    // Sends the commands in turn: their answers, each the reply or the error
    // number, joined by "|".
    // to: another interpreter than the fixture's.
    QString Ask(const QStringList& commands, MciSender* to = nullptr) {
        QStringList answers;
        for (const QString& command : commands) {
            QString reply;
            const int code = (to ? *to : mci).SendString(command, &reply, 64);
            answers << (code ? QString::number(code) : reply);
        }
        return answers.join('|');
    }
    qint64 Position() { return Ask({"status a position"}).toLongLong(); }
    // Waits for the device to stop by itself: the milliseconds that took.
    qint64 MsToStop(MciSender* to = nullptr) {
        QElapsedTimer t;
        t.start();
        return QTest::qWaitFor([&] { return Ask({"status a mode"}, to) == "stopped"; }, 4000)
                   ? t.elapsed()
                   : -1;
    }

    // What one device made of files played in turn, each after the first
    // queued before it starts, as the player queues them: the sound as raw
    // 32-bit float samples (exact for every decoder's output, no dither),
    // and the files it told began. realTime: played at the pace of the clock,
    // so that `during` (called every 10 ms until the device stops) can act
    // while the sound is going on. gains: the first file's, then the queued
    // ones' (none: 1).
    struct Heard {
        QByteArray samples;
        QStringList started;
    };
    Heard Hear(const QStringList& files, const QString& format = "audio/x-raw,format=F32LE",
               bool realTime = false, std::function<void(GstMediaDevice&)> during = {},
               int volume = 1000, const QList<double>& gains = {}) {
        const QString out = dir.file(QString("heard%1.raw").arg(++heard_));
        GstDeviceOptions options = kNullAudio;
        options.audioSink = "audioconvert ! audioresample ! " + format +
                            " ! filesink append=true sync=" + (realTime ? "true" : "false") +
                            " location=\"" + out + "\"";
        Heard heard;
        {
            GstMediaDevice device(options);
            EXPECT_EQ(device.Open(files[0]) + device.SetVolume(volume) +
                          device.SetTrackGain(gains.value(0, 1.0)),
                      0);
            EXPECT_EQ(device.QueueNext(files.mid(1), gains.mid(1)) + device.Play(), 0);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    if (during) during(device);
                    return device.Mode() == MediaMode::Stopped;
                },
                20000));
            for (const MediaEvent& event : device.TakeEvents()) heard.started << event.path;
        }
        heard.samples = qvtest::ReadAll(out);
        return heard;
    }

    qvtest::TempDir dir;
    MciInterpreter mci{GstDeviceFactory(kNullAudio)};
    int heard_ = 0;
};

// A name with blanks, quotes and Japanese, as paths have; opened with the
// device type the program's table gives the kind.
TEST_P(GstDevice, EveryKindOpensStoppedPlaysPausesStopsEndsAndReplays) {
    const QString path = Make(GetParam(), "say \"hi\" 日本語." + qvtest::KindExtension(GetParam()));
    const qv::MediaKind* kind = FindMediaKind(EntryExtension(path));
    ASSERT_TRUE(kind && kind->picture) << "no media kind";
    ASSERT_EQ(Ask({"open \"" + QString(path).replace("\"", "\"\"") + "\" type " +
                       kind->deviceType.toString() + " alias a",
                   "status a mode", "status a position"}),
              "|stopped|0");
    const qint64 length = Ask({"status a length"}).toLongLong();
    // Encoders pad to whole frames; 50 ms is the bound the player can live
    // with (it keeps whole seconds).
    EXPECT_NEAR(length, 1200, 50);
    EXPECT_EQ(Ask({"play a", "status a mode"}), "|playing");
    QThread::msleep(250);
    EXPECT_NEAR(Position(), 400, 300);
    // Paused and stopped it stays where it is; resumed it moves on.
    for (const auto& [command, mode] :
         {std::pair{"pause a", "paused"}, {"resume a", "playing"}, {"stop a", "stopped"}}) {
        EXPECT_EQ(Ask({command}), "");
        const qint64 at = Position();
        QThread::msleep(100);
        EXPECT_EQ(Ask({"status a mode"}), mode);
        const qint64 moved = Position() - at;
        EXPECT_TRUE(mode == QString("playing") ? moved > 40 : std::abs(moved) <= 40) << moved;
    }
    // From the start to the end in real time; stopped there, where play does
    // nothing; a rewind plays it again without reopening.
    EXPECT_EQ(Ask({"seek a to start", "status a position", "play a"}), "|0|");
    EXPECT_GE(MsToStop(), length - 80);
    EXPECT_EQ(Ask({"status a position", "play a", "status a mode"}),
              QString::number(length) + "||stopped");
    EXPECT_EQ(Ask({"seek a to start", "play a"}), "|");
    QThread::msleep(200);
    EXPECT_GT(Position(), 80);
    // A seek inside leaves it stopped there, and it plays on to the end.
    EXPECT_EQ(Ask({"seek a to 900", "status a mode"}), "|stopped");
    EXPECT_NEAR(Position(), 900, 30);
    EXPECT_EQ(Ask({"play a"}), "");
    EXPECT_GE(MsToStop(), length - 900 - 80);
    EXPECT_EQ(Ask({"status a position", "seek a to start", "seek a to end", "status a position",
                   "close a", "play a"}),
              QString("%1|||%1||%2").arg(length).arg(kInvalidDeviceName));
}

INSTANTIATE_TEST_SUITE_P(Media, GstDevice,
                         ::testing::Values(MediaKind::Wav, MediaKind::AuPcm, MediaKind::AuAlaw,
                                           MediaKind::Midi, MediaKind::Mp3Xing,
                                           MediaKind::Mp3NoXing, MediaKind::Wma, MediaKind::Asf,
                                           MediaKind::Flac, MediaKind::Vorbis, MediaKind::Opus,
                                           MediaKind::M4a),
                         [](const auto& info) { return qvtest::KindName(info.param); });

using GstJoins = GstDevice;

// Three parts joined: the sound is exactly the parts' sounds decoded one by
// one, end to end, not a sample inserted or lost at a join. The parts are
// short, so that each decoder runs dry before its sound is heard, the first
// one before anything is queued.
TEST_P(GstJoins, JoinedPartsSoundAsThePartsOneAfterAnother) {
    const QString ext = "." + qvtest::KindExtension(GetParam());
    const QStringList parts = {Make(GetParam(), "1" + ext, 300), Make(GetParam(), "2" + ext, 200),
                               Make(GetParam(), "3" + ext, 700)};
    QByteArray alone;
    for (const QString& part : parts) alone += Hear({part}).samples;
    const Heard joined = Hear(parts);
    EXPECT_EQ(joined.started, parts.mid(1));
    EXPECT_EQ((joined.samples.size() - alone.size()) / 4, 0) << "samples inserted (+) or lost (-)";
    EXPECT_TRUE(joined.samples == alone);
}

INSTANTIATE_TEST_SUITE_P(Media, GstJoins,
                         ::testing::Values(MediaKind::Wav, MediaKind::Flac, MediaKind::Vorbis,
                                           MediaKind::Opus, MediaKind::Mp3Xing),
                         [](const auto& info) { return qvtest::KindName(info.param); });

// A new sample rate and channel count at the join (the output is set up
// anew) neither stalls nor resets the volume: at 0 not a sample is heard. A
// chained Ogg file, whose decoder runs dry between its parts, plays whole
// before the next file.
TEST_F(GstJoins, ANewRateAtTheJoinAndAChainedOggFile) {
    const QString wav = Make(MediaKind::Wav, "a.wav", 400), opus = Make(MediaKind::Opus, "b.opus");
    const Heard silent =
        Hear({wav, opus}, "audio/x-raw,format=S16LE,rate=48000,channels=2", false, {}, 0);
    EXPECT_EQ(silent.started, QStringList{opus});
    EXPECT_NEAR(silent.samples.size() / 4, 48 * (400 + 1200), 48 * 30);
    EXPECT_EQ(silent.samples.count('\0'), silent.samples.size());
    const QString chained =
        dir.write("c.ogg", qvtest::ReadAll(Make(MediaKind::Vorbis, "c1.ogg", 300)) +
                               qvtest::ReadAll(Make(MediaKind::Vorbis, "c2.ogg", 400)));
    const Heard joined = Hear({chained, wav});
    EXPECT_EQ(joined.started, QStringList{wav});
    EXPECT_TRUE(joined.samples == Hear({chained}).samples + Hear({wav}).samples);
}

// Each file is heard at its own gain from its first sample on: the open one
// at its own, a quieter one after it, and then one without a gain of its
// own at 1, not at the gain before it.
TEST_F(GstJoins, EachFileIsHeardAtItsOwnGainFromItsFirstSample) {
    const QStringList files = {Make(MediaKind::Wav, "a.wav", 300),
                               Make(MediaKind::Flac, "b.flac", 200),
                               Make(MediaKind::Wav, "c.wav", 400)};
    const QList<double> gains = {0.5, 0.25};
    QList<float> expected;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray alone = Hear({files[i]}).samples;
        for (qsizetype at = 0; at + 4 <= alone.size(); at += 4)
            expected << qFromLittleEndian<float>(alone.constData() + at) * gains.value(i, 1.0);
    }
    const Heard joined = Hear(files, "audio/x-raw,format=F32LE", false, {}, 1000, gains);
    EXPECT_EQ(joined.started, files.mid(1));
    ASSERT_EQ(joined.samples.size() / 4, expected.size());
    qsizetype worst = 0;
    float worstError = 0;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const float error =
            std::abs(qFromLittleEndian<float>(joined.samples.constData() + 4 * i) - expected[i]);
        if (error > worstError) worstError = error, worst = i;
    }
    // Within a step of 16-bit sound, which the gain may round to.
    EXPECT_LT(worstError, 1e-4) << "at sample " << worst << " of " << expected.size();
}

// What was queued can change as the sound goes on. Taken back after the
// decoder had it, the next file is not heard: the device stops at the end as
// if nothing had been queued. A seek after the decoder had it plays the file
// on from there, and then the next one, the end heard once.
TEST_F(GstJoins, TakenBackOrSeekedAfterTheDecoderHadTheNextFile) {
    const QString a = Make(MediaKind::Wav, "a.wav", 1000), b = Make(MediaKind::Wav, "b.wav", 300);
    const QByteArray aAlone = Hear({a}).samples, bAlone = Hear({b}).samples;
    const auto late = [](GstMediaDevice& device) { return device.Position() >= 700; };
    const Heard takenBack = Hear({a, b}, "audio/x-raw,format=F32LE", true, [&](auto& device) {
        if (late(device)) device.QueueNext({});
    });
    EXPECT_EQ(takenBack.started, QStringList());
    EXPECT_TRUE(takenBack.samples == aAlone);
    bool seeked = false;
    const Heard again = Hear({a, b}, "audio/x-raw,format=F32LE", true, [&](auto& device) {
        if (seeked || !late(device)) return;
        seeked = device.SeekTo(500) == 0 && device.Play() == 0;
    });
    EXPECT_TRUE(seeked);
    EXPECT_EQ(again.started, QStringList{b});
    EXPECT_TRUE(again.samples.endsWith(aAlone.mid(aAlone.size() / 2) + bAlone));
    EXPECT_GT(again.samples.size(), aAlone.size() + bAlone.size());
}

// The player in "Loop-All" with the monitor ticking: a line removed after
// its file went to the decoder is never played, the entry the rule picks now
// follows; the entry joined on without a gap becomes the current one within
// a tick, caption, selection and panel 1 following, nothing reopened.
TEST_F(GstJoins, ThePlayerFollowsTheJoinAndNeverPlaysALineRemovedMeanwhile) {
    const QString a = Make(MediaKind::Wav, "a.wav", 900), b = Make(MediaKind::Wav, "b.wav", 300),
                  c = Make(MediaKind::Flac, "c.flac", 400);
    const QByteArray aAndC = Hear({a}).samples + Hear({c}).samples;
    GstDeviceOptions recorded = kNullAudio;
    recorded.audioSink =
        "audioconvert ! audio/x-raw,format=F32LE ! filesink sync=true append=true location=" +
        dir.file("player.raw");
    qvtest::FakeProgram p{GstDeviceFactory(recorded)};
    for (const QString& path : {a, b, c}) p.state->objPlayList->AddToPlayList(path);
    p.player().LoopMode(Looping::All);
    p.player().OpenPlay(0);
    p.form().Timer1->start();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Ask({"status PlayData position"}, &p.mci).toInt() > 500; }));
    p.state->objPlayList->SetListIndex(1);
    lblRemove_Click(*p.state);
    QStringList heard{a};
    p.commands.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        if (heard.last() != p.player().CurrentPath()) heard << p.player().CurrentPath();
        return heard.size() == 3;
    }));
    EXPECT_EQ(heard, (QStringList{a, c, a}));
    // c is opened when b had gone to the decoder (and was dropped), joined
    // on when not; a is joined on.
    EXPECT_LE(p.commands.filter("open ").size(), 1);
    EXPECT_EQ(p.form().windowTitle() + "|" + p.form().Panel(1)->text().left(2),
              "Quorvane - " + a + "|> ");
    EXPECT_EQ(p.player().PlayingID() + p.player().SelectedLine(), 0);
    p.player().StopPlay();
    p.mci.SendString("close PlayData", nullptr, 0);
    EXPECT_TRUE(qvtest::ReadAll(dir.file("player.raw")).startsWith(aAndC));
}

// Files the device refuses fail with their number, quietly; so does an open
// that does not preroll in time, and MIDI without a soundfont, with a text
// that says why. The desktop's output (none on a build machine: the
// automatic choice falls back to a null sink) opens quietly too.
TEST_F(GstDevice, BadFilesSlowOpensAndMidiWithoutASoundfontFailQuietly) {
    const QString midi = Make(MediaKind::Midi, "a.mid"), wav = Make(MediaKind::Wav, "a.wav", 300);
    const std::pair<QString, int> files[] = {
        {dir.file("missing.mp3"), kFileNotFound},
        {dir.write("zero.wav", ""), kInvalidFile},
        {dir.write("folder.wav/x", "").chopped(2), kInvalidFile},
        {dir.write("text.mp3", QByteArray("Not music at all.\n").repeated(40)), kInvalidFile},
        {dir.write("cut.mp3", qvtest::ReadAll(Make(MediaKind::Mp3Xing, "a.mp3")).left(100)),
         kInvalidFile}};
    // No soundfont in the folders searched; an open bound of 1 ms.
    GstMediaDevice noFont({true, 4000, QStringList{dir.path()}, {}}), slow({true, 1, {}, {}}),
        desktop;
    testing::internal::CaptureStderr();
    // Refused opens leave no file open: the first round opens some for good.
    std::vector<qsizetype> open;
    for (int round = 0; round < 3; ++round) {
        for (const auto& [file, code] : files)
            EXPECT_EQ(Ask({"open \"" + file + "\" type MPEGVideo alias a", "status a mode"}),
                      QString("%1|%2").arg(code).arg(kInvalidDeviceName))
                << file.toStdString();
        open.push_back(QDir("/proc/self/fd").count());
    }
    EXPECT_EQ(open[1], open[2]);
    EXPECT_TRUE(noFont.Open(midi) == kSeqNoMidiPresent && desktop.Open(wav) == 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(MciGetErrorString(kSeqNoMidiPresent).contains("soundfont") &&
                noFont.Open(wav) == 0);
    EXPECT_EQ(slow.Open(midi), kDeviceNotReady);
    EXPECT_TRUE(slow.Mode() == MediaMode::NotReady && slow.Play() == kDeviceNotReady);
}

// The volume is heard, from the first moment of the file on: at 500 an eighth of the
// amplitude (the scale is cubic), at 0 nothing.
TEST_F(GstDevice, TheVolumeIsHeardFromTheFirstMoment) {
    const QString wav = Make(MediaKind::Wav, "a.wav", 600);
    QList<int> peaks;
    for (int volume : {1000, 500, 0}) {
        const QString out = dir.file(QString("out%1.raw").arg(volume));
        GstDeviceOptions options = kNullAudio;
        options.audioSink =
            "audioconvert ! audio/x-raw,format=S16LE ! filesink location=\"" + out + "\"";
        MciInterpreter recorder(GstDeviceFactory(options));
        ASSERT_EQ(Ask({"open \"" + wav + "\" type WaveAudio alias a",
                       QString("setaudio a volume to %1").arg(volume), "play a"},
                      &recorder),
                  "||");
        ASSERT_GE(MsToStop(&recorder), 0);
        Ask({"close a"}, &recorder);
        // The loudest 16-bit sample of the raw little-endian PCM.
        const QByteArray pcm = qvtest::ReadAll(out);
        int peak = 0;
        for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(pcm.constData() + i))));
        peaks << peak;
    }
    EXPECT_GT(peaks[0], 2000);
    EXPECT_NEAR(peaks[1], peaks[0] / 8.0, peaks[0] / 100.0);
    EXPECT_EQ(peaks[2], 0);
}

// A tagged FLAC against its untagged twin, recorded from the device through the player: the
// track gain by default, then the album gain and none as chosen on the volume wedge's popup
// (the chosen mode kept in Setting.ini); an untagged file after a tagged one plays as recorded.
TEST_F(GstDevice, TheReplayGainChosenOnTheVolumeWedgeIsHeard) {
    const QString out = dir.file("out.raw");
    GstDeviceOptions options = kNullAudio;
    options.audioSink =
        "audioconvert ! audio/x-raw,format=S16LE ! filesink location=\"" + out + "\"";
    qvtest::FakeProgram p{GstDeviceFactory(options)};
    for (const QString& path : TaggedAndPlain()) p.state->objPlayList->AddToPlayList(path);
    // The level of entry i as played to its end.
    const auto level = [&](int i) {
        p.player().OpenPlay(i);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return Ask({"status PlayData mode"}, &p.mci) == "stopped"; }, 4000));
        return LevelDb(qvtest::ReadAll(out));
    };
    const double track = level(0), plain = level(1);
    EXPECT_NEAR(track - plain, -12, 0.5);
    EXPECT_LT(plain, -1);  // ffmpeg's sine is well below full scale
    for (const auto& [item, db] : {std::pair{"mnReplayGainAlbum", -6}, {"mnReplayGainOff", 0}}) {
        p.dialogs.menuChoices = {item};
        QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5),
                                p.form().sldVolume->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(p.form().sldVolume, &right);
        EXPECT_EQ(p.dialogs.poppedMenus.value(p.dialogs.poppedMenus.size() - 1), "mnReplayGain");
        EXPECT_NEAR(level(0) - plain, db, 0.5) << item;
    }
    // The popup opened for "Off" showed the album gain checked.
    EXPECT_TRUE(p.state->HideMenu().mnReplayGainAlbum->isChecked() &&
                !p.state->HideMenu().mnReplayGainTrack->isChecked());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return p.state->ini.ReadIni("Quorvane", "ReplayGain") == "0"; }));
}

// In "Loop-All" the player joins the untagged file on after the tagged one,
// and the tagged one after it again: each is heard at its own level from
// the join on, not at the gain of the one before.
TEST_F(GstJoins, EachEntryJoinedOnIsHeardAtItsOwnGain) {
    const QString out = dir.file("joined.raw");
    GstDeviceOptions recorded = kNullAudio;
    recorded.audioSink =
        "audioconvert ! audio/x-raw,format=S16LE ! filesink sync=true append=true location=\"" + out + "\"";
    qvtest::FakeProgram p{GstDeviceFactory(recorded)};
    const QStringList files = TaggedAndPlain();
    const QByteArray plainAlone = Hear({files[1]}, "audio/x-raw,format=S16LE").samples;
    const qsizetype part = plainAlone.size();
    const double plain = LevelDb(plainAlone);
    for (const QString& path : files) p.state->objPlayList->AddToPlayList(path);
    p.player().LoopMode(Looping::All);
    p.player().OpenPlay(0);
    p.form().Timer1->start();
    QList<int32_t> seen{0};
    ASSERT_TRUE(QTest::qWaitFor([&] {
        if (seen.last() != p.player().PlayingID()) seen << p.player().PlayingID();
        return seen.size() == 3;
    }));
    EXPECT_EQ(seen, (QList<int32_t>{0, 1, 0}));
    EXPECT_EQ(p.commands.filter("open ").size(), 1) << "joined on, not opened anew";
    QTest::qWait(200);
    p.player().StopPlay();
    p.mci.SendString("close PlayData", nullptr, 0);
    const QByteArray pcm = qvtest::ReadAll(out);
    ASSERT_GT(pcm.size(), 2 * part + part / 4);
    // Each part whole at its level: a gain set a moment late would show.
    EXPECT_NEAR(LevelDb(pcm, 0, part) - plain, -12, 0.05);
    EXPECT_NEAR(LevelDb(pcm, part, 2 * part) - plain, 0, 0.05);
    EXPECT_NEAR(LevelDb(pcm, 2 * part, 2 * part + part / 4) - plain, -12, 0.05);
}

// An output that goes away while a file plays (a sink whose writes fail, as one whose sound
// server ended): the file is shown as failed, not as a track that ended ("Loop-Off" would rewind
// it and say "stopped"); the device answers "lost" and plays no more until the file is opened
// anew. With no output to be found (every one the desktop could offer is refused here, for the rest
// of this process: the other tests choose the null output, which is no missing one) a file
// still plays, in real time, and panel 4 says that nothing is heard.
TEST_F(GstDevice, AnOutputThatGoesAwayFailsTheFileAndNoneAtAllIsSaidInPanel4) {
    GstDeviceOptions options = kNullAudio;
    options.audioSink = "audioconvert ! wavenc ! filesink sync=true location=/dev/full";
    qvtest::FakeProgram p{GstDeviceFactory(options)};
    const QString a = Make(MediaKind::Wav, "a.wav", 3000);
    p.state->objPlayList->AddToPlayList(a);
    p.player().OpenPlay(0);
    p.form().Timer1->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.form().Panel(4)->text() == "failed"; }));
    EXPECT_EQ(p.form().windowTitle(), "Quorvane - " + a);
    const QString open = "open \"" + a + "\" type WaveAudio alias PlayData";
    EXPECT_EQ(Ask({"status PlayData output", "status PlayData mode", "play PlayData",
                   "close PlayData", open, "status PlayData output"},
                  &p.mci),
              "lost|stopped|262|||present");
    qputenv("PULSE_SERVER", "unix:/nonexistent");
    qputenv("ALSA_CONFIG_PATH", "/dev/null");
    qputenv("JACK_NO_START_SERVER", "1");
    qputenv("ALSOFT_DRIVERS", "none");
    qvtest::FakeProgram q{GstDeviceFactory()};
    q.state->objPlayList->AddToPlayList(a);
    q.player().OpenPlay(0);
    q.Tick();
    EXPECT_EQ(q.form().Panel(4)->text() + "|" + Ask({"status PlayData output"}, &q.mci),
              "playing (no sound output)|none");
}

// The player through the real device and the real monitor timer: a seek while playing plays
// on from there, while paused stays paused there, clamped at both ends; moved to the end,
// "Loop-All" plays three kinds through, past a refused file, and starts again, the volume
// going to every file opened and Setting.ini keeping it; then "Loop-One" replays and
// "Loop-Off" rewinds and stays, the time panel following the position.
TEST_F(GstDevice, ThePlayerSeeksKeepsTheVolumeAndPlaysRealFilesThroughByTheLoopRules) {
    qvtest::FakeProgram p{GstDeviceFactory(kNullAudio)};
    const QString a = Make(MediaKind::Wav, "a.wav", 1500),
                  b = Make(MediaKind::Mp3Xing, "b.mp3", 600),
                  c = Make(MediaKind::Midi, "c.mid", 600);
    for (const QString& path : {a, b, dir.write("cut.mp3", qvtest::ReadAll(b).left(300)), c})
        p.state->objPlayList->AddToPlayList(path);
    const auto status = [&](QString what) { return Ask({"status PlayData " + what}, &p.mci); };
    EXPECT_FALSE(p.player().SeekTo(100));  // nothing open
    p.player().SetVolume(1500);
    EXPECT_EQ(p.player().Volume(), 1000);
    p.player().SetVolume(250);
    p.player().OpenPlay(0);
    EXPECT_NEAR(p.player().GetLength(), 1500, 50);
    ASSERT_TRUE(p.player().SeekTo(1000));
    EXPECT_EQ(status("mode"), "playing");
    EXPECT_NEAR(status("position").toInt(), 1000, 150);
    p.player().Pause();
    ASSERT_TRUE(p.player().SeekTo(-50));
    QThread::msleep(100);
    EXPECT_EQ(status("mode") + " " + status("position"), "paused 0");
    p.player().PlayResume();
    QThread::msleep(200);
    EXPECT_NEAR(status("position").toInt(), 200, 120);
    p.player().LoopMode(Looping::All);
    p.form().Timer1->start();
    ASSERT_TRUE(p.player().SeekTo(99999));
    for (const QString& path : {b, c, a}) {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return p.form().windowTitle() == "Quorvane - " + path; }));
        EXPECT_EQ(p.form().Panel(4)->text() + " " + status("volume"), "playing 250");
    }
    EXPECT_EQ(p.commands.filter("open ").size(), 5);
    // "Loop-One" joins the file on to itself: it starts again with no
    // command at all, nothing stopped or reopened.
    p.player().LoopMode(Looping::One);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.form().Panel(5)->text() == "00:01/00:02"; }));
    p.commands.clear();
    const uint32_t jumps = p.player().Jumps();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.player().Jumps() > jumps; }));
    EXPECT_EQ(p.commands.join('|') + p.form().Panel(4)->text(), "playing");
    p.player().LoopMode(Looping::Off);
    p.commands.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.player().PlayState() == PlayerState::Stopped; }));
    qvtest::RunEvents(300);
    EXPECT_EQ(p.commands, (QStringList{"stop PlayData", "seek PlayData to start"}));
    EXPECT_EQ(p.form().Panel(4)->text() + " " + p.form().Panel(5)->text(), "stopped 00:00/00:02");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return p.state->ini.ReadIni("Quorvane", "Volume") == "250"; }, 3000));
}

}  // namespace
}  // namespace qv
