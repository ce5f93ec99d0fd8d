// Reads the ID3 tag of a media file into four display strings: title, artist,
// album and comment. Read only; every call opens, reads and closes the file.
#pragma once

#include <QString>

namespace qv {

struct TagInfo {
    QString Title;  // falls back to the file name
    QString Artist;
    QString Album;
    QString Comment;
};

// "2.x" when the file starts with "ID3", else "1.x" when its last 128 bytes
// start with "TAG", else "None" (also for a missing or unreadable file).
QString GetID3Version(const QString& FilePath);

// The tag of the file; only Title (the file name) for a file without one.
TagInfo ReadID3Tag(const QString& FilePath);

}  // namespace qv
