// The ID3 tag reader over tag bytes written here for each layout and over the
// public test files, the tags of the other kinds (FLAC, Ogg, MP4, ASF) in files
// ffmpeg makes here, whole and damaged, and the JSON lines of quorvane-tags.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QProcess>
#include <random>

#include "id3_builder.h"
#include "support/media_maker.h"
#include "support/qt_print.h"
#include "support/tempdir.h"
#include "tags/id3.h"
#include "tags/id3_read.h"
#include "tags/tags.h"
#include "tags/track_number.h"

using namespace qv;
using namespace Qt::Literals::StringLiterals;  // "…"_ba keeps embedded NULs
using namespace qvtest::id3;

namespace {

// The four display strings as one line: "title|artist|album|comment".
QString Fields(const TagInfo& t) {
    return QStringList{t.Title, t.Artist, t.Album, t.Comment}.join(u'|');
}

// The version and the display strings of a file.
QString Read(const QString& path) {
    return GetID3Version(path) + u'|' + Fields(ReadID3Tag(path));
}

}  // namespace

// Each row: tag bytes written here, and the version and display strings read
// from them; "t.mp3" is the file's name, the title of last resort.
TEST(ID3, EveryLayoutReadsAsItsDisplayStringsAndFieldsBeyondThemUnreadableFilesAsNone) {
    qvtest::TempDir dir;
    const QByteArray t23 = Frame23("TIT2", TextBody(0, "Title"));
    const QByteArray al23 = Frame23("TALB", TextBody(0, "Album"));
    const QByteArray t24 = Frame24("TIT2", TextBody(0, "Title"));
    const QByteArray packed = BigEndian(100, 4) + "x\x9c junk";
    const QByteArray pad = QByteArray(30, '\0');
    const QByteArray longL(199, 'L');  // a 200-byte body: synchsafe 00 00 01 48
    // 2.4 sizes count the bytes as stored, after unsynchronisation.
    const QByteArray whole = Unsynchronise(TextBody(1, Utf16("Whole", true)));
    const std::pair<QByteArray, QString> rows[] = {
        // ID3v1: a NUL ends a field, blanks are trimmed, code page 932 else Windows-1252.
        {Audio(500) + V1("Silence\0junk"_ba, "  piman   ", "\x89\xb9\x8a\x79\xb1", "Caf\xe9"),
         "1.x|Silence|piman|音楽ｱ|Café"},
        // Exactly the 128 bytes of an ID3v1 tag.
        {V1("Exact"), "1.x|Exact|||"},
        // A compressed frame ends the walk (we do not inflate).
        {Tag(3, t23 + Frame23("TPE1", packed, 0x0080) + al23), "2.x|Title|||"},
        // UTF-16 marks FF FE and FE FF, no mark, a second value after 00 00, a lone surrogate.
        {Tag(3, Frame23("TIT2", TextBody(1, Utf16(QString::fromUcs4(U"音𝄞"), true))) +
                    Frame23("TPE1", TextBody(1, Utf16("Big", false))) +
                    Frame23("TALB", TextBody(1, Utf16("No", false, false) + "\0\0\0B"_ba)) +
                    Frame23("COMM", CommentBody(1, {}, "\xD8\x00\x00\x41"_ba))),
         QString::fromUcs4(U"2.x|音𝄞|Big|No|\uFFFDA")},
        // UTF-8's first value, UTF-16 BE, an unknown encoding, code page 932; padding
        // ends the walk.
        {Tag(3, Frame23("TIT2", TextBody(3, "Ünï 日本\0second"_ba)) +
                    Frame23("TPE1", TextBody(2, Utf16("Artiste", false, false))) +
                    Frame23("TALB", TextBody(4, "unknown")) +
                    Frame23("COMM", CommentBody(0, "\x89\xb9\x8a\x79", "")) + pad +
                    Frame23("TPE1", TextBody(0, "Hidden"))),
         "2.x|Ünï 日本|Artiste||音楽"},
        // 2.4 frame flags: unsynchronised; group id, data length and a status bit;
        // group id; an encrypted TIT2 is passed over.
        {Tag(4, Frame24("TIT2", TextBody(0, longL)) +
                    Frame24("TPE1", Unsynchronise(TextBody(1, Utf16("ÿ歌", true))), 0x0002) +
                    Frame24("TALB", "\x05" + Synchsafe(5) + TextBody(0, "Rock"), 0x4041) +
                    Frame24("COMM", "\x07" + CommentBody(0, "D", "T"), 0x0040) +
                    Frame24("TIT2", "\x01\0\0\0\0"_ba + TextBody(0, "9"), 0x0005)) +
             Audio(400),
         "2.x|" + longL + "|ÿ歌|Rock|D T"},
        // 2.4 header unsynchronisation covers every body; padding ends the walk.
        {Tag(4,
             "TIT2" + Synchsafe(whole.size()) + "\0\0"_ba + whole + pad +
                 Frame24("TPE1", TextBody(0, "Hidden")),
             0x80),
         "2.x|Whole|||"},
        // 2.4 extended header with update and restrictions flags.
        {Tag(4, Synchsafe(9) + "\x01\x50\x00\x01\x00"_ba + t24, 0x40), "2.x|Title|||"},
        // A frame past the tag, inside the file, in 2.3 and 2.4.
        {Header(3, 0, t23.size() + 15) + t23 + Frame23("TPE1", TextBody(0, "Runs long")) + al23 +
             Audio(300),
         "2.x|Title|||"},
        {Header(4, 0, t24.size() + 15) + t24 + Frame24("TPE1", TextBody(0, "Runs long")) +
             Frame24("TALB", TextBody(0, "Album")) + Audio(300),
         "2.x|Title|||"},
        // An encrypted frame too short for its method byte.
        {Tag(3, t23 + Frame23("TPE1", {}, 0x0040) + al23), "2.x|Title|||"},
        // An unsynchronised frame size past the file.
        {Tag(3, t23 + "TPE1" + "\x7F\xFF\x00\xFF\x00\xFF\x00\0\0x"_ba, 0x80), "2.x|Title|||"},
        // The header cut short, a tag size of 0, an unknown major version.
        {"ID3\x03\0\0"_ba, "2.x|t.mp3|||"},
        {Header(3, 0, 0) + t23, "2.x|t.mp3|||"},
        {Tag(5, t23), "2.x|t.mp3|||"},
        // A 2.4 extended header past the tag, a 2.3 padding size beyond it.
        {Tag(4, Synchsafe(5000) + "\x01\0"_ba + t23, 0x40), "2.x|t.mp3|||"},
        {Tag(3, BigEndian(6, 4) + "\0\0"_ba + BigEndian(0xFFFFFFFF, 4) + t23 + al23, 0x40),
         "2.x|Title|||"},
    };
    for (const auto& [bytes, expected] : rows) EXPECT_EQ(Read(dir.write("t.mp3", bytes)), expected);
    // Files that cannot be read have no tag (a pipe: see the container tags); a NUL in a name
    // would open a shorter one.
    QDir().mkpath(dir.file("folder.mp3"));
    for (const QString& path : {dir.file("missing.mp3"), dir.file("folder.mp3"),
                                dir.write("nul", V1("x")) + QChar(u'\0') + "x"})
        EXPECT_EQ(Read(path), "None|" + path.mid(path.lastIndexOf('/') + 1) + "|||");

    // ID3v1: untrimmed, with year, genre and the 1.1 track, also behind an ID3v2 tag.
    const QString both =
        dir.write("both.mp3", Tag(3, {}) + Audio(300) + V1("T", " A ", "", "C", 7));
    const ID3v1Tag v1 = ReadID3v1(both);
    EXPECT_EQ(QString("%1|%2|%3|%4").arg(v1.Artist, v1.Year).arg(v1.Genre).arg(v1.Track),
              " A |2001|12|7");
    EXPECT_EQ(ReadID3v1(dir.write("v2only.mp3", Tag(3, {}) + Audio(300))).Title, "");

    const QByteArray year = Frame23("TYER", TextBody(0, "1999"));
    const QByteArray ext23 = BigEndian(10, 4) + "\x80\0"_ba + BigEndian(40, 4) + "\xDE\xAD\xBE\xEF";
    ID3v2Tag t = ReadID3v2(dir.write("t.mp3", Tag(3, ext23 + year, 0xC0, 40)));
    EXPECT_EQ(t.TagSize, uint32_t(ext23.size() + year.size() + 40));
    EXPECT_TRUE(t.Crc == 0xDEADBEEF && t.Year == 1999);
    // 2.4: size 12, one flag byte, the CRC flag, a CRC of 5 synchsafe bytes.
    const QByteArray ext24 = Synchsafe(12) + "\x01\x20\x05\x0F\x7F\x7F\x7F\x7F"_ba;
    t = ReadID3v2(dir.write("t.mp3", Tag(4, ext24 + Frame24("TIT2", TextBody(0, "Title")), 0x40)));
    EXPECT_TRUE(t.Title == "Title" && t.CrcPresent);
    EXPECT_EQ(t.Crc, 0xFFFFFFFF);
    // FF 00 straddling two reads: the 00 still goes.
    TagFile file(dir.write("raw", "AB\xFF\0C\xFF\0\0D"_ba));
    int64_t pos = 0;
    EXPECT_EQ(ReadTagBytes(file, pos, 3, true), "AB\xFF");
    EXPECT_EQ(ReadTagBytes(file, pos, 3, true), "C\xFF\0"_ba);
    EXPECT_EQ(ReadTagBytes(file, pos, 100, true), "D");
    EXPECT_EQ(pos, 9);
    pos = 0;
    EXPECT_EQ(SkipTagBytes(file, pos, 1000, false), 9);  // never past the end
}

