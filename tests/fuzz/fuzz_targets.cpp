// The libFuzzer targets over every reader of bytes from outside, one program
// each: fuzz_<name> runs the entry <name> of kTargets (QV_FUZZ_TARGET). Each
// states what must hold for any input and stops with a report when it does not;
// libFuzzer keeps the input that did it. With QV_FUZZ_SEEDS set, a target first
// writes its seed corpus into that folder (tests/fuzz/run sets it).
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/tree_view.h"
#include "library/media_db.h"
#include "library_support.h"
#include "platform/mci/gst_media_device.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/profile.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "playlist/cls_playlist.h"
#include "playlist/playlist_file.h"
#include "support/media_files.h"
#include "tags/id3.h"
#include "tags/replay_gain.h"
#include "tags/tags.h"

namespace {

[[noreturn]] void Fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "fuzz property failed: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        Fail("cannot write", path);
}

// Lines as the program writes them (each through the line codec, CR LF after
// it), or in UTF-8 with LF ends (files edited by hand on Linux).
QByteArray Lines(const QStringList& lines, bool utf8 = false) {
    QByteArray out;
    for (const QString& l : lines) out += utf8 ? l.toUtf8() + '\n' : qv::EncodeLine(l) + "\r\n";
    return out;
}

// The media folder the seeds name, so that playlist and library inputs reach
// the code past "file exists": a tagged MP3, a WAV, a MIDI file and a few more,
// in folders with a blank and a Japanese name.
QStringList MediaFiles() {
    const QList<std::pair<const char*, QByteArray>> files = {
        {"a.mp3", qvtest::Id3Bytes(QStringLiteral("朝の光"), QStringLiteral("ランタンズ"))},
        {"b.wav", qvtest::WavBytes(100)},
        {"日本語/c.mid", qvtest::MidiBytes()},
        {"with blank/d.wma", "not really audio"},
    };
    QStringList paths;
    for (const auto& [name, bytes] : files) {
        paths.append(QStringLiteral(QV_FUZZ_MEDIA_DIR) + QString::fromUtf8(name));
        QDir().mkpath(QFileInfo(paths.last()).path());
        if (!QFile::exists(paths.last())) WriteFile(paths.last(), bytes);
    }
    return paths;
}

// ID3 reader: the input is a whole media file. Every reader entry point runs
// over it; the version and the title fallback must hold.
void Id3(const QByteArray& bytes) {
    static QTemporaryDir dir;
    const QString path = dir.path() + "/input.mp3";
    WriteFile(path, bytes);
    const bool v2 = bytes.startsWith("ID3");
    const bool v1 = !v2 && bytes.size() >= 128 && bytes.right(128).startsWith("TAG");
    const QString expected = v2 ? "2.x" : v1 ? "1.x" : "None";
    if (qv::GetID3Version(path) != expected) Fail("GetID3Version is not", expected);
    qv::ReadID3v1(path);
    qv::ReadID3v2(path);
    if (qv::ReadID3Tag(path).Title.isEmpty()) Fail("ReadID3Tag gave no title");
}

// The container tags (TagLib behind ReadTags): the first byte of the input
// picks the extension, the rest is the file. Every read gives a title, the
// versioned read the same strings, the gains are none or in their ranges, and
// bytes whose start is not the format's never reach TagLib.
const char* const kTagExtensions[] = {"flac", "ogg", "oga", "opus", "m4a", "wma", "asf"};

void Tags(const QByteArray& bytes) {
    static QTemporaryDir dir;
    if (bytes.isEmpty()) return;
    const QString path =
        dir.path() + "/input." + kTagExtensions[uint8_t(bytes[0]) % std::size(kTagExtensions)];
    WriteFile(path, bytes.mid(1));
    const qv::TagInfo tag = qv::ReadTags(path);
    if (tag.Title.isEmpty()) Fail("ReadTags gave no title");
    const qv::VersionedTag read = qv::ReadVersionedTags(path);
    if (read.Tag.Title != tag.Title || read.Tag.Artist != tag.Artist ||
        read.Tag.Album != tag.Album || read.Tag.Comment != tag.Comment)
        Fail("ReadVersionedTags and ReadTags differ", path);
    const QByteArray file = bytes.mid(1), box = file.mid(4, 4);
    const bool known = file.startsWith("fLaC") || file.startsWith("ID3") ||
                       file.startsWith("OggS") || file.startsWith("\x30\x26\xB2\x75") ||
                       QByteArrayList{"ftyp", "moov", "mdat", "free", "skip", "wide"}.contains(box);
    if (read.Version != "None" && !known) Fail("a tag read from bytes of no known format", path);
    const qv::ReplayGain gain = qv::ReadReplayGain(path);
    for (const std::optional<double>& db : {gain.trackGain, gain.albumGain})
        if (db && !(std::abs(*db) <= 60)) Fail("a gain out of range", path);
    for (const std::optional<double>& peak : {gain.trackPeak, gain.albumPeak})
        if (peak && !(*peak > 0 && std::isfinite(*peak))) Fail("a peak out of range", path);
}

