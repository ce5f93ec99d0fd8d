// Code page 932, Windows-1252 and UTF-8 for the program's lines and tags. Code
// page 932 runs through tables built once from glibc's iconv.
#include "platform/textcodec.h"

#include <iconv.h>

#include <QStringDecoder>
#include <QVarLengthArray>
#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

namespace qv {
namespace {

constexpr char16_t kNone = 0xFFFF;

// Code page 932 as two lookup tables, filled once from glibc's iconv "CP932"
// (which round-trips backslash and tilde, unlike "SHIFT_JIS"). Library files
// hold tens of thousands of Japanese paths; a table lookup per character is
// what keeps reading and writing them cheap.
struct Cp932Tables {
    std::array<char16_t, 256> single{};  // kNone: a lead byte or no character
    std::array<bool, 256> lead{};
    std::vector<char16_t> pair;    // index lead << 8 | trail; kNone: no character
    std::vector<uint16_t> encode;  // per UTF-16 unit: one byte, lead << 8 | trail, or kNone

    Cp932Tables() : pair(65536, kNone), encode(65536, kNone) {
        iconv_t toUnicode = iconv_open("UTF-16LE", "CP932");
        iconv_t fromUnicode = iconv_open("CP932", "UTF-16LE");
        single.fill(kNone);
        if (toUnicode == reinterpret_cast<iconv_t>(-1) ||
            fromUnicode == reinterpret_cast<iconv_t>(-1)) {
            // No code page 932 in this C library: only ASCII is representable.
            for (int b = 0; b < 0x80; ++b) single[b] = static_cast<char16_t>(b);
        } else {
            fill(toUnicode, fromUnicode);
        }
        for (int b = 0; b < 0x80; ++b) encode[b] = static_cast<uint16_t>(b);
        if (toUnicode != reinterpret_cast<iconv_t>(-1)) iconv_close(toUnicode);
        if (fromUnicode != reinterpret_cast<iconv_t>(-1)) iconv_close(fromUnicode);
    }

  private:
    // Converts in to one UTF-16 unit; false on an invalid or cut-off sequence,
    // with *cutOff telling the second.
    static bool decodeOne(iconv_t cd, const char* in, size_t n, char16_t* unit, bool* cutOff) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buf[8];
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buf;
        size_t inLeft = n, outLeft = sizeof buf;
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        *cutOff = r == static_cast<size_t>(-1) && errno == EINVAL;
        if (r == static_cast<size_t>(-1) || inLeft != 0 || outPtr - buf != 2) return false;
        *unit = static_cast<char16_t>(static_cast<unsigned char>(buf[0]) |
                                      static_cast<unsigned char>(buf[1]) << 8);
        return true;
    }

