// Fuzz target of the line codec: any bytes decode to a line that encodes and
// decodes back to itself, and any valid line (no lone surrogate, no line end)
// survives encoding and decoding unchanged, also inside a whole file. A line
// goes out either behind the UTF-8 mark or as its code page 932 form.
#include <QStringDecoder>
#include <QStringList>

#include "fuzz_media.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"

namespace {

// A line of the program's files cannot hold CR or LF, and a lone surrogate is
// not text.
bool ValidLine(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\r' || c == u'\n') return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= s.size() || !s[i + 1].isLowSurrogate()) return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

void CheckRoundTrip(const QString& line) {
    const QByteArray encoded = qv::EncodeLine(line);
    const QString back = qv::DecodeLine(encoded);
    if (back != line) qvfuzz::Fail("line changed by encode and decode", line + " -> " + back);
    // What the Windows program reads (no mark) it must read as the line.
    bool cp932 = false;
    if (!encoded.startsWith("\xEF\xBB\xBF") && (qv::DecodeCp932(encoded, &cp932) != line || !cp932))
        qvfuzz::Fail("an unmarked line is not the line in code page 932", line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = qvfuzz::Bytes(data, size);

    // Bytes as a file: every line it splits into reads back through the codec.
    const QStringList lines = qv::SplitTextLines(bytes);
    const QList<QByteArray> raw = qv::SplitRawLines(bytes);
    if (lines.size() != raw.size()) qvfuzz::Fail("decoded and raw line counts differ");
    QByteArray file;
    for (const QString& line : lines) {
        if (!ValidLine(line)) qvfuzz::Fail("a decoded line is not valid text", line);
        CheckRoundTrip(line);
        file += qv::EncodeLine(line) + "\r\n";
    }
    if (qv::SplitTextLines(file) != lines)
        qvfuzz::Fail("file of encoded lines reads back otherwise");

    // The same bytes as UTF-16 units: any valid line goes through unchanged.
    QString units(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < units.size(); ++i)
        units[i] = QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                               static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    if (ValidLine(units)) CheckRoundTrip(units);

    // The other decoders take anything and give one character per byte at most.
    if (qv::DecodeWindows1252(bytes).size() != bytes.size())
        qvfuzz::Fail("Windows-1252 is one character per byte");
    bool ok = false;
    const QString cp932 = qv::DecodeCp932(bytes, &ok);
    if (cp932.size() > bytes.size()) qvfuzz::Fail("code page 932 gave more characters than bytes");
    if (ok) {
        QByteArray again;
        // Valid code page 932 that decodes to characters with one exact form
        // encodes back to the same bytes.
        if (qv::EncodeCp932(cp932, &again) && qv::DecodeCp932(again) != cp932)
            qvfuzz::Fail("code page 932 round trip", cp932);
    }
    // Decoded keeping a leading U+FEFF, which QString::fromUtf8 would drop.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    if (qv::IsValidUtf8(bytes) && QString(utf8.decode(bytes)).toUtf8() != bytes)
        qvfuzz::Fail("IsValidUtf8 took bytes that are not UTF-8");
    return 0;
}
