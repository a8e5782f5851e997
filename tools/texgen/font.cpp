// Glyph outlines as polylines on a 4 by 6 grid (y down). Chamfered corners instead of
// curves keep the look of an aircraft's display and read well at small sizes.
#include "font.h"

#include <cstdio>

namespace {

// Each glyph: polylines separated by '|', points as "x,y" pairs separated by spaces.
struct Glyph {
    char c;
    const char *strokes;
};

const Glyph kGlyphs[] = {
    {'0', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|3.2,1.4 0.8,4.6"},
    {'1', "1,1.2 2.2,0 2.2,6|1,6 3.4,6"},
    {'2', "0,1 1,0 3,0 4,1 4,2.2 0,6 4,6"},
    {'3', "0,1 1,0 3,0 4,1 4,2 3,3 1.5,3|3,3 4,4 4,5 3,6 1,6 0,5"},
    {'4', "3,6 3,0 0,4 4,4"},
    {'5', "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6"},
    {'6', "3.5,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3"},
    {'7', "0,0 4,0 4,1 1.6,6"},
    {'8', "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
    {'9', "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 0.5,6"},
    {'A', "0,6 0,1.5 1.5,0 2.5,0 4,1.5 4,6|0,3.6 4,3.6"},
    {'B', "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 4,1 4,2 3,3"},
    {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
    {'D', "0,0 3,0 4,1 4,5 3,6 0,6 0,0"},
    {'E', "4,0 0,0 0,6 4,6|0,3 3,3"},
    {'F', "4,0 0,0 0,6|0,3 3,3"},
    {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.4 2.2,3.4"},
    {'H', "0,0 0,6|4,0 4,6|0,3 4,3"},
    {'I', "1,0 3,0|2,0 2,6|1,6 3,6"},
    {'J', "4,0 4,5 3,6 1,6 0,5"},
    {'K', "0,0 0,6|4,0 0,4|1.4,2.9 4,6"},
    {'L', "0,0 0,6 4,6"},
    {'M', "0,6 0,0 2,3 4,0 4,6"},
    {'N', "0,6 0,0 4,6 4,0"},
    {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
    {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.6,4.4 4.2,6.2"},
    {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6"},
    {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {'T', "0,0 4,0|2,0 2,6"},
    {'U', "0,0 0,5 1,6 3,6 4,5 4,0"},
    {'V', "0,0 2,6 4,0"},
    {'W', "0,0 1,6 2,2.5 3,6 4,0"},
    {'X', "0,0 4,6|4,0 0,6"},
    {'Y', "0,0 2,3 4,0|2,3 2,6"},
    {'Z', "0,0 4,0 0,6 4,6"},
    {'!', "2,0 2,4|2,5.9 2,6"},
    {'-', "1,3 3,3"},
    {'.', "2,5.9 2,6"},
};

const char *strokes_for(char c) {
    if (c >= 'a' && c <= 'z')
        c = (char)(c - 'a' + 'A');
    for (const Glyph &g : kGlyphs)
        if (g.c == c)
            return g.strokes;
    return nullptr;
}

} // namespace

float text_width(const std::string &text, const TextStyle &st) {
    if (text.empty())
        return 0;
    return text.size() * st.glyph_w + (text.size() - 1) * st.gap;
}

void text_mask(Mask &m, const std::string &text, float x, float y, const TextStyle &st) {
    float sx = st.glyph_w / 4.0f, sy = st.glyph_h / 6.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        const char *s = strokes_for(text[i]);
        float ox = x + i * (st.glyph_w + st.gap);
        while (s && *s) {
            // One polyline up to the next '|' or the end.
            bool have_prev = false;
            float px = 0, py = 0;
            while (*s && *s != '|') {
                float gx = 0, gy = 0;
                int used = 0;
                if (std::sscanf(s, "%f,%f%n", &gx, &gy, &used) != 2)
                    break;
                s += used;
                while (*s == ' ')
                    ++s;
                float qx = ox + gx * sx + st.slant * (6.0f - gy) / 6.0f, qy = y + gy * sy;
                if (have_prev)
                    m.capsule(px, py, qx, qy, st.half_width);
                px = qx;
                py = qy;
                have_prev = true;
            }
            if (*s == '|')
                ++s;
        }
    }
}
