// Shared pieces of the fuzz targets: a folder of real media files that seeds
// name (so playlist and library inputs reach the code past "file exists"), and
// the one place a target turns its input bytes into a file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

namespace qvfuzz {

// The media folder (ending in "/"), made on first use: a tagged MP3, a WAV, a
// MIDI file and a few more in folders with blanks and Japanese names.
QString MediaFolder();

// Every file of MediaFolder(), as full paths.
QStringList MediaFiles();

// Writes bytes to path whole (truncating); false on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Stops the fuzzer with a report when a property of the code under test fails:
// libFuzzer keeps the input that did it.
[[noreturn]] void Fail(const char* what, const QString& detail = {});

}  // namespace qvfuzz
