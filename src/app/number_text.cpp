// Leading-number parsing and 32-bit rounding for the values of Setting.ini.
#include "app/number_text.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace qv {

double Val(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n') s.append(c);
    }
    if (s.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive) ||
        s.startsWith(QStringLiteral("&O"), Qt::CaseInsensitive)) {
        const int base = s.at(1).toUpper() == u'H' ? 16 : 8;
        double value = 0;
        for (qsizetype i = 2; i < s.size(); ++i) {
            const char16_t c = s.at(i).toLower().unicode();
            int digit = -1;
            if (c >= u'0' && c <= u'9') digit = c - u'0';
            if (base == 16 && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
            if (digit < 0 || digit >= base) break;
            value = value * base + digit;
        }
        return value;
    }
    qsizetype i = 0;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-')) ++i;
    const qsizetype digitsFrom = i;
    while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128) ++i;
    if (i < s.size() && s.at(i) == u'.') {
        ++i;
        while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128) ++i;
    }
    if (i == digitsFrom || (i == digitsFrom + 1 && s.at(digitsFrom) == u'.')) return 0;
    qsizetype end = i;
    if (i < s.size() && (s.at(i).toUpper() == u'E' || s.at(i).toUpper() == u'D')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s.at(j) == u'+' || s.at(j) == u'-')) ++j;
        const qsizetype expFrom = j;
        while (j < s.size() && s.at(j).isDigit() && s.at(j).unicode() < 128) ++j;
        if (j > expFrom) end = j;
    }
    QString number = s.left(end);
    number.replace(u'D', u'E').replace(u'd', u'E');
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

int32_t CLng(double value) {
    if (std::isnan(value)) return 0;
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (value <= lo) return std::numeric_limits<int32_t>::min();
    if (value >= hi) return std::numeric_limits<int32_t>::max();
    std::fesetround(FE_TONEAREST);
    return static_cast<int32_t>(std::nearbyint(value));
}

}  // namespace qv
