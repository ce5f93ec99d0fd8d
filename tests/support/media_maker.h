// Short media files of every kind for the media-control tests and the
// benchmark: MIDI bytes written here, the rest made with ffmpeg from its own
// generated sound into a folder of the caller's; and the small files of
// media_files.h, byte by byte.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qvtest {

// Wav: 16-bit stereo PCM, 44.1 kHz. AuPcm: 16-bit big-endian linear PCM AU.
// AuAlaw: 8 kHz A-law AU. Midi: Standard MIDI file, format 0. Mp3Xing:
// variable bit rate with a Xing header. Mp3NoXing: variable bit rate, no
// Xing header, noise fading in from silence. Wma: Windows Media Audio 2.
// Asf: the same codec in a file named .asf. Flac: native FLAC. Vorbis: Ogg
// Vorbis (.ogg). OggFlac: FLAC in Ogg (.oga). Opus: Ogg Opus. M4a: AAC in MP4.
enum class MediaKind {
    Wav,
    AuPcm,
    AuAlaw,
    Midi,
    Mp3Xing,
    Mp3NoXing,
    Wma,
    Asf,
    Flac,
    Vorbis,
    OggFlac,
    Opus,
    M4a
};

const char* KindName(MediaKind kind);
QString KindExtension(MediaKind kind);  // "wav", "au", "mid", "mp3", "wma", "asf", "flac", …

// A silent 16-bit mono PCM WAV at 8 kHz (media_files.h).
QByteArray WavBytes(int milliseconds = 200);
// An ID3v2.3 tag with the frames that are not empty, then a few bytes of
// padding (media_files.h).
QByteArray Id3Bytes(const QString& title, const QString& artist = {}, const QString& comment = {},
                    const QString& album = {});
// A short format-0 MIDI file (media_files.h).
QByteArray MidiBytes();

// Writes <folder>/<name> of the kind, about ms long, with the tag fields of
// metadata ("title=…", "artist=…", "album=…", "comment=…"; not for MIDI).
// "" and *error on failure (ffmpeg missing or failing).
QString MakeMedia(MediaKind kind, const QString& folder, const QString& name, int ms,
                  QString* error, const QStringList& metadata = {});

}  // namespace qvtest
