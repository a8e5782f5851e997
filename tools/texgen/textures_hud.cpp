// The flat overlay's pictures: the gun sight, the three lock symbols and the HUD atlas.
// All are drawn with nearest filtering over a bright sky, so every mark gets a soft
// dark rim and stays inside its box with a clear pixel to spare (no bleeding).
#include "textures.h"

#include "font.h"

#include <cmath>
#include <functional>

namespace {

const float kPi = 3.14159265f;

const Rgba kWhite = rgb8(255, 255, 255);
const Rgba kCyan = rgb8(90, 240, 255);
const Rgba kRed = rgb8(255, 56, 40);
const Rgba kHudInk = rgb8(214, 246, 255);
const Rgba kAmber = rgb8(255, 196, 72);
const Rgba kRim = rgb(0.0f, 0.04f, 0.08f, 0.6f);

// Draws a shape twice: grown by `rim` pixels in the rim colour, then itself in ink.
// `shape` adds the shape to a mask with every stroke widened by its second argument.
void outlined(Image &img, const std::function<void(Mask &, float)> &shape, Rgba ink, float rim,
              Rgba rim_colour = kRim) {
    Mask outer(img.w, img.h), inner(img.w, img.h);
    shape(outer, rim);
    shape(inner, 0.0f);
    paint(img, outer, rim_colour);
    paint(img, inner, ink);
}

// A filled polygon, grown by `grow` pixels by stroking its edges.
void polygon_grown(Mask &m, const std::vector<float> &pts, float grow) {
    m.polygon(pts);
    if (grow <= 0)
        return;
    size_t n = pts.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        m.capsule(pts[2 * i], pts[2 * i + 1], pts[2 * j], pts[2 * j + 1], grow);
    }
}

// A missile seen from the side, nose up, centred on cx between top and bottom.
std::vector<float> missile_outline(float cx, float top, float bottom, float body_w, float fin_w) {
    float hw = body_w / 2, len = bottom - top;
    float nose = top + len * 0.16f, fin_top = bottom - len * 0.22f, wing_top = top + len * 0.30f;
    float wing_bottom = wing_top + len * 0.1f;
    return {cx,
            top,
            cx + hw,
            nose,
            cx + hw,
            wing_top,
            cx + hw + fin_w * 0.5f,
            wing_bottom,
            cx + hw,
            wing_bottom,
            cx + hw,
            fin_top,
            cx + hw + fin_w,
            bottom,
            cx - hw - fin_w,
            bottom,
            cx - hw,
            fin_top,
            cx - hw,
            wing_bottom,
            cx - hw - fin_w * 0.5f,
            wing_bottom,
            cx - hw,
            wing_top,
            cx - hw,
            nose};
}

void draw_missile(Image &img, float cx, float top, float bottom, float body_w, float fin_w) {
    std::vector<float> pts = missile_outline(cx, top, bottom, body_w, fin_w);
    outlined(
        img, [&](Mask &m, float g) { polygon_grown(m, pts, g); }, rgb8(236, 240, 242), 1.2f);
    // A red warhead band and a dark seeker tip read as a missile even when tiny.
    Mask band(img.w, img.h);
    float len = bottom - top;
    band.rect(cx - body_w / 2, top + len * 0.18f, cx + body_w / 2, top + len * 0.24f);
    paint(img, band, rgb8(220, 50, 40));
    Mask tip(img.w, img.h);
    tip.polygon(
        {cx, top, cx + body_w * 0.3f, top + len * 0.06f, cx - body_w * 0.3f, top + len * 0.06f});
    paint(img, tip, rgb8(60, 70, 80));
}

// Digits 0-9 centred in 16-pixel cells starting at x0, each cell's ink kept off its
// first and last columns.
void draw_digits(Image &img, float x0, float y0, float glyph_h, Rgba ink, float slant) {
    TextStyle st{9.0f, glyph_h, 7.0f, 1.5f, slant};
    for (int d = 0; d < 10; ++d) {
        std::string s(1, (char)('0' + d));
        float x = x0 + 16 * d + 3.5f - slant / 2;
        outlined(
            img,
            [&](Mask &m, float g) {
                TextStyle grown = st;
                grown.half_width += g;
                text_mask(m, s, x, y0, grown);
            },
            ink, 1.0f);
    }
}

} // namespace

