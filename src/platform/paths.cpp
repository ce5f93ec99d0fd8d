// The four pure path splitters. Everything the program takes apart of a path
// goes through these, so their edges (no dot, trailing "/") are its behaviour.
#include "platform/paths.h"

namespace qv {

QString GetExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString GetFileName(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString GetBaseName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= slash) return path.mid(slash + 1);
    return path.mid(slash + 1, dot - slash - 1);
}

QString GetFolderPath(const QString& path) {
    return path.left(path.lastIndexOf(u'/') + 1);
}

bool PathIsIn(QStringView path, QStringView folder) {
    if (path == folder || folder == u"/") return path.startsWith(u'/');
    return path.size() > folder.size() && path.startsWith(folder) && path[folder.size()] == u'/';
}

bool HasLineEnd(QStringView path) {
    return path.contains(u'\n') || path.contains(u'\r');
}

}  // namespace qv
