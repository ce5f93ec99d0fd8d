// The ID3 tag reader over tag bytes written here for each layout, over the
// public test files, and the JSON lines of the quorvane-tags tool.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <iterator>
#include <random>

#include "id3_builder.h"
#include "support/tempdir.h"
#include "tags/id3.h"
#include "tags/id3_read.h"

using namespace qv;
using namespace qvtest::id3;

namespace {

// Bytes of a literal, embedded NULs included.
template <size_t N>
QByteArray B(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

void ExpectTag(const TagInfo& t, const QString& title, const QString& artist, const QString& album,
               const QString& comment) {
    EXPECT_EQ(t.Title, title);
    EXPECT_EQ(t.Artist, artist);
    EXPECT_EQ(t.Album, album);
    EXPECT_EQ(t.Comment, comment);
}

class ID3 : public ::testing::Test {
  protected:
    // Writes bytes to a file of the given name and reads its tag.
    TagInfo Read(const QByteArray& bytes, const QString& name = "t.mp3") {
        return ReadID3Tag(dir.write(name, bytes));
    }
    ID3v2Tag ReadV2(const QByteArray& bytes) { return ReadID3v2(dir.write("t.mp3", bytes)); }

    qvtest::TempDir dir;
};

}  // namespace

TEST_F(ID3, Version1FieldsEndAtNulAndLoseOuterBlanks) {
    const QString path = dir.write(
        "v1.mp3", Audio(500) + V1(B("Silence\0junk"), "  piman   ", "Album", "Comment text"));
    EXPECT_EQ(GetID3Version(path), "1.x");
    ExpectTag(ReadID3Tag(path), "Silence", "piman", "Album", "Comment text");
    const ID3v1Tag v1 = ReadID3v1(path);
    EXPECT_EQ(v1.Artist, "  piman   ");  // trimming belongs to ReadID3Tag
    EXPECT_EQ(v1.Year, "2001");
    EXPECT_EQ(v1.Genre, 12);
    EXPECT_EQ(v1.Track, 0);

    // 1.1: the track sits in the comment's last byte, after a NUL.
    const QString v11 = dir.write("v11.mp3", Audio(300) + V1("T", "A", "", "Short", 7));
    EXPECT_EQ(ReadID3v1(v11).Track, 7);
    EXPECT_EQ(ReadID3Tag(v11).Comment, "Short");

    // All blanks or all NULs read as empty; an empty title falls back.
    ExpectTag(Read(V1(QByteArray(30, ' '), QByteArray(30, ' ')), "blank.mp3"), "blank.mp3", "", "",
              "");
    ExpectTag(Read(V1({}), "nul.mp3"), "nul.mp3", "", "", "");
}

TEST_F(ID3, Version1TextIsCodePage932ElseWindows1252) {
    // "音楽" and half-width "ｱ" in code page 932; "Café" is not valid code page 932.
    const TagInfo t = Read(Audio(200) + V1("\x89\xb9\x8a\x79\xb1", "Caf\xe9"));
    EXPECT_EQ(t.Title, QStringLiteral("音楽ｱ"));
    EXPECT_EQ(t.Artist, QStringLiteral("Café"));
}

TEST_F(ID3, VersionOfShortOddAndMissingFiles) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* version;
    } cases[] = {
        {"empty.mp3", {}, "None"},
        {"short-tag.mp3", "TAG" + QByteArray(97, 'x'), "None"},  // under 128 bytes
        {"exact.mp3", V1("Exact"), "1.x"},
        {"127.mp3", V1("Cut").left(127), "None"},
        {"id3.mp3", "ID3", "2.x"},
        {"lower.mp3", "id3" + QByteArray(200, 'x'), "None"},
        {"audio.mp3", Audio(5000), "None"},
    };
    for (const Case& c : cases) {
        const QString path = dir.write(c.name, c.bytes);
        EXPECT_EQ(GetID3Version(path), c.version) << c.name;
        const QString title = ReadID3Tag(path).Title;
        EXPECT_EQ(title, QString(c.name == QByteArray("exact.mp3") ? "Exact" : c.name)) << c.name;
    }
    // Missing, a folder, a pipe (opening it must not wait for a writer), a NUL in the name.
    const QString fifo = dir.file("pipe.mp3");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir().mkpath(dir.file("folder.mp3"));
    for (const QString& path : {dir.file("missing.mp3"), dir.file("folder.mp3"), fifo,
                                dir.write("nul", V1("x")) + QChar(u'\0') + "x"}) {
        EXPECT_EQ(GetID3Version(path), "None") << qPrintable(path);
        ExpectTag(ReadID3Tag(path), path.mid(path.lastIndexOf('/') + 1), "", "", "");
    }
}