    void fill(iconv_t toUnicode, iconv_t fromUnicode) {
        bool cutOff = false;
        char16_t unit = 0;
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            if (decodeOne(toUnicode, &c, 1, &unit, &cutOff))
                single[b] = unit;
            else
                lead[b] = cutOff;
        }
        for (int l = 0; l < 256; ++l) {
            if (!lead[l]) continue;
            for (int t = 0; t < 256; ++t) {
                const char two[2] = {static_cast<char>(l), static_cast<char>(t)};
                if (decodeOne(toUnicode, two, 2, &unit, &cutOff)) pair[l << 8 | t] = unit;
            }
        }
        // A character is representable when iconv encodes it and the bytes
        // decode back to it: glibc maps a few (wave dash, yen sign, ...) one way only.
        auto tryEncode = [&](char16_t u) {
            if (u == kNone || encode[u] != kNone) return;
            iconv(fromUnicode, nullptr, nullptr, nullptr, nullptr);
            const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            char out[8];
            char* inPtr = const_cast<char*>(in);
            char* outPtr = out;
            size_t inLeft = 2, outLeft = sizeof out;
            if (iconv(fromUnicode, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
                return;
            const auto b0 = static_cast<unsigned char>(out[0]);
            if (outPtr - out == 1 && single[b0] == u) {
                encode[u] = b0;
            } else if (outPtr - out == 2) {
                const auto b1 = static_cast<unsigned char>(out[1]);
                if (lead[b0] && pair[b0 << 8 | b1] == u)
                    encode[u] = static_cast<uint16_t>(b0 << 8 | b1);
            }
        };
        for (char16_t u : single) tryEncode(u);
        for (char16_t u : pair) tryEncode(u);
    }
};

const Cp932Tables& cp932() {
    static const Cp932Tables tables;
    return tables;
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool isAscii(QStringView text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Whether the bytes are valid code page 932, without decoding them.
bool isCp932(QByteArrayView bytes) {
    const Cp932Tables& t = cp932();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        if (t.single[p[i]] != kNone) {
            ++i;
        } else if (t.lead[p[i]] && i + 1 < n && t.pair[p[i] << 8 | p[i + 1]] != kNone) {
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Windows-1252's 0x80..0x9F; the five undefined bytes keep their C1 code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString DecodeCp932(QByteArrayView bytes, bool* ok) {
    const Cp932Tables& t = cp932();
    // At most one character a byte: written straight into one string, cut to
    // size at the end (a library file holds hundreds of thousands of lines).
    QString s(bytes.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(s.data());
    char16_t* d = begin;
    bool clean = true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            *d++ = b;
            ++i;
            continue;
        }
        char16_t u = t.single[b];
        qsizetype used = 1;
        if (t.lead[b] && i + 1 < n && t.pair[b << 8 | p[i + 1]] != kNone) {
            u = t.pair[b << 8 | p[i + 1]];
            used = 2;
        }
        if (u == kNone) {
            // An invalid byte, or a lead byte without a fitting trail byte: one
            // replacement, and the next byte starts afresh.
            clean = false;
            u = 0xFFFD;
        }
        *d++ = u;
        i += used;
    }
    s.truncate(d - begin);
    if (ok) *ok = clean;
    return s;
}

namespace {

// Appends text's code page 932 bytes to out, at most two a character written
// straight into its buffer; false, with out as it was, when a character has
// no exact form there.
bool appendCp932(QStringView text, QByteArray* out) {
    const Cp932Tables& t = cp932();
    const qsizetype at = out->size();
    out->resize(at + text.size() * 2);
    char* d = out->data() + at;
    for (QChar c : text) {
        const uint16_t e = t.encode[c.unicode()];
        if (e == kNone) {
            out->truncate(at);
            return false;
        }
        if (e > 0xFF) *d++ = static_cast<char>(e >> 8);
        *d++ = static_cast<char>(e & 0xFF);
    }
    out->truncate(d - out->constData());
    return true;
}

}  // namespace

bool EncodeCp932(QStringView text, QByteArray* out) {
    if (isAscii(text)) {
        *out = text.toLatin1();
        return true;
    }
    QByteArray bytes;
    if (!appendCp932(text, &bytes)) return false;
    *out = std::move(bytes);
    return true;
}

QString DecodeWindows1252(QByteArrayView bytes) {
    QString s;
    s.resize(bytes.size());
    QChar* d = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return s;
}

QString DecodeAnsi(QByteArrayView bytes) {
    bool ok = false;
    QString s = DecodeCp932(bytes, &ok);
    return ok ? s : DecodeWindows1252(bytes);
}

bool IsValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int n;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= n) return false;
        for (int i = 1; i <= n; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += n + 1;
    }
    return true;
}

namespace {

// What goes before a line written in UTF-8. 0xEF is no byte of code page 932,
// neither alone nor as a lead byte, so no line of the Windows program starts so.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool hasUtf8Mark(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(kUtf8Mark, 3));
}

// UTF-8 with a leading U+FEFF kept: only the mark is taken off, by the caller.
QString fromUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// The UTF-8 reading of unmarked bytes that are valid code page 932 as well,
// judged as a line earlier builds may have written: they wrote a line in
// UTF-8, without a mark, exactly when it held a character code page 932 lacks.
// The line is taken as UTF-8 when it holds such a character and each one is
// what a line of names and titles holds, not what code page 932 text spells
// by chance (see tellsUtf8).
class Utf8Reading {
  public:
    explicit Utf8Reading(QByteArrayView bytes)
        : text_(fromUtf8(bytes)), plain_(text_.size(), false) {
        // Which bytes code page 932 reads as characters of their own, not as
        // the second byte of a pair (the bytes are valid code page 932).
        const Cp932Tables& t = cp932();
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        QVarLengthArray<bool, 256> single(bytes.size(), false);
        for (qsizetype i = 0; i < bytes.size(); i += t.lead[p[i]] ? 2 : 1) single[i] = true;
        // A UTF-8 byte below 0x80 is one character, one UTF-16 unit.
        qsizetype unit = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if ((p[i] & 0xC0) == 0x80) continue;
            plain_[unit] = p[i] < 0x80 && single[i];
            unit += p[i] >= 0xF0 ? 2 : 1;
        }
    }

