// The four display strings of a container's tag, read by TagLib over our
// bounded stream (tags/taglib_file.h).
#include "tags/container_tags.h"

#include <taglib/asffile.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <exception>
#include <memory>

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
    if (!file.isOpen()) return {};
    SilenceTagLib();
    BoundedStream stream(file);
    try {
        const std::unique_ptr<TagLib::File> read = OpenTagLibFile(file, format, stream);
        const TagLib::Tag* tag = read && read->isValid() ? read->tag() : nullptr;
        if (!tag) return {};
        info.Title = ToQString(tag->title());
        info.Artist = ToQString(tag->artist());
        info.Album = ToQString(tag->album());
        info.Comment = ToQString(tag->comment());
        // ASF keeps a comment in the content description object, or, as some
        // writers (ffmpeg among them) do, as a "Description" attribute of the
        // extended one.
        if (info.Comment.isEmpty() && format == TagFormat::Asf) {
            const auto* asf = static_cast<const TagLib::ASF::Tag*>(tag);
            const TagLib::ASF::AttributeList description = asf->attribute("Description");
            if (!description.isEmpty()) info.Comment = ToQString(description.front().toString());
        }
        return QString::fromLatin1(TagName(format));
    } catch (const std::exception&) {
        // An allocation a damaged file asked for: the file reads as untagged.
        info = TagInfo{};
        return {};
    }
}

TrackNumber ReadContainerTrackNumber(TagFile& file, TagFormat format) {
    if (!file.isOpen()) return {};
    SilenceTagLib();
    BoundedStream stream(file);
    try {
        const std::unique_ptr<TagLib::File> read = OpenTagLibFile(file, format, stream);
        const TagLib::Tag* tag = read && read->isValid() ? read->tag() : nullptr;
        if (!tag) return {};
        // Each kind keeps the disc under its own name (DISCNUMBER, "disk",
        // WM/PartOfSet); the property map gives them all one.
        const TagLib::StringList disc = read->properties()["DISCNUMBER"];
        return {disc.isEmpty() ? 0 : LeadingTrackNumber(ToQString(disc.front())),
                static_cast<int>(std::min(tag->track(), 9999u))};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace qv
