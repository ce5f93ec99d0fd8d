// Where MIDI files get their instruments: the first General MIDI soundfont
// found in the desktop's data folders, as GStreamer's MIDI synthesizer looks.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// The user's data folder first, then the system's ($XDG_DATA_HOME,
// $XDG_DATA_DIRS).
QStringList DefaultSoundfontDataDirs();

// The first readable .sf2/.sf3 file in <dir>/sounds/sf3, <dir>/sounds/sf2 or
// <dir>/soundfonts of the given folders, a "default-GM" one before the others
// of its folder; "" when there is none.
QString FindSoundfont(const QStringList& dataDirs);

}  // namespace qv
