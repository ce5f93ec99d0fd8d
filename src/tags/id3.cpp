// Which ID3 tag a file has, the ID3v1 tag at its end, and the four display
// strings the rest of the program shows.
#include "tags/id3.h"

#include <cstring>

#include "platform/paths.h"
#include "tags/id3_read.h"

namespace qv {
namespace {

constexpr int64_t kV1Length = 128;

QString versionText(ID3Version v) {
    switch (v) {
        case ID3Version::V2:
            return QStringLiteral("2.x");
        case ID3Version::V1:
            return QStringLiteral("1.x");
        case ID3Version::None:
            break;
    }
    return QStringLiteral("None");
}

}  // namespace

QString TrimBlanks(const QString& s) {
    qsizetype first = 0, last = s.size();
    while (first < last && s[first] == u' ') ++first;
    while (last > first && s[last - 1] == u' ') --last;
    return (first == 0 && last == s.size()) ? s : s.mid(first, last - first);
}

ID3Version DetectID3Version(TagFile& file) {
    if (!file.isOpen()) return ID3Version::None;
    char marker[3];
    if (file.read(0, marker, 3) == 3 && std::memcmp(marker, "ID3", 3) == 0) return ID3Version::V2;
    if (file.size() >= kV1Length && file.read(file.size() - kV1Length, marker, 3) == 3 &&
        std::memcmp(marker, "TAG", 3) == 0)
        return ID3Version::V1;
    return ID3Version::None;
}

ID3v1Tag ReadID3v1(TagFile& file) {
    ID3v1Tag tag;
    if (file.size() < kV1Length) return tag;
    const int64_t s = file.size() - kV1Length;  // the "T" of "TAG"
    tag.Title = ReadFileString(file, s + 3, 30, true);
    tag.Artist = ReadFileString(file, s + 33, 30, true);
    tag.Album = ReadFileString(file, s + 63, 30, true);
    tag.Year = ReadFileString(file, s + 93, 4, true);
    tag.Comment = ReadFileString(file, s + 97, 30, true);
    // ID3v1.1 keeps the track number in the comment's last byte, after a NUL.
    const int zero = file.byteAt(s + 125), track = file.byteAt(s + 126);
    if (zero == 0 && track > 0) tag.Track = static_cast<uint8_t>(track);
    const int genre = file.byteAt(s + 127);
    if (genre >= 0) tag.Genre = static_cast<uint8_t>(genre);
    return tag;
}

QString GetID3Version(const QString& FilePath) {
    TagFile file(FilePath);
    return versionText(DetectID3Version(file));
}

ID3v1Tag ReadID3v1(const QString& FilePath) {
    TagFile file(FilePath);
    char marker[3];
    if (file.size() < kV1Length || file.read(file.size() - kV1Length, marker, 3) != 3 ||
        std::memcmp(marker, "TAG", 3) != 0)
        return {};
    return ReadID3v1(file);
}

ID3v2Tag ReadID3v2(const QString& FilePath) {
    TagFile file(FilePath);
    return ReadID3v2(file);
}

namespace {

// The display strings of a file's tag, read by the rules of its version.
TagInfo tagInfo(TagFile& file, ID3Version version, const QString& FilePath) {
    TagInfo info;
    switch (version) {
        case ID3Version::V2: {
            // The ID3v2 tag wins entirely, even where it lacks a field that an
            // ID3v1 tag at the end of the file would have.
            const ID3v2Tag t = ReadID3v2(file);
            info.Title = TrimBlanks(t.Title);
            info.Artist = TrimBlanks(t.LeadArtist);
            info.Album = TrimBlanks(t.Album);
            const QString d = TrimBlanks(t.CommentDescription);
            const QString text = TrimBlanks(t.CommentText);
            if (d.isEmpty())
                info.Comment = text;
            else if (text.isEmpty())
                info.Comment = d;
            else
                info.Comment = d + u' ' + text;
            break;
        }
        case ID3Version::V1: {
            const ID3v1Tag t = ReadID3v1(file);
            info.Title = TrimBlanks(t.Title);
            info.Artist = TrimBlanks(t.Artist);
            info.Album = TrimBlanks(t.Album);
            info.Comment = TrimBlanks(t.Comment);
            break;
        }
        case ID3Version::None:
            break;
    }
    if (info.Title.isEmpty()) info.Title = GetFileName(FilePath);
    return info;
}

}  // namespace

TagInfo ReadID3Tag(const QString& FilePath) {
    TagFile file(FilePath);
    return ReadID3Tag(file, FilePath);
}

TagInfo ReadID3Tag(TagFile& file, const QString& FilePath) {
    return tagInfo(file, DetectID3Version(file), FilePath);
}

VersionedTag ReadVersionedTag(const QString& FilePath) {
    TagFile file(FilePath);
    const ID3Version version = DetectID3Version(file);
    return {versionText(version), tagInfo(file, version, FilePath)};
}

}  // namespace qv
