// Soft sprites for smoke, fire, shock rings, spray and the engine flame. Every
// sprite fades to zero alpha well inside its square, since the quads are drawn
// unrotated and a visible edge would show the square at once.
#include "textures.h"

#include <cmath>

namespace {

const float kPi = 3.14159265f;
const int kSprite = 256;

// Distance from the sprite's centre, 0 at the middle and 1 at the middle of an edge.
float radius_at(int x, int y, int n = kSprite) {
    float dx = (x + 0.5f - n / 2.0f) / (n / 2.0f), dy = (y + 0.5f - n / 2.0f) / (n / 2.0f);
    return std::sqrt(dx * dx + dy * dy);
}

// Billowing puff density: a few overlapping soft blobs broken up by noise, zero
// beyond the rim.
float puff_density(float x, float y, uint32_t seed) {
    float u = x / kSprite - 0.5f, v = y / kSprite - 0.5f;
    float d = 0;
    for (int i = 0; i < 9; ++i) {
        float a = 2 * kPi * (i / 9.0f + 0.2f * hash01(i, 1, seed));
        float off = 0.08f + 0.18f * hash01(i, 2, seed);
        float rad = 0.09f + 0.08f * hash01(i, 3, seed);
        float bx = u - off * std::cos(a), by = v - off * std::sin(a);
        d += 0.8f * std::exp(-(bx * bx + by * by) / (rad * rad));
    }
    d += std::exp(-(u * u + v * v) / (0.16f * 0.16f));
    float grain = 0.45f + 0.9f * fbm(x / 36.0f, y / 36.0f, 5, 0.55f, seed + 7u);
    float r = std::sqrt(u * u + v * v) * 2;
    return d * grain * (1.0f - smoothstep(0.3f, 0.95f, r));
}

// A lit smoke puff: light from the upper left, so a puff reads as a rounded volume.
Image smoke_puff(Rgba shadow, Rgba light, float opacity, uint32_t seed) {
    Image img(kSprite, kSprite, 4);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            float d = puff_density(x, y, seed);
            float behind = puff_density(x + 6.0f, y + 6.0f, seed);
            float slope = (x + y) / (2.0f * kSprite) - 0.5f;
            float lit = clampf(0.75f - 0.9f * slope + (behind - d) * 0.25f, 0.0f, 1.0f);
            Rgba c = mix(shadow, light, lit);
            // Thin at the rim, never a hard disc however dense the middle is.
            c.a = 1.0f - std::exp(-d * opacity);
            img.at(x, y) = c;
        }
    return img;
}

} // namespace

Image make_smoke() {
    return smoke_puff(rgb8(150, 152, 158), rgb8(246, 246, 244), 1.1f, 100u);
}

// Debris smoke: oily and dark, drawn with normal blending over the scene.
Image make_smoke_dark() {
    return smoke_puff(rgb8(24, 22, 22), rgb8(92, 86, 80), 1.8f, 200u);
}

// Drawn additively: colour times alpha is light, so the core is white-yellow and
// the licks at the rim a thin dark red.
Image make_smoke_burn() {
    Image img(kSprite, kSprite, 4);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            float d = puff_density(x, y, 300u);
            float flame = fbm(x / 24.0f, y / 24.0f, 4, 0.5f, 310u);
            float heat = clampf(d * 0.45f * (0.6f + 0.8f * flame), 0.0f, 1.0f);
            Rgba c = heat > 0.5f ? mix(rgb8(240, 120, 30), rgb8(255, 214, 130), (heat - 0.5f) * 2)
                                 : mix(rgb8(130, 24, 6), rgb8(240, 120, 30), heat * 2);
            c.a = clampf(heat * 1.1f, 0.0f, 0.9f);
            img.at(x, y) = c;
        }
    return img;
}

// The afterburner's shock ring: a bright thin ring with a faint fill, additive.
Image make_shock() {
    Image img(kSprite, kSprite, 4);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            float r = radius_at(x, y);
            float ang = std::atan2(y + 0.5f - 128.0f, x + 0.5f - 128.0f);
            // Angular noise sampled on a circle, so the ring has no seam at +-pi.
            float n = fbm(40 + 3 * std::cos(ang), 40 + 3 * std::sin(ang), 3, 0.5f, 400u);
            float ring_r = 0.70f + 0.04f * (n - 0.5f);
            float ring = std::exp(-((r - ring_r) * (r - ring_r)) / (0.05f * 0.05f));
            float inner = 0.18f * smoothstep(0.2f, ring_r, r) * (r < ring_r ? 1.0f : 0.0f);
            float a =
                clampf((ring * (0.7f + 0.6f * n) + inner) * (1.0f - smoothstep(0.85f, 0.97f, r)),
                       0.0f, 1.0f);
            Rgba c = mix(rgb8(150, 200, 255), rgb8(250, 252, 255), ring);
            c.a = a;
            img.at(x, y) = c;
        }
    return img;
}