std::vector<float> jet_plan(float cx, float cy, float scale, float angle) {
    // Half outline from nose to tail on the right; the left is its mirror.
    static const float half[][2] = {{0, -60}, {4, -50}, {6, -32}, {9, -12}, {44, 10}, {46, 17},
                                    {11, 17}, {12, 32}, {27, 44}, {27, 50}, {9, 47},  {5, 54}};
    const int n = sizeof half / sizeof half[0];
    std::vector<float> pts;
    float c = std::cos(angle), s = std::sin(angle);
    auto put = [&](float x, float y) {
        pts.push_back(cx + scale * (x * c - y * s));
        pts.push_back(cy + scale * (x * s + y * c));
    };
    for (int i = 0; i < n; ++i)
        put(half[i][0], half[i][1]);
    for (int i = n - 1; i >= 1; --i)
        put(-half[i][0], half[i][1]);
    return pts;
}

// White corner brackets around a centre dot.
Image make_sight() {
    Image img(64, 64, 4);
    auto shape = [](Mask &m, float g) {
        const float lo = 8.5f, hi = 55.5f, arm = 13.0f, hw = 1.6f + g;
        m.capsule(lo, lo + arm, lo, lo, hw);
        m.capsule(lo, lo, lo + arm, lo, hw);
        m.capsule(hi - arm, lo, hi, lo, hw);
        m.capsule(hi, lo, hi, lo + arm, hw);
        m.capsule(hi, hi - arm, hi, hi, hw);
        m.capsule(hi, hi, hi - arm, hi, hw);
        m.capsule(lo + arm, hi, lo, hi, hw);
        m.capsule(lo, hi, lo, hi - arm, hw);
        m.disc(32, 32, 2.8f + g);
    };
    outlined(img, shape, kWhite, 1.6f);
    return img;
}

// A cyan ring of four arcs, the gaps on the axes where the pulsing cross's bars run.
Image make_lock_ring() {
    Image img(32, 32, 4);
    auto shape = [](Mask &m, float g) {
        for (int q = 0; q < 4; ++q) {
            float mid = kPi / 4 + q * kPi / 2;
            m.arc(16, 16, 11.0f, mid - 0.55f, mid + 0.55f, 1.4f + g);
        }
    };
    outlined(img, shape, kCyan, 1.2f);
    return img;
}

// A cyan cross of four bars with an open centre.
Image make_lock_cross() {
    Image img(64, 64, 4);
    auto shape = [](Mask &m, float g) {
        const float in = 9.0f, out = 27.0f, hw = 2.0f + g;
        m.capsule(32, 32 - out, 32, 32 - in, hw);
        m.capsule(32, 32 + in, 32, 32 + out, hw);
        m.capsule(32 - out, 32, 32 - in, 32, hw);
        m.capsule(32 + in, 32, 32 + out, 32, hw);
    };
    outlined(img, shape, kCyan, 1.5f);
    return img;
}

// A red diagonal cross.
Image make_lock_taken() {
    Image img(32, 32, 4);
    auto shape = [](Mask &m, float g) {
        m.capsule(8, 8, 24, 24, 2.4f + g);
        m.capsule(24, 8, 8, 24, 2.4f + g);
    };
    outlined(img, shape, kRed, 1.3f);
    return img;
}