TEST_F(ID3, Version2WinsEntirelyOverVersion1) {
    const QByteArray v2 = Tag(3, Frame23("TPE1", TextBody(0, "Artist2")));
    const QString both = dir.write("both.mp3", v2 + Audio(1000) + V1("T1", "A1", "Al1", "C1"));
    EXPECT_EQ(GetID3Version(both), "2.x");
    ExpectTag(ReadID3Tag(both), "both.mp3", "Artist2", "", "");
    // The ID3v1 tag is still there for whoever asks for it.
    EXPECT_EQ(ReadID3v1(both).Title, "T1");
    EXPECT_EQ(ReadID3v1(dir.write("v2only.mp3", v2 + Audio(1000))).Title, "");
}

TEST_F(ID3, Layout22) {
    const QByteArray frames =
        Frame22("TT1", TextBody(0, "Group")) + Frame22("TT2", TextBody(0, "Title")) +
        Frame22("TP1", TextBody(0, "Artist")) + Frame22("TAL", TextBody(0, "Album")) +
        Frame22("COM", CommentBody(0, "first", "one")) +
        Frame22("COM", CommentBody(0, "", "last")) + Frame22("TYE", TextBody(0, "1999"));
    const QByteArray bytes = Tag(2, frames, 0, 64) + Audio(2000);
    ExpectTag(Read(bytes), "Title", "Artist", "Album", "last");
    const ID3v2Tag t = ReadV2(bytes);
    EXPECT_EQ(t.MajorVersion, 2);
    EXPECT_EQ(t.ContentGroup, "Group");
    EXPECT_EQ(t.Year, 1999);
}

TEST_F(ID3, Layout23ExtendedHeaderWithCrc) {
    const QByteArray frames =
        Frame23("TIT2", TextBody(0, "Title")) + Frame23("TPE1", TextBody(0, "Art"));
    // Size 10, CRC flag, padding size 40, the CRC.
    const QByteArray ext = BigEndian(10, 4) + B("\x80\x00") + BigEndian(40, 4) + "\xDE\xAD\xBE\xEF";
    const QByteArray bytes = Tag(3, ext + frames, 0x40, 40) + Audio(1000);
    ExpectTag(Read(bytes), "Title", "Art", "", "");
    const ID3v2Tag t = ReadV2(bytes);
    EXPECT_TRUE(t.ExtendedHeader);
    EXPECT_TRUE(t.CrcPresent);
    EXPECT_EQ(t.Crc, 0xDEADBEEF);
    EXPECT_EQ(t.TagSize, uint32_t(ext.size() + frames.size() + 40));

    const QByteArray noCrc = BigEndian(6, 4) + B("\0\0") + BigEndian(0, 4);
    ExpectTag(Read(Tag(3, noCrc + frames, 0x40)), "Title", "Art", "", "");
}

TEST_F(ID3, Layout23Unsynchronisation) {
    // "ÿes" in UTF-16 LE holds FF 00 (a false sync); a 255-byte body puts 0xFF
    // into the frame size itself. Frame sizes count the bytes before the scheme.
    const QString ye = QString(QChar(0xFF)) + "es";
    const QByteArray frames = Frame23("TIT2", TextBody(1, Utf16(ye, true))) +
                              Frame23("TPE1", TextBody(0, QByteArray(254, 'a'))) +
                              Frame23("TALB", TextBody(0, "\xFF\xFF"));
    const QByteArray stored = Unsynchronise(frames);
    ASSERT_GT(stored.size(), frames.size());
    const ID3v2Tag t = ReadV2(Tag(3, stored, 0x80) + Audio(500));
    EXPECT_TRUE(t.Unsynchronisation);
    EXPECT_EQ(t.Title, ye);
    EXPECT_EQ(t.LeadArtist, QString(254, 'a'));
    EXPECT_EQ(t.Album, QStringLiteral("ÿÿ"));
}

