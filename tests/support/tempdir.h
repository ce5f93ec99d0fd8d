// A fresh temporary folder for one test, removed with everything in it after.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qvtest {

class TempDir {
  public:
    TempDir();
    // The folder, ending in "/".
    QString path() const { return path_; }
    // path() + name.
    QString file(const QString& name) const { return path_ + name; }
    // Writes bytes to path() + name (creating folders on the way); returns the full path.
    QString write(const QString& name, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
    QString path_;
};

// Every entry of a folder, hidden ones and leftovers of a failed write
// included, sorted by name.
QStringList EntriesOf(const QString& folder);

// Reads a whole file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);

}  // namespace qvtest
