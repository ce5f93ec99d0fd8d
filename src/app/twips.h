// Twips (1/1440 inch) to pixels and back, at the screen's logical dots per
// inch: 15 twips a pixel at 96 dpi, as the forms' design sizes assume.
#pragma once

#include <QRect>

namespace qv {

// The logical dpi of the primary screen (96 when there is none).
double LogicalDpi();

int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

// A rectangle given in twips, in pixels at the screen's dpi.
QRect TwipsRect(int left, int top, int width, int height);

}  // namespace qv
