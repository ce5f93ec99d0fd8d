// fuzz_make_seeds FOLDER: writes the seed corpus of every fuzz target into
// FOLDER/<target>/: tags from the tag builder and the public tag files, INI,
// playlist and library files in both encodings, command strings.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "fuzz_media.h"
#include "id3_builder.h"
#include "platform/textcodec.h"

using namespace qvtest::id3;

namespace {

QString root;
int written = 0;

void Seed(const char* target, const QString& name, const QByteArray& bytes) {
    const QString folder = root + QString::fromUtf8(target) + u'/';
    QDir().mkpath(folder);
    if (!qvfuzz::WriteFile(folder + name, bytes))
        qvfuzz::Fail("cannot write a seed", folder + name);
    ++written;
}

// Lines of a program file as the program writes them: each through the line
// codec, CR LF after each.
QByteArray ProgramFile(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += qv::EncodeLine(l) + "\r\n";
    return out;
}

// The same lines in UTF-8 only, with LF ends (files edited by hand on Linux).
QByteArray Utf8File(const QStringList& lines) {
    return lines.join(u'\n').toUtf8() + '\n';
}

QByteArray Cp932(const QString& s) {
    QByteArray out;
    return qv::EncodeCp932(s, &out) ? out : s.toUtf8();
}

void TagSeeds() {
    const QString title = QStringLiteral("朝の光"), artist = QStringLiteral("ランタンズ");
    const QByteArray audio = Audio(2 * 417);
    int n = 0;
    auto tag = [&](const QByteArray& bytes) {
        Seed("id3", QStringLiteral("made-%1").arg(n++, 3, 10, QChar('0')), bytes);
    };
    for (int encoding = 0; encoding < 4; ++encoding) {
        auto text = [&](const QString& s) {
            switch (encoding) {
                case 1:
                    return Utf16(s, true);
                case 2:
                    return Utf16(s, false, false);
                case 3:
                    return s.toUtf8();
                default:
                    return Cp932(s);
            }
        };
        const QByteArray comment =
            CommentBody(encoding, text("desc"), text(QStringLiteral("自宅")));
        tag(Tag(2, Frame22("TT2", TextBody(encoding, text(title))) +
                       Frame22("TP1", TextBody(encoding, text(artist))) + Frame22("COM", comment)) +
            audio);
        const QByteArray frames23 = Frame23("TIT2", TextBody(encoding, text(title))) +
                                    Frame23("TPE1", TextBody(encoding, text(artist))) +
                                    Frame23("TALB", TextBody(encoding, text("Field Notes"))) +
                                    Frame23("TYER", TextBody(0, "2001")) +
                                    Frame23("TRCK", TextBody(0, "3/12")) + Frame23("COMM", comment);
        tag(Tag(3, frames23, 0, 64) + audio + V1("v1 title", "v1 artist"));
        tag(Tag(3, Unsynchronise(frames23), 0x80) + audio);
        tag(Tag(4, Frame24("TIT2", TextBody(encoding, text(title))) +
                       Frame24("TPE1", TextBody(encoding, text(artist)), 0x0001) +
                       Frame24("COMM", comment)) +
            audio);
    }
    // Extended headers, a CRC, a frame larger than the tag, and v1 tags alone.
    tag(Tag(3,
            BigEndian(10, 4) + BigEndian(0x8000, 2) + BigEndian(0, 4) + BigEndian(0x1234, 4) +
                Frame23("TIT2", TextBody(0, "crc")),
            0x40));
    tag(Tag(4, Synchsafe(6) + QByteArray("\x01\x00", 2) + Frame24("TIT2", TextBody(3, "ext")),
            0x40));
    tag(Header(3, 0, 40) + Frame23("TIT2", TextBody(0, "cut")).left(12));
    tag(audio + V1(Cp932(title), "artist", "album", "comment", 7));
    tag(V1("only v1"));
    // The public tag files as they are.
    const QDir folder(QStringLiteral(QV_TESTDATA "/id3"));
    for (const QString& name : folder.entryList({"*.mp3", "*.id3"}, QDir::Files)) {
        QFile f(folder.filePath(name));
        if (f.open(QIODevice::ReadOnly)) Seed("id3", name, f.readAll());
    }
}

void ProfileSeeds() {
    // Three lines (section, key, value), then the file.
    auto ini = [](const QString& name, const QString& s, const QString& k, const QString& v,
                  const QByteArray& file) {
        Seed("profile", name, (s + u'\n' + k + u'\n' + v + u'\n').toUtf8() + file);
    };
    const QByteArray setting = ProgramFile(
        {"[Quorvane]", "Left=1200", "Top=800", "Width=9600", "LoopMode=1", "", "[File]",
         "LastOpenedPath=" + qvfuzz::MediaFolder() + "日本語",
         "LastPlayList=" + qvfuzz::MediaFolder() + "お気に入り.lst", "; a comment", "[Empty]"});
    ini("replace", "Quorvane", "LoopMode", "2", setting);
    ini("insert", "file", "lastsearchedpath", qvfuzz::MediaFolder() + "Pop", setting);
    ini("append", "New Section", "Key", "  blanks kept  ", setting);
    ini("empty-section", "Empty", "k", "\"quoted\"", setting);
    ini("no-file", "Quorvane", "Width", "12000", QByteArray());
    ini("utf8", "ファイル", "パス", "〜波ダッシュ", Utf8File({"[ファイル]", "パス=古い値"}));
    ini("garbage", "a", "b", "c",
        QByteArray("[a\r=x\r\n[a]\n b = \"v\" \r\n\xFF\xFE=\x81\r\n", 26));
}

void ListSeeds() {
    const QStringList files = qvfuzz::MediaFiles();
    Seed("playlist", "program", ProgramFile(files));
    Seed("playlist", "utf8-comments", Utf8File(QStringList{"// a comment", ""} + files));
    Seed("playlist", "missing",
         ProgramFile({files[0], qvfuzz::MediaFolder() + "gone.mp3", files[0], "relative.wav", "/",
                      files[2]}));

    const QString folder = qvfuzz::MediaFolder();
    const QString rootPath = folder.left(folder.size() - 1);
    Seed("media_db", "program", ProgramFile(QStringList{"[" + rootPath + "]"} + files));
    Seed("media_db", "two-roots",
         ProgramFile({"[" + folder + "Pop]", folder + "Pop/d.mp3", folder + "Pop/e.wma",
                      "[" + rootPath + "]", files[0], files[5], "[/]", files[1]}));
    Seed("media_db", "damaged",
         Utf8File({"[", "[]", folder + "../" + "Pop/d.mp3", "relative.mp3", "[" + folder + "日本語",
                   files[5] + "/", "//x.mp3"}));
}

void CodecSeeds() {
    Seed("textcodec", "cp932", Cp932(QStringLiteral("日本語のパス/曲名 ～ ① ㈱ ｱｲｳ \\ ~")));
    Seed("textcodec", "utf8", QStringLiteral("〜 波ダッシュ − 😀 é\r\nnext\rline\n").toUtf8());
    Seed("textcodec", "mixed",
         Cp932(QStringLiteral("あ")) + "\r\n" + QByteArray("\xE3\x81\x82") +
             "\n\x80\x81\xA0\xFD\xFE\xFF\n");
    QByteArray units;
    for (QChar c : QStringLiteral("ＡＢ漢字\U0001F600"))
        units.append(static_cast<char>(c.unicode() & 0xFF))
            .append(static_cast<char>(c.unicode() >> 8));
    Seed("textcodec", "utf16", units);
}

void MciSeeds() {
    const char* scripts[] = {
        "status PlayData mode\nstatus PlayData length\nstatus PlayData position",
        "play PlayData\npause PlayData\nresume PlayData\nstop PlayData",
        "seek PlayData to 500\nseek PlayData to end\nseek PlayData to start\nseek PlayData to -1",
        "set PlayData time format milliseconds\nstatus PlayData time format\nstatus PlayData ready",
        "play Gone\nstatus Gone mode\nclose Gone\nseek Gone to start",
        "close PlayData\nstatus PlayData mode\nclose all",
        "open \"" QV_FUZZ_MEDIA_DIR "b.wav\" type WaveAudio alias Other\nplay other\nclose other",
        "open \"" QV_FUZZ_MEDIA_DIR "c.mid\" type Sequencer alias m\nopen x type CDAudio",
        "open \"unclosed\nplay PlayData wait\nrecord PlayData\nstatus all mode\n\"\"",
        "open  type MPEGVideo alias PlayData\nopen a type b alias c alias d",
    };
    int n = 0;
    for (const char* s : scripts) Seed("mci", QStringLiteral("script-%1").arg(n++), s);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: fuzz_make_seeds FOLDER\n", stderr);
        return 2;
    }
    root = QFile::decodeName(argv[1]) + u'/';
    TagSeeds();
    ProfileSeeds();
    ListSeeds();
    CodecSeeds();
    MciSeeds();
    std::printf("%d seeds in %s\n", written, argv[1]);
    return 0;
}
