// The fuzz targets' media folder and failure report.
#include "fuzz_media.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <cstdlib>

#include "support/media_files.h"

namespace qvfuzz {
namespace {

struct MediaFile {
    const char* name;
    QByteArray bytes;
};

QList<MediaFile> Files() {
    return {
        {"a.mp3", qvtest::Id3Bytes(QStringLiteral("朝の光"), QStringLiteral("ランタンズ"))},
        {"b.wav", qvtest::WavBytes(100)},
        {"c.mid", qvtest::MidiBytes()},
        {"Pop/d.mp3", qvtest::Id3Bytes(QStringLiteral("Blue River"))},
        {"Pop/e.wma", QByteArray("not really audio")},
        {"日本語/f.au", QByteArray(".snd")},
        {"with blank/g.asf", QByteArray("x")},
        {"notes.txt", QByteArray("not media")},
    };
}

}  // namespace

QString MediaFolder() {
    static const QString folder = [] {
        const QString f = QStringLiteral(QV_FUZZ_MEDIA_DIR);
        for (const MediaFile& m : Files()) {
            const QString path = f + QString::fromUtf8(m.name);
            // Several fuzzers may start at once: write only what is missing,
            // through a rename, so no reader sees half a file.
            if (QFile::exists(path)) continue;
            QDir().mkpath(path.left(path.lastIndexOf(u'/')));
            QSaveFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(m.bytes) != m.bytes.size() ||
                !out.commit())
                Fail("cannot write the media folder", path);
        }
        return f;
    }();
    return folder;
}

QStringList MediaFiles() {
    QStringList out;
    const QString folder = MediaFolder();
    for (const MediaFile& m : Files()) out.append(folder + QString::fromUtf8(m.name));
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

void Fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "fuzz property failed: %s\n%s\n", what, qPrintable(detail));
    std::abort();
}

}  // namespace qvfuzz
