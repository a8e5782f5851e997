// The contact sheet's canvas: an RGB picture with rectangles, text, pictures
// pasted in over a checkerboard (so alpha shows) and PNG input and output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

struct Canvas {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    Canvas(int w, int h, Rgb fill);
    void put(int x, int y, Rgb c);
    void fill_rect(int x, int y, int w, int h, Rgb c);
    void text(int x, int y, const std::string &s, int scale, Rgb c);
};

// An RGBA picture as read from a PNG file.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// False when the file is missing or does not decode.
bool picture_load_png(const std::string &path, Picture &out, std::string &error);
bool canvas_save_png(const Canvas &canvas, const std::string &path);

// Scales the picture to fit the box (never up beyond 4x), centred, alpha over a checkerboard.
void canvas_paste(Canvas &canvas, const Picture &pic, int x, int y, int w, int h);
