// Numbers read from settings text the way the program always has: the number
// at the start of the text, 0 when there is none; and rounding to 32 bits.
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

// The leading number of the text: blanks, tabs and line feeds are ignored
// anywhere, then an optional sign, digits, a fraction and an exponent; "&H"
// and "&O" start hexadecimal and octal numbers. "" and non-numeric text give 0.
double Val(const QString& text);

// Rounded half to even, held inside the 32-bit signed range.
int32_t CLng(double value);

}  // namespace qv