// The HUD atlas. The boxes the game draws (in pixels, rows from the top):
//   rows 0-31, all columns: the Speed tab above an empty gauge frame (rows 16-31);
//   rows 32-63: the fill strip at columns 3-252, rows 51-60, nothing else;
//   rows 64-95: the word Score in columns 0-63, digit d in columns 16(d+4) to +15;
//   rows 96-159: a large missile in columns 0-31, a small one in columns 32-63.
// Drawn by nobody: the word Area in two styles (columns 64-159), an aircraft
// (columns 160-255, rows 96-191) and amber digits (rows 160-191, columns 0-159).
Image make_hud() {
    Image img(256, 256, 4);

    // Gauge frame: the strip band is drawn over the same rectangle, so the frame's
    // open interior (rows 18-29, columns 2-253) frames the strip's rows 19-28. A dark
    // rim inside the border keeps it readable over bright sky, clear of the strip.
    Mask frame(256, 256), rim(256, 256);
    frame.rect(0, 16, 256, 18);
    frame.rect(0, 30, 256, 32);
    frame.rect(0, 16, 2, 32);
    frame.rect(254, 16, 256, 32);
    for (int i = 1; i < 4; ++i) // quarter ticks hanging from the top edge
        frame.rect(64.0f * i - 1, 18, 64.0f * i + 1, 21);
    rim.rect(2, 18, 254, 19);
    rim.rect(2, 29, 254, 30);
    rim.rect(2, 18, 3, 30);
    rim.rect(253, 18, 254, 30);
    rim.rect(94, 15, 256, 16);
    paint(img, rim, kRim);
    Mask tab(256, 256);
    tab.polygon({0, 0, 78, 0, 94, 16, 0, 16});
    Mask tab_fill(256, 256);
    tab_fill.polygon({2, 2, 77, 2, 89.5f, 16, 2, 16});
    paint(img, tab, kHudInk);
    paint(img, tab_fill, rgb(0.02f, 0.10f, 0.16f, 0.85f));
    paint(img, frame, kHudInk);
    Mask speed(256, 256);
    text_mask(speed, "SPEED", 8, 4, TextStyle{8.0f, 9.0f, 5.0f, 1.1f, 2.0f});
    paint(img, speed, kHudInk);

    // The fill strip: blue at no throttle through yellow and red to pink at full.
    const Rgba stops[] = {rgb8(36, 84, 255), rgb8(40, 200, 255), rgb8(255, 232, 48),
                          rgb8(255, 56, 32), rgb8(255, 120, 210)};
    const float at[] = {0.0f, 0.25f, 0.5f, 0.8f, 1.0f};
    for (int x = 3; x <= 252; ++x) {
        float f = (x - 3) / 249.0f;
        int k = 0;
        while (k < 3 && f > at[k + 1])
            ++k;
        Rgba c = mix(stops[k], stops[k + 1], (f - at[k]) / (at[k + 1] - at[k]));
        for (int y = 51; y <= 60; ++y) {
            float gloss = y == 51 ? 1.25f : (y >= 59 ? 0.8f : 1.0f);
            img.at(x, y) = Rgba{clampf(c.r * gloss, 0, 1), clampf(c.g * gloss, 0, 1),
                                clampf(c.b * gloss, 0, 1), 1.0f};
        }
    }

    outlined(
        img,
        [](Mask &m, float g) {
            text_mask(m, "SCORE", 4, 72, TextStyle{9.0f, 16.0f, 3.0f, 1.3f + g, 0});
        },
        kHudInk, 1.0f);
    draw_digits(img, 64, 70, 20.0f, kHudInk, 0);

    draw_missile(img, 16, 99, 157, 7.0f, 4.0f);
    draw_missile(img, 48, 118, 157, 4.5f, 3.0f);

    // The undrawn rest, kept for a fuller atlas.
    outlined(
        img,
        [](Mask &m, float g) {
            text_mask(m, "AREA", 75, 103, TextStyle{14.0f, 18.0f, 6.0f, 1.6f + g, 0});
        },
        kHudInk, 1.0f);
    outlined(
        img,
        [](Mask &m, float g) {
            text_mask(m, "AREA", 73, 135, TextStyle{14.0f, 18.0f, 6.0f, 2.2f + g, 5.0f});
        },
        kAmber, 1.0f);
    std::vector<float> plane = jet_plan(208, 144, 0.75f, 0);
    outlined(
        img, [&](Mask &m, float g) { polygon_grown(m, plane, g); }, rgb8(180, 196, 210), 1.2f);
    draw_digits(img, 0, 166, 20.0f, kAmber, 3.0f);
    return img;
}
