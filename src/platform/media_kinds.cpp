// The table of media kinds and the lookups over it.
#include "platform/media_kinds.h"

namespace qv {
namespace {

// CD audio track files have a device type and a name, but no file of theirs
// holds sound, so the library never lists them (no picture). The device plays
// whatever its decoders know, so the newer kinds open as MP3 does. A WMA or
// ASF line is named after its file and the status bar looks for an ID3 tag
// there, as Windows users of the program know them; their own tags still
// reach the hover text and the desktop's media controls.
// clang-format off
constexpr MediaKind kKinds[] = {
    // extension  device type     name         picture  tag                 title from tag  tag in status bar
    {u"MID",      u"Sequencer",   u"MIDI",     5,       TagFormat::ID3,     false,          true},
    {u"MP3",      u"MPEGVideo",   u"MP3",      7,       TagFormat::ID3,     true,           true},
    {u"WAV",      u"WaveAudio",   u"WAVE",     6,       TagFormat::ID3,     false,          true},
    {u"WMA",      u"MPEGVideo2",  u"WMA",      8,       TagFormat::Asf,     false,          false},
    {u"ASF",      u"MPEGVideo2",  u"ASF",      8,       TagFormat::Asf,     false,          false},
    {u"AU",       u"MPEGVideo",   u"AU",       7,       TagFormat::ID3,     false,          true},
    {u"CDA",      u"CDAudio",     u"CDAudio",  0,       TagFormat::ID3,     false,          true},
    {u"FLAC",     u"MPEGVideo",   u"FLAC",     10,      TagFormat::Flac,    true,           true},
    {u"OGG",      u"MPEGVideo",   u"OGG",      11,      TagFormat::Ogg,     true,           true},
    {u"OGA",      u"MPEGVideo",   u"OGA",      11,      TagFormat::Ogg,     true,           true},
    {u"OPUS",     u"MPEGVideo",   u"OPUS",     11,      TagFormat::Ogg,     true,           true},
    {u"M4A",      u"MPEGVideo",   u"M4A",      11,      TagFormat::Mp4,     true,           true},
};
// clang-format on

}  // namespace

const MediaKind* FindMediaKind(QStringView Extension) {
    for (const MediaKind& kind : kKinds)
        if (kind.extension == Extension) return &kind;
    return nullptr;
}

namespace {

// Whether text upper-cased is key, an upper-case ASCII extension; false for
// any text beyond ASCII, which only the full upper-casing can tell.
bool AsciiUpperIs(QStringView text, QStringView key) {
    if (text.size() != key.size()) return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'a' && c <= u'z') c -= u'a' - u'A';
        if (c != key[i].unicode()) return false;
    }
    return true;
}

}  // namespace

QString EntryExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return QString();
    const QStringView extension = QStringView(name).sliced(dot + 1);
    // A kind's extension is handed out as the table spells it, without a
    // copy: a walk asks this of every file it meets.
    for (const MediaKind& kind : kKinds)
        if (AsciiUpperIs(extension, kind.extension))
            return QString::fromRawData(reinterpret_cast<const QChar*>(kind.extension.data()),
                                        kind.extension.size());
    return extension.toString().toUpper();
}

QStringList MediaExtensions() {
    QStringList out;
    for (const MediaKind& kind : kKinds)
        if (kind.picture != 0) out.append(kind.extension.toString());
    return out;
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

TagFormat KindShownTagFormat(QStringView Extension) {
    const MediaKind* kind = FindMediaKind(Extension);
    return kind && kind->showsOwnTag ? kind->tags : TagFormat::ID3;
}

}  // namespace qv
