// The two whole-window pictures: the title screen and the end-of-stage picture. Both
// are stretched over the window (4:3 at the default size), so lettering is drawn
// taller than it should look and comes out in proportion on screen.
#include "textures.h"

#include "font.h"

#include <cmath>

namespace {

// A dusk sea scene: sky gradient with a low sun, lit cloud streaks and a sea with a
// glitter path under the sun. Shared by both pictures at their own sizes.
struct Dusk {
    int size;
    float horizon;      // row of the horizon
    float sun_x, sun_r; // the sun sits on the horizon
    float calm_rows;    // rows at the top kept one flat colour
};

Rgba dusk_sky(const Dusk &d, float y) {
    const Rgba top = rgb8(10, 16, 42), high = rgb8(36, 42, 96), mid = rgb8(150, 78, 96),
               low = rgb8(252, 160, 84);
    float v = clampf((y - d.calm_rows) / (d.horizon - d.calm_rows), 0.0f, 1.0f);
    if (v < 0.45f)
        return mix(top, high, smoothstep(0.0f, 0.45f, v));
    if (v < 0.8f)
        return mix(high, mid, smoothstep(0.45f, 0.8f, v));
    return mix(mid, low, smoothstep(0.8f, 1.0f, v));
}

void draw_dusk(Image &img, const Dusk &d, uint32_t seed) {
    float k = d.size / 1024.0f; // feature scale
    for (int y = 0; y < d.size; ++y)
        for (int x = 0; x < d.size; ++x) {
            float fx = x + 0.5f, fy = y + 0.5f;
            Rgba c;
            float dx = fx - d.sun_x, dy = fy - d.horizon;
            float sun_d = std::sqrt(dx * dx + dy * dy);
            if (fy < d.horizon) {
                c = dusk_sky(d, fy);
                if (fy > d.calm_rows) {
                    // Long thin clouds, lit orange from below near the horizon.
                    float n = fbm(fx / (220 * k), fy / (18 * k), 5, 0.55f, seed);
                    float cloud = smoothstep(0.55f, 0.75f, n) *
                                  smoothstep(d.calm_rows, d.calm_rows + 80 * k, fy);
                    float glowing = smoothstep(d.horizon * 0.4f, d.horizon, fy);
                    Rgba cc = mix(rgb8(60, 44, 80), rgb8(255, 150, 110), glowing);
                    c = mix(c, cc, 0.8f * cloud);
                }
                float halo = std::exp(-sun_d / (160 * k)) * 0.6f +
                             std::exp(-(sun_d * sun_d) / (60 * k * 60 * k)) * 0.6f;
                if (fy > d.calm_rows)
                    c = mix(c, rgb8(255, 220, 150), clampf(halo, 0.0f, 1.0f));
                float disc = clampf(d.sun_r - sun_d + 0.5f, 0.0f, 1.0f);
                c = mix(c, rgb8(255, 246, 214), disc);
            } else {
                float depth = (fy - d.horizon) / (d.size - d.horizon);
                c = mix(rgb8(70, 48, 70), rgb8(8, 18, 38), smoothstep(0.0f, 0.6f, depth));
                // Wave streaks, and glitter on the path under the sun that widens
                // towards the viewer.
                float wave = fbm(fx / (90 * k), fy / (4 * k + depth * 10 * k), 4, 0.5f, seed + 1);
                float path = std::exp(-(dx * dx) / std::pow((30 + depth * 220) * k, 2.0f));
                float glitter = smoothstep(0.55f, 0.8f, wave) * path;
                c = mix(c, rgb8(255, 196, 120), clampf(glitter * 1.2f, 0.0f, 1.0f));
                c = mix(c, rgb8(40, 60, 96), 0.25f * smoothstep(0.5f, 0.7f, wave) * (1 - path));
            }
            c.a = 1.0f;
            img.at(x, y) = c;
        }
}

// A jet silhouette with two fading contrails behind it.
void draw_jet(Image &img, float cx, float cy, float scale, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    for (int side = -1; side <= 1; side += 2) {
        // Engines sit 8 units either side, near the tail; trails run straight back.
        float ex = cx + scale * (side * 8 * c - 50 * s), ey = cy + scale * (side * 8 * s + 50 * c);
        const int steps = 80;
        for (int i = 0; i < steps; ++i) {
            Mask m(img.w, img.h);
            float t0 = 400.0f * scale * i / steps, t1 = 400.0f * scale * (i + 1) / steps;
            m.capsule(ex - s * t0, ey + c * t0, ex - s * t1, ey + c * t1,
                      scale * (2.0f + 5.0f * i / steps));
            paint(img, m, rgb(1.0f, 0.93f, 0.86f, 0.035f * (1.0f - (float)i / steps)));
        }
    }
    Mask body(img.w, img.h);
    body.polygon(jet_plan(cx, cy, scale, angle));
    paint(img, body, rgb8(18, 16, 30));
}

// Soft glow behind a text mask: a few wider, fainter strokes.
void text_glow(Image &img, const std::string &text, float x, float y, TextStyle st, Rgba colour,
               float reach) {
    const int layers = 12;
    for (int i = layers; i >= 1; --i) {
        Mask m(img.w, img.h);
        TextStyle wide = st;
        wide.half_width += reach * i / layers;
        text_mask(m, text, x, y, wide);
        paint(img, m, Rgba{colour.r, colour.g, colour.b, colour.a / layers});
    }
}

void text_outlined(Image &img, const std::string &text, float x, float y, TextStyle st, float rim,
                   Rgba top, Rgba bottom) {
    Mask outer(img.w, img.h), inner(img.w, img.h);
    TextStyle wide = st;
    wide.half_width += rim;
    text_mask(outer, text, x, y, wide);
    text_mask(inner, text, x, y, st);
    paint(img, outer, rgb8(8, 8, 24, 0.92f));
    float y0 = y - st.half_width, y1 = y + st.glyph_h + st.half_width;
    paint_fn(img, inner, [&](int, int py) {
        float v = clampf((py - y0) / (y1 - y0), 0.0f, 1.0f);
        // A chrome band: bright top, cool middle line, warm lower half.
        if (v < 0.5f)
            return mix(top, rgb8(150, 176, 214), smoothstep(0.0f, 0.5f, v));
        return mix(rgb8(255, 236, 200), bottom, smoothstep(0.5f, 1.0f, v));
    });
}

void centred(Image &img, const std::string &text, float y, TextStyle st, float rim, Rgba top,
             Rgba bottom) {
    float x = (img.w - text_width(text, st) - st.slant) / 2 + st.slant / 2;
    text_outlined(img, text, x, y, st, rim, top, bottom);
}

} // namespace

