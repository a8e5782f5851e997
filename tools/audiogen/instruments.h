// The music's instruments: each renders one hit or note into a looping stereo
// bus, wrapping at the loop's end so notes that ring past it sound at its start.
#pragma once

#include "synth.h"

#include <vector>

struct Bus {
    std::vector<float> l, r;
    explicit Bus(size_t frames) : l(frames, 0.0f), r(frames, 0.0f) {}
    size_t frames() const { return l.size(); }
    // Adds a frame at `at + i`, taken around the loop.
    void add(size_t at, size_t i, float left, float right) {
        size_t k = (at + i) % l.size();
        l[k] += left;
        r[k] += right;
    }
    void mix(const Bus &other, float gain);
};

constexpr double kRate = 44100.0;

double midi_hz(int midi);

void inst_kick(Bus &bus, size_t at, float vel);
void inst_snare(Bus &bus, size_t at, float vel, uint32_t seed);
void inst_hat(Bus &bus, size_t at, float vel, bool open, uint32_t seed);
void inst_crash(Bus &bus, size_t at, float vel, uint32_t seed);
void inst_tom(Bus &bus, size_t at, double hz, float vel);
void inst_bass(Bus &bus, size_t at, double seconds, int midi, float vel);
void inst_lead(Bus &bus, size_t at, double seconds, int midi, float vel);
void inst_pluck(Bus &bus, size_t at, int midi, float vel, float pan);
void inst_pad(Bus &bus, size_t at, double seconds, const std::vector<int> &midis, float vel);

// Effects over a whole looping bus, run twice around so the seam is seamless.
// The echo adds to the bus; the reverb replaces the bus with the room's return.
void fx_pingpong(Bus &bus, size_t delay, float feedback, float wet);
void fx_reverb(Bus &bus);
