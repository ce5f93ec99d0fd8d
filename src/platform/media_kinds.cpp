// The table of media kinds and the lookups over it.
#include "platform/media_kinds.h"

#include "platform/paths.h"

namespace qv {
namespace {

// CD audio track files have a device type and a name, but no file of theirs
// holds sound, so the library never lists them (no picture). The device plays
// whatever its decoders know, so the newer kinds open as MP3 does.
// clang-format off
constexpr MediaKind kKinds[] = {
    // extension  device type     name         picture  tag                 title from the tag
    {u"MID",      u"Sequencer",   u"MIDI",     5,       TagFormat::ID3,     false},
    {u"MP3",      u"MPEGVideo",   u"MP3",      7,       TagFormat::ID3,     true},
    {u"WAV",      u"WaveAudio",   u"WAVE",     6,       TagFormat::ID3,     false},
    {u"WMA",      u"MPEGVideo2",  u"WMA",      8,       TagFormat::Asf,     true},
    {u"ASF",      u"MPEGVideo2",  u"ASF",      8,       TagFormat::Asf,     true},
    {u"AU",       u"MPEGVideo",   u"AU",       7,       TagFormat::ID3,     false},
    {u"CDA",      u"CDAudio",     u"CDAudio",  0,       TagFormat::ID3,     false},
    {u"FLAC",     u"MPEGVideo",   u"FLAC",     10,      TagFormat::Flac,    true},
    {u"OGG",      u"MPEGVideo",   u"OGG",      11,      TagFormat::Ogg,     true},
    {u"OGA",      u"MPEGVideo",   u"OGA",      11,      TagFormat::Ogg,     true},
    {u"OPUS",     u"MPEGVideo",   u"OPUS",     11,      TagFormat::Ogg,     true},
    {u"M4A",      u"MPEGVideo",   u"M4A",      11,      TagFormat::Mp4,     true},
};
// clang-format on

}  // namespace

const MediaKind* FindMediaKind(QStringView Extension) {
    for (const MediaKind& kind : kKinds)
        if (kind.extension == Extension) return &kind;
    return nullptr;
}

QString EntryExtension(const QString& name) {
    return GetExtension(name).toUpper();
}

int MediaImage(const QString& Extension) {
    const MediaKind* kind = FindMediaKind(Extension);
    return kind ? kind->picture : 0;
}

bool IsMediaKind(const QString& Extension) {
    return MediaImage(Extension) != 0;
}

bool KindReadsTags(const QString& MediaType) {
    for (const MediaKind& kind : kKinds)
        if (kind.name == MediaType) return kind.readsTags;
    return false;
}

TagFormat KindTagFormat(QStringView Extension) {
    const MediaKind* kind = FindMediaKind(Extension);
    return kind ? kind->tags : TagFormat::ID3;
}

}  // namespace qv
