// Sound effect recipes. The mixer plays everything at 22050 Hz, 8-bit mono and
// halves 44.1 kHz sounds by dropping samples, so every recipe keeps its energy
// below about 9 kHz and its level well above the 8-bit floor.
#include "sfx.h"

#include <algorithm>
#include <cmath>

// Everything above this would fold back when the mixer halves the rate.
static constexpr double kTopHz = 9000.0;

// Peak levels, of full scale. The mixer adds every channel at full volume into
// one 8-bit sum that clips, over the music at three quarters and the engine at
// a quarter. In a fight, with the gun held, its rounds (one per 60 ms) ring two
// or three at once, three missiles overlap at the launch rate, lock beeps come
// in pairs when a formation crosses the sight, and an explosion can land on
// top: so each effect keeps to under a third of full scale, the explosion the
// loudest, and the music (music.cpp) sits lower still.
static constexpr float kShotPeak = 0.2f;
static constexpr float kMissilePeak = 0.24f;
static constexpr float kLockonPeak = 0.15f;
static constexpr float kExplosionPeak = 0.28f;
static constexpr float kRocketPeak = 0.24f;
static constexpr float kEngineStartPeak = 0.32f;

// Takes the sharp top off a 44.1 kHz sound, channel by channel.
static void band_limit(Sound &s) {
    for (int c = 0; c < s.channels; ++c) {
        Svf a, b;
        a.set(s.rate, kTopHz, 0.707);
        b.set(s.rate, kTopHz, 0.707);
        for (size_t i = c; i < s.samples.size(); i += size_t(s.channels))
            s.samples[i] = b.lowpass(a.lowpass(s.samples[i]));
    }
}

// Short fades at both ends so no effect starts or stops on a step.
static void fade_edges(Sound &s, double in_s, double out_s) {
    const size_t n = s.frames();
    const size_t fin = size_t(in_s * s.rate), fout = size_t(out_s * s.rate);
    for (size_t i = 0; i < n; ++i) {
        float g = 1.0f;
        if (i < fin)
            g = float(i) / float(fin);
        if (i + fout > n)
            g = std::min(g, float(n - i) / float(fout));
        for (int c = 0; c < s.channels; ++c)
            s.samples[i * size_t(s.channels) + size_t(c)] *= g;
    }
}

Sound sfx_shot() {
    Sound s = sound_make(44100, 2, 0.24);
    const double fs = s.rate;
    Rng body_noise(0x5407u), tail_l(0x5408u), tail_r(0x5409u);
    Svf body, tail_fl, tail_fr;
    Osc thump;
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = i / fs;
        // The muzzle blast: noise whose brightness falls away in a few ms.
        body.set(fs, 700.0 + 6500.0 * std::exp(-t / 0.012), 0.9);
        float blast = body.lowpass(body_noise.uniform()) * env_hit(t, 0.0008, 0.030);
        // The chest thump: a sine that drops from 170 to 55 Hz.
        float thud = thump.sine(55.0 + 115.0 * std::exp(-t / 0.018), fs) * env_hit(t, 0.001, 0.045);
        // A short room tail, different left and right for width.
        tail_fl.set(fs, 900.0, 0.7);
        tail_fr.set(fs, 900.0, 0.7);
        float te = env_hit(t - 0.01, 0.01, 0.055) * 0.5f;
        float l = 1.6f * blast + 0.9f * thud + tail_fl.lowpass(tail_l.uniform()) * te;
        float r = 1.6f * blast + 0.9f * thud + tail_fr.lowpass(tail_r.uniform()) * te;
        s.samples[2 * i] = soft_clip(1.5f * l);
        s.samples[2 * i + 1] = soft_clip(1.5f * r);
    }
    band_limit(s);
    fade_edges(s, 0.0003, 0.03);
    sound_normalize(s, kShotPeak);
    return s;
}

// The recipe of one engine loop; every frequency is a whole number of cycles
// per loop (a multiple of 0.5 Hz for a 2 s loop), so the loop's last sample
// leads into its first like any other pair of neighbours.
struct EngineRecipe {
    double drone_hz;  // compressor buzz, with its harmonics
    double whine_hz;  // turbine whine
    double rumble_hz; // cutoff of the roaring noise
    float drone, whine, rumble, hiss, crackle;
    float rms; // loudness of the finished loop, which plays at a quarter volume
};

