// Drawing primitives for the texture generator. Shapes are measured as distances in
// pixel units and turned into coverage with a one-pixel ramp, which gives crisp but
// smooth edges at any size; noise comes from an integer hash, never from rand().
#include "raster.h"

#include <algorithm>
#include <cmath>

Rgba mix(Rgba a, Rgba b, float t) {
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                a.a + (b.a - a.a) * t};
}

float clampf(float v, float lo, float hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

float smoothstep(float e0, float e1, float x) {
    float t = clampf((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Image::Image(int width, int height, int chans, Rgba fill)
    : w(width), h(height), channels(chans), px((size_t)width * height, fill) {}

void Image::over(int x, int y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    Rgba &d = at(x, y);
    float sa = clampf(c.a * coverage, 0.0f, 1.0f);
    float oa = sa + d.a * (1.0f - sa);
    if (oa <= 0.0f) {
        d = Rgba{c.r, c.g, c.b, 0.0f};
        return;
    }
    float k = d.a * (1.0f - sa);
    d.r = (c.r * sa + d.r * k) / oa;
    d.g = (c.g * sa + d.g * k) / oa;
    d.b = (c.b * sa + d.b * k) / oa;
    d.a = oa;
}

std::vector<uint8_t> Image::bytes() const {
    std::vector<uint8_t> out;
    out.reserve(px.size() * channels);
    auto byte = [](float v) { return (uint8_t)std::lround(clampf(v, 0.0f, 1.0f) * 255.0f); };
    for (const Rgba &p : px) {
        out.push_back(byte(p.r));
        out.push_back(byte(p.g));
        out.push_back(byte(p.b));
        if (channels == 4)
            out.push_back(byte(p.a));
    }
    return out;
}

// Runs f(x, y) over the pixels whose centres may lie within `reach` of the box.
void Mask::touch(int ax, int ay, int bx, int by) {
    x0 = std::min(x0, ax);
    y0 = std::min(y0, ay);
    x1 = std::max(x1, bx);
    y1 = std::max(y1, by);
}

template <class F>
static void for_box(Mask &m, float x0, float y0, float x1, float y1, float reach, F f) {
    int ix0 = std::max(0, (int)std::floor(std::min(x0, x1) - reach - 1));
    int iy0 = std::max(0, (int)std::floor(std::min(y0, y1) - reach - 1));
    int ix1 = std::min(m.w - 1, (int)std::ceil(std::max(x0, x1) + reach + 1));
    int iy1 = std::min(m.h - 1, (int)std::ceil(std::max(y0, y1) + reach + 1));
    if (ix0 > ix1 || iy0 > iy1)
        return;
    m.touch(ix0, iy0, ix1, iy1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x)
            f(x, y, x + 0.5f, y + 0.5f);
}

// A one-pixel ramp centred on the shape's edge.
static float edge_coverage(float dist_inside) {
    return clampf(dist_inside + 0.5f, 0.0f, 1.0f);
}

static void keep_max(float &dst, float cov) {
    dst = std::max(dst, cov);
}

void Mask::capsule(float ax, float ay, float bx, float by, float hw) {
    float dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    for_box(*this, ax, ay, bx, by, hw, [&](int x, int y, float px, float py) {
        float t = len2 > 0 ? clampf(((px - ax) * dx + (py - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
        float ex = px - (ax + t * dx), ey = py - (ay + t * dy);
        keep_max(v[(size_t)y * w + x], edge_coverage(hw - std::sqrt(ex * ex + ey * ey)));
    });
}

void Mask::disc(float cx, float cy, float radius) {
    for_box(*this, cx, cy, cx, cy, radius, [&](int x, int y, float px, float py) {
        float d = std::hypot(px - cx, py - cy);
        keep_max(v[(size_t)y * w + x], edge_coverage(radius - d));
    });
}

void Mask::arc(float cx, float cy, float radius, float a0, float a1, float hw) {
    const float two_pi = 6.2831853f;
    float ex0 = cx + radius * std::cos(a0), ey0 = cy + radius * std::sin(a0);
    float ex1 = cx + radius * std::cos(a1), ey1 = cy + radius * std::sin(a1);
    float span = a1 - a0;
    for_box(*this, cx - radius, cy - radius, cx + radius, cy + radius, hw,
            [&](int x, int y, float px, float py) {
                float ang = std::atan2(py - cy, px - cx) - a0;
                ang = ang - two_pi * std::floor(ang / two_pi);
                float d;
                if (ang <= span)
                    d = std::fabs(std::hypot(px - cx, py - cy) - radius);
                else
                    d = std::min(std::hypot(px - ex0, py - ey0), std::hypot(px - ex1, py - ey1));
                keep_max(v[(size_t)y * w + x], edge_coverage(hw - d));
            });
}

static int winding(const std::vector<float> &xy, float px, float py) {
    int wn = 0;
    size_t n = xy.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        float x0 = xy[2 * i], y0 = xy[2 * i + 1];
        float x1 = xy[2 * ((i + 1) % n)], y1 = xy[2 * ((i + 1) % n) + 1];
        float side = (x1 - x0) * (py - y0) - (px - x0) * (y1 - y0);
        if (y0 <= py) {
            if (y1 > py && side > 0)
                ++wn;
        } else if (y1 <= py && side < 0) {
            --wn;
        }
    }
    return wn;
}

void Mask::polygon(const std::vector<float> &xy) {
    float x0 = xy[0], x1 = xy[0], y0 = xy[1], y1 = xy[1];
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        x0 = std::min(x0, xy[i]);
        x1 = std::max(x1, xy[i]);
        y0 = std::min(y0, xy[i + 1]);
        y1 = std::max(y1, xy[i + 1]);
    }
    for_box(*this, x0, y0, x1, y1, 0.0f, [&](int x, int y, float, float) {
        int inside = 0;
        for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx)
                if (winding(xy, x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) != 0)
                    ++inside;
        keep_max(v[(size_t)y * w + x], inside / 16.0f);
    });
}

void paint(Image &img, const Mask &m, Rgba c) {
    paint_fn(img, m, [c](int, int) { return c; });
}

float hash01(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ (uint32_t)x * 0x85EBCA6Bu ^ (uint32_t)y * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return (h >> 8) * (1.0f / 16777216.0f);
}

static int wrap(int i, int period) {
    int r = i % period;
    return r < 0 ? r + period : r;
}

float noise_periodic(float x, float y, int px, int py, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = (int)fx, iy = (int)fy;
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    int x0 = wrap(ix, px), x1 = wrap(ix + 1, px), y0 = wrap(iy, py), y1 = wrap(iy + 1, py);
    float a = hash01(x0, y0, seed), b = hash01(x1, y0, seed);
    float c = hash01(x0, y1, seed), d = hash01(x1, y1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm_periodic(float x, float y, int px, int py, int octaves, float gain, uint32_t seed) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise_periodic(x, y, px, py, seed + 101u * o);
        norm += amp;
        amp *= gain;
        x *= 2;
        y *= 2;
        px *= 2;
        py *= 2;
    }
    return sum / norm;
}