    const QString& text() const { return text_; }

    bool isEarlierUtf8Line() const {
        const Cp932Tables& t = cp932();
        bool told = false;
        for (qsizetype i = 0; i < text_.size(); ++i) {
            char32_t c = text_[i].unicode();
            if (c < 0x80) continue;
            if (text_[i].isHighSurrogate()) {
                c = QChar::surrogateToUcs4(text_[i], text_[i + 1]);
            } else if (t.encode[c] != kNone) {
                continue;  // code page 932 has it: says nothing either way
            }
            if (!tellsUtf8(i, c)) return false;
            told = true;
            if (c > 0xFFFF) ++i;
        }
        return told;
    }

  private:
    // A character code page 932 lacks that tells a line of earlier builds
    // from code page 932 bytes that happen to be valid UTF-8.
    //
    // Half-width katakana are the bytes A1..DF: in UTF-8 a run of them is
    // valid only as pairs of C2..DF and A1..BF, each pair one character of
    // U+00A1..U+07FF (ﾗｼﾞｵ is U+05FC U+07B5), scattered over Latin, Greek,
    // Cyrillic, Hebrew, Arabic, Thaana and unassigned code points; one of C2..DF
    // before a double-byte character gives U+0080..U+07FF too. Below U+0800
    // only a Latin letter, or a common accent on one, counts, and only in a
    // Latin word (inLatinWord). From U+0800 up (a kanji or user-defined lead
    // byte in code page 932) only what titles hold and code page 932 lacks:
    // the wave dash, double bar and minus (which it maps one way only), en
    // dash, bullet, trade mark and emoji.
    bool tellsUtf8(qsizetype at, char32_t c) const {
        if (c < 0x800) {
            // Accented letters of European names, precomposed or as a letter
            // with combining accents (macOS names files so).
            if (c >= 0xC0 && c < 0x250 && QChar::isLetter(c)) return inLatinWord(at);
            const bool accent =
                (c >= 0x300 && c <= 0x30C) || c == 0x323 || (c >= 0x326 && c <= 0x328);
            qsizetype base = at - 1;  // the letter under the accent
            while (base >= 0 && text_[base].isMark()) --base;
            return accent && base >= 0 && text_[base].isLetter() && inLatinWord(base);
        }
        if (c >= 0x1E00 && c < 0x1F00) return inLatinWord(at);  // Vietnamese
        switch (c) {
            case 0x2013:  // –
            case 0x2016:  // ‖
            case 0x2022:  // •
            case 0x2122:  // ™
            case 0x2212:  // −
            case 0x301C:  // 〜
                return true;
            default:
                return c >= 0x1F000 && c < 0x1FB00;
        }
    }

    // Whether the letter at `at` stands in a word as the letters of European
    // names do: the word (the letters and accents around it) holds an ASCII
    // letter that is one in code page 932 as well (not the second byte of a
    // double-byte character), and a small letter has a small letter beside
    // it or follows the capital the word starts with. "Beyoncé", "Música",
    // "Tú" and "Ærø" are such words; "CDá" (katakana ﾃ｡ after CD), "ŶƼ"
    // (ﾅｶﾆｼ) and "ÄD" (ﾃ and Д, whose second byte is "D") not.
    bool inLatinWord(qsizetype at) const {
        const auto wordPart = [](QChar c) { return c.isLetter() || c.isMark(); };
        qsizetype begin = at, end = at + 1;
        while (begin > 0 && wordPart(text_[begin - 1])) --begin;
        while (end < text_.size() && wordPart(text_[end])) ++end;
        bool ascii = false;
        for (qsizetype i = begin; i < end && !ascii; ++i) ascii = plain_[i];
        if (!ascii) return false;
        if (!text_[at].isLower()) return true;
        qsizetype before = at - 1, after = at + 1;
        while (before >= begin && text_[before].isMark()) --before;
        while (after < end && text_[after].isMark()) ++after;
        // A small letter beside it, or the capital the word starts with ("Tú").
        return (before >= begin && (text_[before].isLower() || before == begin)) ||
               (after < end && text_[after].isLower());
    }

