// Small media files made by the tests themselves: a WAV of silence, an "MP3"
// that is just an ID3v2.3 tag (enough for titles), and a minimal MIDI file.
// They are declared with the media maker, which writes them.
#pragma once

#include "support/media_maker.h"
