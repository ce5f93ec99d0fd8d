// TagLib over a file we opened: the bounded stream TagLib reads through and
// the check of the first bytes before a TagLib class sees them. tags/ only.
#pragma once

#include <taglib/tfile.h>
#include <taglib/tiostream.h>
#include <taglib/tstring.h>

#include <QString>
#include <cstdint>
#include <exception>
#include <memory>

#include "platform/media_kinds.h"
#include "tags/id3_read.h"

namespace qv {

// A read-only TagLib stream over a TagFile (its small reads served from the
// file's window) that bounds what one file may cost TagLib.
class BoundedStream final : public TagLib::IOStream {
  public:
    explicit BoundedStream(TagFile& file) : file_(file) {}

    TagLib::FileName name() const override { return ""; }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_.isOpen(); }
    void seek(long offset, Position p) override;
    void clear() override {}
    long tell() const override { return static_cast<long>(pos_); }
    long length() override { return static_cast<long>(file_.size()); }
    void truncate(long) override {}

  private:
    TagFile& file_;
    int64_t pos_ = 0;
    int64_t spent_ = 0;
    int64_t calls_ = 0;
};

// TagLib's text as ours.
QString ToQString(const TagLib::String& s);

// Keeps TagLib from printing about damaged files (once per process).
void SilenceTagLib();

// The file of TagLib's class for the bytes at hand, without audio
// properties (the cheapest way: only the tag is read); null when the bytes
// are not of the format. TagFormat::ID3 opens an MPEG file (its ID3v2 and
// APE tags) when mpegAudio is set, else nothing.
std::unique_ptr<TagLib::File> OpenTagLibFile(TagFile& file, TagFormat format, BoundedStream& stream,
                                             bool mpegAudio = false);

// What read makes of the file TagLib opens as format and finds valid;
// otherwise (a file not open, not of the format, or damaged so that it asked
// for an allocation there was no room for) fallback.
template <typename Result, typename Read>
Result ReadWithTagLib(TagFile& file, TagFormat format, bool mpegAudio, Result fallback,
                      Read read) {
    if (!file.isOpen()) return fallback;
    SilenceTagLib();
    BoundedStream stream(file);
    try {
        const std::unique_ptr<TagLib::File> opened =
            OpenTagLibFile(file, format, stream, mpegAudio);
        if (!opened || !opened->isValid()) return fallback;
        return read(*opened);
    } catch (const std::exception&) {
        return fallback;
    }
}

}  // namespace qv
