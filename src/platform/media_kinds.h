// The media kinds the program knows by a file's extension. One row tells all
// that differs between kinds: the device type a file opens with, the name
// GetMediaType gives it, its picture in the media tree, where its tag is read
// from and whether an entry takes its title from the tag. A new kind is a new
// row.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace qv {

// Where the tag of a kind is: an ID3 tag (read by our own reader, also for the
// kinds that hardly ever carry one, as the status bar always looked there), or
// the container's own tag (read through TagLib): FLAC's and Ogg's Vorbis
// comments, MP4's item list, ASF's content descriptions.
enum class TagFormat { ID3, Flac, Ogg, Mp4, Asf };

struct MediaKind {
    QStringView extension;   // upper case, as EntryExtension gives it
    QStringView deviceType;  // the device type of the open command
    QStringView name;        // what GetMediaType answers
    int picture;             // the tree picture; 0 for a kind the library never lists
    TagFormat tags;          // where its tag is
    bool readsTags;          // an entry's title is the tag's, not the file name
    // The status bar shows the tag named above; false: it shows an ID3 tag
    // (what it always looked for in a WMA or ASF file), and only the hover
    // text and the desktop's media controls show the kind's own tag.
    bool showsOwnTag;
};

// The row of an upper-cased extension; the comparison is exact, so "MP3X",
// "mp3" or "" find none (nullptr).
const MediaKind* FindMediaKind(QStringView Extension);

// The upper-cased text after the last "." of a name or path (GetExtension),
// "" when it holds no "." (a name without a dot is no media file).
QString EntryExtension(const QString& name);

// True for the kinds the library scans, shows and opens: those with a tree
// picture (an upper-cased extension).
bool IsMediaKind(const QString& Extension);

// The extensions of those kinds (upper case), in the table's order: what the
// program's help names and the desktop is told the program opens.
QStringList MediaExtensions();

// The tree picture of an upper-cased extension; 0 for anything else.
int MediaImage(const QString& Extension);

// Whether an entry of the kind GetMediaType names MediaType takes its title
// from the file's tag.
bool KindReadsTags(const QString& MediaType);

// Where the tag of a file with this upper-cased extension is; ID3 for an
// extension of no kind.
TagFormat KindTagFormat(QStringView Extension);

// Where the status bar reads the tag of a file with this upper-cased
// extension: KindTagFormat, or ID3 for the kinds that do not show their own.
TagFormat KindShownTagFormat(QStringView Extension);

}  // namespace qv
