// The six media kinds the library knows, the tree image of each, and the key
// of a folder node, shared by the scan, the library file and the tree.
#pragma once

#include <QString>

namespace qv {

// Tree images by number (the image list of TV1).
constexpr int kImageFolder = 4;
constexpr int kImagePlayList = 9;

// True for "MID", "MP3", "WAV", "WMA", "AU", "ASF" (already upper-cased).
bool IsMediaKind(const QString& Extension);

// The tree image of a media kind: 5 MIDI, 6 wave, 7 MP3 and AU, 8 WMA and ASF;
// 0 for anything else.
int MediaImage(const QString& Extension);

// The upper-cased text after the last "." of an entry name, "" when the name
// holds no "." (a name without a dot is no media file).
QString EntryExtension(const QString& name);

// The key of the folder node that a path prefix names: the prefix itself,
// except that the file-system root (an empty prefix) is keyed "/".
inline QString FolderKey(const QString& prefix) {
    return prefix.isEmpty() ? QStringLiteral("/") : prefix;
}

}  // namespace qv