static const EngineRecipe kEngines[3] = {
    {40.0, 310.0, 260.0, 0.35f, 0.20f, 1.0f, 0.05f, 0.0f, 0.068f},
    {55.0, 470.0, 520.0, 0.35f, 0.24f, 1.0f, 0.18f, 0.0f, 0.096f},
    {70.0, 620.0, 1150.0, 0.30f, 0.22f, 1.0f, 0.45f, 0.55f, 0.128f},
};

static constexpr double kLoopSeconds = 2.0;

// Seeded noise shaped by a filter that runs around the loop, so it is periodic.
static std::vector<float> loop_noise(size_t n, uint32_t seed, double rate, double cutoff, double q,
                                     bool band) {
    Rng rng(seed);
    std::vector<float> v(n);
    for (float &x : v)
        x = rng.uniform();
    Svf a, b;
    a.set(rate, cutoff, q);
    b.set(rate, cutoff, q);
    process_circular(
        v, [&](float x) { return band ? b.bandpass(a.bandpass(x)) : b.lowpass(a.lowpass(x)); });
    return v;
}

Sound sfx_engine_loop(int level) {
    const EngineRecipe &e = kEngines[std::clamp(level, 0, 2)];
    Sound s = sound_make(11025, 1, kLoopSeconds);
    const size_t n = s.frames();
    const double fs = s.rate;
    std::vector<float> rumble =
        loop_noise(n, 0xE1000u + uint32_t(level), fs, e.rumble_hz, 0.6, false);
    std::vector<float> hiss = loop_noise(n, 0xE2000u + uint32_t(level), fs, 2100.0, 0.9, true);
    // Afterburner crackle: bursts scattered around the loop, wrapping at the seam.
    std::vector<float> crackle(n, 0.0f);
    if (e.crackle > 0) {
        Rng rng(0xC4AC4u);
        for (int k = 0; k < 90; ++k) {
            size_t at = size_t(rng.unit() * float(n));
            float amp = 0.4f + rng.unit();
            size_t len = size_t((0.004 + 0.012 * rng.unit()) * fs);
            for (size_t j = 0; j < len; ++j)
                crackle[(at + j) % n] +=
                    amp * rng.uniform() * float(std::exp(-double(j) / (len * 0.3)));
        }
        Svf a;
        a.set(fs, 1300.0, 0.8);
        process_circular(crackle, [&](float x) { return a.bandpass(x); });
    }
    Rng phases(0xD0D0u + uint32_t(level));
    float drone_phase[8];
    for (float &p : drone_phase)
        p = phases.unit();
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / fs;
        // Slow surges at 1.5 and 4 Hz keep the roar alive without a beat at the seam.
        const double surge =
            1.0 + 0.12 * std::sin(2 * kPi * 1.5 * t) + 0.06 * std::sin(2 * kPi * 4.0 * t);
        double drone = 0;
        for (int k = 1; k <= 8; ++k)
            drone +=
                std::sin(2 * kPi * (e.drone_hz * k * t + drone_phase[k - 1])) / std::pow(k, 1.1);
        // A little vibrato (phase wobble at 3 Hz) on the whine, as a real spool wavers.
        const double wob = 0.9 * std::sin(2 * kPi * 3.0 * t);
        double whine = std::sin(2 * kPi * e.whine_hz * t + wob) +
                       0.35 * std::sin(2 * kPi * e.whine_hz * 2 * t + 2 * wob) +
                       0.2 * std::sin(2 * kPi * e.whine_hz * 1.5 * t + 1.5 * wob);
        double x = e.drone * drone * 0.4 + e.whine * whine + e.rumble * rumble[i] * 2.2 * surge +
                   e.hiss * hiss[i] * 3.0 * surge + e.crackle * crackle[i];
        s.samples[i] = float(x);
    }
    // The rumble's lowest noise drifts; take it out around the loop.
    OnePole dc;
    dc.set(fs, 20.0);
    process_circular(s.samples, [&](float x) { return dc.highpass(x); });
    float rms = sound_rms(s);
    sound_scale(s, e.rms / rms);
    for (float &x : s.samples)
        x = 0.97f * soft_clip(x / 0.97f);
    return s;
}