// Damaged copies of these files are fuzz_id3's seeds (tests/fuzz/).
TEST(ID3PublicFiles, EveryFileGivesItsListedValues) {
    // "version|title|artist|album|comment"; a title left empty is the file name; a value
    // ending in "…" is the start of what the file gives.
    const char* const table[][2] = {
        // Plain sizes from an old writer are recognised: the frames after APIC read.
        {"005411.id3", "2.x|Sunshine Superman|Donovan|Sunshine Superman|"},
        {"97-unknown-23-update.mp3", "2.x|aaaaaaaaaaaaaaaaaaaaaaa vvvvvvvvvvvvvvvvveeeeeerrrrrr…"},
        {"ape-id3v1.mp3", "1.x|Title|||"},
        {"ape-id3v2.mp3", "2.x|Title|||"},
        {"apev2-lyricsv2.mp3", "2.x|A song|Auth||"},
        {"audacious-trailing-id32-id31.mp3", "None||||"},
        {"bad-POPM-frame.mp3", "2.x|Emit and exude|she|emit and exude|häst"},
        {"bad-TYER-frame.mp3", "2.x|This track has an invalid TYER frame, that used to be…"},
        {"bad-xing.mp3", "2.x|09-28-2001|Ito Kazunori|Patlabor CD Box Deluxe Disc 3|Furukawa…"},
        {"broken-tenc.id3", "2.x|Take On Me|A Ha|1985|iTunNORM 0000036C 000003E6…"},
        {"compressed_id3_frame.mp3", "2.x||||"},
        {"compressed_id3_frame_invalid.mp3", "2.x||||"},
        {"duplicate_id3v2.mp3", "2.x|TitleXXXX|ArtistXXXX|AlbumXXXX|"},
        {"emptyfile.mp3", "None||||"},
        // Invalid UTF-8 inside the album shows as U+FFFD.
        {"excessive_alloc.mp3", "2.x|Bush|Rihanna|Music\uFFFDof the Sun|www.torrentazos.com"},
        {"extended-header.mp3", "2.x|Druids|Excelsis|Vo Chrieger U Drache|"},
        {"garbage.mp3", "None||||"},
        {"id3v1v2-combined.mp3", "2.x|cosmic american|Anais Mitchell||iTunes_CDDB_1 9D09130B…"},
        {"id3v22-tda.mp3", "2.x||||"},
        {"id3v22-test.mp3", "2.x|cosmic american|Anais Mitchell|Hymns for the Exiled|iTunes…"},
        {"id3v24_extended_header.id3", "2.x|One Second of Silence|Snild Dolkow|Mutagen Bug…"},
        // The extended-header flag without an extended header: the frames are found.
        {"extended-flag-no-header.id3", "2.x|Punk To Funk|FatBoy Slim|Better Living Through…"},
        {"itunes10.mp3", "2.x|iTunes10MP3|Artist|Album|iTunPGAP 1"},
        {"lame_cbr.mp3", "2.x||||"},
        {"no-tags.mp3", "None||||"},
        {"rare_frames.mp3", "2.x||||A COMMENT"},
        {"silence-44-s-v1.mp3", "1.x|Silence|piman|Quod Libet Test Data|"},
        {"silence-44-s.mp3", "2.x|Silence|jzig|Quod Libet Test Data|"},
        {"toc_many_children.mp3", "2.x||||"},
        {"too-short.mp3", "2.x|Track 10|Hieroglyph|Hieroglyph|iTunes_CDDB_TrackNumber 10"},
        {"unsynch.id3", "2.x|My babe just cares for me|Nina Simone|100% Jazz|"},
        {"unsynch24.id3", "2.x|Hi|||"},
        {"vbri.mp3", "2.x|I Can Walk On Water I Can Fly|Basshunter|I Can Walk On Water…"},
        {"w000.mp3", "2.x|Knowing You|Sergio Galoyan f. Tamra Keenan|Knowing You|Promo Only…"},
    };
    const QDir folder(QStringLiteral(QV_TESTDATA "/id3"));
    // Every file of the folder is in the table, so a new one cannot slip by.
    ASSERT_EQ(folder.entryList(QDir::Files).size(), qsizetype(std::size(table)));
    for (const auto& [file, expected] : table) {
        const QString path = folder.filePath(file);
        ASSERT_TRUE(QFile::exists(path)) << file;
        QString fields = QString::fromUtf8(expected);
        const qsizetype bar = fields.indexOf(u'|');
        if (fields[bar + 1] == u'|') fields.insert(bar + 1, file);
        const QString read = Read(path);
        EXPECT_EQ(fields.endsWith(u'…') ? read.left(fields.size() - 1) + u'…' : read, fields);
        // The one-open read must give what the two separate reads give.
        EXPECT_EQ(ReadVersionedTag(path).Version + u'|' + Fields(ReadVersionedTag(path).Tag), read);
    }
}

