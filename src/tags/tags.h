// The tag of any media file as the four display strings, whatever its kind:
// the one call the playlist, the status bar and the tools make. MP3 (and the
// kinds that carry no tag of their own) go through our ID3 reader; FLAC, Ogg,
// MP4 and ASF through TagLib. Read only; every call opens, reads and closes.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "tags/id3.h"

namespace qv {

class TagFile;

// The tag of the file, by the kind its extension names (platform/media_kinds);
// Title falls back to the file name, also for a damaged or unreadable file.
TagInfo ReadTags(const QString& FilePath);

// The tag the status bar shows: ReadTags, but an ID3 tag for the kinds whose
// own tag only the hover text and the desktop's controls show (WMA, ASF).
TagInfo ReadShownTags(const QString& FilePath);

// ReadTags for a file the caller opened already (the playlist opens each file
// once to test and read it).
TagInfo ReadTags(TagFile& file, const QString& FilePath);

// ReadTags over many files, result i for paths[i]; nullopt for a file that
// does not open as a tag file (missing, unreadable, not a regular file). A
// restored playlist names tens of thousands of files, and their reads, mostly
// waiting on the disk and on TagLib, share out over the machine's cores; the
// call returns when all are read, so its callers stay on one thread.
std::vector<std::optional<TagInfo>> ReadTagsOfFiles(const QStringList& paths);

// ReadTags with the kind of tag read: "2.x", "1.x" or "None" for the ID3
// kinds (GetID3Version); "Xiph" (FLAC and Ogg), "MP4" or "ASF" for the others,
// "None" when the file holds no tag TagLib could read.
VersionedTag ReadVersionedTags(const QString& FilePath);

}  // namespace qv
