// The game's own lettering: an angular stroke font on a 4 by 6 grid, drawn as round
// strokes into a mask so one design serves the 16-pixel HUD digits and the title.
#pragma once

#include "raster.h"

#include <string>

struct TextStyle {
    float glyph_w;    // pixels across the 4 grid units of a glyph's centre lines
    float glyph_h;    // pixels down the 6 grid units
    float gap;        // pixels between neighbouring glyph boxes
    float half_width; // stroke half-width in pixels
    float slant = 0;  // pixels the top leans right of the bottom
};

// Width in pixels of the centre-line boxes of `text` (no stroke overhang).
float text_width(const std::string &text, const TextStyle &st);
// Strokes `text` (A-Z, 0-9, space, '!', '-', '.') with the top-left of the first
// glyph's box at (x, y); unknown characters advance like a space.
void text_mask(Mask &m, const std::string &text, float x, float y, const TextStyle &st);
