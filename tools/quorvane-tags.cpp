// quorvane-tags FILE...: prints the tag of each file as one line of UTF-8 JSON,
// in the order given, with the keys file, version, title, artist, album, comment.
// The version is the ID3 version ("2.x", "1.x", "None") or, for the kinds whose
// container holds the tag, that tag's kind ("Xiph", "MP4", "ASF", or "None").
#include <QFile>
#include <QString>
#include <cstdio>
#include <string>

#include "tags/tags.h"

namespace {

// A JSON string literal for any text: quote, backslash and every control
// character escaped, everything else as UTF-8. A lone surrogate (possible in a
// QString, impossible in UTF-8) becomes U+FFFD so the line stays valid UTF-8.
void appendJsonString(std::string& out, const QString& text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(c, text[++i].unicode());
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out += '"';
}

void appendField(std::string& out, const char* key, const QString& value) {
    out += out.empty() ? "{\"" : ", \"";
    out += key;
    out += "\": ";
    appendJsonString(out, value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: quorvane-tags FILE...\n", stderr);
        return 2;
    }
    // Lines are gathered and written in large blocks: a terminal would
    // otherwise get one write per line, and a pipe one per 4 KiB.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        const qv::VersionedTag read = qv::ReadVersionedTags(path);
        line.clear();
        appendField(line, "file", path);
        appendField(line, "version", read.Version);
        appendField(line, "title", read.Tag.Title);
        appendField(line, "artist", read.Tag.Artist);
        appendField(line, "album", read.Tag.Album);
        appendField(line, "comment", read.Tag.Comment);
        line += "}\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    // A lost write (full disk, closed output) must not pass for success.
    return std::fflush(stdout) == 0 ? 0 : 1;
}