TEST_F(ID3, CompressedFrameEndsTheWalk) {
    const QByteArray packed = BigEndian(100, 4) + "x\x9c junk";
    ExpectTag(Read(Tag(3, Frame23("TIT2", TextBody(0, "Kept")) + Frame23("TPE1", packed, 0x0080) +
                              Frame23("TALB", TextBody(0, "Lost")))),
              "Kept", "", "", "");
    ExpectTag(Read(Tag(4, Frame24("TIT2", TextBody(3, "Kept")) + Frame24("APIC", packed, 0x0009) +
                              Frame24("TALB", TextBody(3, "Lost")))),
              "Kept", "", "", "");
    ExpectTag(Read(Tag(3, Frame23("TPE1", packed, 0x0080) + Frame23("TIT2", TextBody(0, "Lost"))),
                   "first.mp3"),
              "first.mp3", "", "", "");
}

TEST_F(ID3, Utf16ByteOrders) {
    const QString clef = QString::fromUcs4(U"音𝄞");
    const QByteArray frames =
        Frame23("TIT2", TextBody(1, Utf16(clef, true))) +              // FF FE: little-endian
        Frame23("TPE1", TextBody(1, Utf16("Big", false))) +            // FE FF: big-endian
        Frame23("TALB", TextBody(1, Utf16("NoMark", false, false))) +  // no mark: big-endian
        Frame23("TIT1", TextBody(1, B("\xD8\x00\x00\x41"))) +          // lone surrogate
        Frame23("COMM", CommentBody(1, {}, Utf16("Text", true)));      // empty description as 00 00
    const ID3v2Tag t = ReadV2(Tag(3, frames));
    EXPECT_EQ(t.Title, clef);
    EXPECT_EQ(t.LeadArtist, "Big");
    EXPECT_EQ(t.Album, "NoMark");
    EXPECT_EQ(t.ContentGroup, QString(QChar::ReplacementCharacter) + "A");
    EXPECT_EQ(t.CommentDescription, "");
    EXPECT_EQ(t.CommentText, "Text");
}

TEST_F(ID3, PaddingEndsTheWalk) {
    for (int major : {3, 4}) {
        auto frame = major == 3 ? Frame23 : Frame24;
        const QByteArray content = frame("TIT2", TextBody(0, "Title"), 0) + QByteArray(30, '\0') +
                                   frame("TPE1", TextBody(0, "Hidden"), 0);
        ExpectTag(Read(Tag(major, content) + Audio(300)), "Title", "", "", "");
    }
    ExpectTag(Read(Tag(3, {}, 0, 100), "padding.mp3"), "padding.mp3", "", "", "");
}

