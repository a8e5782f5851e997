// The world's backdrop: the sky panorama, the repeating sea tile, the sun sprite and
// the islands' colour ramp. Each is shaped by how the renderer maps it (see the
// comments at each maker), since a seam or a wrong row shows at once in play.
#include "textures.h"

#include <cmath>
#include <vector>

namespace {

const float kPi = 3.14159265f;

// The fog colour: the sky's last rows must meet the fully fogged sea in it.
const Rgba kFogGrey = rgb(0.8f, 0.8f, 0.8f);

// Picks the colour of a vertical gradient given as (row fraction, colour) stops.
struct Stop {
    float at;
    Rgba c;
};
template <size_t N> Rgba gradient(const Stop (&stops)[N], float v) {
    if (v <= stops[0].at)
        return stops[0].c;
    for (size_t i = 1; i < N; ++i)
        if (v <= stops[i].at) {
            float t = (v - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return mix(stops[i - 1].c, stops[i].c, smoothstep(0.0f, 1.0f, t));
        }
    return stops[N - 1].c;
}

} // namespace

// The sky box samples s 0..0.75 (left wall, far wall, right wall, in one sweep) and
// stretches row 0 over its whole top face. Row 0 is therefore one flat colour, and
// the rows from kGreyRow down are the fog grey the distant sea fades into.
Image make_sky() {
    const int W = 1024, H = 256, kGreyRow = 248;
    Image img(W, H, 4);
    // Clear blue high up, a pale haze only in the last few dozen rows above the grey.
    const Stop stops[] = {
        {0.00f, rgb8(36, 82, 158)},   {0.35f, rgb8(64, 122, 196)},
        {0.66f, rgb8(112, 160, 214)}, {0.88f, rgb8(162, 192, 226)},
        {0.94f, rgb8(186, 202, 220)}, {(float)kGreyRow / (H - 1), kFogGrey},
    };
    // Where the sun, 400 units left, 500 up and 800 ahead, lies on the far wall.
    const float sun_x = 269.0f, sun_y = 96.0f;
    for (int y = 0; y < H; ++y) {
        Rgba base = gradient(stops, (float)y / (H - 1));
        // Clouds and the sun's halo keep off the top row and the grey horizon.
        float keep = smoothstep(4.0f, 40.0f, (float)y) * (1.0f - smoothstep(226.0f, 246.0f, y));
        for (int x = 0; x < W; ++x) {
            Rgba c = base;
            if (y < kGreyRow && keep > 0.0f) {
                float dx = x - sun_x, dy = (y - sun_y) * 1.6f;
                float d = std::sqrt(dx * dx + dy * dy);
                float halo =
                    0.30f * std::exp(-(d * d) / (60.0f * 60.0f)) + 0.12f * std::exp(-d / 160.0f);
                c.r += 0.95f * halo * keep;
                c.g += 0.85f * halo * keep;
                c.b += 0.60f * halo * keep;

                // Flat-bottomed cumulus banks low down, thin streaks higher up.
                float low = fbm(x / 70.0f, y / 22.0f, 5, 0.5f, 11u);
                float low_above = fbm(x / 70.0f, (y - 4) / 22.0f, 5, 0.5f, 11u);
                float band = smoothstep(110.0f, 170.0f, y) * (1.0f - smoothstep(215.0f, 240.0f, y));
                float cover = smoothstep(0.50f, 0.72f, low) * band;
                float high = fbm(x / 160.0f, y / 6.0f, 4, 0.55f, 23u);
                float streak = smoothstep(0.58f, 0.80f, high) * 0.45f *
                               smoothstep(30.0f, 70.0f, y) * (1.0f - smoothstep(90.0f, 130.0f, y));
                float lit = clampf(0.55f + (low - low_above) * 6.0f, 0.0f, 1.0f);
                Rgba cloud = mix(rgb8(168, 178, 196), rgb8(252, 250, 246), lit);
                cloud = mix(cloud, base, 0.55f * smoothstep(195.0f, 240.0f, y));
                float sun_near = std::exp(-d / 120.0f);
                cloud = mix(cloud, rgb8(255, 240, 214), 0.5f * sun_near);
                c = mix(c, cloud, cover * keep);
                c = mix(c, rgb8(236, 240, 246), streak * keep);
            }
            if (y >= kGreyRow)
                c = kFogGrey;
            c.a = 1.0f;
            img.at(x, y) = c;
        }
    }
    return img;
}

// Repeats 80 times across and 55 times along the sea, so every pattern here has a
// whole number of periods over the tile: swells are sines with integer wave numbers
// and the chop is periodic noise whose lattice divides the tile.
Image make_sea() {
    const int N = 256;
    // Wave vectors in whole cycles per tile, crests mostly across the flight path.
    static const int waves[][2] = {{0, 3},   {1, 4},  {-1, 5},  {2, 7},  {-2, 6},  {1, 9},
                                   {-3, 10}, {3, 12}, {0, 14},  {4, 17}, {-5, 19}, {2, 23},
                                   {-1, 29}, {6, 31}, {-7, 37}, {3, 41}};
    std::vector<float> height((size_t)N * N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float u = (float)x / N, v = (float)y / N;
            float h = 0;
            int i = 0;
            for (const auto &k : waves) {
                float len = std::sqrt((float)(k[0] * k[0] + k[1] * k[1]));
                float phase = 2 * kPi * hash01(i++, 0, 77u);
                h += std::pow(len, -1.3f) * std::sin(2 * kPi * (k[0] * u + k[1] * v) + phase);
            }
            h += 0.06f * fbm_periodic(u * 16, v * 32, 16, 32, 3, 0.5f, 9u);
            height[(size_t)y * N + x] = h;
        }
    auto hgt = [&](int x, int y) { return height[(size_t)((y + N) % N) * N + (x + N) % N]; };

    // Shaded by the slope towards the low sun ahead, with glints where a facet
    // catches it; neighbours wrap, so the tile's edges shade as one surface.
    Image img(N, N, 4);
    const float lx = -0.25f, ly = -0.75f, lz = 0.6f;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float gx = (hgt(x + 1, y) - hgt(x - 1, y)) * 14.0f;
            float gy = (hgt(x, y + 1) - hgt(x, y - 1)) * 14.0f;
            float inv = 1.0f / std::sqrt(gx * gx + gy * gy + 1.0f);
            float lit = (-gx * lx - gy * ly + lz) * inv;
            Rgba c = mix(rgb8(8, 40, 74), rgb8(34, 100, 138), smoothstep(0.25f, 1.0f, lit));
            c = mix(c, rgb8(190, 220, 232), 0.55f * smoothstep(0.96f, 1.0f, lit));
            c.a = 1.0f;
            img.at(x, y) = c;
        }
    return img;
}

