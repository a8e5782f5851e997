// Instrument voices and the two bus effects of the music. The voices are
// simple subtractive and noise designs; their character lives in the envelopes.
#include "instruments.h"

#include <cmath>

void Bus::mix(const Bus &other, float gain) {
    for (size_t i = 0; i < l.size(); ++i) {
        l[i] += gain * other.l[i];
        r[i] += gain * other.r[i];
    }
}

double midi_hz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

static size_t frames_of(double seconds) {
    return size_t(seconds * kRate);
}

void inst_kick(Bus &bus, size_t at, float vel) {
    Osc body;
    Rng rng(0x41C4u);
    Svf click;
    click.set(kRate, 3000.0, 0.7);
    for (size_t i = 0, n = frames_of(0.45); i < n; ++i) {
        const double t = double(i) / kRate;
        float x = body.sine(46.0 + 115.0 * std::exp(-t / 0.03), kRate) * env_hit(t, 0.0015, 0.17);
        x += 0.35f * click.lowpass(rng.uniform()) * env_hit(t, 0.0005, 0.005);
        x = soft_clip(1.8f * x) * vel;
        bus.add(at, i, x, x);
    }
}

void inst_snare(Bus &bus, size_t at, float vel, uint32_t seed) {
    Osc t1, t2;
    Rng rng(seed);
    Svf band_l, band_r, high;
    band_l.set(kRate, 2800.0, 0.6);
    band_r.set(kRate, 3100.0, 0.6);
    high.set(kRate, 1400.0, 0.7);
    for (size_t i = 0, n = frames_of(0.4); i < n; ++i) {
        const double t = double(i) / kRate;
        float tone =
            (t1.sine(188.0, kRate) + 0.6f * t2.sine(332.0, kRate)) * env_hit(t, 0.001, 0.05);
        float ne = env_hit(t, 0.001, 0.11);
        float nz = rng.uniform();
        float h = high.highpass(nz);
        float l = 0.6f * tone + ne * (1.1f * band_l.bandpass(nz) + 0.5f * h);
        float r = 0.6f * tone + ne * (1.1f * band_r.bandpass(nz) + 0.5f * h);
        bus.add(at, i, vel * l, vel * r);
    }
}

// The classic six detuned squares give hats their metal; noise gives the sizzle.
static const double kMetal[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};

void inst_hat(Bus &bus, size_t at, float vel, bool open, uint32_t seed) {
    Osc sq[6];
    Rng rng(seed);
    Svf hp1, hp2;
    hp1.set(kRate, 5200.0, 0.7);
    hp2.set(kRate, 5200.0, 0.7);
    const double decay = open ? 0.16 : 0.022;
    for (size_t i = 0, n = frames_of(decay * 6); i < n; ++i) {
        const double t = double(i) / kRate;
        float metal = 0;
        for (int k = 0; k < 6; ++k)
            metal += sq[k].pulse(kMetal[k] * 2.0, kRate, 0.5f);
        float x =
            hp2.highpass(hp1.highpass(0.12f * metal + rng.uniform())) * env_hit(t, 0.0005, decay);
        x *= vel;
        bus.add(at, i, 0.8f * x, 1.0f * x);
    }
}

void inst_crash(Bus &bus, size_t at, float vel, uint32_t seed) {
    Osc sq[6];
    Rng rng_l(seed), rng_r(seed + 1);
    Svf hl, hr;
    hl.set(kRate, 3500.0, 0.6);
    hr.set(kRate, 3700.0, 0.6);
    for (size_t i = 0, n = frames_of(2.2); i < n; ++i) {
        const double t = double(i) / kRate;
        float metal = 0;
        for (int k = 0; k < 6; ++k)
            metal += sq[k].pulse(kMetal[k] * 3.1, kRate, 0.5f);
        float e = env_hit(t, 0.002, 0.55) * vel;
        bus.add(at, i, e * hl.highpass(rng_l.uniform() + 0.08f * metal),
                e * hr.highpass(rng_r.uniform() + 0.08f * metal));
    }
}

void inst_tom(Bus &bus, size_t at, double hz, float vel) {
    Osc body;
    Rng rng(0x7033u);
    Svf thud;
    thud.set(kRate, 900.0, 0.8);
    for (size_t i = 0, n = frames_of(0.4); i < n; ++i) {
        const double t = double(i) / kRate;
        float x =
            body.sine(hz * (1.0 + 0.6 * std::exp(-t / 0.04)), kRate) * env_hit(t, 0.001, 0.14);
        x += 0.25f * thud.bandpass(rng.uniform()) * env_hit(t, 0.001, 0.03);
        x *= vel;
        bus.add(at, i, 0.9f * x, x);
    }
}

void inst_bass(Bus &bus, size_t at, double seconds, int midi, float vel) {
    const double f = midi_hz(midi);
    Osc saw, sub;
    Svf lp;
    for (size_t i = 0, n = frames_of(seconds + 0.12); i < n; ++i) {
        const double t = double(i) / kRate;
        // A plucky filter snap on each note drives the line forward.
        lp.set(kRate, 260.0 + 1900.0 * env_hit(t, 0.002, 0.07), 1.6);
        float x = lp.lowpass(saw.saw(f, kRate) + 0.3f * saw.saw(f * 1.005, kRate)) +
                  0.55f * sub.sine(f, kRate);
        x *= env_note(t, seconds, 0.003, 0.025) * vel;
        bus.add(at, i, x, x);
    }
}

