// Folding for find-as-you-type.
#include "platform/find_text.h"

namespace qv {

namespace {

// Characters that compatibility composition leaves as they are: printable
// ASCII, the precomposed kana (not the lone sound marks ゛ ゜ and their
// combining forms), the prolonged sound mark and the unified ideographs.
// Library names are mostly made of these, and composing costs far more than
// looking.
bool StaysComposed(char16_t u) {
    return (u >= 0x20 && u <= 0x7E) || (u >= 0x3041 && u <= 0x3096) ||
           (u >= 0x309D && u <= 0x309E) || (u >= 0x30A1 && u <= 0x30FE) ||
           (u >= 0x4E00 && u <= 0x9FFF);
}

}  // namespace

QString FoldForFind(const QString& text) {
    bool stays = true;
    for (QChar c : text) {
        if (!StaysComposed(c.unicode())) {
            stays = false;
            break;
        }
    }
    QString folded = (stays ? text : text.normalized(QString::NormalizationForm_KC)).toCaseFolded();
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        // ぁ … ゖ and the iteration marks ゝ ゞ sit 0x60 below their katakana.
        if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E) c = QChar(u + 0x60);
    }
    return folded;
}

}  // namespace qv
