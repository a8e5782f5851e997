// A 5 by 7 pixel capital font for the contact sheet's labels.
#pragma once

#include <cstdint>

// Rows of the glyph for c (lower case is drawn as capitals), top first, bit 4
// the leftmost column; characters without a glyph come back blank.
const uint8_t *font_glyph(char c);
