// The score of the music loop and its arrangement. Forty bars: intro, verse,
// chorus, breakdown, verse, chorus; the last chorus ends on the dominant, which
// falls back into the intro's D minor when the loop starts again.
#include "music.h"

#include "instruments.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// 150 beats a minute: a sixteenth lasts exactly 0.1 s = 4410 samples.
static constexpr size_t kStep = 4410;
static constexpr int kStepsPerBar = 16;
static constexpr int kBars = 40;

// The game plays the music at three quarters volume under effects that its
// mixer adds at full volume into one 8-bit sum, so the loop is mastered quiet:
// an RMS of 0.055, the rare peaks above the knee rounded off to stay under 0.3.
static constexpr float kMusicRms = 0.055f;
static constexpr float kKnee = 0.21f;
static constexpr float kKneeRoom = 0.06f;

enum Drums { DR_INTRO, DR_VERSE, DR_CHORUS, DR_BREAK };

struct Section {
    int bars;
    const char *chords; // one chord a bar
    Drums drums;
    bool arp, pad, doubled_lead;
};

static const Section kForm[] = {
    {4, "Dm Bb F C", DR_INTRO, true, false, false},
    {8, "Dm Bb F C Dm Bb F C", DR_VERSE, true, false, false},
    {8, "Bb C Dm Dm Bb C A A", DR_CHORUS, true, true, false},
    {4, "Gm Dm Gm A", DR_BREAK, true, true, false},
    {8, "Dm Bb F C Dm Bb F C", DR_VERSE, true, false, false},
    {8, "Bb C Dm Dm Bb C A A", DR_CHORUS, true, true, true},
};

// The lead line, bar by bar: note and length in sixteenths, "r" a rest.
static const char *const kLead[kBars] = {
    // intro
    "r:16",
    "r:16",
    "r:16",
    "r:8 A4:2 C5:2 D5:2 E5:2",
    // verse one
    "F5:3 D5:3 A4:2 C5:2 D5:2 E5:2 D5:2",
    "F5:6 D5:2 Bb4:4 D5:4",
    "C5:3 F5:3 A5:2 G5:2 F5:2 E5:2 F5:2",
    "E5:6 C5:2 G5:8",
    "A4:3 D5:3 F5:2 E5:2 D5:2 C5:2 D5:2",
    "F5:6 G5:2 A5:4 Bb5:4",
    "A5:3 G5:3 F5:2 C5:2 F5:2 G5:2 A5:2",
    "G5:10 E5:2 C5:2 E5:2",
    // chorus one
    "Bb5:4 A5:4 F5:4 D5:4",
    "E5:2 F5:2 G5:4 C6:6 Bb5:2",
    "A5:12 F5:2 A5:2",
    "D6:8 C6:4 A5:4",
    "Bb5:4 A5:4 F5:4 D5:4",
    "E5:2 F5:2 G5:4 C6:4 E6:4",
    "C#6:6 A5:2 E5:4 G5:4",
    "A5:12 r:4",
    // breakdown: long, low notes over the pad
    "G4:16",
    "F4:16",
    "Bb4:16",
    "C#5:8 E5:8",
    // verse two, varied
    "D5:2 F5:2 A5:3 D6:3 C6:2 A5:2 F5:2",
    "G5:4 F5:2 D5:2 Bb4:4 C5:2 D5:2",
    "C5:3 F5:3 A5:2 G5:2 F5:2 E5:2 F5:2",
    "E5:6 G5:2 C6:8",
    "A4:3 D5:3 F5:2 E5:2 D5:2 C5:2 D5:2",
    "F5:6 G5:2 A5:4 Bb5:4",
    "A5:3 G5:3 F5:2 C5:2 F5:2 G5:2 A5:2",
    "G5:8 A5:4 Bb5:4",
    // chorus two, ending on the dominant
    "Bb5:4 A5:4 F5:4 D5:4",
    "E5:2 F5:2 G5:4 C6:6 Bb5:2",
    "A5:12 F5:2 A5:2",
    "D6:8 C6:4 A5:4",
    "Bb5:4 A5:4 F5:4 D5:4",
    "E5:2 F5:2 G5:4 C6:4 E6:4",
    "E6:4 C#6:4 A5:4 E5:4",
    "A5:8 r:8",
};

