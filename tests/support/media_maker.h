// Short media files of all six kinds for the media-control tests and the
// benchmark: WAV, AU and MIDI bytes written here, MP3 and Windows Media made
// with Debian's tools (ffmpeg, gst-launch-1.0) into a folder of the caller's.
#pragma once

#include <QByteArray>
#include <QString>

namespace qvtest {

enum class MediaKind {
    Wav,        // 16-bit stereo PCM, 44.1 kHz
    AuPcm,      // 16-bit big-endian linear PCM AU
    AuAlaw,     // 8 kHz A-law AU
    Midi,       // Standard MIDI file, format 0
    Mp3Xing,    // variable bit rate with a Xing header (ffmpeg)
    Mp3NoXing,  // variable bit rate, no Xing header, silence then noise (lamemp3enc)
    Wma,        // Windows Media Audio 2
    Asf,        // the same codec in a file named .asf
};

const char* KindName(MediaKind kind);
QString KindExtension(MediaKind kind);  // "wav", "au", "mid", "mp3", "wma", "asf"
QString KindDeviceType(MediaKind kind);

QByteArray WavFile(int ms, bool silent = false, bool noiseInSecondHalf = false);
QByteArray AuFile(int ms, bool alaw);
QByteArray MidiFile(int ms);

// Writes <folder>/<name> of the kind, about ms long. "" and *error on failure
// (a tool missing or failing).
QString MakeMedia(MediaKind kind, const QString& folder, const QString& name, int ms,
                  QString* error);

}  // namespace qvtest