// The kinds whose container holds the tag, each made by ffmpeg with Japanese
// in every field: the tag tool prints what was written, a JSON line for each
// file, after an MP3 whose name and tag need escapes; a file of random bytes or
// a FIFO with the extension reads as untagged; cuts and flipped bytes give the
// tag or the file name as title, never a crash or a hang.
TEST(ID3, ContainerTagsOfEveryOtherKindWholeOrDamagedAndTheTagTool) {
    qvtest::TempDir dir;
    using qvtest::MediaKind;
    const std::pair<MediaKind, const char*> kinds[] = {
        {MediaKind::Flac, "Xiph"}, {MediaKind::Vorbis, "Xiph"}, {MediaKind::OggFlac, "Xiph"},
        {MediaKind::Opus, "Xiph"}, {MediaKind::M4a, "MP4"},     {MediaKind::Wma, "ASF"},
        {MediaKind::Asf, "ASF"}};
    QStringList files = {dir.write(
        "we\"ird\\name.mp3",
        Tag(3, Frame23("TIT2", TextBody(0,
                                        "Tab\tQuote\"Back\\Bell\x07\x1F"
                                        "Del\x7F")) +
                   Frame23("TPE1", TextBody(1, Utf16(QString::fromUcs4(U"日本語𝄞"), true)))))};
    QByteArray expected = "{\"file\": \"" + dir.path().toUtf8() +
                          "we\\\"ird\\\\name.mp3\", \"version\": \"2.x\", \"title\": "
                          "\"Tab\\u0009Quote\\\"Back\\\\Bell\\u0007\\u001fDel\\u007f\", "
                          "\"artist\": \"日本語𝄞\", \"album\": \"\", \"comment\": \"\"}\n";
    std::mt19937 rng(20261207);
    for (const auto& [kind, version] : kinds) {
        // The kind's letters in upper case: extensions match in any case.
        const QString name =
            QString(qvtest::KindName(kind)) + "." + qvtest::KindExtension(kind).toUpper();
        QString error;
        files << qvtest::MakeMedia(
            kind, dir.path(), name, 300, &error,
            {"title=曲名 ", "artist=歌い手 ♪", "album=アルバム", "comment=メモ～"});
        ASSERT_FALSE(files.last().isEmpty()) << qPrintable(error);
        expected += ("{\"file\": \"" + files.last() + "\", \"version\": \"" + version +
                     "\", \"title\": \"曲名\", \"artist\": \"歌い手 ♪\", \"album\": "
                     "\"アルバム\", \"comment\": \"メモ～\"}\n")
                        .toUtf8();
        const QString ext = "." + qvtest::KindExtension(kind);
        QByteArray noise;
        while (noise.size() < 4096) noise += char(rng());
        const QString fifo = dir.file("fifo" + ext);
        ASSERT_EQ(::mkfifo(qPrintable(fifo), 0600), 0);
        for (const QString& path : {dir.write("noise" + ext, noise), fifo})
            EXPECT_EQ(ReadVersionedTags(path).Version + u'|' + Fields(ReadTags(path)),
                      "None|" + QFileInfo(path).fileName() + "|||");
        const QByteArray whole = qvtest::ReadAll(files.last());
        for (int round = 0; round < 40; ++round) {
            QByteArray bytes = whole;
            if (round < 10) {
                bytes.truncate(round * whole.size() / 10 + int(rng() % 64));
            } else {
                for (int i = 1 + rng() % 8; i > 0; --i)
                    bytes[rng() % std::min<qsizetype>(bytes.size(), 4096)] = char(rng());
            }
            // A cut keeps the whole tag or loses it (the first 64 bytes hold none);
            // flipped bytes may change what it says.
            const QString got = ReadTags(dir.write("damaged" + ext, bytes)).Title;
            if (round < 10)
                EXPECT_TRUE(got == "damaged" + ext || (round > 0 && got == "曲名"))
                    << qPrintable(name) << " cut " << bytes.size() << ": " << qPrintable(got);
            else
                EXPECT_FALSE(got.isEmpty()) << qPrintable(name) << " round " << round;
        }
    }
    const QString tool = QStringLiteral(QV_BUILD_DIR "/tools/quorvane-tags");
    QProcess p;
    p.start(tool, files);
    ASSERT_TRUE(p.waitForFinished(30000)) << qPrintable(tool);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(expected));
    p.start(tool, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().startsWith("usage: quorvane-tags") &&
                p.readAllStandardOutput().isEmpty());
}

