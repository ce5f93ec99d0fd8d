// Media files for tests, and the byte-by-byte ones of media_files.h. The tones
// are plain sines; the MP3 without a Xing header is noise fading in from
// silence, so that its bit rate changes a lot and any length estimated from
// the first frames is far off.
#include "support/media_maker.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include "id3_builder.h"

namespace qvtest {
namespace {

// The n low bytes of v, least significant first unless bigEndian.
QByteArray Bytes(quint32 v, int n, bool bigEndian = false) {
    QByteArray b;
    for (int i = 0; i < n; ++i) b.append(char(v >> 8 * (bigEndian ? n - 1 - i : i)));
    return b;
}

QByteArray Vlq(quint32 n) {
    QByteArray out(1, char(n & 0x7F));
    while (n >>= 7) out.prepend(char(0x80 | (n & 0x7F)));
    return out;
}

// A format-0 file of two notes over ms: 480 ticks a quarter note at 120 beats a minute, 960
// ticks a second.
QByteArray MidiFile(int ms) {
    const quint32 end = quint32(qint64(ms) * 960 / 1000);
    // Tempo 500000 us, piano, C4 on; C4 off, E4 on; E4 off, end of track.
    const QByteArray track = QByteArray("\0\xFF\x51\x03\x07\xA1\x20\0\xC0\0\0\x90\x3C\x64", 14) +
                             Vlq(end / 2) + QByteArray("\x80\x3C\x40\0\x90\x40\x64", 7) +
                             Vlq(end - end / 2) + QByteArray("\x80\x40\x40\0\xFF\x2F\0", 7);
    return "MThd" + Bytes(6, 4, true) + Bytes(1, 4, true) + QByteArray("\x01\xE0", 2) + "MTrk" +
           Bytes(quint32(track.size()), 4, true) + track;
}

// In the order of MediaKind, with ffmpeg's output options.
constexpr struct {
    const char *name, *extension, *codec;
} kKinds[] = {{"Wav", "wav", "-c:a pcm_s16le -ac 2"},
              {"AuPcm", "au", "-c:a pcm_s16be"},
              {"AuAlaw", "au", "-c:a pcm_alaw -ar 8000"},
              {"Midi", "mid", ""},
              {"Mp3Xing", "mp3", "-c:a libmp3lame -q:a 4"},
              {"Mp3NoXing", "mp3", "-c:a libmp3lame -q:a 2 -write_xing 0"},
              {"Wma", "wma", "-c:a wmav2 -b:a 64k"},
              {"Asf", "asf", "-c:a wmav2 -b:a 64k -f asf"},
              {"Flac", "flac", "-c:a flac"},
              {"Vorbis", "ogg", "-c:a libvorbis"},
              {"OggFlac", "oga", "-c:a flac -f ogg"},
              {"Opus", "opus", "-c:a libopus"},
              {"M4a", "m4a", "-c:a aac"}};

}  // namespace

const char* KindName(MediaKind kind) {
    return kKinds[static_cast<int>(kind)].name;
}
QString KindExtension(MediaKind kind) {
    return kKinds[static_cast<int>(kind)].extension;
}

QByteArray WavBytes(int milliseconds) {
    // Silent 16-bit mono PCM at 8 kHz.
    const quint32 data = 8000 * quint32(milliseconds) / 1000 * 2;
    return "RIFF" + Bytes(36 + data, 4) + "WAVEfmt " + Bytes(16, 4) + Bytes(1, 2) + Bytes(1, 2) +
           Bytes(8000, 4) + Bytes(16000, 4) + Bytes(2, 2) + Bytes(16, 2) + "data" + Bytes(data, 4) +
           QByteArray(qsizetype(data), '\0');
}

QByteArray Id3Bytes(const QString& title, const QString& artist, const QString& comment,
                    const QString& album) {
    // Text in UTF-16 with a byte-order mark (encoding 1), so that Japanese
    // titles survive; a comment has an empty description.
    using namespace id3;
    const std::pair<const char*, QString> texts[] = {
        {"TIT2", title}, {"TPE1", artist}, {"TALB", album}, {"COMM", comment}};
    QByteArray frames;
    for (const auto& [id, text] : texts) {
        const QByteArray body = Utf16(text, true);
        if (!text.isEmpty())
            frames += Frame23(id, id == QByteArray("COMM") ? CommentBody(1, Utf16({}, true), body)
                                                           : TextBody(1, body));
    }
    return Tag(3, frames, 0, 16);  // and 16 bytes of padding
}

QByteArray MidiBytes() {
    return MidiFile(200);
}

QString MakeMedia(MediaKind kind, const QString& folder, const QString& name, int ms,
                  QString* error, const QStringList& metadata) {
    const QString out = QDir(folder).filePath(name);
    if (kind == MediaKind::Midi) {
        QFile f(out);
        if (f.open(QIODevice::WriteOnly) && f.write(MidiFile(ms)) > 0) return out;
        *error = "cannot write " + out;
        return {};
    }
    const QString source = QString(kind == MediaKind::Mp3NoXing ? "anoisesrc=a=0.9:d=%1,afade=d=%1"
                                                                : "sine=frequency=440:duration=%1")
                               .arg(ms / 1000.0);
    QStringList tags;
    for (const QString& field : metadata) tags << "-metadata" << field;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f",
                                  "lavfi", "-i", source} +
                          QString(kKinds[static_cast<int>(kind)].codec).split(' ') + tags +
                          QStringList{out});
    // waitForFinished fails too when ffmpeg does not start.
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
        QFile(out).size() > 0)
        return out;
    *error = "ffmpeg (scripts/deps installs it) failed: " + p.errorString() + " " +
             QString::fromLocal8Bit(p.readAll());
    return {};
}

}  // namespace qvtest