// Drawn additively, so colour times alpha is the light it adds: a white-hot disc, a
// warm glow around it, and nothing at all at the sprite's square edge.
Image make_sun() {
    const int N = 256;
    Image img(N, N, 4);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            float dx = (x + 0.5f - N / 2) / (N / 2), dy = (y + 0.5f - N / 2) / (N / 2);
            float r = std::sqrt(dx * dx + dy * dy);
            float ang = std::atan2(dy, dx);
            float core = 1.0f - smoothstep(0.16f, 0.20f, r);
            float rays = 1.0f + 0.18f * std::cos(12 * ang) * smoothstep(0.2f, 0.4f, r);
            float glow =
                (0.55f * std::exp(-(r * r) / (0.30f * 0.30f)) + 0.30f * std::exp(-r / 0.22f)) *
                rays;
            float fade = 1.0f - smoothstep(0.65f, 0.98f, r);
            float a = clampf(core + glow * fade, 0.0f, 1.0f);
            Rgba warm = mix(rgb8(255, 246, 220), rgb8(255, 176, 92), smoothstep(0.18f, 0.7f, r));
            img.at(x, y) = Rgba{warm.r, warm.g, warm.b, a};
        }
    return img;
}

// The islands read row t = -h (repeat wrap), so row r shows heights near
// 1 - (r + 0.5) / 64: row 51 is the shore at 0.2 where the sea cuts the land,
// row 6 the highest peaks at 0.9. Rows below 51 lie under the opaque sea.
Image make_landmap() {
    const int H = 64;
    Image img(1, H, 3);
    const Stop ramp[] = {
        {0.00f, rgb8(120, 112, 86)},  {0.18f, rgb8(176, 160, 112)}, // sea bed, wet sand
        {0.20f, rgb8(226, 206, 146)}, {0.28f, rgb8(210, 188, 128)}, // beach
        {0.32f, rgb8(118, 164, 70)},  {0.45f, rgb8(84, 140, 56)},   // meadow
        {0.56f, rgb8(52, 104, 44)},                                 // forest
        {0.61f, rgb8(112, 100, 82)},  {0.72f, rgb8(128, 120, 110)}, // rock
        {0.78f, rgb8(150, 146, 140)},                               // scree
        {0.82f, rgb8(232, 236, 242)}, {1.00f, rgb8(250, 252, 255)}, // snow
    };
    for (int r = 0; r < H; ++r) {
        float h = 1.0f - (r + 0.5f) / H;
        Rgba c = gradient(ramp, h);
        // A slight row-to-row grain so slopes show contour, as a survey map would.
        float grain = 0.96f + 0.06f * hash01(r, 0, 41u);
        c.r *= grain;
        c.g *= grain;
        c.b *= grain;
        c.a = 1.0f;
        img.at(0, r) = c;
    }
    return img;
}
