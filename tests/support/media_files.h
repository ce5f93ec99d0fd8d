// Small media files made by the tests themselves: a WAV of silence, an "MP3"
// that is just an ID3v2.3 tag (enough for titles), and a minimal MIDI file.
#pragma once

#include <QByteArray>
#include <QString>

namespace qvtest {

// A 16-bit mono PCM WAV of the given length.
QByteArray WavBytes(int milliseconds = 200);
// An ID3v2.3 tag with the frames that are not empty, then a few bytes of padding.
QByteArray Id3Bytes(const QString& title, const QString& artist = {}, const QString& comment = {},
                    const QString& album = {});
// A format-0 MIDI file with one short note.
QByteArray MidiBytes();

}  // namespace qvtest
