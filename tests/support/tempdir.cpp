#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qvtest {

TempDir::TempDir() : dir_(QDir::tempPath() + "/qvtest-XXXXXX"), path_(dir_.path() + "/") {}

QString TempDir::write(const QString& name, const QByteArray& bytes) const {
    const QString full = path_ + name;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    return full;
}

QStringList EntriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace qvtest
