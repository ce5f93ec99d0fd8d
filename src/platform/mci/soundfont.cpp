// Soundfont search. We choose the file ourselves (and hand it to the
// synthesizer) so that a missing soundfont can be told apart from a broken
// MIDI file and reported as such.
#include "platform/mci/soundfont.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qv {

QStringList DefaultSoundfontDataDirs() {
    return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
}

QString FindSoundfont(const QStringList& dataDirs) {
    for (const QString& dataDir : dataDirs) {
        for (const char* sub : {"sounds/sf3", "sounds/sf2", "soundfonts"}) {
            QDir dir(dataDir + u'/' + QLatin1String(sub));
            QFileInfoList files =
                dir.entryInfoList({"*.sf2", "*.sf3", "*.SF2", "*.SF3"}, QDir::Files, QDir::Name);
            std::stable_partition(files.begin(), files.end(), [](const QFileInfo& f) {
                return f.fileName().startsWith(QLatin1String("default-GM"));
            });
            for (const QFileInfo& file : files)
                if (file.isReadable() && file.size() > 0) return file.absoluteFilePath();
        }
    }
    return {};
}

}  // namespace qv
