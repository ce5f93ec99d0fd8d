// The four display strings of a container's tag, read by TagLib over our
// bounded stream (tags/taglib_file.h).
#include "tags/container_tags.h"

#include <taglib/asffile.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>


#include "tags/id3.h"
#include "tags/id3_read.h"
#include "tags/taglib_file.h"
#include "tags/track_number.h"

namespace qv {
namespace {

const char* TagName(TagFormat format) {
    switch (format) {
        case TagFormat::Mp4:
            return "MP4";
        case TagFormat::Asf:
            return "ASF";
        default:
            return "Xiph";
    }
}

}  // namespace

QString ReadContainerTag(TagFile& file, TagFormat format, TagInfo& info) {
    return ReadWithTagLib(file, format, false, QString(), [&](TagLib::File& read) -> QString {
        const TagLib::Tag* tag = read.tag();
        if (!tag) return {};
        TagInfo found;
        found.Title = ToQString(tag->title());
        found.Artist = ToQString(tag->artist());
        found.Album = ToQString(tag->album());
        found.Comment = ToQString(tag->comment());
        // ASF keeps a comment in the content description object, or, as some
        // writers (ffmpeg among them) do, as a "Description" attribute of the
        // extended one.
        if (found.Comment.isEmpty() && format == TagFormat::Asf) {
            const auto* asf = static_cast<const TagLib::ASF::Tag*>(tag);
            const TagLib::ASF::AttributeList description = asf->attribute("Description");
            if (!description.isEmpty()) found.Comment = ToQString(description.front().toString());
        }
        info = std::move(found);
        return QString::fromLatin1(TagName(format));
    });
}

TrackNumber ReadContainerTrackNumber(TagFile& file, TagFormat format) {
    return ReadWithTagLib(file, format, false, TrackNumber{}, [](TagLib::File& read) -> TrackNumber {
        const TagLib::Tag* tag = read.tag();
        if (!tag) return {};
        // Each kind keeps the disc under its own name (DISCNUMBER, "disk",
        // WM/PartOfSet); the property map gives them all one.
        const TagLib::StringList disc = read.properties()["DISCNUMBER"];
        return {disc.isEmpty() ? 0 : LeadingTrackNumber(ToQString(disc.front())),
                static_cast<int>(std::min(tag->track(), 9999u))};
    });
}

}  // namespace qv