TEST_F(ID3, Layout24SizesAndFrameFlags) {
    const QByteArray longTitle(199, 'L');  // 200-byte body: synchsafe 00 00 01 48
    const QByteArray unsynced = Unsynchronise(TextBody(1, Utf16(QStringLiteral("ÿ歌"), true)));
    const QByteArray frames =
        Frame24("TIT2", TextBody(0, longTitle)) +
        Frame24("TPE1", unsynced, 0x0002) +                                      // unsynchronised
        Frame24("TALB", Synchsafe(6) + TextBody(3, "Album"), 0x0001) +           // data length
        Frame24("COMM", "\x07" + CommentBody(0, "D", "T"), 0x0040) +             // group id
        Frame24("TRCK", B("\x01\x00\x00\x00\x00") + TextBody(0, "9"), 0x0005) +  // encrypted
        Frame24("TCON", "\x05" + Synchsafe(5) + TextBody(0, "Rock"), 0x4041);    // group + length
    const ID3v2Tag t = ReadV2(Tag(4, frames) + Audio(400));
    EXPECT_EQ(t.Title, QString(longTitle));
    EXPECT_EQ(t.LeadArtist, QStringLiteral("ÿ歌"));
    EXPECT_EQ(t.Album, "Album");
    EXPECT_EQ(t.CommentDescription, "D");
    EXPECT_EQ(t.CommentText, "T");
    EXPECT_EQ(t.Track, "");
    EXPECT_EQ(t.Genre, "Rock");

    // Header unsynchronisation covers every frame body in 2.4.
    const QByteArray body = TextBody(1, Utf16("Whole", true));
    const QByteArray stored = Unsynchronise(body);
    EXPECT_EQ(
        ReadV2(Tag(4, QByteArray("TIT2") + Synchsafe(stored.size()) + B("\0\0") + stored, 0x80))
            .Title,
        "Whole");

    // Old writers put plain sizes into 2.4 frames; 0xC8 cannot be synchsafe.
    const QByteArray plain =
        QByteArray("TIT2") + BigEndian(200, 4) + B("\0\0") + TextBody(0, longTitle);
    EXPECT_EQ(ReadV2(Tag(4, plain + Frame24("TPE1", TextBody(0, "After")))).LeadArtist, "After");
}

TEST_F(ID3, Layout24ExtendedHeader) {
    const QByteArray frames = Frame24("TIT2", TextBody(3, "Title"));
    // Size 12, one flag byte, CRC flag, CRC of 5 synchsafe bytes.
    const QByteArray ext = Synchsafe(12) + B("\x01\x20\x05\x0F\x7F\x7F\x7F\x7F");
    const ID3v2Tag t = ReadV2(Tag(4, ext + frames, 0x40));
    EXPECT_EQ(t.Title, "Title");
    EXPECT_TRUE(t.CrcPresent);
    EXPECT_EQ(t.Crc, 0xFFFFFFFF);
    // Update and restriction flags with their length bytes.
    const QByteArray ext2 = Synchsafe(9) + B("\x01\x50\x00\x01\x00");
    EXPECT_EQ(ReadV2(Tag(4, ext2 + frames, 0x40)).Title, "Title");
    // The flag set without an extended header: the frames follow at once.
    EXPECT_EQ(ReadV2(Tag(4, frames, 0x40)).Title, "Title");
    EXPECT_EQ(ReadV2(Tag(3, Frame23("TIT2", TextBody(0, "Title")), 0x40)).Title, "Title");
}

TEST_F(ID3, EncodingsTwoAndThreeInEveryVersion) {
    for (int major : {2, 3, 4}) {
        auto frame = [major](const char* id4, const char* id3, const QByteArray& body) {
            if (major == 2) return Frame22(id3, body);
            return major == 3 ? Frame23(id4, body) : Frame24(id4, body);
        };
        const QByteArray frames =
            frame("TIT2", "TT2", TextBody(3, B("Ünï 日本\0second value"))) +
            frame("TPE1", "TP1", TextBody(2, Utf16("Artiste", false, false))) +
            frame("TALB", "TAL", TextBody(0, "\x89\xb9\x8a\x79")) +
            frame("TPE2", "TP2", TextBody(1, Utf16("A", true) + B("\0\0") + Utf16("B", true))) +
            frame("TIT1", "TT1", TextBody(4, "unknown encoding")) +
            frame("COMM", "COM", CommentBody(3, "説明", "本文"));
        const ID3v2Tag t = ReadV2(Tag(major, frames));
        SCOPED_TRACE(major);
        EXPECT_EQ(t.Title, QStringLiteral("Ünï 日本"));  // the first of several values
        EXPECT_EQ(t.LeadArtist, "Artiste");
        EXPECT_EQ(t.Album, QStringLiteral("音楽"));
        EXPECT_EQ(t.Band, "A");
        EXPECT_EQ(t.ContentGroup, "");
        EXPECT_EQ(t.CommentDescription, QStringLiteral("説明"));
        EXPECT_EQ(t.CommentText, QStringLiteral("本文"));
    }
}

