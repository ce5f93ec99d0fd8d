#include "platform/textcodec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace qv {
namespace {

// An iconv conversion kept open for the life of the thread: opening one costs
// far more than converting a tag's few bytes.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in. On a sequence it cannot convert, onError gets the
    // output buffer and the bytes written so far, may append a replacement, and
    // returns the new count; one input unit of skipUnit bytes is then skipped.
    template <typename OnError>
    void run(const char* in, size_t inLeft, std::vector<char>& out, size_t skipUnit,
             OnError onError) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(inLeft * 4 + 16);
        size_t used = 0;
        char* inPtr = const_cast<char*>(in);
        while (inLeft > 0) {
            char* outPtr = out.data() + used;
            size_t outLeft = out.size() - used;
            const size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            used = outPtr - out.data();
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL: an invalid or cut-off sequence.
            if (out.size() < used + 16) out.resize(used + 16);
            used = onError(out, used);
            const size_t skip = inLeft < skipUnit ? inLeft : skipUnit;
            inPtr += skip;
            inLeft -= skip;
        }
        out.resize(used);
    }

private:
    iconv_t cd_;
};

Converter& cp932ToUtf16() {
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}

Converter& utf16ToCp932() {
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
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

// Windows-1252's 0x80..0x9F; the five undefined bytes keep their C1 code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString DecodeCp932(QByteArrayView bytes, bool* ok) {
    if (ok) *ok = true;
    if (isAscii(bytes)) return QString::fromLatin1(bytes);
    Converter& c = cp932ToUtf16();
    if (!c.valid()) {
        if (ok) *ok = false;
        return QString::fromLatin1(bytes);
    }
    std::vector<char> out;
    bool clean = true;
    c.run(bytes.data(), static_cast<size_t>(bytes.size()), out, 1,
          [&](std::vector<char>& buf, size_t used) {
              clean = false;
              buf[used] = static_cast<char>(0xFD);  // U+FFFD, little-endian
              buf[used + 1] = static_cast<char>(0xFF);
              return used + 2;
          });
    if (ok) *ok = clean;
    return QString(reinterpret_cast<const QChar*>(out.data()),
                   static_cast<qsizetype>(out.size() / 2));
}

bool EncodeCp932(QStringView text, QByteArray* out) {
    if (isAscii(text)) {
        *out = text.toLatin1();
        return true;
    }
    Converter& c = utf16ToCp932();
    if (!c.valid()) return false;
    std::vector<char> buf;
    bool clean = true;
    c.run(reinterpret_cast<const char*>(text.utf16()), static_cast<size_t>(text.size()) * 2, buf,
          2, [&](std::vector<char>&, size_t used) {
              clean = false;
              return used;
          });
    if (!clean) return false;
    *out = QByteArray(buf.data(), static_cast<qsizetype>(buf.size()));
    // glibc maps a few characters one way only (wave dash, yen sign, ...): only
    // an exact round trip counts as representable.
    bool backOk = false;
    return DecodeCp932(*out, &backOk) == text && backOk;
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

QByteArray EncodeLine(QStringView line) {
    QByteArray out;
    // Code page 932 bytes can happen to form valid UTF-8 (E3 81 82 is a kanji and
    // a lead byte in code page 932, and "あ" in UTF-8); the reader would take them
    // as UTF-8 and get other text. Such a line goes out in UTF-8, which reads back.
    if (EncodeCp932(line, &out) && (isAscii(QByteArrayView(out)) || !IsValidUtf8(out))) return out;
    return line.toUtf8();
}

QString DecodeLine(QByteArrayView bytes) {
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes);
    return DecodeAnsi(bytes);
}

}  // namespace qv
