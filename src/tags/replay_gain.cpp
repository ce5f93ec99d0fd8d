// The gain tags of a file, through TagLib over our bounded stream: every
// field of the tag that holds them gathered under its upper-cased name, then
// the four values looked up there.
#include "tags/replay_gain.h"

#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

#include <QHash>

#include "platform/media_kinds.h"
#include "tags/taglib_file.h"

namespace qv {
namespace {

// Field name (upper case) -> its first value; the first tag to name a field
// keeps it.
using Fields = QHash<QString, QString>;

void Gather(Fields& fields, const TagLib::PropertyMap& map) {
    for (const auto& [name, values] : map)
        if (!values.isEmpty()) fields.insert(ToQString(name).toUpper(), ToQString(values.front()));
}

// iTunes-style freeform items, "----:com.apple.iTunes:<name>", are where
// MP4 taggers put the gains; the data is text, whatever type it claims.
void GatherMp4(Fields& fields, const TagLib::MP4::Tag& tag) {
    static const QString kFreeform = QStringLiteral("----:com.apple.itunes:");
    const TagLib::MP4::ItemMap items = tag.itemMap();
    for (const auto& [key, item] : items) {
        const QString name = ToQString(key);
        if (!name.startsWith(kFreeform, Qt::CaseInsensitive)) continue;
        QString text;
        if (!item.toStringList().isEmpty())
            text = ToQString(item.toStringList().front());
        else if (!item.toByteVectorList().isEmpty())
            text = QString::fromUtf8(item.toByteVectorList().front().data(),
                                     item.toByteVectorList().front().size());
        fields.insert(name.mid(kFreeform.size()).toUpper(), text);
    }
}

void GatherAsf(Fields& fields, const TagLib::ASF::Tag& tag) {
    const TagLib::ASF::AttributeListMap& attributes = tag.attributeListMap();
    for (const auto& [name, list] : attributes)
        if (!list.isEmpty())
            fields.insert(ToQString(name).toUpper(), ToQString(list.front().toString()));
}

Fields FieldsOf(TagLib::File& file, TagFormat format) {
    Fields fields;
    switch (format) {
        case TagFormat::ID3: {
            auto& mpeg = static_cast<TagLib::MPEG::File&>(file);
            // TXXX frames come out under their description.
            if (mpeg.hasID3v2Tag()) Gather(fields, mpeg.ID3v2Tag()->properties());
            if (mpeg.hasAPETag()) Gather(fields, mpeg.APETag()->properties());
            break;
        }
        case TagFormat::Mp4:
            if (const auto* tag = static_cast<TagLib::MP4::File&>(file).tag())
                GatherMp4(fields, *tag);
            break;
        case TagFormat::Asf:
            if (const auto* tag = static_cast<TagLib::ASF::File&>(file).tag())
                GatherAsf(fields, *tag);
            break;
        case TagFormat::Flac:
        case TagFormat::Ogg:
            Gather(fields, file.properties());
            break;
    }
    return fields;
}

ReplayGain FromFields(const Fields& fields) {
    const auto text = [&](const char* name) { return fields.value(QString::fromLatin1(name)); };
    ReplayGain gain{ParseReplayGain(text("REPLAYGAIN_TRACK_GAIN")),
                    ParseReplayPeak(text("REPLAYGAIN_TRACK_PEAK")),
                    ParseReplayGain(text("REPLAYGAIN_ALBUM_GAIN")),
                    ParseReplayPeak(text("REPLAYGAIN_ALBUM_PEAK"))};
    // Opus's own gains win over ReplayGain fields some taggers add too.
    if (const auto r128 = ParseR128Gain(text("R128_TRACK_GAIN"))) gain.trackGain = r128;
    if (const auto r128 = ParseR128Gain(text("R128_ALBUM_GAIN"))) gain.albumGain = r128;
    return gain;
}

}  // namespace

ReplayGain ReadReplayGain(const QString& FilePath) {
    const QString extension = EntryExtension(FilePath);
    const TagFormat format = KindTagFormat(extension);
    // Of the kinds read as ID3, only MP3 carries gains (WAV, AU and MIDI
    // files have no place taggers use for them).
    const bool mpeg = extension == u"MP3";
    if (format == TagFormat::ID3 && !mpeg) return {};
    TagFile file(FilePath);
    return ReadWithTagLib(file, format, mpeg, ReplayGain{}, [format](TagLib::File& read) {
        return FromFields(FieldsOf(read, format));
    });
}

}  // namespace qv