// Drum rows, one character a sixteenth: x hit, o open hat, X accent.
struct DrumBar {
    const char *kick, *snare, *hat;
};
static const DrumBar kGroove[4] = {
    {"x...x...x...x...", "................", "..x...x...x...x."}, // intro: four on the floor
    {"x.....x.x.....x.", "....x.......x...", "X.x.X.x.X.x.X.xo"}, // verse
    {"x.....x.x.x...x.", "....x.......x..x", "XxxxXxxxXxxxXxxo"}, // chorus
    {"................", "................", "x.x.x.x.x.x.x.x."}, // breakdown
};
// The last bar of a phrase: snare and toms run into the next downbeat.
static const DrumBar kFill = {"x.....x.x.......", "....x...xx.x....", "X.x.X.x........."};
static const char *const kFillToms = "............xxxx";

// Bass rows: R root, O octave up, F fifth, one note per letter, held to the next.
static const char *const kBassDrive = "R.R.O.R.R.O.R.F.";
static const char *const kBassIntro = "R.R.R.R.R.R.R.R.";
static const char *const kBassBreak = "R.......F.......";

static int note_number(const std::string &name) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int pc = base[name[0] - 'A'];
    size_t k = 1;
    if (name[k] == '#')
        ++pc, ++k;
    else if (name[k] == 'b')
        --pc, ++k;
    return 12 * (std::atoi(name.c_str() + k) + 1) + pc;
}

struct Chord {
    int root; // pitch class
    bool minor;
};

static Chord chord_named(const std::string &name) {
    Chord c;
    c.root = note_number(name.substr(0, name[1] == 'b' || name[1] == '#' ? 2 : 1) + "0") % 12;
    c.minor = name.back() == 'm';
    return c;
}

static std::vector<Chord> chord_per_bar() {
    std::vector<Chord> bars;
    for (const Section &s : kForm) {
        std::string list = s.chords;
        size_t pos = 0;
        while (pos < list.size()) {
            size_t end = list.find(' ', pos);
            if (end == std::string::npos)
                end = list.size();
            bars.push_back(chord_named(list.substr(pos, end - pos)));
            pos = end + 1;
        }
    }
    return bars;
}

static size_t at_step(int bar, int step) {
    return (size_t(bar) * kStepsPerBar + size_t(step)) * kStep;
}

// Bass roots sit between B-flat 1 and A 2, where the line stays full but clear.
static int bass_root(const Chord &c) {
    return 34 + (c.root - 10 + 12) % 12;
}

static void play_lead(Bus &lead, Bus &low_lead, const std::vector<bool> &doubled) {
    for (int bar = 0; bar < kBars; ++bar) {
        std::string text = kLead[bar];
        int step = 0;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find(' ', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string tok = text.substr(pos, end - pos);
            size_t colon = tok.find(':');
            int len = std::atoi(tok.c_str() + colon + 1);
            if (tok[0] != 'r') {
                int midi = note_number(tok.substr(0, colon));
                // Slightly detached, so repeated notes speak.
                double seconds = len * 0.1 - 0.025;
                float vel = step % 4 == 0 ? 0.5f : 0.42f;
                inst_lead(lead, at_step(bar, step), seconds, midi, vel);
                if (doubled[size_t(bar)])
                    inst_lead(low_lead, at_step(bar, step), seconds, midi - 12, 0.35f);
            }
            step += len;
            pos = end + 1;
        }
        if (step != kStepsPerBar) {
            std::fprintf(stderr, "audiogen: lead bar %d has %d sixteenths\n", bar + 1, step);
            std::exit(1);
        }
    }
}

