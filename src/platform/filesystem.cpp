#include "platform/filesystem.h"

#include <QFileInfo>

namespace qv {

QString GetShortPath(const QString& path) {
    return QFileInfo(path).isFile() ? path : QString();
}

}  // namespace qv