TEST_F(ID3, DamagedSizesEndTheWalkWithWhatWasRead) {
    const QByteArray title23 = Frame23("TIT2", TextBody(0, "Title"));
    const QByteArray album23 = Frame23("TALB", TextBody(0, "Album"));
    const QByteArray title24 = Frame24("TIT2", TextBody(0, "Title"));
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* title;
        const char* album;
    } cases[] = {
        {"2.3 frame size past the file",
         Tag(3, title23 + "TPE1" + BigEndian(0xFFFFFFFF, 4) + B("\0\0\0abc") + album23), "Title",
         ""},
        {"2.4 frame size past the file",
         Tag(4, title24 + "TPE1" + Synchsafe(0x0FFFFFFF) + B("\0\0x")), "Title", ""},
        {"2.2 frame size past the file",
         Tag(2, Frame22("TT2", TextBody(0, "Title")) + "TP1" + B("\xFF\xFF\xFF\0x")), "Title", ""},
        {"tag size past the file, last frame cut",
         (Header(3, 0, 5000) + title23 + album23 + Frame23("TPE1", TextBody(0, "Cut"))).chopped(2),
         "Title", "Album"},
        {"frame past the tag, inside the file",
         Header(3, 0, title23.size() + 15) + title23 + Frame23("TPE1", TextBody(0, "Runs long")) +
             album23 + Audio(300),
         "Title", ""},
        {"2.4 frame past the tag, inside the file",
         Header(4, 0, title24.size() + 15) + title24 + Frame24("TPE1", TextBody(0, "Runs long")) +
             Frame24("TALB", TextBody(0, "Album")) + Audio(300),
         "Title", ""},
        {"encrypted frame too short for its method byte",
         Tag(3, title23 + Frame23("TPE1", {}, 0x0040) + album23), "Title", ""},
        {"unsynchronised frame size past the file",
         Tag(3, title23 + "TPE1" + B("\x7F\xFF\x00\xFF\x00\xFF\x00\0\0x"), 0x80), "Title", ""},
        {"header cut short", B("ID3\x03\0\0"), "", ""},
        {"tag size 0, audio after", Header(3, 0, 0) + title23, "", ""},
        {"unknown major version", Tag(5, title23), "", ""},
        {"2.4 extended header size past the tag",
         Tag(4, Synchsafe(5000) + B("\x01\0") + title23, 0x40), "", ""},
        {"2.3 padding size beyond the tag",
         Tag(3, BigEndian(6, 4) + B("\0\0") + BigEndian(0xFFFFFFFF, 4) + title23 + album23, 0x40),
         "Title", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.write("damaged.mp3", c.bytes);
        EXPECT_EQ(GetID3Version(path), "2.x");
        const TagInfo t = ReadID3Tag(path);
        EXPECT_EQ(t.Title, *c.title ? QString(c.title) : QString("damaged.mp3"));
        EXPECT_EQ(t.Album, c.album);
        EXPECT_EQ(t.Artist, "");
    }
}

TEST_F(ID3, CommentJoinsTrimmedDescriptionAndText) {
    auto comment = [&](const QByteArray& d, const QByteArray& t) {
        return Read(Tag(3, Frame23("COMM", CommentBody(0, d, t)))).Comment;
    };
    EXPECT_EQ(comment(" D ", "  T  "), "D T");
    EXPECT_EQ(comment("D", "  "), "D");
    EXPECT_EQ(comment("", "T"), "T");
    EXPECT_EQ(comment("", ""), "");
    // Only U+0020 is trimmed: a tab or an ideographic space stays.
    EXPECT_EQ(comment("\tD", "T"), "\tD T");
    const TagInfo t = Read(Tag(3, Frame23("TIT2", TextBody(3, "\tTitle\xe3\x80\x80 ")) +
                                      Frame23("COMM", CommentBody(0, "old", "one")) +
                                      Frame23("COMM", CommentBody(0, "new", "two"))));
    EXPECT_EQ(t.Title, QStringLiteral("\tTitle\u3000"));
    EXPECT_EQ(t.Comment, "new two");  // the last comment frame wins
}

