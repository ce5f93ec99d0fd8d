// The exact length of an MPEG audio file (MP3) counted frame by frame, for
// files without a Xing/Info header, whose length the decoder only estimates.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

namespace qv {

// Nanoseconds of audio in the frames of the data, after an ID3v2 tag; nothing
// when no run of consistent frames starts near the beginning. An incomplete
// last frame is not counted; garbage between frames is skipped.
std::optional<int64_t> MpegAudioLengthNs(QByteArrayView data);
std::optional<int64_t> MpegAudioFileLengthNs(const QString& path);

}  // namespace qv
