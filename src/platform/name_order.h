// The order of names the walks take a folder's entries in and the media tree
// shows a folder's children in: natural and regardless of letter case.
#pragma once

#include <QString>
#include <limits>

namespace qv {

// Writes at out what puts names in the order file managers show them when
// keys are compared as plain text, and returns the end: letter case folded,
// and every run of ASCII digits written as "0", the count of its digits
// without leading zeros, and those digits, so that "2" comes before "10" and
// "01" beside "1". At most three units are written for each unit of name;
// with enough, the writing stops once at least that many units are written.
char16_t* WriteNameOrderKey(const QString& name, char16_t* out,
                            qsizetype enough = std::numeric_limits<qsizetype>::max());

// True when a comes before b in name order. Names whose keys agree (they
// differ in letter case or leading zeros only) go in the order of their bytes
// in the file-name encoding, as the walk puts them.
bool NameBefore(const QString& a, const QString& b);

}  // namespace qv
