#pragma once

#include <QString>
#include <cstdint>

// Numbers typed into the parameter dialogs, read the way the board's tools always read them:
// leading blanks, an optional sign and decimal digits; the first other character ends the
// number, and text without digits is 0. A number past the int range stops at its end.
int TextToInt(const QString& text);

// TextToInt cut to a 16-bit board field (-1 becomes 65535).
std::uint16_t TextToU16(const QString& text);
