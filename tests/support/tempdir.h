// A fresh temporary folder for one test, removed with everything in it after.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qvtest {

class TempDir {
  public:
    // The folder, ending in "/".
    QString path() const { return path_; }
    // path() + name.
    QString file(const QString& name) const { return path_ + name; }
    // Writes bytes to path() + name (creating folders on the way); returns the full path.
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString full = path_ + name;
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile f(full);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
        return full;
    }

  private:
    QTemporaryDir dir_{QDir::tempPath() + "/qvtest-XXXXXX"};
    QString path_ = dir_.path() + "/";
};

// Every entry of a folder, hidden ones and leftovers of a failed write
// included, sorted by name.
inline QStringList EntriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Reads a whole file; empty when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace qvtest
