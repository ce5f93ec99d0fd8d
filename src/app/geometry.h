// The main window's position and size as Setting.ini keeps them: twips of the
// outer window rectangle, with the defaults for missing or useless values.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <functional>

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
// The smallest stored size taken as it is: the right column whole (playlist
// width 3795 and the margins 180 beside it) and, in height, the playlist's
// top, one line of it, the status bar and the margin below (1560 + 255 +
// 255 + 30), leaving the window frame aside. Anything smaller is a window
// nobody can use, most likely a damaged file, and opens at the default size.
constexpr int kMinimumWidth = 3975;
constexpr int kMinimumHeight = 2100;

// Section "Quorvane", keys Left, Top, Width, Height; a width or height below
// the minimum (also 0, negative, missing or not a number) gives the default.
TwipsGeometry ReadStoredGeometry(const Ini& ini);
void WriteStoredGeometry(const Ini& ini, const TwipsGeometry& g);
// The same four keys and texts handed to another writer of that section.
void ForEachStoredValue(const TwipsGeometry& g,
                        const std::function<void(const QString& Key, const QString& Value)>& write);

// A screen's whole rectangle and the part of it windows may take (the
// desktop's panels left out).
struct ScreenArea {
    QRect whole;
    QRect free;
};

// The outer rectangle in pixels as the window is shown on these screens (the
// first is the primary): moved to the top-left of the primary screen's free
// area when it would lie wholly off every screen; larger than the free area
// of the screen that holds most of it (a size saved on a larger or less
// scaled screen), shrunk to that area and moved inside it. Anything else is
// left where it was put, partly off a screen too.
QRect PlaceOnScreens(const QRect& outer, const QList<ScreenArea>& screens);
// The same on the desktop's screens.
QRect PlaceOnScreen(const QRect& outer);

}  // namespace qv