Sound sfx_engine_start() {
    Sound s = sound_make(11025, 1, 3.0);
    const double fs = s.rate;
    const EngineRecipe &cruise = kEngines[ENGINE_CRUISE];
    Rng rng(0x57A27u);
    Svf roar, hiss;
    Osc whine, whine2, drone;
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = double(i) / fs;
        // Spool: the turbine winds up along a smooth S-curve over 2.4 s.
        const double spool = 1.0 / (1.0 + std::exp(-(t - 1.2) / 0.3));
        const double wf = 90.0 + (cruise.whine_hz - 90.0) * spool;
        roar.set(fs, 120.0 + cruise.rumble_hz * spool, 0.6);
        hiss.set(fs, 2100.0, 0.9);
        float n = rng.uniform();
        double x = 0.25 * whine.sine(wf, fs) + 0.08 * whine2.sine(wf * 2, fs) +
                   0.12 * drone.saw(cruise.drone_hz * (0.4 + 0.6 * spool), fs) * spool +
                   (0.35 + 0.6 * spool) * roar.lowpass(n) * 1.6 + 0.2 * spool * hiss.bandpass(n);
        s.samples[i] = float(x * std::min(1.0, t / 0.15));
    }
    fade_edges(s, 0.01, 0.25);
    sound_normalize(s, kEngineStartPeak);
    return s;
}

Sound sfx_missile() {
    Sound s = sound_make(44100, 2, 1.8);
    const double fs = s.rate;
    Rng rng_l(0x3155u), rng_r(0x3156u), flutter(0x3157u);
    Svf roar_l, roar_r, low_l, low_r;
    OnePole flutter_lp;
    flutter_lp.set(fs, 35.0);
    Osc pop;
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = double(i) / fs;
        // The motor lights, howls past and recedes: the roar's centre climbs
        // for a quarter second, then falls away with the level.
        const double centre =
            t < 0.25 ? 700.0 + 2600.0 * (t / 0.25) : 3300.0 * std::exp(-(t - 0.25) / 0.55) + 500.0;
        roar_l.set(fs, centre, 1.3);
        roar_r.set(fs, centre * 1.04, 1.3);
        low_l.set(fs, 240.0, 0.7);
        low_r.set(fs, 240.0, 0.7);
        const float amp = env_note(t, 0.3, 0.015, 0.42);
        const float flut = 1.0f + 0.35f * flutter_lp.lowpass(flutter.uniform()) * 6.0f;
        const float ignition =
            pop.sine(60.0 + 90.0 * std::exp(-t / 0.03), fs) * env_hit(t, 0.002, 0.06);
        float nl = rng_l.uniform(), nr = rng_r.uniform();
        float shared = 0.7f * nl + 0.3f * nr; // mostly common, so a mono mix keeps it
        float l = amp * flut * (1.5f * roar_l.bandpass(shared) + 0.8f * low_l.lowpass(shared)) +
                  0.45f * ignition;
        float shared_r = 0.3f * nl + 0.7f * nr;
        float r = amp * flut * (1.5f * roar_r.bandpass(shared_r) + 0.8f * low_r.lowpass(shared_r)) +
                  0.45f * ignition;
        s.samples[2 * i] = soft_clip(1.3f * l);
        s.samples[2 * i + 1] = soft_clip(1.3f * r);
    }
    band_limit(s);
    fade_edges(s, 0.001, 0.2);
    sound_normalize(s, kMissilePeak);
    return s;
}

Sound sfx_lockon() {
    Sound s = sound_make(44100, 2, 0.23);
    const double fs = s.rate;
    // Two bright beeps a major third apart: odd harmonics of a soft square,
    // stopping below the fold-back limit, so they cut through at 8 bits.
    struct Beep {
        double start, length, freq;
    };
    const Beep beeps[2] = {{0.0, 0.075, 1568.0}, {0.105, 0.09, 1975.5}};
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = double(i) / fs;
        double x = 0;
        for (const Beep &b : beeps) {
            double u = t - b.start;
            if (u < 0 || u > b.length + 0.06)
                continue;
            double a = env_note(u, b.length, 0.003, 0.008);
            for (int k = 1; k * b.freq < kTopHz; k += 2)
                x += a * std::sin(2 * kPi * b.freq * k * u) / (k * 1.3);
        }
        s.samples[2 * i] = s.samples[2 * i + 1] = float(x);
    }
    fade_edges(s, 0.0005, 0.01);
    sound_normalize(s, kLockonPeak);
    return s;
}