// Spray and wake, loaded with the rest but not drawn by the game: variant 0 is a
// burst of spray, 1 and 3 wakes of different spread.
Image make_splash(int variant) {
    Image img(kSprite, kSprite, 4);
    uint32_t seed = 500u + 10u * variant;
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            float u = (x + 0.5f) / kSprite - 0.5f, v = (y + 0.5f) / kSprite;
            float foam = fbm(x / 18.0f, y / 18.0f, 4, 0.55f, seed);
            float a;
            if (variant == 0) {
                // Spray fanning upwards from the bottom centre.
                float dx = u, dy = 1.0f - v;
                float ang = std::atan2(dx, dy);
                float dist = std::sqrt(dx * dx + dy * dy);
                float jets = 0.5f + 0.5f * std::cos(ang * 14 + 3 * foam);
                a = jets * (1.0f - smoothstep(0.25f, 0.85f, dist)) * smoothstep(0.0f, 0.1f, dist) *
                    (1.0f - smoothstep(0.8f, 1.3f, std::fabs(ang)));
            } else {
                // A V of churned water opening towards the bottom.
                float spread = variant == 1 ? 0.18f : 0.32f;
                float edge = std::fabs(std::fabs(u) - spread * v);
                a = std::exp(-(edge * edge) / 0.002f) +
                    0.6f * (std::fabs(u) < spread * v ? 1.0f : 0.0f);
                a *= smoothstep(0.0f, 0.2f, v) * (1.0f - smoothstep(0.8f, 1.0f, v)) *
                     (1.0f - smoothstep(0.4f, 0.5f, std::fabs(u)));
            }
            a = clampf(a * (0.3f + 1.0f * foam) * smoothstep(0.35f, 0.6f, foam + 0.2f), 0.0f, 1.0f);
            Rgba c = mix(rgb8(190, 214, 226), rgb8(255, 255, 255), foam);
            c.a = a;
            img.at(x, y) = c;
        }
    if (variant == 0) {
        // Droplets thrown out along the fan, thinning with distance.
        for (int i = 0; i < 160; ++i) {
            float ang = (hash01(i, 0, seed) - 0.5f) * 2.0f;
            float dist = 0.15f + 0.7f * std::sqrt(hash01(i, 1, seed));
            float r = 1.2f + 2.5f * hash01(i, 2, seed) * (1.0f - dist);
            Mask drop(kSprite, kSprite);
            drop.disc(kSprite * (0.5f + 0.5f * dist * std::sin(ang)),
                      kSprite * (1.0f - 0.9f * dist * std::cos(ang)), r);
            paint(img, drop, rgb(0.95f, 0.98f, 1.0f, 0.9f * (1.0f - smoothstep(0.6f, 0.9f, dist))));
        }
    }
    return img;
}

// The flame tube shows one column, top row at the nozzle and bottom row at the
// tail, and that column slides across twice a second. So each column is a whole
// flame profile, and neighbouring columns differ in length, core and shock-diamond
// phase: the tube shimmers as the column moves. The columns wrap (u jumps from 1
// back to 0), so the variation is periodic across the picture.
Image make_jet_tube() {
    const int W = 64, H = 256;
    Image img(W, H, 4);
    for (int x = 0; x < W; ++x) {
        float u = (float)x / W;
        float length = 0.60f + 0.32f * noise_periodic(u * 8, 0.5f, 8, 1, 600u);
        float core = 0.14f + 0.12f * noise_periodic(u * 8, 0.5f, 8, 1, 610u);
        float phase = noise_periodic(u * 4, 0.5f, 4, 1, 620u) + 0.3f * hash01(x, 0, 630u);
        for (int y = 0; y < H; ++y) {
            float t = (y + 0.5f) / H;
            float s = t / length;
            float heat = 0;
            if (s < 1.0f) {
                float diamonds = 0.82f + 0.18f * std::cos(2 * kPi * (5.0f * s + phase));
                float flicker = 0.75f + 0.5f * noise_periodic(u * 16, t * 20, 16, 1 << 16, 640u);
                heat = std::pow(1.0f - s, 1.3f) * diamonds * flicker;
            }
            Rgba c;
            if (t < core)
                c = mix(rgb8(220, 235, 255), rgb8(255, 236, 170), t / core);
            else
                c = mix(rgb8(255, 210, 110), rgb8(210, 60, 20), smoothstep(0.0f, 1.0f, s));
            c.a = clampf(heat * 1.2f, 0.0f, 1.0f);
            img.at(x, y) = c;
        }
    }
    return img;
}

// The nozzle glow, seen from behind: a white-blue hot centre in an orange halo.
Image make_jet_glow() {
    Image img(kSprite, kSprite, 4);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            float r = radius_at(x, y);
            float core = 1.0f - smoothstep(0.10f, 0.16f, r);
            float glow =
                0.75f * std::exp(-(r * r) / (0.28f * 0.28f)) + 0.25f * std::exp(-r / 0.18f);
            float a = clampf(core + glow, 0.0f, 1.0f) * (1.0f - smoothstep(0.7f, 0.97f, r));
            Rgba c =
                r < 0.16f
                    ? mix(rgb8(235, 245, 255), rgb8(255, 230, 170), smoothstep(0.05f, 0.16f, r))
                    : mix(rgb8(255, 210, 120), rgb8(255, 110, 40), smoothstep(0.16f, 0.6f, r));
            c.a = a;
            img.at(x, y) = c;
        }
    return img;
}

// The outer glow, drawn twice the size at a flickering fraction of the alpha: broad,
// orange and rayed, so its flicker reads as heat shimmer.
Image make_jet_glow_wide() {
    Image img(kSprite, kSprite, 4);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            float r = radius_at(x, y);
            float ang = std::atan2(y + 0.5f - 128.0f, x + 0.5f - 128.0f);
            float rays =
                0.7f + 0.6f * fbm(50 + 4 * std::cos(ang), 50 + 4 * std::sin(ang), 3, 0.5f, 700u);
            // Rays fade in away from the centre, so they never meet in a point.
            rays = 1.0f + (rays - 1.0f) * smoothstep(0.1f, 0.45f, r);
            float glow = std::exp(-(r * r) / (0.45f * 0.45f)) * rays;
            float a = clampf(glow, 0.0f, 1.0f) * (1.0f - smoothstep(0.6f, 0.97f, r));
            Rgba c = mix(rgb8(255, 220, 150), rgb8(255, 120, 50), smoothstep(0.0f, 0.7f, r));
            c.a = a;
            img.at(x, y) = c;
        }
    return img;
}
