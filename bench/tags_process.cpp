// tags-process floor|taglib FILE...: the yardsticks for quorvane-tags timed as
// a whole process (tags runs them). No Qt here, so neither pays for loading it.
//
// floor: per file open, read the first 10 and the last 128 bytes, close;
// nothing is printed. taglib: the line quorvane-tags prints for each file
// (file, version, title, artist, album, comment as JSON), read by TagLib's
// MPEG::File without audio properties.
#include <fcntl.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/tdebuglistener.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class QuietListener : public TagLib::DebugListener {
  public:
    void printMessage(const TagLib::String&) override {}
};

void appendField(std::string& out, const char* key, const std::string& utf8) {
    static const char kHex[] = "0123456789abcdef";
    out += out.empty() ? "{\"" : ", \"";
    out += key;
    out += "\": \"";
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    out += '"';
}

int floor(int count, char** files) {
    long checksum = 0;
    for (int i = 0; i < count; ++i) {
        const int fd = ::open(files[i], O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        char head[10], tail[128];
        checksum += ::read(fd, head, sizeof head);
        if (::lseek(fd, -128, SEEK_END) >= 0) checksum += ::read(fd, tail, sizeof tail);
        ::close(fd);
    }
    return checksum > 0 ? 0 : 1;
}

int taglib(int count, char** files) {
    QuietListener quiet;  // the corpus holds damaged frames on purpose
    TagLib::setDebugListener(&quiet);
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string line;
    for (int i = 0; i < count; ++i) {
        TagLib::MPEG::File f(files[i], false);
        const TagLib::Tag* t = f.isValid() ? f.tag() : nullptr;
        const char* version = !f.isValid()      ? "None"
                              : f.hasID3v2Tag() ? "2.x"
                              : f.hasID3v1Tag() ? "1.x"
                                                : "None";
        std::string title = t ? t->title().to8Bit(true) : std::string();
        if (title.empty()) {
            const char* slash = std::strrchr(files[i], '/');
            title = slash ? slash + 1 : files[i];
        }
        line.clear();
        appendField(line, "file", files[i]);
        appendField(line, "version", version);
        appendField(line, "title", title);
        appendField(line, "artist", t ? t->artist().to8Bit(true) : std::string());
        appendField(line, "album", t ? t->album().to8Bit(true) : std::string());
        appendField(line, "comment", t ? t->comment().to8Bit(true) : std::string());
        line += "}\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "floor") == 0) return floor(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "taglib") == 0) return taglib(argc - 2, argv + 2);
    std::fputs("usage: tags-process floor|taglib FILE...\n", stderr);
    return 2;
}
