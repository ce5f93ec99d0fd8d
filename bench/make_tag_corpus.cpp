// make-tag-corpus FOLDER [COUNT] [TESTDATA]: writes COUNT (20000) tagged MP3
// files for the tag benchmark: copies of the public test files and made-up tags.
//
// The mix follows what a music folder holds: mostly ID3v2.3 and 2.4, some 2.2
// and v1-only files, many with an ID3v1 tag at the end too, a third with cover
// art (sometimes before the text frames), padding, Japanese and Western text
// in every encoding. Files have realistic lengths of several megabytes, but
// the audio past the first frames is a hole, so the corpus costs little disk.
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "id3_builder.h"
#include "platform/textcodec.h"

using namespace qvtest::id3;

namespace {

struct Names {
    const char* western;
    const char* japanese;  // UTF-8
};

constexpr Names kTitles[] = {
    {"Morning Light", "朝の光"},   {"Blue River", "青い川"},       {"Night Train", "夜行列車"},
    {"Distant Shore", "遠い岸辺"}, {"Paper Moon", "紙の月"},       {"Café Society", "喫茶店にて"},
    {"Winter Song", "冬の歌"},     {"Slow Dance", "スローダンス"},
};
constexpr Names kArtists[] = {
    {"The Lanterns", "ランタンズ"}, {"Mira Okafor", "岡部ミラ"},
    {"Quiet Harbour", "静かな港"},  {"Jonas Brandt", "ヨナス・ブラント"},
    {"Saltwater", "潮騒"},
};
constexpr Names kAlbums[] = {
    {"Field Notes", "野帳"},
    {"Second Hand Stars", "古い星"},
    {"Live at the Hall", "ホール公演"},
};

class Maker {
  public:
    explicit Maker(unsigned seed) : rng_(seed) {}

    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return pick(100) < percent; }

    QByteArray text(const Names& n, bool japanese) {
        return japanese ? QByteArray(n.japanese) : QByteArray(n.western);
    }

    // A text in the given ID3v2 encoding, from UTF-8; code page 932 for encoding 0
    // where the text has Japanese in it, as Japanese taggers wrote.
    static QByteArray encode(const QByteArray& utf8, int encoding) {
        const QString s = QString::fromUtf8(utf8);
        switch (encoding) {
            case 1:
                return Utf16(s, true);
            case 2:
                return Utf16(s, false, false);
            case 3:
                return utf8;
            default:
                return toCp932(s);
        }
    }

    static QByteArray toCp932(const QString& s) {
        QByteArray out;
        return qv::EncodeCp932(s, &out) ? out : s.toLatin1();  // Western taggers: Latin-1
    }

    QByteArray picture() {
        // A stand-in JPEG: marker, then filler of the size of a small cover.
        const int size = 8000 + pick(70000);
        return QByteArray("\0image/jpeg\0\x03\0\xFF\xD8\xFF\xE0", 17) + QByteArray(size, '\x42');
    }

