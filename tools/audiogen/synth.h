// Small deterministic synthesis kit shared by the sound effects and the music:
// a seeded noise source, band-limited oscillators, filters and envelopes.
// Everything is plain float arithmetic so the same source gives the same samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr double kPi = 3.14159265358979323846;

// A sound in memory: interleaved float samples in [-1, 1].
struct Sound {
    int rate = 44100;
    int channels = 1;
    std::vector<float> samples;

    size_t frames() const { return samples.size() / size_t(channels); }
};

Sound sound_make(int rate, int channels, double seconds);

// xorshift32: tiny, portable, and fixed by its seed.
class Rng {
  public:
    explicit Rng(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    uint32_t next();
    float uniform(); // [-1, 1)
    float unit();    // [0, 1)

  private:
    uint32_t state_;
};

// Zavalishin's topology-preserving state-variable filter: stays stable while
// its cutoff sweeps every sample, which the whooshes and the bass need.
class Svf {
  public:
    void set(double rate, double cutoff, double q);
    float lowpass(float x);
    float bandpass(float x);
    float highpass(float x);

  private:
    void tick(float x);
    float g_ = 0, k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
    float ic1_ = 0, ic2_ = 0, lp_ = 0, bp_ = 0, hp_ = 0;
};

// One-pole smoother, for gentle tilts and for control signals.
class OnePole {
  public:
    void set(double rate, double cutoff);
    float lowpass(float x);
    float highpass(float x) { return x - lowpass(x); }

  private:
    float a_ = 1, z_ = 0;
};

// Band-limited sawtooth and pulse by polyBLEP, so that bright notes do not
// fold back into audible aliases at 44.1 kHz.
class Osc {
  public:
    void reset(float phase = 0) { phase_ = phase; }
    float saw(double freq, double rate);
    float pulse(double freq, double rate, float width);
    float sine(double freq, double rate);

  private:
    float advance(double freq, double rate);
    double phase_ = 0;
};

// Exponential decay with a short linear attack, the shape of most hits.
float env_hit(double t, double attack, double decay);
// Attack, sustain, release over a held note of length `hold` seconds.
float env_note(double t, double hold, double attack, double release);

// Peak level, and scaling to a target peak.
float sound_peak(const Sound &s);
float sound_rms(const Sound &s);
void sound_scale(Sound &s, float gain);
void sound_normalize(Sound &s, float peak);
// Gentle saturation that keeps peaks under 1 while adding loudness.
float soft_clip(float x);
// Runs a stateful per-sample filter over a looping buffer twice and keeps the
// second pass, so the state at the seam is the one the loop itself leads to
// and the loop joins without a click.
template <class Tick> void process_circular(std::vector<float> &buf, Tick &&tick) {
    for (float x : buf)
        tick(x);
    for (float &x : buf)
        x = tick(x);
}