static void play_drum_bar(Bus &drums, Bus &room, const DrumBar &d, int bar, float vel, Rng &rng) {
    for (int s = 0; s < kStepsPerBar; ++s) {
        float human = 1.0f + 0.06f * rng.uniform();
        if (d.kick[s] != '.')
            inst_kick(drums, at_step(bar, s), 0.95f * human);
        if (d.snare[s] != '.') {
            float v = (s % 4 == 0 ? 0.75f : 0.45f) * vel * human;
            inst_snare(drums, at_step(bar, s), v, rng.next());
            inst_snare(room, at_step(bar, s), v, rng.next());
        }
        if (d.hat[s] != '.') {
            float v = (d.hat[s] == 'X' ? 1.0f : 0.65f) * vel * human;
            inst_hat(drums, at_step(bar, s), v, d.hat[s] == 'o', rng.next());
        }
    }
}

static void play_drums(Bus &drums, Bus &room, std::vector<size_t> &kicks) {
    Rng rng(0xD2D2u);
    int bar = 0;
    for (const Section &sec : kForm) {
        for (int b = 0; b < sec.bars; ++b, ++bar) {
            const bool last = b == sec.bars - 1;
            const bool driving = sec.drums == DR_VERSE || sec.drums == DR_CHORUS;
            const bool fill = (driving && (last || b == 3)) || (sec.drums == DR_INTRO && last);
            const bool roll = sec.drums == DR_BREAK && last;
            DrumBar d = fill ? kFill : kGroove[sec.drums];
            if (sec.drums == DR_INTRO && b >= 2 && !fill)
                d.snare = kGroove[DR_VERSE].snare;
            if (roll) {
                // The breakdown's last bar: a snare roll swelling into the verse.
                for (int s = 0; s < kStepsPerBar; ++s) {
                    float v = 0.15f + 0.6f * float(s) / 15.0f;
                    inst_snare(drums, at_step(bar, s), v, rng.next());
                    inst_snare(room, at_step(bar, s), v, rng.next());
                }
            }
            play_drum_bar(drums, room, d, bar, roll ? 0.4f : 1.0f, rng);
            for (int s = 0; s < kStepsPerBar; ++s) {
                if (d.kick[s] != '.')
                    kicks.push_back(at_step(bar, s));
                if (fill && kFillToms[s] != '.')
                    inst_tom(drums, at_step(bar, s), 190.0 - 28.0 * (s - 12), 0.7f);
            }
            if (b == 0 && driving)
                inst_crash(drums, at_step(bar, 0), 0.28f, rng.next());
        }
    }
    // The loop's own downbeat: marks the return to the top each time round.
    inst_crash(drums, at_step(0, 0), 0.22f, 0xC1A5u);
}

static void play_harmony(Bus &bass, Bus &arp, Bus &pad, const std::vector<Chord> &chords) {
    int bar = 0;
    for (const Section &sec : kForm) {
        for (int b = 0; b < sec.bars; ++b, ++bar) {
            const Chord &c = chords[size_t(bar)];
            const int root = bass_root(c);
            const char *row = sec.drums == DR_INTRO   ? kBassIntro
                              : sec.drums == DR_BREAK ? kBassBreak
                                                      : kBassDrive;
            for (int s = 0; s < kStepsPerBar; ++s) {
                if (row[s] == '.')
                    continue;
                int len = 1;
                while (s + len < kStepsPerBar && row[s + len] == '.')
                    ++len;
                int midi = root + (row[s] == 'O' ? 12 : row[s] == 'F' ? 7 : 0);
                inst_bass(bass, at_step(bar, s), len * 0.1 - 0.03, midi,
                          s % 4 == 0 ? 0.55f : 0.45f);
            }
            // Chord tones from D4 upwards: root, third, fifth, octave.
            const int third = c.minor ? 3 : 4;
            int base = 60 + (c.root - 2 + 12) % 12 + 2;
            const int tones[4] = {base, base + third, base + 7, base + 12};
            static const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 3, 2, 1, 2};
            if (sec.arp)
                for (int s = 0; s < kStepsPerBar; ++s)
                    inst_pluck(arp, at_step(bar, s), tones[order[s]], s % 4 == 0 ? 0.3f : 0.22f,
                               s % 2 ? 0.35f : -0.35f);
            if (sec.pad)
                inst_pad(pad, at_step(bar, 0), 1.55, {base - 12, base - 12 + third, base - 5},
                         0.09f);
        }
    }
}

