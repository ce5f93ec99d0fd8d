// The tags that containers carry themselves (FLAC and Ogg's Vorbis comments,
// MP4's item list, ASF's content descriptions), read through TagLib. Only the
// tag library sees this header; TagLib stays behind it.
#pragma once

#include <QString>

#include "platform/media_kinds.h"

namespace qv {

class TagFile;
struct TagInfo;
struct TrackNumber;

// Reads the tag of an open file whose kind keeps it in the container
// (format is not TagFormat::ID3). Fills the four strings as stored and
// returns the kind of tag read ("Xiph", "MP4", "ASF"); "" when the bytes are
// not of that format or hold no tag, leaving info as it was.
QString ReadContainerTag(TagFile& file, TagFormat format, TagInfo& info);

// The disc and track numbers of an open file of such a kind; zeros for what
// its tag does not name (or a file whose bytes are not of that kind).
TrackNumber ReadContainerTrackNumber(TagFile& file, TagFormat format);

}  // namespace qv
