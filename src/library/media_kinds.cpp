// Media kinds by upper-cased extension; the comparison is exact, so "MP3X" or
// "" are no media.
#include "library/media_kinds.h"

namespace qv {

int MediaImage(const QString& Extension) {
    if (Extension == u"MID") return 5;
    if (Extension == u"WAV") return 6;
    if (Extension == u"MP3" || Extension == u"AU") return 7;
    if (Extension == u"WMA" || Extension == u"ASF") return 8;
    return 0;
}

bool IsMediaKind(const QString& Extension) {
    return MediaImage(Extension) != 0;
}

QString EntryExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toUpper();
}

}  // namespace qv
