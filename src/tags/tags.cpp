// One call for the tag of every kind: the kind's row says where its tag is,
// and whatever reader that is, the strings come out trimmed the same way and
// the title falls back to the file name.
#include "tags/tags.h"

#include "platform/media_kinds.h"
#include "platform/paths.h"
#include "tags/container_tags.h"
#include "tags/id3_read.h"
#include "tags/parallel_reads.h"

namespace qv {
namespace {

// A container tag read as an ID3 tag is: blanks trimmed, the name for a title.
TagInfo Finished(TagInfo info, const QString& FilePath) {
    for (QString* s : {&info.Title, &info.Artist, &info.Album, &info.Comment}) *s = TrimBlanks(*s);
    if (info.Title.isEmpty()) info.Title = GetFileName(FilePath);
    return info;
}

TagInfo ReadTagOf(TagFile& file, const QString& FilePath, TagFormat format) {
    if (format == TagFormat::ID3) return ReadID3Tag(file, FilePath);
    TagInfo info;
    ReadContainerTag(file, format, info);
    return Finished(std::move(info), FilePath);
}

}  // namespace

TagInfo ReadTags(const QString& FilePath) {
    TagFile file(FilePath);
    return ReadTags(file, FilePath);
}

TagInfo ReadTags(TagFile& file, const QString& FilePath) {
    return ReadTagOf(file, FilePath, KindTagFormat(EntryExtension(FilePath)));
}

TagInfo ReadShownTags(const QString& FilePath) {
    TagFile file(FilePath);
    return ReadTagOf(file, FilePath, KindShownTagFormat(EntryExtension(FilePath)));
}

std::vector<std::optional<TagInfo>> ReadTagsOfFiles(const QStringList& paths) {
    std::vector<std::optional<TagInfo>> tags(static_cast<size_t>(paths.size()));
    ReadInParallel(paths.size(), [&](qsizetype i) {
        TagFile file(paths[i]);
        if (file.isOpen()) tags[static_cast<size_t>(i)] = ReadTags(file, paths[i]);
        return true;
    });
    return tags;
}

VersionedTag ReadVersionedTags(const QString& FilePath) {
    const TagFormat format = KindTagFormat(EntryExtension(FilePath));
    if (format == TagFormat::ID3) return ReadVersionedTag(FilePath);
    TagFile file(FilePath);
    TagInfo info;
    QString version = ReadContainerTag(file, format, info);
    if (version.isEmpty()) version = QStringLiteral("None");
    return {version, Finished(std::move(info), FilePath)};
}

}  // namespace qv
