// The synthesis kit's arithmetic. Kept free of library randomness and of
// platform-specific fast paths so that every build renders identical samples.
#include "synth.h"

#include <algorithm>
#include <cmath>

Sound sound_make(int rate, int channels, double seconds) {
    Sound s;
    s.rate = rate;
    s.channels = channels;
    s.samples.assign(size_t(std::lround(seconds * rate)) * size_t(channels), 0.0f);
    return s;
}

uint32_t Rng::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Rng::uniform() {
    return float(next() >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

float Rng::unit() {
    return float(next() >> 8) * (1.0f / 16777216.0f);
}

void Svf::set(double rate, double cutoff, double q) {
    cutoff = std::clamp(cutoff, 5.0, rate * 0.49);
    g_ = float(std::tan(kPi * cutoff / rate));
    k_ = float(1.0 / q);
    a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

void Svf::tick(float x) {
    float v3 = x - ic2_;
    float v1 = a1_ * ic1_ + a2_ * v3;
    float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2 * v1 - ic1_;
    ic2_ = 2 * v2 - ic2_;
    lp_ = v2;
    bp_ = v1;
    hp_ = x - k_ * v1 - v2;
}

float Svf::lowpass(float x) {
    tick(x);
    return lp_;
}

float Svf::bandpass(float x) {
    tick(x);
    return bp_;
}

float Svf::highpass(float x) {
    tick(x);
    return hp_;
}

void OnePole::set(double rate, double cutoff) {
    a_ = float(1.0 - std::exp(-2.0 * kPi * cutoff / rate));
}

float OnePole::lowpass(float x) {
    z_ += a_ * (x - z_);
    return z_;
}

// The polyBLEP residual that smooths a unit step at phase 0.
static float blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return float(t + t - t * t - 1.0);
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return float(t * t + t + t + 1.0);
    }
    return 0.0f;
}

float Osc::advance(double freq, double rate) {
    double p = phase_;
    phase_ += freq / rate;
    phase_ -= std::floor(phase_);
    return float(p);
}

float Osc::saw(double freq, double rate) {
    double dt = freq / rate;
    double p = advance(freq, rate);
    return float(2.0 * p - 1.0) - blep(p, dt);
}

float Osc::pulse(double freq, double rate, float width) {
    double dt = freq / rate;
    double p = advance(freq, rate);
    float v = p < width ? 1.0f : -1.0f;
    v += blep(p, dt);
    double q = p - width;
    q -= std::floor(q);
    v -= blep(q, dt);
    // Centre the wave: an uneven pulse otherwise carries a DC step per note.
    return v - (2.0f * width - 1.0f);
}

float Osc::sine(double freq, double rate) {
    double p = advance(freq, rate);
    return float(std::sin(2.0 * kPi * p));
}

float env_hit(double t, double attack, double decay) {
    if (t < 0)
        return 0;
    if (t < attack)
        return float(t / attack);
    return float(std::exp(-(t - attack) / decay));
}

float env_note(double t, double hold, double attack, double release) {
    if (t < 0)
        return 0;
    double a = t < attack ? t / attack : 1.0;
    if (t > hold)
        a *= std::exp(-(t - hold) / release);
    return float(a);
}

float sound_peak(const Sound &s) {
    float peak = 0;
    for (float x : s.samples)
        peak = std::max(peak, std::fabs(x));
    return peak;
}

float sound_rms(const Sound &s) {
    double sum = 0;
    for (float x : s.samples)
        sum += double(x) * x;
    return s.samples.empty() ? 0.0f : float(std::sqrt(sum / double(s.samples.size())));
}

void sound_scale(Sound &s, float gain) {
    for (float &x : s.samples)
        x *= gain;
}

void sound_normalize(Sound &s, float peak) {
    float now = sound_peak(s);
    if (now > 0)
        sound_scale(s, peak / now);
}

float soft_clip(float x) {
    return float(std::tanh(double(x)));
}