    QString text_;
    QVarLengthArray<bool, 256> plain_;  // per UTF-16 unit: ASCII in both readings
};

// Unmarked bytes that are valid code page 932 and read as UTF-8 all the same.
bool readsAsUtf8(QByteArrayView bytes) {
    return IsValidUtf8(bytes) && Utf8Reading(bytes).isEarlierUtf8Line();
}

// What one raw line says of its file; `first` for the file's first line.
LineEncoding lineEvidence(QByteArrayView bytes, bool first) {
    if (isAscii(bytes)) return LineEncoding::Unknown;
    if (hasUtf8Mark(bytes) && IsValidUtf8(bytes.sliced(3))) {
        if (!first) return LineEncoding::Cp932;
        // Our writer marks only what code page 932 lacks (builds before this
        // one also marked code page 932 bytes that would read as UTF-8). Any
        // other mark before the first line is an editor's: the file is UTF-8.
        QByteArray cp932;
        const bool ours = !EncodeCp932(fromUtf8(bytes.sliced(3)), &cp932) ||
                          (!isAscii(QByteArrayView(cp932)) && readsAsUtf8(cp932));
        return ours ? LineEncoding::Cp932 : LineEncoding::Utf8;
    }
    const bool utf8 = IsValidUtf8(bytes), cp932 = isCp932(bytes);
    if (cp932 == utf8) return LineEncoding::Unknown;
    return cp932 ? LineEncoding::Cp932 : LineEncoding::Utf8;
}

}  // namespace

QByteArray EncodeLine(QStringView line) {
    QByteArray out;
    AppendEncodedLine(line, &out);
    return out;
}

void AppendEncodedLine(QStringView line, QByteArray* out) {
    if (appendCp932(line, out)) return;
    out->append(kUtf8Mark);
    out->append(line.toUtf8());
}

QString DecodeLine(QByteArrayView bytes, LineEncoding file) {
    if (isAscii(bytes)) return QString::fromLatin1(bytes);
    if (hasUtf8Mark(bytes) && IsValidUtf8(bytes.sliced(3))) return fromUtf8(bytes.sliced(3));
    if (!IsValidUtf8(bytes)) return DecodeAnsi(bytes);
    if (!isCp932(bytes)) return fromUtf8(bytes);
    switch (file) {
        case LineEncoding::Cp932:
            return DecodeCp932(bytes);
        case LineEncoding::Utf8:
            return fromUtf8(bytes);
        case LineEncoding::Unknown:
            break;
    }
    const Utf8Reading utf8(bytes);
    return utf8.isEarlierUtf8Line() ? utf8.text() : DecodeCp932(bytes);
}

bool ReadsBothWays(QByteArrayView bytes, QString* cp932, QString* utf8) {
    if (isAscii(bytes) || hasUtf8Mark(bytes) || !IsValidUtf8(bytes) || !isCp932(bytes))
        return false;
    *cp932 = DecodeCp932(bytes);
    *utf8 = fromUtf8(bytes);
    return true;
}

namespace {

template <typename Lines>
LineEncoding fileLineEncoding(const Lines& lines) {
    bool cp932 = false, utf8 = false;
    for (qsizetype i = 0; i < lines.size() && !(cp932 && utf8); ++i) {
        const LineEncoding told = lineEvidence(lines[i], i == 0);
        cp932 = cp932 || told == LineEncoding::Cp932;
        utf8 = utf8 || told == LineEncoding::Utf8;
    }
    if (cp932 == utf8) return LineEncoding::Unknown;
    return cp932 ? LineEncoding::Cp932 : LineEncoding::Utf8;
}

}  // namespace

LineEncoding FileLineEncoding(const QList<QByteArray>& lines) {
    return fileLineEncoding(lines);
}

LineEncoding FileLineEncoding(const QList<QByteArrayView>& lines) {
    return fileLineEncoding(lines);
}

}  // namespace qv
