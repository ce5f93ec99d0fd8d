// Writes a synthetic music library for the library benchmark: small media
// files of the six kinds (and some other files) in a folder tree several
// levels deep. The same arguments always give the same tree.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-library FOLDER [FILES] [FOLDERS]\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const int files = argc > 2 ? std::atoi(argv[2]) : 50000;
    const int leaves = argc > 3 ? std::atoi(argv[3]) : 2500;
    // Artist / album / disc: 25 x 10 x 10 leaf folders by default.
    const char* kinds[] = {"mp3", "mp3", "mp3", "wav", "mid", "wma", "au", "asf", "MP3", "Wav"};
    const QByteArray bytes(64, 'q');
    int made = 0;
    for (int leaf = 0; leaf < leaves; ++leaf) {
        const QString folder = root + QStringLiteral("/Artist %1/アルバム %2/Disc %3")
                                          .arg(leaf / 100)
                                          .arg(leaf / 10 % 10)
                                          .arg(leaf % 10);
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
            return 1;
        }
        const int here = files / leaves + (leaf < files % leaves ? 1 : 0);
        for (int i = 0; i < here; ++i, ++made) {
            QFile f(folder + QStringLiteral("/%1 トラック %2.%3")
                                 .arg(i + 1, 2, 10, QChar(u'0'))
                                 .arg(made)
                                 .arg(QLatin1String(kinds[made % 10])));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
        }
        // What music folders hold besides music.
        QFile cover(folder + QStringLiteral("/cover.jpg"));
        if (!cover.open(QIODevice::WriteOnly)) return 1;
        QFile notes(folder + QStringLiteral("/notes.txt"));
        if (!notes.open(QIODevice::WriteOnly)) return 1;
    }
    std::printf("%d media files in %d folders under %s\n", made, leaves, qPrintable(root));
    return 0;
}