// A tagged file of each container kind, made by ffmpeg, behind the byte that
// picks its extension.
QList<QByteArray> TagSeeds() {
    using qvtest::MediaKind;
    const MediaKind kinds[] = {MediaKind::Flac, MediaKind::Vorbis, MediaKind::OggFlac,
                               MediaKind::Opus, MediaKind::M4a,    MediaKind::Wma};
    QTemporaryDir dir;
    QList<QByteArray> seeds;
    for (size_t i = 0; i < std::size(kinds); ++i) {
        QString error;
        const QString file = qvtest::MakeMedia(
            kinds[i], dir.path(), "seed." + qvtest::KindExtension(kinds[i]), 100, &error,
            {QStringLiteral("title=朝の光"), "artist=Artist", "album=Album", "comment=Note",
             "REPLAYGAIN_TRACK_GAIN=-7.5 dB", "REPLAYGAIN_TRACK_PEAK=0.9", "R128_ALBUM_GAIN=-512"});
        if (file.isEmpty()) Fail("cannot make a seed", error);
        seeds.append(char(i) + qvtest::ReadAll(file));
    }
    return seeds;
}

// INI reader and writer: the input is three lines (section, key, value) and
// then the file's bytes. The value is written; when the write takes it, it
// reads back exactly and the other lines of the file are kept.
void Profile(const QByteArray& bytes) {
    static QTemporaryDir dir;
    const QString path = dir.path() + "/Setting.ini";
    const QList<QByteArray> parts = bytes.split('\n');
    const auto part = [&parts](int i) { return QString::fromUtf8(parts.value(i)); };
    const QString section = part(0), key = part(1), value = part(2);
    const QByteArray file = parts.mid(3).join('\n');
    WriteFile(path, file);
    const bool written = qv::WriteProfileString(path, section, key, value);
    const QByteArray now = qvtest::ReadAll(path);
    // Only names and values the file could not give back are refused in a
    // writable folder, and a refused write changes nothing. A file with lines
    // that read both ways (code page 932 and UTF-8) may read them otherwise
    // once a new line tells how it was written: a value may be refused there.
    const QString all = section + key + value, k = key.trimmed();
    bool guessed = false;
    QString cp932, utf8;
    for (const QByteArray& line : qv::SplitRawLines(file))
        guessed = guessed || qv::ReadsBothWays(line, &cp932, &utf8);
    if (!written && (now != file || (!guessed && !all.contains(u'\r') && !all.contains(u'\n') &&
                                     !section.contains(u']') && !k.isEmpty() && !k.contains(u'=') &&
                                     !k.startsWith(u'[') && !k.startsWith(u';'))))
        Fail("a valid write was refused, or a refused one changed the file", section + "/" + key);
    if (written && qv::ReadProfileString(path, section, key) != value)
        Fail("the value does not read back", value);
    // Every line of the old file but at most one (the written value's) is still
    // there, and at most two (a section line and a key line) came in.
    const QList<QByteArray> before = qv::SplitRawLines(file), after = qv::SplitRawLines(now);
    int lost = 0;
    for (const QByteArray& line : before) lost += !after.contains(line);
    if (written && (lost > 1 || after.size() > before.size() + 2)) Fail("other lines changed");
}

// Three lines (section, key, value), then the file: lines in code page 932 and
// in UTF-8 (with and without the mark), CR LF, LF and CR ends, bytes that are
// no text. The line codec takes them as they are.
QList<QByteArray> ProfileSeeds() {
    const QByteArray setting = Lines({"[Quorvane]", "LoopMode=1", "", "[File]",
                                      "LastOpenedPath=" QV_FUZZ_MEDIA_DIR "日本語",
                                      "Name=日本語のパス/曲名 ～ ① ㈱ ｱｲｳ \\ ~",
                                      "Emoji=〜 波ダッシュ − 😀 é", "; a comment", "[Empty]"});
    return {"Quorvane\nLoopMode\n2\n" + setting, "New Section\nKey\n  blanks kept  \n" + setting,
            Lines({"ファイル", "パス", "〜波ダッシュ", "[ファイル]", "パス=古い値"}, true),
            QByteArray("a\nb\nc\n[a\r=x\r\n[a]\n b = \"v\" \rnext\r\n\xFF\xFE=\x81\xA0\xFD\r\n")};
}

