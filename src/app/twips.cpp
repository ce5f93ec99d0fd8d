// Twips and pixels: the forms are designed in twips, Qt places in pixels.
#include "app/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace qv {

double LogicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int TwipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

QRect TwipsRect(int left, int top, int width, int height) {
    const double dpi = LogicalDpi();
    return QRect(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(width, dpi),
                 TwipsToPixels(height, dpi));
}

}  // namespace qv