TEST_F(ID3, ReadingPrimitives) {
    const QByteArray body = B("\0ab\0cd");
    int64_t pos = 0;
    EXPECT_EQ(ReadFrameText(body, pos, kEncodingFromData), "ab");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(ReadFrameText(body, pos, 0), "cd");
    EXPECT_EQ(pos, 7);  // past the end: there was no terminator
    EXPECT_EQ(ReadFrameText(body, pos, 0), "");
    pos = 0;
    EXPECT_EQ(ReadFrameText(B("\0\0\xFE\xFF\0x\0\0"), pos, 1), "");  // 00 00 is no mark
    EXPECT_EQ(pos, 2);
    pos = 0;
    EXPECT_EQ(ReadFrameText(B("\x07text"), pos, kEncodingFromData), "");
    EXPECT_EQ(pos, 1);

    pos = 3;
    EXPECT_EQ(ReadBytes("abcde", pos, 4), "de");
    EXPECT_EQ(pos, 7);

    // FF 00 straddling two reads: the 00 still goes.
    TagFile file(dir.write("raw", B("AB\xFF\0C\xFF\0\0D")));
    ASSERT_TRUE(file.isOpen());
    pos = 0;
    EXPECT_EQ(ReadTagBytes(file, pos, 3, true), "AB\xFF");
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(ReadTagBytes(file, pos, 3, true), B("C\xFF\0"));
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(ReadTagBytes(file, pos, 100, true), "D");
    pos = 0;
    EXPECT_EQ(SkipTagBytes(file, pos, 1000, false), 9);
    EXPECT_EQ(ReadFileString(file, 0, 9, true), "AB\xC3\xBF");  // FF decodes as ÿ
    EXPECT_EQ(ReadFileString(file, 4, 2, false), "C\xC3\xBF");
    EXPECT_EQ(ReadFileString(file, 8, 30, true), "D");
}

