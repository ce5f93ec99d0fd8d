// The name order of walks and of the tree, in one place so that a folder's
// children read the same however they came into the tree.
#include "platform/name_order.h"

#include <QFile>
#include <QVarLengthArray>
#include <string_view>

namespace qv {

char16_t* WriteNameOrderKey(const QString& name, char16_t* out, qsizetype enough) {
    const char16_t* p = reinterpret_cast<const char16_t*>(name.constData());
    const char16_t* const end = p + name.size();
    const char16_t* const start = out;
    while (p < end && out - start < enough) {
        const char16_t c = *p;
        if (c >= u'0' && c <= u'9') {
            const char16_t* digits = p;
            while (p < end && *p >= u'0' && *p <= u'9') ++p;
            while (digits < p && *digits == u'0') ++digits;
            // The "0" keeps a number where a digit would stand among other
            // characters: after punctuation, before letters.
            *out++ = u'0';
            *out++ = char16_t(p - digits);  // a name is far shorter than 65536
            while (digits < p) *out++ = *digits++;
        } else if (c < 0x80) {
            *out++ = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
            ++p;
        } else if (c >= 0x3040 && c < 0xA000) {
            *out++ = c;  // kana and kanji: no letter case
            ++p;
        } else if (QChar::isHighSurrogate(c) && p + 1 < end && QChar::isLowSurrogate(p[1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, p[1]));
            *out++ = QChar::highSurrogate(folded);
            *out++ = QChar::lowSurrogate(folded);
            p += 2;
        } else {
            *out++ = char16_t(QChar::toCaseFolded(char32_t(c)));
            ++p;
        }
    }
    return out;
}

bool NameBefore(const QString& a, const QString& b) {
    // Most names of one folder part within their first few characters.
    QVarLengthArray<char16_t, 3 * 64> ka(3 * a.size()), kb(3 * b.size());
    const std::u16string_view keyA(ka.data(), WriteNameOrderKey(a, ka.data()) - ka.data());
    const std::u16string_view keyB(kb.data(), WriteNameOrderKey(b, kb.data()) - kb.data());
    const int byKey = keyA.compare(keyB);
    if (byKey != 0) return byKey < 0;
    return QFile::encodeName(a) < QFile::encodeName(b);
}

}  // namespace qv
