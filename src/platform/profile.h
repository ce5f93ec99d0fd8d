// A reader and writer of profile (INI) files: "[section]" lines followed by
// "key=value" lines. Section and key names match without regard to letter
// case; a missing file, section or key reads as "". A write creates the file,
// the section and the key as needed, replaces an existing value in place and
// keeps every other line as it was. Values read back whole, whatever their length.
#pragma once

#include <QString>

namespace qv {

QString ReadProfileString(const QString& file, const QString& section, const QString& key);

// Writes through a temporary file renamed over the old one: a failed write
// leaves the previous file whole. A value the file would not give back is
// refused (line ends, names the file cannot hold, and the rare line whose
// bytes would change how the file's other lines read: see line_reading.h).
// Returns true on success.
bool WriteProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value);

}  // namespace qv