// Disc and track numbers, as the playlist's folder walk orders an album by them: ID3v2 (2.2
// ids too), a 1.1 tag behind a v2 tag without one, and the container kinds through TagLib.
TEST(ID3, TrackNumbersOfEveryKindAndTheOrderOfAnAlbum) {
    qvtest::TempDir dir;
    const std::pair<QByteArray, QString> rows[] = {
        {Tag(3, Frame23("TRCK", TextBody(0, " 03/12")) + Frame23("TPOS", TextBody(0, "2/2"))),
         "2 3"},
        {Tag(2, Frame22("TRK", TextBody(0, "7")) + Frame22("TPA", TextBody(0, "x"))), "0 7"},
        {Tag(3, Frame23("TRCK", TextBody(0, "none"))) + Audio(200) + V1("T", {}, {}, "c", 5),
         "0 5"},
        {Audio(300), "0 0"},
    };
    for (const auto& [bytes, numbers] : rows) {
        const TrackNumber n = ReadTrackNumber(dir.write("t.mp3", bytes));
        EXPECT_EQ(QString("%1 %2").arg(n.disc).arg(n.track), numbers);
    }
    using qvtest::MediaKind;
    QStringList files;
    for (const MediaKind kind :
         {MediaKind::Flac, MediaKind::Opus, MediaKind::M4a, MediaKind::Wma}) {
        QString error;
        files << qvtest::MakeMedia(kind, dir.path(), QString("k.") + qvtest::KindExtension(kind),
                                   200, &error, {"track=4/9", "disc=2/3"});
        ASSERT_FALSE(files.last().isEmpty()) << qPrintable(error);
        const TrackNumber n = ReadTrackNumber(files.last());
        EXPECT_EQ(QString("%1 %2").arg(n.disc).arg(n.track), "2 4") << qPrintable(files.last());
    }
    EXPECT_TRUE(ReadTrackNumbersOfAll(files) && !ReadTrackNumbersOfAll(files << dir.file("t.mp3")));
    // No disc is the first disc; two files in one place leave the order to the names.
    EXPECT_EQ(AlbumOrder({{2, 1}, {0, 3}, {1, 2}}), std::vector<size_t>({2, 1, 0}));
    EXPECT_TRUE(AlbumOrder({{0, 1}, {1, 2}, {1, 1}}).empty());
}
