// The main window's position and size as Setting.ini keeps them: twips of the
// outer window rectangle, with the defaults for missing or useless values.
#pragma once

#include <QRect>

namespace qv {

class Ini;

struct TwipsGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

constexpr int kDefaultWidth = 8550;
constexpr int kDefaultHeight = 6555;

// Section "Quorvane", keys Left, Top, Width, Height; a width or height of 0
// (also missing or not a number) gives the default.
TwipsGeometry ReadStoredGeometry(const Ini& ini);
void WriteStoredGeometry(const Ini& ini, const TwipsGeometry& g);

// The outer rectangle in pixels, moved to the top-left of the primary
// screen's free area when it would lie wholly off every screen.
QRect PlaceOnScreen(const QRect& outer);

}  // namespace qv