TEST(ID3PublicFiles, EveryFileGivesItsListedValues) {
    struct Expected {
        const char* file;
        const char* version;
        const char* title;  // nullptr: the file name
        const char* artist;
        const char* album;
        const char* comment;
    };
    const char* longTitle =
        "aaaaaaaaaaaaaaaaaaaaaaa vvvvvvvvvvvvvvvvveeeeeerrrrrrrrrrrrrrrryyyyyyyyyyyyy "
        "loooooooooooooooooooooooooooooonnnnnnggggggggggggg "
        "ttttttttttttttttiiiiiiiiiiiiiittttttttttllllllllllllllleeeeeeeeeeeeeeeeeee";
    const char* longArtist =
        "aaaaaaaaaaaaaaaaaaaaaaa vvvvvvvvvvvvvvvvveeeeeerrrrrrrrrrrrrrrryyyyyyyyyyyyy "
        "loooooooooooooooooooooooooooooonnnnnnggggggggggggg artist name";
    const Expected table[] = {
        // Plain sizes from an old writer are recognised: the frames after APIC read.
        {"005411.id3", "2.x", "Sunshine Superman", "Donovan", "Sunshine Superman", ""},
        {"97-unknown-23-update.mp3", "2.x", longTitle, longArtist, "", ""},
        {"ape-id3v1.mp3", "1.x", "Title", "", "", ""},
        {"ape-id3v2.mp3", "2.x", "Title", "", "", ""},
        {"apev2-lyricsv2.mp3", "2.x", "A song", "Auth", "", ""},
        {"audacious-trailing-id32-id31.mp3", "None", nullptr, "", "", ""},
        {"bad-POPM-frame.mp3", "2.x", "Emit and exude", "she", "emit and exude", "häst"},
        {"bad-TYER-frame.mp3", "2.x",
         "This track has an invalid TYER frame, that used to be able to break Mutagen", "", "", ""},
        {"bad-xing.mp3", "2.x", "09-28-2001", "Ito Kazunori", "Patlabor CD Box Deluxe Disc 3",
         "Furukawa Toshio, Tominaga Miina, Ikemizu Michihiro, Gouri Daisuke"},
        {"broken-tenc.id3", "2.x", "Take On Me", "A Ha", "1985",
         "iTunNORM 0000036C 000003E6 00000BC1 00000BC3 000186E5 000186CE 00004ACA 00005A82 "
         "00011170 00011170"},
        {"compressed_id3_frame.mp3", "2.x", nullptr, "", "", ""},
        {"compressed_id3_frame_invalid.mp3", "2.x", nullptr, "", "", ""},
        {"duplicate_id3v2.mp3", "2.x", "TitleXXXX", "ArtistXXXX", "AlbumXXXX", ""},
        {"emptyfile.mp3", "None", nullptr, "", "", ""},
        // Invalid UTF-8 inside the album shows as U+FFFD.
        {"excessive_alloc.mp3", "2.x", "Bush", "Rihanna", "Music\xEF\xBF\xBDof the Sun",
         "www.torrentazos.com"},
        {"extended-header.mp3", "2.x", "Druids", "Excelsis", "Vo Chrieger U Drache", ""},
        {"garbage.mp3", "None", nullptr, "", "", ""},
        {"id3v1v2-combined.mp3", "2.x", "cosmic american", "Anais Mitchell", "",
         "iTunes_CDDB_1 "
         "9D09130B+174405+11+150+14097+27391+43983+65786+84877+99399+113226+132452+146426+163829"},
        {"id3v22-tda.mp3", "2.x", nullptr, "", "", ""},
        {"id3v22-test.mp3", "2.x", "cosmic american", "Anais Mitchell", "Hymns for the Exiled",
         "iTunes_CDDB_TrackNumber 3"},
        {"id3v24_extended_header.id3", "2.x", "One Second of Silence", "Snild Dolkow",
         "Mutagen Bug Reports", "This is a comment!"},
        // The extended-header flag without an extended header: the frames are found.
        {"extended-flag-no-header.id3", "2.x", "Punk To Funk", "FatBoy Slim",
         "Better Living Through Chemistr", ""},
        {"itunes10.mp3", "2.x", "iTunes10MP3", "Artist", "Album", "iTunPGAP 1"},
        {"lame_cbr.mp3", "2.x", nullptr, "", "", ""},
        {"no-tags.mp3", "None", nullptr, "", "", ""},
        {"rare_frames.mp3", "2.x", nullptr, "", "", "A COMMENT"},
        {"silence-44-s-v1.mp3", "1.x", "Silence", "piman", "Quod Libet Test Data", ""},
        {"silence-44-s.mp3", "2.x", "Silence", "jzig", "Quod Libet Test Data", ""},
        {"toc_many_children.mp3", "2.x", nullptr, "", "", ""},
        {"too-short.mp3", "2.x", "Track 10", "Hieroglyph", "Hieroglyph",
         "iTunes_CDDB_TrackNumber 10"},
        {"unsynch.id3", "2.x", "My babe just cares for me", "Nina Simone", "100% Jazz", ""},
        {"unsynch24.id3", "2.x", "Hi", "", "", ""},
        {"vbri.mp3", "2.x", "I Can Walk On Water I Can Fly", "Basshunter",
         "I Can Walk On Water I Can Fly", "Ripped by THSLIVE"},
        {"w000.mp3", "2.x", "Knowing You", "Sergio Galoyan f. Tamra Keenan", "Knowing You",
         "Promo Only - www.promoonly.com - Distribution of this file is strictly prohibited."},
    };
    const QString folder = QStringLiteral(QV_TESTDATA "/id3/");
    // Every file of the folder is in the table, so a new one cannot slip by.
    const QStringList files = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(files.size(), static_cast<qsizetype>(std::size(table)));
    for (const Expected& e : table) {
        SCOPED_TRACE(e.file);
        const QString path = folder + e.file;
        ASSERT_TRUE(QFile::exists(path));
        // The one-open read must give what the two separate reads give.
        const VersionedTag read = ReadVersionedTag(path);
        EXPECT_EQ(read.Version, e.version);
        EXPECT_EQ(GetID3Version(path), e.version);
        const QString title = e.title ? QString::fromUtf8(e.title) : QString(e.file);
        for (const TagInfo& t : {read.Tag, ReadID3Tag(path)})
            ExpectTag(t, title, QString::fromUtf8(e.artist), QString::fromUtf8(e.album),
                      QString::fromUtf8(e.comment));
    }
}