    QByteArray v2Tag() {
        const int roll = pick(100);
        const int major = roll < 12 ? 2 : roll < 65 ? 3 : 4;
        const bool japanese = chance(35);
        int encoding = major == 4 ? (chance(70) ? 3 : 1) : (chance(55) ? 0 : 1);
        if (chance(5)) encoding = 2;
        auto frame = [&](const char* id4, const char* id3, const QByteArray& body) {
            if (major == 2) return Frame22(id3, body);
            return major == 3 ? Frame23(id4, body) : Frame24(id4, body);
        };
        auto textFrame = [&](const char* id4, const char* id3, const QByteArray& utf8) {
            return frame(id4, id3, TextBody(encoding, encode(utf8, encoding)));
        };
        const QByteArray cover = chance(33) ? frame("APIC", "PIC", picture()) : QByteArray();
        QByteArray frames;
        if (!cover.isEmpty() && chance(40)) frames += cover;  // some writers put art first
        frames += textFrame("TIT2", "TT2", text(kTitles[pick(8)], japanese));
        frames += textFrame("TPE1", "TP1", text(kArtists[pick(5)], japanese));
        if (chance(85)) frames += textFrame("TALB", "TAL", text(kAlbums[pick(3)], japanese));
        frames += textFrame("TRCK", "TRK", QByteArray::number(1 + pick(14)));
        frames +=
            textFrame(major == 4 ? "TDRC" : "TYER", "TYE", QByteArray::number(1970 + pick(55)));
        if (chance(60)) frames += textFrame("TCON", "TCO", "(17)Rock");
        if (chance(50)) {
            const QByteArray nul(encoding == 1 || encoding == 2 ? 2 : 1, '\0');
            frames += frame("COMM", "COM",
                            QByteArray(1, static_cast<char>(encoding)) + "eng" +
                                (encoding == 1 ? QByteArray("\xFF\xFE", 2) : QByteArray()) + nul +
                                encode(chance(50) ? "Ripped at home" : "自宅で取り込み", encoding));
        }
        if (chance(30) && major > 2)
            frames +=
                frame("PRIV", "", QByteArray("WM/MediaClassPrimaryID\0", 23) + QByteArray(16, 'g'));
        if (!cover.isEmpty() && !frames.startsWith(cover)) frames += cover;
        const int padding = chance(70) ? pick(2048) : 0;
        uint8_t flags = 0;
        if (major == 3 && chance(4)) {  // a few unsynchronised tags from old writers
            frames = Unsynchronise(frames);
            flags = 0x80;
        }
        return Tag(major, frames, flags, padding);
    }

    QByteArray v1Tag() {
        const Names& title = kTitles[pick(8)];
        const bool japanese = chance(30);
        const QByteArray t =
            japanese ? toCp932(QString::fromUtf8(title.japanese)) : QByteArray(title.western);
        return V1(t, kArtists[pick(5)].western, kAlbums[pick(3)].western, "v1 comment",
                  chance(50) ? 1 + pick(20) : 0);
    }

  private:
    std::mt19937 rng_;
};

// Writes head, a few real audio frames, a hole up to the file's length, and
// tail at the very end.
bool writeFile(const QString& path, const QByteArray& head, const QByteArray& tail, qint64 length) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray start = head + Audio(8 * 417);
    if (f.write(start) != start.size()) return false;
    if (length > start.size() + tail.size() && !f.resize(length - tail.size())) return false;
    if (!f.seek(f.size()) || f.write(tail) != tail.size()) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: make-tag-corpus FOLDER [COUNT] [TESTDATA_ID3_FOLDER]\n", stderr);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 20000;
    const QString testdata =
        argc > 3 ? QFile::decodeName(argv[3]) : QStringLiteral(QV_TESTDATA "/id3");
    if (count <= 0 || !QDir().mkpath(folder)) {
        std::fprintf(stderr, "make-tag-corpus: cannot use %s\n", argv[1]);
        return 2;
    }
    QList<QByteArray> known;
    const QDir dir(testdata);
    for (const QString& name : dir.entryList({"*.mp3", "*.id3"}, QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly)) known.append(f.readAll());
    }

    Maker maker(20261206);
    qint64 bytesOnDisk = 0;
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/%2.mp3").arg(folder).arg(i, 5, 10, QChar('0'));
        const qint64 length = 2'000'000 + maker.pick(6'000'000);
        QByteArray head, tail;
        const int kind = maker.pick(100);
        if (kind < 8 && !known.isEmpty()) {
            // A public test file as it is, or with audio appended after it.
            const QByteArray& file = known[maker.pick(known.size())];
            if (maker.chance(50)) {
                QFile f(path);
                if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size()) return 1;
                bytesOnDisk += file.size();
                continue;
            }
            head = file;
        } else if (kind < 20) {
            tail = maker.v1Tag();  // ID3v1 only
        } else if (kind < 24) {
            // no tag at all
        } else {
            head = maker.v2Tag();
            if (maker.chance(30)) tail = maker.v1Tag();
        }
        if (!writeFile(path, head, tail, length)) {
            std::fprintf(stderr, "make-tag-corpus: cannot write %s\n", qPrintable(path));
            return 1;
        }
        bytesOnDisk += head.size() + 8 * 417 + tail.size();
    }
    std::printf("%d files in %s (%.1f MB of data, the rest holes)\n", count, qPrintable(folder),
                bytesOnDisk / 1e6);
    return 0;
}