// The kick ducks bass, pad and arpeggio for a moment: the pumping drive of
// action tracks, and room for the kick to land.
static std::vector<float> duck_curve(size_t n, const std::vector<size_t> &kicks) {
    std::vector<float> duck(n, 1.0f);
    const size_t len = size_t(0.22 * kRate), ramp = size_t(0.004 * kRate);
    for (size_t at : kicks) {
        for (size_t j = 0; j < len; ++j) {
            double depth = 0.5 * std::exp(-double(j) / (0.07 * kRate));
            if (j < ramp)
                depth *= double(j) / double(ramp);
            float &d = duck[(at + j) % n];
            d = std::min(d, float(1.0 - depth));
        }
    }
    return duck;
}

Sound music_render() {
    const size_t n = at_step(kBars, 0);
    Bus drums(n), room(n), bass(n), arp(n), pad(n), lead(n), low_lead(n);
    std::vector<size_t> kicks;
    std::vector<bool> doubled;
    for (const Section &s : kForm)
        for (int b = 0; b < s.bars; ++b)
            doubled.push_back(s.doubled_lead);
    play_drums(drums, room, kicks);
    play_harmony(bass, arp, pad, chord_per_bar());
    play_lead(lead, low_lead, doubled);

    lead.mix(low_lead, 1.0f);
    fx_pingpong(lead, 3 * kStep, 0.38f, 0.3f); // dotted eighth echoes
    fx_pingpong(arp, 3 * kStep, 0.3f, 0.25f);
    Bus sends(n);
    sends.mix(room, 0.6f);
    sends.mix(lead, 0.25f);
    sends.mix(pad, 0.5f);
    fx_reverb(sends);

    const std::vector<float> duck = duck_curve(n, kicks);
    Bus mixbus(n);
    for (size_t i = 0; i < n; ++i) {
        mixbus.l[i] = drums.l[i] +
                      duck[i] * (0.8f * bass.l[i] + 0.95f * arp.l[i] + 1.4f * pad.l[i]) +
                      1.05f * lead.l[i] + 0.7f * sends.l[i];
        mixbus.r[i] = drums.r[i] +
                      duck[i] * (0.8f * bass.r[i] + 0.95f * arp.r[i] + 1.4f * pad.r[i]) +
                      1.05f * lead.r[i] + 0.7f * sends.r[i];
    }

    // Master: keep the top under 9.5 kHz (the game halves the rate by dropping
    // samples), level it, and round off the rare peaks.
    for (std::vector<float> *ch : {&mixbus.l, &mixbus.r}) {
        Svf a, b;
        a.set(kRate, 9500.0, 0.707);
        b.set(kRate, 9500.0, 0.707);
        process_circular(*ch, [&](float x) { return b.lowpass(a.lowpass(x)); });
    }
    Sound s;
    s.rate = int(kRate);
    s.channels = 2;
    s.samples.resize(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s.samples[2 * i] = mixbus.l[i];
        s.samples[2 * i + 1] = mixbus.r[i];
    }
    sound_scale(s, kMusicRms / sound_rms(s));
    for (float &x : s.samples) {
        float a = std::fabs(x);
        if (a > kKnee)
            x = std::copysign(kKnee + kKneeRoom * float(std::tanh((a - kKnee) / kKneeRoom)), x);
    }
    return s;
}