Sound sfx_explosion() {
    Sound s = sound_make(44100, 2, 2.8);
    const double fs = s.rate;
    Rng blast_rng(0xB0B1u), rumble_l(0xB0B2u), rumble_r(0xB0B3u), debris(0xB0B4u);
    Svf blast, rum_l, rum_r, deb_l, deb_r, mid_l, mid_r;
    Rng mid_rng(0xB0B5u);
    OnePole flutter;
    flutter.set(fs, 12.0);
    Osc boom;
    std::vector<float> deb(s.frames(), 0.0f);
    std::vector<float> deb_pan(s.frames(), 0.5f);
    // Debris: ever sparser crackles over the first 1.6 s.
    for (int k = 0; k < 70; ++k) {
        double at = 0.05 + 1.6 * std::pow(debris.unit(), 1.8);
        float amp = (0.3f + debris.unit()) * float(std::exp(-at / 0.7));
        float pan = debris.unit();
        size_t start = size_t(at * fs), len = size_t((0.003 + 0.01 * debris.unit()) * fs);
        for (size_t j = 0; j < len && start + j < deb.size(); ++j) {
            deb[start + j] += amp * debris.uniform() * float(std::exp(-double(j) / (len * 0.25)));
            deb_pan[start + j] = pan;
        }
    }
    deb_l.set(fs, 2500.0, 0.7);
    deb_r.set(fs, 2500.0, 0.7);
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = double(i) / fs;
        blast.set(fs, 180.0 + 5500.0 * std::exp(-t / 0.05), 0.8);
        float b = blast.lowpass(blast_rng.uniform()) * env_hit(t, 0.002, 0.18);
        float sub = boom.sine(32.0 + 60.0 * std::exp(-t / 0.12), fs) * env_hit(t, 0.004, 0.35);
        rum_l.set(fs, 160.0 + 300.0 * std::exp(-t / 0.4), 0.7);
        rum_r.set(fs, 170.0 + 300.0 * std::exp(-t / 0.4), 0.7);
        float re = env_hit(t - 0.02, 0.05, 0.75);
        // The fireball's roar, in the middle band small speakers reproduce.
        const double mid_hz = 250.0 + 500.0 * std::exp(-t / 0.5);
        mid_l.set(fs, mid_hz, 0.8);
        mid_r.set(fs, mid_hz * 1.07, 0.8);
        float fl = 1.0f + 4.0f * flutter.lowpass(mid_rng.uniform());
        float me = env_hit(t - 0.01, 0.03, 0.6) * fl;
        float mn = mid_rng.uniform();
        float d = deb_l.bandpass(deb[i]) * 2.2f;
        float dr = deb_r.bandpass(deb[i]) * 2.2f;
        float l = 1.5f * b + 1.1f * sub + 2.2f * re * rum_l.lowpass(rumble_l.uniform()) +
                  1.6f * me * mid_l.bandpass(mn) + d * (1.2f - deb_pan[i]);
        float r = 1.5f * b + 1.1f * sub + 2.2f * re * rum_r.lowpass(rumble_r.uniform()) +
                  1.6f * me * mid_r.bandpass(mn) + dr * (0.2f + deb_pan[i]);
        s.samples[2 * i] = soft_clip(1.4f * l);
        s.samples[2 * i + 1] = soft_clip(1.4f * r);
    }
    band_limit(s);
    fade_edges(s, 0.0005, 0.4);
    sound_normalize(s, kExplosionPeak);
    return s;
}

Sound sfx_rocket() {
    Sound s = sound_make(22050, 1, 2.2);
    const double fs = s.rate;
    Rng rng(0x40C7u), flutter(0x40C8u);
    Svf roar, low;
    OnePole flutter_lp;
    flutter_lp.set(fs, 25.0);
    roar.set(fs, 900.0, 1.1);
    low.set(fs, 200.0, 0.7);
    for (size_t i = 0; i < s.frames(); ++i) {
        const double t = double(i) / fs;
        float n = rng.uniform();
        float flut = 1.0f + 2.0f * flutter_lp.lowpass(flutter.uniform());
        float x =
            env_note(t, 1.7, 0.04, 0.18) * flut * (1.4f * roar.bandpass(n) + 1.0f * low.lowpass(n));
        s.samples[i] = x;
    }
    fade_edges(s, 0.002, 0.15);
    sound_normalize(s, kRocketPeak);
    return s;
}
