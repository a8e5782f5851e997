// A tiny float raster for drawing the game's textures: images, coverage masks built
// from distance fields (so every edge is anti-aliased the same way), tileable noise.
// Everything is pure integer hashing and plain arithmetic, so output never varies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgba {
    float r, g, b, a;
};

inline Rgba rgb(float r, float g, float b, float a = 1.0f) {
    return Rgba{r, g, b, a};
}
// Colours written as bytes read more naturally in the tables.
inline Rgba rgb8(int r, int g, int b, float a = 1.0f) {
    return Rgba{r / 255.0f, g / 255.0f, b / 255.0f, a};
}
Rgba mix(Rgba a, Rgba b, float t);
float clampf(float v, float lo, float hi);
float smoothstep(float e0, float e1, float x);

// Straight (not premultiplied) RGBA, row 0 at the top.
struct Image {
    int w = 0, h = 0;
    int channels = 4; // what the file gets: 3 drops alpha, 4 keeps it
    std::vector<Rgba> px;

    Image(int width, int height, int chans, Rgba fill = Rgba{0, 0, 0, 0});
    Rgba &at(int x, int y) { return px[(size_t)y * w + x]; }
    const Rgba &at(int x, int y) const { return px[(size_t)y * w + x]; }
    // Source-over compositing of c, its alpha scaled by coverage.
    void over(int x, int y, Rgba c, float coverage = 1.0f);
    // 8-bit bytes, rows top first, `channels` per pixel.
    std::vector<uint8_t> bytes() const;
};

// Coverage in [0, 1] per pixel; shapes are unioned by taking the maximum.
struct Mask {
    int w, h;
    std::vector<float> v;
    // The box of pixels any shape has touched (empty while x0 > x1), so painting a
    // small shape into a large picture visits only its neighbourhood.
    int x0, y0, x1 = -1, y1 = -1;
    Mask(int width, int height)
        : w(width), h(height), v((size_t)width * height, 0.0f), x0(width), y0(height) {}
    float at(int x, int y) const { return v[(size_t)y * w + x]; }
    void touch(int ax, int ay, int bx, int by);

    // A stroke of half-width hw around the segment from (ax, ay) to (bx, by), round ends.
    void capsule(float ax, float ay, float bx, float by, float hw);
    void disc(float cx, float cy, float radius);
    // A stroke of half-width hw along the circle arc from angle a0 to a1 (radians,
    // counter-clockwise in picture space where y grows downwards).
    void arc(float cx, float cy, float radius, float a0, float a1, float hw);
    // Filled polygon, 4 x 4 samples per pixel, non-zero winding.
    void polygon(const std::vector<float> &xy);
    void rect(float x0, float y0, float x1, float y1) { polygon({x0, y0, x1, y0, x1, y1, x0, y1}); }
};

// Paints colour c through the mask (alpha scaled by coverage).
void paint(Image &img, const Mask &m, Rgba c);
// Paints with a colour that depends on the pixel (gradients, textures in the ink).
template <class F> void paint_fn(Image &img, const Mask &m, F colour_at) {
    for (int y = m.y0; y <= m.y1 && y < img.h; ++y)
        for (int x = m.x0; x <= m.x1 && x < img.w; ++x) {
            float cov = m.at(x, y);
            if (cov > 0.0f)
                img.over(x, y, colour_at(x, y), cov);
        }
}

// Value noise on a lattice of period (px, py) cells: sampling at x and x + px gives
// the same value, so a picture made from it tiles when its size is a whole period.
float noise_periodic(float x, float y, int px, int py, uint32_t seed);
// Sum of `octaves` octaves, each twice the frequency and `gain` times the amplitude;
// normalised to about [0, 1].
float fbm_periodic(float x, float y, int px, int py, int octaves, float gain, uint32_t seed);
// Non-tiling noise for pictures that never repeat (a large period is enough).
inline float fbm(float x, float y, int octaves, float gain, uint32_t seed) {
    return fbm_periodic(x, y, 1 << 16, 1 << 16, octaves, gain, seed);
}
// A reproducible uniform value in [0, 1) for integer coordinates.
float hash01(int x, int y, uint32_t seed);
