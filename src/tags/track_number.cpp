// The disc and track numbers, from the tag ReadTags reads for the kind.
#include "tags/track_number.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "platform/media_kinds.h"
#include "tags/container_tags.h"
#include "tags/id3.h"
#include "tags/id3_read.h"
#include "tags/parallel_reads.h"

namespace qv {
namespace {

// An ID3v1 tag at the end, also behind an ID3v2 tag.
bool HasV1(TagFile& file) {
    char marker[3];
    return file.size() >= 128 && file.read(file.size() - 128, marker, 3) == 3 &&
           std::memcmp(marker, "TAG", 3) == 0;
}

TrackNumber ReadId3TrackNumber(TagFile& file) {
    TrackNumber number;
    if (DetectID3Version(file) == ID3Version::V2) {
        const ID3v2Tag tag = ReadID3v2(file);
        number = {LeadingTrackNumber(tag.PartOfSet), LeadingTrackNumber(tag.Track)};
    }
    // Some taggers number the track in the 1.1 tag only.
    if (number.track == 0 && HasV1(file)) number.track = ReadID3v1(file).Track;
    return number;
}

TrackNumber TrackNumberOf(TagFile& file, const QString& FilePath) {
    const TagFormat format = KindTagFormat(EntryExtension(FilePath));
    return format == TagFormat::ID3 ? ReadId3TrackNumber(file)
                                    : ReadContainerTrackNumber(file, format);
}

}  // namespace

int LeadingTrackNumber(const QString& text) {
    const QString t = TrimBlanks(text);
    qsizetype digits = 0;
    while (digits < t.size() && digits < 4 && t[digits].isDigit() && t[digits].unicode() < 0x80)
        ++digits;
    return t.left(digits).toInt();
}

TrackNumber ReadTrackNumber(const QString& FilePath) {
    TagFile file(FilePath);
    return TrackNumberOf(file, FilePath);
}

std::optional<std::vector<TrackNumber>> ReadTrackNumbersOfAll(const QStringList& paths) {
    std::vector<TrackNumber> numbers(static_cast<size_t>(paths.size()));
    std::atomic<bool> all{true};
    ReadInParallel(paths.size(), [&](qsizetype i) {
        TagFile file(paths[i]);
        numbers[static_cast<size_t>(i)] = TrackNumberOf(file, paths[i]);
        if (numbers[static_cast<size_t>(i)].track > 0) return true;
        all = false;
        return false;
    });
    if (!all) return std::nullopt;
    return numbers;
}

std::vector<size_t> AlbumOrder(const std::vector<TrackNumber>& numbers) {
    const auto place = [&](size_t i) {
        return std::pair(std::max(numbers[i].disc, 1), numbers[i].track);
    };
    std::vector<size_t> order(numbers.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return place(a) < place(b); });
    for (size_t k = 1; k < order.size(); ++k)
        if (place(order[k - 1]) == place(order[k])) return {};
    return order;
}

}  // namespace qv