// A valid line goes out in code page 932 exactly when code page 932 holds it,
// else in UTF-8 behind the mark; in a file of ours (which the mark, or a line
// only code page 932 reads, tells) it reads back as itself.
void CheckRoundTrip(const QString& line) {
    const QByteArray encoded = qv::EncodeLine(line);
    if (qv::DecodeLine(encoded, qv::LineEncoding::Cp932) != line)
        Fail("line changed by encode and decode", line);
    bool cp932 = false;
    const bool marked = encoded.startsWith("\xEF\xBB\xBF");
    if (!marked && (qv::DecodeCp932(encoded, &cp932) != line || !cp932))
        Fail("an unmarked line is not the line in code page 932", line);
    QByteArray held;
    if (marked == qv::EncodeCp932(line, &held))
        Fail("marked though code page 932 holds it, or unmarked though it does not", line);
}

// Line codec: any bytes decode to valid lines that survive encoding and
// decoding, also as a whole file. A file of encoded lines reads back exactly
// when it tells that it is ours; one that does not (no mark, every line valid
// UTF-8 as well) has its lines read one by one, and a line may then come back
// only as the UTF-8 reading of its code page 932 bytes. So do the bytes read as
// UTF-16 units.
void TextCodec(const QByteArray& bytes) {
    const QStringList lines = qv::SplitTextLines(bytes);
    if (lines.size() != qv::SplitRawLines(bytes).size()) Fail("decoded and raw line counts differ");
    QByteArray file;
    QList<QByteArray> encoded;
    bool tells = false;
    for (const QString& line : lines) {
        if (!line.isValidUtf16() || line.contains(u'\r') || line.contains(u'\n'))
            Fail("a decoded line is not valid text", line);
        CheckRoundTrip(line);
        encoded.append(qv::EncodeLine(line));
        tells =
            tells || encoded.last().startsWith("\xEF\xBB\xBF") || !qv::IsValidUtf8(encoded.last());
        file += encoded.last() + "\r\n";
    }
    const QStringList back = qv::SplitTextLines(file);
    if (back.size() != lines.size()) Fail("file of encoded lines has other lines");
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (back[i] != lines[i] && (tells || back[i] != QString::fromUtf8(encoded[i])))
            Fail("file of encoded lines reads back otherwise", lines[i]);
    const QString units(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    // A valid line holds no lone surrogate and no line end.
    if (units.isValidUtf16() && !units.contains(u'\r') && !units.contains(u'\n'))
        CheckRoundTrip(units);

    // The other decoders take anything, one character per byte at most; valid
    // code page 932 whose characters have one exact form encodes back alike.
    if (qv::DecodeWindows1252(bytes).size() != bytes.size())
        Fail("Windows-1252 is one character per byte");
    bool ok = false;
    const QString cp932 = qv::DecodeCp932(bytes, &ok);
    if (cp932.size() > bytes.size()) Fail("code page 932 gave more characters than bytes");
    QByteArray again;
    if (ok && qv::EncodeCp932(cp932, &again) && qv::DecodeCp932(again) != cp932)
        Fail("code page 932 round trip", cp932);

    // Decoded keeping a leading U+FEFF, which QString::fromUtf8 would drop.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    if (qv::IsValidUtf8(bytes) && QString(utf8.decode(bytes)).toUtf8() != bytes)
        Fail("IsValidUtf8 took bytes that are not UTF-8");
}

// The real device, counted, so that the target knows when an input has opened
// devices of its own that must go.
class CountedDevice final : public qv::MediaDevice {
  public:
    static inline int live = 0;
    explicit CountedDevice(std::unique_ptr<qv::MediaDevice> d) : d_(std::move(d)) { ++live; }
    ~CountedDevice() override { --live; }
    int Open(const QString& path) override { return d_->Open(path); }
    int Play() override { return d_->Play(); }
    int Pause() override { return d_->Pause(); }
    int Resume() override { return d_->Resume(); }
    int Stop() override { return d_->Stop(); }
    int SeekStart() override { return d_->SeekStart(); }
    int SeekEnd() override { return d_->SeekEnd(); }
    int SeekTo(qint64 ms) override { return d_->SeekTo(ms); }
    qint64 Length() override { return d_->Length(); }
    qint64 Position() override { return d_->Position(); }
    qv::MediaMode Mode() override { return d_->Mode(); }
    int SetVolume(int volume) override { return d_->SetVolume(volume); }
    int Volume() override { return d_->Volume(); }
    int SetTrackGain(double factor) override { return d_->SetTrackGain(factor); }
    qv::AudioOutput Output() override { return d_->Output(); }

  private:
    std::unique_ptr<qv::MediaDevice> d_;
};

qv::MciInterpreter* mci = nullptr;
QString openWav;

int Send(const QString& command, QString* reply = nullptr, int length = 256) {
    return mci->SendString(command, reply, length);
}

// Reopening the WAV has failed now and then (code 296 with nothing on the bus)
// on a loaded machine right after a MIDI device closed; it is reported and
// tried again, and only a file that will not open at all stops the run.
void OpenWav(const QString& alias) {
    int code = 0;
    for (int attempt = 0; attempt < 3 && (code = Send(openWav.arg(alias))) != 0; ++attempt)
        std::fprintf(stderr, "fuzz_mci: opening the media file failed with %d\n", code);
    if (code != 0) Fail("cannot open the media file", qv::MciGetErrorString(code));
}

// Media-control interpreter with real GStreamer devices on the null sink,
// "PlayData" open on a short WAV file.
void StartMci() {
    static QTemporaryDir dir;
    WriteFile(dir.path() + "/play data.wav", qvtest::WavBytes(1500));
    openWav = "open \"" + dir.path() + "/play data.wav\" type WaveAudio alias %1";
    mci = new qv::MciInterpreter(
        [real = qv::GstDeviceFactory({.nullAudio = true})](const QString& type) {
            return std::unique_ptr<qv::MediaDevice>(new CountedDevice(real(type)));
        });
    OpenWav("PlayData");
}

// Each input line is one command string: every answer is 0 or a known error
// number with a text, and a reply never outgrows the caller's buffer. Then the
// interpreter goes back to PlayData alone, stopped at the start.
void Mci(const QByteArray& bytes) {
    if (!mci) StartMci();
    // A handful of commands an input; more only makes inputs slow.
    for (const QString& command : QString::fromUtf8(bytes).split(u'\n').mid(0, 8)) {
        const int length = 1 + (command.size() * 7) % 40;  // buffers from 1 to 40 characters
        QString reply = QStringLiteral("stale");
        const int code = Send(command, &reply, length);
        if (reply.size() >= length) Fail("reply longer than the buffer", command);
        if (code != 0 && !reply.isEmpty()) Fail("a refused command left a reply", command);
        if (code != 0 && (code <= qv::mcierr::kBase || qv::MciGetErrorString(code).isEmpty()))
            Fail("an error without a number or text", command);
    }
    QString mode, position;
    if (CountedDevice::live != 1 || Send("status PlayData mode", &mode) != 0) {
        if (Send("close all") != 0 || CountedDevice::live != 0) Fail("close all left devices open");
        OpenWav("PlayData");
    } else {
        Send("status PlayData position", &position);
        if (mode != u"stopped" || position != u"0") Send("seek PlayData to start");
    }
}

QList<QByteArray> MciSeeds() {
    return {
        "status PlayData mode\nstatus PlayData length\nstatus PlayData position",
        "play PlayData\npause PlayData\nresume PlayData\nstop PlayData",
        "seek PlayData to 500\nseek PlayData to end\nseek PlayData to start\nseek PlayData to -1",
        "set PlayData time format milliseconds\nstatus PlayData time format\nstatus PlayData ready",
        "play Gone\nstatus Gone mode\nclose Gone\nseek Gone to start",
        "close PlayData\nstatus PlayData mode\nclose all",
        "open \"" QV_FUZZ_MEDIA_DIR "b.wav\" type WaveAudio alias Other\nplay other\nclose other",
        "open \"" QV_FUZZ_MEDIA_DIR "日本語/c.mid\" type Sequencer alias m\nopen x type CDAudio",
        "open \"unclosed\nplay PlayData wait\nrecord PlayData\nstatus all mode\n\"\"\n"
        "open  type MPEGVideo alias PlayData\nopen a type b alias c alias d",
    };
}

// A program of its own for the loaders: main window, playlist box and the fixed
// nodes of the library tree, on the offscreen platform.
qvtest::TestProgram& Program() {
    static qvtest::TestProgram* program = [] {
        auto* p = new qvtest::TestProgram;  // lives as long as the process
        p->MakeObjects();
        qvtest::AddFixedNodes(*p->state->mainForm->TV1);
        return p;
    }();
    return *program;
}

// Playlist-file loader: the input is a ".lst" file. The entries added name
// existing files, and both stores of the playlist agree.
void Playlist(const QByteArray& bytes) {
    qv::ProgramState& state = *Program().state;
    const QString path = Program().folder() + "input.lst";
    WriteFile(path, bytes);
    const int32_t added = qv::LoadPlayListFile(state, path);
    if (!state.mainForm->TV1->Node(path)) Fail("no node for the playlist file");
    const int records = state.PlayListData.IsEmpty() ? 0 : state.PlayListData.Count();
    if (added != records || state.objPlayList->ListCount() != records)
        Fail("entries, records and lines differ");
    for (int i = 0; i < records; ++i) {
        const QString& f = state.PlayListData[i].FilePath;
        if (!QFileInfo(f).isFile()) Fail("an entry names no file", f);
        if (state.objPlayList->GetList(i).isEmpty()) Fail("an entry has no line text", f);
    }
    QCoreApplication::processEvents();
    state.objPlayList->Clear();
    state.PlayListData.Reset();
}

int CountBelow(const qv::TreeNode* node) {
    int n = node->childCount();
    for (int i = 0; i < node->childCount(); ++i) {
        if (qv::TreeView::Key(node->child(i)).isEmpty()) Fail("a node without a key");
        n += CountBelow(node->child(i));
    }
    return n;
}

// Library-file loader: the input is MediaDB.db, loaded into a tree of its own.
// Every node it makes hangs under the scanned-media node with a key of its own.
void MediaDb(const QByteArray& bytes) {
    qv::ProgramState& state = *Program().state;
    WriteFile(qv::MediaDBPath(state), bytes);
    state.strSearchRoot.clear();
    state.strFoundMedia = QStringList{QString()};
    qv::TreeView tree;
    qvtest::AddFixedNodes(tree);
    qv::LoadMediaDB(state, tree);
    // Three fixed nodes, and everything the file made below the third.
    if (tree.NodeCount() != 3 + CountBelow(tree.Node("SearchedMedia")))
        Fail("nodes outside the scanned-media node");
    if (state.strFoundMedia != QStringList{QString()}) Fail("loading recorded paths as found");
}

// Lists of paths: as the program writes them, by hand with comments, broken,
// and library files with headers of the scanned folders.
QList<QByteArray> PathSeeds() {
    const QStringList m = MediaFiles();
    const QString folder = QStringLiteral(QV_FUZZ_MEDIA_DIR), top = folder.chopped(1);
    return {
        Lines(m), Lines(QStringList{"// a comment", ""} + m, true),
        Lines({m[0], folder + "gone.mp3", m[0], "relative.wav", "/", m[2]}),
        Lines({"[" + folder + "日本語]", m[2], "[" + top + "]", m[0], m[3], "[/]", m[1]}),
        Lines({"[", "[]", "relative.mp3", "[" + folder + "日本語", m[2] + "/", "//x.mp3"}, true)};
}

struct Target {
    const char* name;
    void (*run)(const QByteArray& input);
    QList<QByteArray> (*seeds)();  // or the public tag files alone (tests/fuzz/run)
};

const Target kTargets[] = {
    {"id3", Id3, nullptr},
    {"tags", Tags, TagSeeds},
    {"profile", Profile, ProfileSeeds},
    {"textcodec", TextCodec, [] { return ProfileSeeds() + PathSeeds(); }},
    {"mci", Mci, MciSeeds},
    {"playlist", Playlist, PathSeeds},
    {"media_db", MediaDb, PathSeeds},
};
const Target* target = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed, like the program it serves: torn down at exit it would
    // empty Qt's font cache under the widgets still alive, and the engines
    // they hold would be reported as leaks.
    static QApplication* app = new QApplication(*argc, *argv);
    Q_UNUSED(app);
    for (const Target& t : kTargets)
        if (QByteArrayView(t.name) == QV_FUZZ_TARGET) target = &t;
    MediaFiles();
    const QString folder = qEnvironmentVariable("QV_FUZZ_SEEDS");
    // The folder is made for every target: libFuzzer stops at a corpus folder that is missing.
    if (!folder.isEmpty() && QDir().mkpath(folder) && target->seeds)
        for (const QByteArray& seed : target->seeds())
            WriteFile(folder + QStringLiteral("/seed-%1").arg(qHash(seed)), seed);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    target->run(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
