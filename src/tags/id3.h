// Reads the ID3 tag of a media file into four display strings: title, artist,
// album and comment. Read only; every call opens, reads and closes the file.
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

struct TagInfo {
    QString Title;  // falls back to the file name
    QString Artist;
    QString Album;
    QString Comment;
};

// The ID3v1 (and 1.1) tag in the last 128 bytes of a file. Text fields end at
// their first NUL byte and are decoded as code page 932 (Windows-1252 when the
// bytes are not valid code page 932); they are not trimmed here.
struct ID3v1Tag {
    QString Title;
    QString Artist;
    QString Album;
    QString Year;
    QString Comment;
    uint8_t Track = 0;  // only in a 1.1 tag (NUL before it); 0 otherwise
    uint8_t Genre = 0;
};

// The ID3v2 tag at the start of a file: its header and the text of the frames
// we know, as stored (not trimmed). The last frame of an id wins.
struct ID3v2Tag {
    uint8_t MajorVersion = 0;
    uint8_t Revision = 0;
    bool Unsynchronisation = false;
    bool ExtendedHeader = false;
    bool Experimental = false;
    bool CrcPresent = false;
    uint32_t TagSize = 0;  // bytes after the 10-byte header
    uint32_t Crc = 0;
    QString ContentGroup;        // TIT1 / TT1
    QString Title;               // TIT2 / TT2
    QString Subtitle;            // TIT3 / TT3
    QString LeadArtist;          // TPE1 / TP1
    QString Band;                // TPE2 / TP2
    QString Conductor;           // TPE3 / TP3
    QString Remixer;             // TPE4 / TP4
    QString Album;               // TALB / TAL
    int16_t Year = 0;            // the number at the start of TYER / TYE
    QString CommentDescription;  // COMM / COM
    QString CommentText;
    QString Track;      // TRCK / TRK
    QString PartOfSet;  // TPOS / TPA: the disc, as "1" or "1/2"
    QString Genre;      // TCON / TCO, as written (no genre-number lookup)
};

// "2.x" when the file starts with "ID3", else "1.x" when its last 128 bytes
// start with "TAG", else "None" (also for a missing or unreadable file).
QString GetID3Version(const QString& FilePath);

// The ID3v1 tag at the end of a file, also behind an ID3v2 tag (which
// ReadID3Tag prefers); empty when the last 128 bytes do not start with "TAG".
ID3v1Tag ReadID3v1(const QString& FilePath);

// The ID3v2 tag of a file whose version is "2.x". A damaged tag gives what was
// read before the damage; nothing past the tag or the end of the file is read.
ID3v2Tag ReadID3v2(const QString& FilePath);

// The tag of the file; only Title (the file name) for a file without one.
TagInfo ReadID3Tag(const QString& FilePath);

// GetID3Version and ReadID3Tag of a file from one open of it, for callers that
// want both (a file list costs one open, stat and close per file, not two).
struct VersionedTag {
    QString Version;
    TagInfo Tag;
};
VersionedTag ReadVersionedTag(const QString& FilePath);

}  // namespace qv
