// Where a file stands in its album by its tag: the disc and track numbers,
// which put an album's files in their order when it is added to the playlist.
#pragma once

#include <QStringList>
#include <optional>
#include <vector>

namespace qv {

struct TrackNumber {
    int disc = 0;   // 0: the tag names no disc
    int track = 0;  // 0: the tag names no track
};

// The numbers of the file's tag, read as ReadTags reads the rest (the ID3
// kinds: the ID3v2 tag, then a 1.1 tag's track; the others through TagLib).
// "3/12" is track 3; a number that is no number of 1 or more counts as none.
TrackNumber ReadTrackNumber(const QString& FilePath);

// ReadTrackNumber of every file, on all cores, result i for paths[i];
// nullopt as soon as one file names no track, leaving the rest unread.
std::optional<std::vector<TrackNumber>> ReadTrackNumbersOfAll(const QStringList& paths);

// The places of an album's files in disc and track order: result k is the
// index of the file that goes k-th (a file naming no disc is on the first).
// Empty when two files share a disc and track (two albums in one folder, or
// copies), which are better left in the order of their names.
std::vector<size_t> AlbumOrder(const std::vector<TrackNumber>& numbers);

// The leading number of a tag's "3" or "3/12"; 0 when there is none.
int LeadingTrackNumber(const QString& text);

}  // namespace qv
