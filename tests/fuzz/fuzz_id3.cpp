// Fuzz target of the ID3 reader: the input is a whole media file. Every reader
// entry point runs over it; the version and the title fallback must hold.
#include <QByteArray>
#include <QTemporaryDir>

#include "fuzz_media.h"
#include "tags/id3.h"

namespace {

QString TagPath() {
    static QTemporaryDir dir;
    static const QString path = dir.path() + QStringLiteral("/input.mp3");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = qvfuzz::Bytes(data, size);
    const QString path = TagPath();
    if (!qvfuzz::WriteFile(path, bytes)) qvfuzz::Fail("cannot write the input file", path);

    const QString version = qv::GetID3Version(path);
    const bool v2 = bytes.startsWith("ID3");
    const bool v1 =
        !v2 && bytes.size() >= 128 && bytes.sliced(bytes.size() - 128).startsWith("TAG");
    const QString expected = v2 ? "2.x" : v1 ? "1.x" : "None";
    if (version != expected) qvfuzz::Fail("GetID3Version", version + " instead of " + expected);

    const qv::ID3v1Tag t1 = qv::ReadID3v1(path);
    // Fields are at most 30 bytes, so never more than 30 characters.
    if (t1.Title.size() > 30 || t1.Artist.size() > 30 || t1.Album.size() > 30 ||
        t1.Year.size() > 4 || t1.Comment.size() > 30)
        qvfuzz::Fail("ID3v1 field longer than its bytes");
    if (v2) {
        const qv::ID3v2Tag t2 = qv::ReadID3v2(path);
        // Text comes only from the file: no frame can hold more characters
        // than the file has bytes.
        for (const QString* s : {&t2.Title, &t2.LeadArtist, &t2.Album, &t2.CommentText,
                                 &t2.CommentDescription, &t2.Genre, &t2.Track})
            if (s->size() > bytes.size()) qvfuzz::Fail("ID3v2 text longer than the file");
    }
    const qv::TagInfo info = qv::ReadID3Tag(path);
    if (info.Title.isEmpty()) qvfuzz::Fail("ReadID3Tag gave no title");
    return 0;
}