TEST_F(ID3, TagToolPrintsOneJsonLinePerFile) {
    const QString tool = QStringLiteral(QV_BUILD_DIR "/tools/quorvane-tags");
    const QString odd = dir.write(
        "we\"ird\\name.mp3",
        Tag(3, Frame23("TIT2", TextBody(0,
                                        "Tab\tQuote\"Back\\Bell\x07\x1F"
                                        "Del\x7F")) +
                   Frame23("TPE1", TextBody(1, Utf16(QString::fromUcs4(U"日本語𝄞"), true))) +
                   Frame23("COMM", CommentBody(3, "", "line\nbreak"))));
    const QString known = QStringLiteral(QV_TESTDATA "/id3/silence-44-s-v1.mp3");
    const QString missing = dir.file("missing.mp3");

    QProcess p;
    p.start(tool, {odd, known, missing});
    ASSERT_TRUE(p.waitForFinished(30000)) << qPrintable(tool);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const QByteArray folder = dir.path().toUtf8();
    const QByteArray expected =
        "{\"file\": \"" + folder +
        "we\\\"ird\\\\name.mp3\", \"version\": \"2.x\", \"title\": "
        "\"Tab\\u0009Quote\\\"Back\\\\Bell\\u0007\\u001fDel\\u007f\", \"artist\": "
        "\"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xF0\x9D\x84\x9E\", \"album\": \"\", \"comment\": "
        "\"line\\u000abreak\"}\n"
        "{\"file\": \"" +
        known.toUtf8() +
        "\", \"version\": \"1.x\", \"title\": \"Silence\", \"artist\": \"piman\", \"album\": "
        "\"Quod Libet Test Data\", \"comment\": \"\"}\n"
        "{\"file\": \"" +
        folder +
        "missing.mp3\", \"version\": \"None\", \"title\": \"missing.mp3\", \"artist\": \"\", "
        "\"album\": \"\", \"comment\": \"\"}\n";
    EXPECT_EQ(p.readAllStandardOutput(), expected);

    QProcess bare;
    bare.start(tool, {});
    ASSERT_TRUE(bare.waitForFinished(30000));
    EXPECT_EQ(bare.exitCode(), 2);
    EXPECT_TRUE(bare.readAllStandardError().startsWith("usage: quorvane-tags"));
    EXPECT_TRUE(bare.readAllStandardOutput().isEmpty());
}

TEST_F(ID3, CorruptedPublicFilesNeverFailTheCaller) {
    // Seeded byte damage in the tag area of every public file, and cuts at
    // random lengths: each read must return (under the sanitizers: without a
    // stray read) with at least the file name as title.
    const QDir folder(QStringLiteral(QV_TESTDATA "/id3"));
    std::mt19937 rng(20261206);
    for (const QString& name : folder.entryList(QDir::Files)) {
        const QByteArray original = qvtest::ReadAll(folder.filePath(name));
        if (original.isEmpty()) continue;
        for (int round = 0; round < 20; ++round) {
            QByteArray bytes = original;
            const int span = std::min<int>(bytes.size(), 600);
            for (int i = 1 + rng() % 8; i > 0; --i)
                bytes[rng() % span] = static_cast<char>(rng() % 4 == 0 ? 0xFF : rng());
            if (round % 4 == 0) bytes.truncate(rng() % bytes.size());
            const TagInfo t = Read(bytes, "damaged.mp3");
            ASSERT_FALSE(t.Title.isEmpty()) << qPrintable(name) << " round " << round;
        }
    }
}
