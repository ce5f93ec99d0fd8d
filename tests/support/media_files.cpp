// Media test files, byte by byte.
#include "support/media_files.h"

#include <QtEndian>

namespace qvtest {
namespace {

void Le32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Le16(QByteArray& b, quint16 v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}
void Be32(QByteArray& b, quint32 v) {
    for (int i = 3; i >= 0; --i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

QByteArray Frame(const char* id, const QByteArray& body) {
    QByteArray f(id);
    Be32(f, static_cast<quint32>(body.size()));
    f.append(2, '\0');
    f.append(body);
    return f;
}

}  // namespace

QByteArray WavBytes(int milliseconds) {
    const quint32 rate = 8000;
    const quint32 samples = rate * static_cast<quint32>(milliseconds) / 1000;
    const quint32 data = samples * 2;
    QByteArray b("RIFF");
    Le32(b, 36 + data);
    b.append("WAVEfmt ");
    Le32(b, 16);
    Le16(b, 1);
    Le16(b, 1);
    Le32(b, rate);
    Le32(b, rate * 2);
    Le16(b, 2);
    Le16(b, 16);
    b.append("data");
    Le32(b, data);
    b.append(static_cast<qsizetype>(data), '\0');
    return b;
}

QByteArray Id3Bytes(const QString& title, const QString& artist, const QString& comment,
                    const QString& album) {
    // Text frames in UTF-16 with a byte-order mark (encoding 1), so that
    // Japanese titles survive.
    auto text = [](const QString& s) {
        QByteArray body(1, '\x01');
        body.append("\xFF\xFE", 2);
        for (QChar c : s) {
            body.append(static_cast<char>(c.unicode() & 0xFF));
            body.append(static_cast<char>(c.unicode() >> 8));
        }
        return body;
    };
    QByteArray frames;
    if (!title.isEmpty()) frames += Frame("TIT2", text(title));
    if (!artist.isEmpty()) frames += Frame("TPE1", text(artist));
    if (!album.isEmpty()) frames += Frame("TALB", text(album));
    if (!comment.isEmpty()) {
        // Language, an empty description (two NULs in UTF-16), then the text.
        QByteArray body = text(QString());
        body.insert(1, "eng", 3);
        body.append("\0\0", 2);
        body.append(text(comment).mid(1));
        frames += Frame("COMM", body);
    }
    frames.append(16, '\0');  // padding
    QByteArray b("ID3\x03\x00\x00", 6);
    const quint32 n = static_cast<quint32>(frames.size());
    b.append(static_cast<char>((n >> 21) & 0x7F));
    b.append(static_cast<char>((n >> 14) & 0x7F));
    b.append(static_cast<char>((n >> 7) & 0x7F));
    b.append(static_cast<char>(n & 0x7F));
    return b + frames;
}

QByteArray MidiBytes() {
    QByteArray b("MThd");
    Be32(b, 6);
    b.append("\x00\x00\x00\x01\x00\x60", 6);
    const QByteArray track("\x00\x90\x3C\x40\x60\x80\x3C\x40\x00\xFF\x2F\x00", 12);
    b.append("MTrk");
    Be32(b, static_cast<quint32>(track.size()));
    return b + track;
}

}  // namespace qvtest