void inst_lead(Bus &bus, size_t at, double seconds, int midi, float vel) {
    const double f = midi_hz(midi);
    Osc a, b, c, lfo;
    Svf lp_l, lp_r;
    for (size_t i = 0, n = frames_of(seconds + 0.3); i < n; ++i) {
        const double t = double(i) / kRate;
        // Vibrato eases in on held notes only, as a player would.
        const double depth = t > 0.18 ? std::min(1.0, (t - 0.18) / 0.25) * 0.012 : 0.0;
        const double fv = f * (1.0 + depth * lfo.sine(5.6, kRate));
        const double cut = 2300.0 + 3500.0 * env_hit(t, 0.006, 0.22);
        lp_l.set(kRate, cut, 1.1);
        lp_r.set(kRate, cut, 1.1);
        float sa = a.saw(fv * 1.0035, kRate), sb = b.saw(fv * 0.9965, kRate);
        float pc = 0.6f * c.pulse(fv, kRate, 0.3f);
        float e = env_note(t, seconds, 0.008, 0.07) * vel;
        bus.add(at, i, e * lp_l.lowpass(0.8f * sa + 0.4f * sb + pc),
                e * lp_r.lowpass(0.4f * sa + 0.8f * sb + pc));
    }
}

void inst_pluck(Bus &bus, size_t at, int midi, float vel, float pan) {
    const double f = midi_hz(midi);
    Osc o;
    Svf lp;
    for (size_t i = 0, n = frames_of(0.32); i < n; ++i) {
        const double t = double(i) / kRate;
        lp.set(kRate, 900.0 + 3800.0 * env_hit(t, 0.001, 0.04), 1.2);
        float x = lp.lowpass(o.pulse(f, kRate, 0.25f)) * env_hit(t, 0.002, 0.085) * vel;
        bus.add(at, i, x * (1.0f - pan), x * (1.0f + pan));
    }
}

void inst_pad(Bus &bus, size_t at, double seconds, const std::vector<int> &midis, float vel) {
    std::vector<Osc> osc(midis.size() * 2);
    Svf lp_l, lp_r;
    lp_l.set(kRate, 1500.0, 0.7);
    lp_r.set(kRate, 1500.0, 0.7);
    for (size_t k = 0; k < osc.size(); ++k)
        osc[k].reset(float(k) * 0.137f);
    for (size_t i = 0, n = frames_of(seconds + 0.9); i < n; ++i) {
        const double t = double(i) / kRate;
        float l = 0, r = 0;
        for (size_t k = 0; k < midis.size(); ++k) {
            const double f = midi_hz(midis[k]);
            l += osc[2 * k].saw(f * 1.0046, kRate);
            r += osc[2 * k + 1].saw(f * 0.9954, kRate);
        }
        float e = env_note(t, seconds, 0.25, 0.35) * vel;
        bus.add(at, i, e * lp_l.lowpass(l), e * lp_r.lowpass(r));
    }
}

void fx_pingpong(Bus &bus, size_t delay, float feedback, float wet) {
    const size_t n = bus.frames();
    std::vector<float> dl(delay, 0.0f), dr(delay, 0.0f);
    Bus out(n);
    size_t pos = 0;
    Svf tone_l, tone_r;
    tone_l.set(kRate, 3500.0, 0.7);
    tone_r.set(kRate, 3500.0, 0.7);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < n; ++i) {
            float yl = dl[pos], yr = dr[pos];
            // Echoes cross sides and darken, as a tape delay's would.
            dl[pos] = tone_l.lowpass(bus.l[i] * 0.7f + 0.3f * bus.r[i] + feedback * yr);
            dr[pos] = tone_r.lowpass(feedback * yl);
            pos = (pos + 1) % delay;
            out.l[i] = bus.l[i] + wet * yl;
            out.r[i] = bus.r[i] + wet * yr;
        }
    }
    bus = out;
}

// A small Schroeder room: parallel damped combs, then allpasses in series.
namespace {
struct Comb {
    std::vector<float> buf;
    size_t pos = 0;
    float store = 0;
    float tick(float x, float feedback, float damp) {
        float y = buf[pos];
        store = y * (1 - damp) + store * damp;
        buf[pos] = x + store * feedback;
        pos = (pos + 1) % buf.size();
        return y;
    }
};
struct Allpass {
    std::vector<float> buf;
    size_t pos = 0;
    float tick(float x) {
        float b = buf[pos];
        buf[pos] = x + b * 0.5f;
        pos = (pos + 1) % buf.size();
        return b - x;
    }
};
} // namespace

void fx_reverb(Bus &bus) {
    static const size_t comb_len[4] = {1116, 1188, 1277, 1356};
    static const size_t ap_len[2] = {556, 441};
    Comb cl[4], cr[4];
    Allpass al[2], ar[2];
    for (int k = 0; k < 4; ++k) {
        cl[k].buf.assign(comb_len[k], 0.0f);
        cr[k].buf.assign(comb_len[k] + 23, 0.0f);
    }
    for (int k = 0; k < 2; ++k) {
        al[k].buf.assign(ap_len[k], 0.0f);
        ar[k].buf.assign(ap_len[k] + 23, 0.0f);
    }
    const size_t n = bus.frames();
    Bus out(n);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < n; ++i) {
            float in = 0.5f * (bus.l[i] + bus.r[i]);
            float yl = 0, yr = 0;
            for (int k = 0; k < 4; ++k) {
                yl += cl[k].tick(in, 0.82f, 0.3f);
                yr += cr[k].tick(in, 0.82f, 0.3f);
            }
            for (int k = 0; k < 2; ++k) {
                yl = al[k].tick(yl);
                yr = ar[k].tick(yr);
            }
            out.l[i] = 0.25f * yl;
            out.r[i] = 0.25f * yr;
        }
    }
    bus = out;
}