// The title: the name over a dusk sea with a pair of jets climbing away, and the
// prompt to press Space near the bottom.
Image make_title() {
    const int N = 1024;
    Image img(N, N, 3);
    draw_dusk(img, Dusk{N, 640.0f, 700.0f, 46.0f, 0.0f}, 900u);
    draw_jet(img, 620, 520, 0.45f, -0.35f);
    draw_jet(img, 820, 460, 1.0f, -0.45f);

    TextStyle big{96.0f, 190.0f, 34.0f, 13.0f, 24.0f};
    float x = (N - text_width("QUORRIN", big) - big.slant) / 2 + big.slant / 2;
    text_glow(img, "QUORRIN", x, 150, big, rgb(1.0f, 0.62f, 0.30f, 0.5f), 34.0f);
    text_outlined(img, "QUORRIN", x, 150, big, 7.0f, rgb8(255, 255, 255), rgb8(255, 176, 96));
    Mask rule(N, N);
    rule.capsule(150, 392, 874, 392, 2.5f);
    paint(img, rule, rgb8(255, 200, 130, 0.9f));

    TextStyle small{30.0f, 54.0f, 14.0f, 4.5f, 0.0f};
    centred(img, "PRESS SPACE", 860, small, 4.0f, rgb8(255, 255, 255), rgb8(214, 230, 255));
    return img;
}

// The end of the stage. The score is drawn over its top-left corner, so the top
// rows stay one flat dark colour for the digits to read against.
Image make_end() {
    const int N = 256;
    Image img(N, N, 4);
    draw_dusk(img, Dusk{N, 176.0f, 128.0f, 10.0f, 48.0f}, 910u);
    draw_jet(img, 128, 157, 0.28f, 0.0f);
    TextStyle line{18.0f, 30.0f, 7.0f, 2.4f, 4.0f};
    centred(img, "MISSION", 62, line, 2.0f, rgb8(255, 255, 255), rgb8(255, 190, 100));
    centred(img, "COMPLETE", 104, line, 2.0f, rgb8(255, 255, 255), rgb8(255, 190, 100));
    return img;
}
