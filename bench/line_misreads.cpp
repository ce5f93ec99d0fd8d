// How often a line whose file is gone reads otherwise than it was written:
// random names as the Windows program and as Linux tools write them, in files
// of 1 to 40 lines that name nothing on disk, read as the program reads them.
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>
#include <functional>

#include "platform/line_reading.h"
#include "platform/textcodec.h"

namespace {

// Characters from the ranges given as first, last pairs.
QString Pool(std::initializer_list<std::pair<char16_t, char16_t>> ranges) {
    QString pool;
    for (const auto& [first, last] : ranges)
        for (char16_t c = first; c <= last; ++c) pool += QChar(c);
    return pool;
}

// The kanji of the first JIS level (code page 932 lead bytes 88 to 98): the
// common ones names are made of.
QString CommonKanji() {
    QString pool;
    for (int lead = 0x88; lead <= 0x98; ++lead)
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            bool ok = false;
            const char pair[2] = {char(lead), char(trail)};
            const QString c = qv::DecodeCp932(QByteArrayView(pair, 2), &ok);
            if (ok && c.size() == 1 && c[0].unicode() >= 0x4E00) pool += c;
        }
    return pool;
}

QChar Pick(QRandomGenerator& random, const QString& pool) {
    return pool[random.bounded(int(pool.size()))];
}

struct Kind {
    const char* name;
    bool utf8;  // written in UTF-8 on Linux, else in code page 932 on Windows
    std::function<QString(QRandomGenerator&)> make;
};

}  // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString ascii = Pool({{u'a', u'z'}, {u'A', u'Z'}, {u'0', u'9'}});
    const QString halfWidth = Pool({{0xFF61, 0xFF9F}});
    const QString kana = Pool({{0x3041, 0x3093}, {0x30A1, 0x30F6}}), kanji = CommonKanji();
    const QString accented = QStringLiteral("éèêëáàâäíóöôúüûñçøåæœßřšžčěýÉÇÁÖÜŠŽ");
    const QString greek = Pool({{0x3B1, 0x3C9}});
    const Kind kinds[] = {
        {"Windows: half-width katakana and ASCII", false,
         [&](QRandomGenerator& r) {
             QString s;
             for (int i = 0, n = 2 + r.bounded(11); i < n; ++i)
                 s += Pick(r, r.bounded(2) ? halfWidth : ascii);
             return s;
         }},
        {"Linux: kana and kanji in UTF-8", true,
         [&](QRandomGenerator& r) {
             QString s;
             for (int i = 0, n = 1 + r.bounded(8); i < n; ++i)
                 s += Pick(r, r.bounded(3) ? kana : kanji);
             return s;
         }},
        {"Linux: European words in UTF-8", true,
         [&](QRandomGenerator& r) {
             QString s;
             for (int w = 0, words = 1 + r.bounded(3); w < words; ++w) {
                 if (w) s += u' ';
                 const bool isGreek = r.bounded(10) == 0;
                 for (int i = 0, n = 3 + r.bounded(7); i < n; ++i)
                     s += isGreek             ? Pick(r, greek)
                          : r.bounded(6) == 0 ? Pick(r, accented)
                                              : Pick(r, ascii.left(26));
             }
             return s;
         }},
    };
    // Nothing on disk answers for these paths: only the file and the line decide.
    const qv::LinePath path = [](const QString& line) { return line; };
    // Misread lines as the file reads them, among the lines valid both ways, and as the rule of
    // a single line alone reads them (every line by itself, as before files were read whole).
    std::printf("%-40s %5s %12s %13s %13s %13s\n", "names", "lines", "no evidence", "misread",
                "of ambiguous", "line by line");
    for (const Kind& kind : kinds) {
        for (int lines : {1, 5, 10, 40}) {
            QRandomGenerator random(20261207);
            long files = samples / lines, silent = 0, misread = 0, ambiguous = 0, missed = 0,
                 alone = 0;
            for (long f = 0; f < files; ++f) {
                QStringList names;
                QList<QByteArray> raw;
                for (int i = 0; i < lines; ++i) {
                    names << "/nonexistent-qv/Music/" + kind.make(random) + ".mp3";
                    QByteArray bytes;
                    if (kind.utf8 || !qv::EncodeCp932(names.last(), &bytes))
                        bytes = names.last().toUtf8();
                    raw << bytes;
                    QString a, b;
                    ambiguous += qv::ReadsBothWays(bytes, &a, &b);
                }
                silent += qv::FileLineEncoding(raw) == qv::LineEncoding::Unknown;
                const QStringList read = qv::DecodeFileLines(raw, path);
                for (int i = 0; i < lines; ++i) {
                    const bool wrong = read[i] != names[i];
                    misread += wrong;
                    QString a, b;
                    missed += wrong && qv::ReadsBothWays(raw[i], &a, &b);
                    alone += qv::DecodeLine(raw[i]) != names[i];
                }
            }
            const long total = files * lines;
            std::printf("%-40s %5d %11.2f%% %12.3f%% %12.2f%% %12.3f%%\n", kind.name, lines,
                        100.0 * silent / files, 100.0 * misread / total,
                        ambiguous ? 100.0 * missed / ambiguous : 0.0, 100.0 * alone / total);
        }
    }
    return 0;
}
