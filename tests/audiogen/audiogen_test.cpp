// Reads the generated sounds back the way the game and independent tools do:
// formats through SDL's WAV reader, playability through SDL_mixer opened as
// the game opens it, the music through libvorbisfile, and the loops' seams.
#include "support/run_program.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const std::string kDataDir = QUORRIN_BINARY_DIR "/data/";

std::vector<unsigned char> read_all(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

struct WavFormat {
    const char *name;
    int channels;
    int rate;
    Uint16 format;
};

const WavFormat kWavs[] = {
    {"shot.wav", 2, 44100, AUDIO_S16LSB},       {"ef20003m.wav", 1, 11025, AUDIO_S16LSB},
    {"ef20003m_4.wav", 1, 11025, AUDIO_S16LSB}, {"ef20003m_2.wav", 1, 11025, AUDIO_S16LSB},
    {"ef20003m_3.wav", 1, 11025, AUDIO_S16LSB}, {"missile.wav", 2, 44100, AUDIO_S16LSB},
    {"lockon16.wav", 2, 44100, AUDIO_S16LSB},   {"bomb1.wav", 2, 44100, AUDIO_S16LSB},
    {"rocket1.wav", 1, 22050, AUDIO_U8},
};

// A WAV decoded by SDL's own reader, as 16-bit mono-or-stereo samples.
struct Decoded {
    SDL_AudioSpec spec{};
    std::vector<Sint16> samples;
    bool ok = false;
};

Decoded load_wav(const std::string &name) {
    Decoded d;
    std::vector<unsigned char> bytes = read_all(kDataDir + name);
    Uint8 *buf = nullptr;
    Uint32 len = 0;
    SDL_RWops *rw = SDL_RWFromMem(bytes.data(), int(bytes.size()));
    if (!rw || !SDL_LoadWAV_RW(rw, 1, &d.spec, &buf, &len))
        return d;
    if (d.spec.format == AUDIO_S16LSB) {
        d.samples.resize(len / 2);
        std::memcpy(d.samples.data(), buf, d.samples.size() * 2);
    } else {
        for (Uint32 i = 0; i < len; ++i)
            d.samples.push_back(Sint16((int(buf[i]) - 128) * 256));
    }
    SDL_FreeWAV(buf);
    d.ok = true;
    return d;
}

double rms(const std::vector<Sint16> &x, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += double(x[i]) * x[i];
    return std::sqrt(sum / double(count));
}

// The step across a loop's seam must look like any other step inside the loop.
void expect_seamless(const std::vector<Sint16> &x, int channels, const std::string &what) {
    ASSERT_GT(x.size(), size_t(4 * channels));
    for (int c = 0; c < channels; ++c) {
        std::vector<int> steps;
        for (size_t i = size_t(c); i + size_t(channels) < x.size(); i += size_t(channels))
            steps.push_back(std::abs(x[i + size_t(channels)] - x[i]));
        std::sort(steps.begin(), steps.end());
        const int p99 = steps[steps.size() * 99 / 100];
        const int seam = std::abs(x[size_t(c)] - x[x.size() - size_t(channels) + size_t(c)]);
        EXPECT_LE(seam, p99) << what << " channel " << c << ": seam step " << seam;
    }
}

TEST(AudiogenWav, EveryMemberHasTheShippedFormat) {
    for (const WavFormat &w : kWavs) {
        SCOPED_TRACE(w.name);
        Decoded d = load_wav(w.name);
        ASSERT_TRUE(d.ok) << SDL_GetError();
        EXPECT_EQ(d.spec.channels, w.channels);
        EXPECT_EQ(d.spec.freq, w.rate);
        EXPECT_EQ(d.spec.format, w.format);
        // Whole frames, and at least a tenth of a second of sound.
        EXPECT_EQ(d.samples.size() % size_t(w.channels), 0u);
        EXPECT_GE(d.samples.size() / size_t(w.channels), size_t(w.rate / 10));
    }
}

TEST(AudiogenWav, CanonicalHeaderFieldsAgree) {
    // Stricter players than SDL check byte rate and block alignment.
    for (const WavFormat &w : kWavs) {
        SCOPED_TRACE(w.name);
        std::vector<unsigned char> b = read_all(kDataDir + w.name);
        ASSERT_GE(b.size(), 44u);
        auto u32 = [&](size_t at) {
            return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | unsigned(b[at + 3]) << 24;
        };
        auto u16 = [&](size_t at) { return unsigned(b[at] | b[at + 1] << 8); };
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(u32(4), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(u16(20), 1u); // PCM
        const unsigned bytes = w.format == AUDIO_U8 ? 1 : 2;
        EXPECT_EQ(u16(32), unsigned(w.channels) * bytes);
        EXPECT_EQ(u32(28), unsigned(w.rate * w.channels) * bytes);
        EXPECT_EQ(u16(34), bytes * 8);
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_LE(u32(40) + 44, b.size());
    }
}

TEST(AudiogenWav, EngineLoopsJoinWithoutClickAndRiseInIntensity) {
    const char *loops[3] = {"ef20003m_4.wav", "ef20003m_2.wav", "ef20003m_3.wav"};
    double level[3];
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(loops[k]);
        Decoded d = load_wav(loops[k]);
        ASSERT_TRUE(d.ok);
        expect_seamless(d.samples, 1, loops[k]);
        // No level jump either: the last and first 50 ms are alike.
        const size_t win = 551;
        double head = rms(d.samples, 0, win), tail = rms(d.samples, d.samples.size() - win, win);
        EXPECT_LT(std::fabs(20 * std::log10(head / tail)), 3.0);
        level[k] = rms(d.samples, 0, d.samples.size());
    }
    EXPECT_LT(level[0], level[1]);
    EXPECT_LT(level[1], level[2]);
}

// libvorbisfile reading straight from memory.
struct MemFile {
    const std::vector<unsigned char> *bytes;
    size_t pos = 0;
};

size_t mem_read(void *ptr, size_t size, size_t n, void *src) {
    MemFile *m = static_cast<MemFile *>(src);
    size_t want = std::min(size * n, m->bytes->size() - m->pos);
    std::memcpy(ptr, m->bytes->data() + m->pos, want);
    m->pos += want;
    return size ? want / size : 0;
}

// The music decoded to interleaved 16-bit samples, as SDL_mixer asks
// libvorbisfile for them; no channels when it does not open.
struct Music {
    int channels = 0;
    long rate = 0;
    std::vector<Sint16> pcm;
};

Music decode_music(const std::vector<unsigned char> &bytes) {
    Music music;
    MemFile src{&bytes};
    ov_callbacks cb = {mem_read, nullptr, nullptr, nullptr};
    OggVorbis_File vf;
    if (ov_open_callbacks(&src, &vf, nullptr, 0, cb) != 0)
        return music;
    if (vorbis_info *vi = ov_info(&vf, -1)) {
        music.channels = vi->channels;
        music.rate = vi->rate;
    }
    char buf[8192];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0) {
        const Sint16 *s = reinterpret_cast<const Sint16 *>(buf);
        music.pcm.insert(music.pcm.end(), s, s + got / 2);
    }
    ov_clear(&vf);
    return music;
}

class AudiogenMixer : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        // The game's own output format.
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_U8, 1, 1024), 0) << Mix_GetError();
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_Quit();
    }
};

// A member as the mixer holds it once loaded: unsigned 8-bit mono samples.
std::vector<Uint8> mixer_samples(const char *name) {
    std::vector<unsigned char> bytes = read_all(kDataDir + name);
    Mix_Chunk *chunk = Mix_LoadWAV_RW(SDL_RWFromMem(bytes.data(), int(bytes.size())), 1);
    if (!chunk)
        return {};
    std::vector<Uint8> samples(chunk->abuf, chunk->abuf + chunk->alen);
    Mix_FreeChunk(chunk);
    return samples;
}

TEST_F(AudiogenMixer, EveryChunkLoadsAndCarriesAtEightBitMono) {
    for (const WavFormat &w : kWavs) {
        SCOPED_TRACE(w.name);
        std::vector<Uint8> samples = mixer_samples(w.name);
        ASSERT_FALSE(samples.empty()) << Mix_GetError();
        // Mastered for a mixer that sums everything into 8 bits, so well below
        // full scale, yet many steps above 8-bit rounding (a third of a step).
        double sum = 0;
        size_t pinned = 0;
        for (Uint8 u : samples) {
            int v = int(u) - 128;
            sum += double(v) * v;
            pinned += u == 0 || u == 255;
        }
        const double level = std::sqrt(sum / double(samples.size()));
        EXPECT_GT(level, 4.0) << "RMS in 8-bit steps";
        EXPECT_LT(double(pinned), 0.001 * double(samples.size()));
    }
}

TEST_F(AudiogenMixer, MusicLoadsFromMemoryAndPlays) {
    std::vector<unsigned char> bytes = read_all(kDataDir + "final_base.ogg");
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "OggS");
    // Big enough to be music, small enough for the executable.
    EXPECT_GT(bytes.size(), 200000u);
    EXPECT_LT(bytes.size(), 2000000u);
    SDL_RWops *rw = SDL_RWFromMem(bytes.data(), int(bytes.size()));
    Mix_Music *music = Mix_LoadMUS_RW(rw);
    ASSERT_NE(music, nullptr) << Mix_GetError();
    EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    SDL_FreeRW(rw); // SDL_mixer 1.2 leaves the stream to its caller
}

// The loudest moment of a fight, mixed as the game's mixer mixes it: through
// SDL_MixAudio into one 8-bit sum, the music first, at the game's levels. At
// one instant the music peaks, a missile launches with two more still roaring,
// two lock beeps start together (a formation crossing the sight) and an
// explosion lands, over the afterburner and the gun, whose rounds come every
// third frame of 20 ms. The sum has no headroom of its own: the members must
// leave it.
TEST_F(AudiogenMixer, TheLoudestMomentOfAFightStaysWithinEightBits) {
    const size_t second = 22050, round = second * 60 / 1000, launch = second * 7 / 10;
    const int music_volume = 96, engine_volume = 32;
    Music music = decode_music(read_all(kDataDir + "final_base.ogg"));
    ASSERT_EQ(music.channels, 2);
    // Converted for playing as SDL_mixer converts what libvorbisfile gives it.
    SDL_AudioCVT cvt;
    ASSERT_GE(SDL_BuildAudioCVT(&cvt, AUDIO_S16LSB, 2, int(music.rate), AUDIO_U8, 1, 22050), 0);
    std::vector<Uint8> tune(music.pcm.size() * 2 * size_t(cvt.len_mult));
    std::memcpy(tune.data(), music.pcm.data(), music.pcm.size() * 2);
    cvt.buf = tune.data();
    cvt.len = int(music.pcm.size() * 2);
    ASSERT_EQ(SDL_ConvertAudio(&cvt), 0);
    tune.resize(size_t(cvt.len_cvt));
    const std::vector<Uint8> engine = mixer_samples("ef20003m_3.wav"),
                             shot = mixer_samples("shot.wav"),
                             missile = mixer_samples("missile.wav"),
                             lockon = mixer_samples("lockon16.wav"),
                             bomb = mixer_samples("bomb1.wav");
    const std::vector<Uint8> *all[] = {&tune, &engine, &shot, &missile, &lockon, &bomb};
    for (const std::vector<Uint8> *v : all)
        ASSERT_FALSE(v->empty());

    // The music's loudest sample falls on the moment, a second into the mix.
    const size_t moment = second;
    const auto loudest = std::max_element(tune.begin(), tune.end(), [](Uint8 a, Uint8 b) {
        return std::abs(a - 128) < std::abs(b - 128);
    });
    std::rotate(tune.begin(),
                tune.begin() +
                    (size_t(loudest - tune.begin()) + tune.size() - moment) % tune.size(),
                tune.end());
    std::vector<Uint8> out(3 * second, 128);
    // SRC into the sum from AT on; a loop repeats to the end.
    auto mix = [&](const std::vector<Uint8> &src, size_t at, int volume, bool loop = false) {
        std::vector<Uint8> piece;
        for (size_t i = 0; at + i < out.size() && (loop || i < src.size()); ++i)
            piece.push_back(src[i % src.size()]);
        SDL_MixAudio(out.data() + at, piece.data(), Uint32(piece.size()), volume);
    };
    mix(tune, 0, music_volume, true);
    mix(engine, 0, engine_volume, true);
    for (size_t at = 0; at < out.size(); at += round)
        mix(shot, at, MIX_MAX_VOLUME);
    for (size_t at : {moment - launch, moment, moment + launch})
        mix(missile, at, MIX_MAX_VOLUME);
    mix(lockon, moment, MIX_MAX_VOLUME);
    mix(lockon, moment, MIX_MAX_VOLUME);
    mix(bomb, moment, MIX_MAX_VOLUME);
    // SDL's 8-bit sum stops at 0 and 254.
    const size_t clipped =
        size_t(std::count_if(out.begin(), out.end(), [](Uint8 u) { return u == 0 || u >= 254; }));
    EXPECT_LE(clipped, out.size() / 1000) << "samples at the 8-bit limits";
}

TEST(AudiogenMusic, IsAMinuteOrMoreOfStereoThatLoopsCleanly) {
    std::vector<unsigned char> bytes = read_all(kDataDir + "final_base.ogg");
    Music music = decode_music(bytes);
    ASSERT_EQ(music.channels, 2);
    EXPECT_EQ(music.rate, 44100);
    const std::vector<Sint16> &pcm = music.pcm;
    EXPECT_GE(pcm.size() / 2, size_t(60 * 44100));
    expect_seamless(pcm, 2, "music");
    // Quiet beside the effects, which the mixer adds at full volume, and still
    // far above the 8-bit floor.
    double level = rms(pcm, 0, pcm.size()) / 32768.0;
    EXPECT_GT(level, 0.04);
    EXPECT_LT(level, 0.1);
    // Its stream serial number is the fixed one, page after page.
    EXPECT_EQ(bytes[14] | bytes[15] << 8 | bytes[16] << 16 | unsigned(bytes[17]) << 24,
              0x51524E31u);
}

TEST(AudiogenDeterminism, TwoRunsWriteTheSameBytes) {
    char a_dir[] = "/tmp/audiogen_a_XXXXXX", b_dir[] = "/tmp/audiogen_b_XXXXXX";
    ASSERT_NE(mkdtemp(a_dir), nullptr);
    ASSERT_NE(mkdtemp(b_dir), nullptr);
    ASSERT_EQ(run_program({AUDIOGEN_EXE, a_dir}).exit_code, 0);
    ASSERT_EQ(run_program({AUDIOGEN_EXE, b_dir}).exit_code, 0);
    std::vector<std::string> names;
    for (const WavFormat &w : kWavs)
        names.push_back(w.name);
    names.push_back("final_base.ogg");
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> a = read_all(std::string(a_dir) + "/" + name);
        std::vector<unsigned char> b = read_all(std::string(b_dir) + "/" + name);
        EXPECT_FALSE(a.empty());
        EXPECT_TRUE(a == b);
        // And the build's own copy is the same again.
        EXPECT_TRUE(a == read_all(kDataDir + name));
        std::remove((std::string(a_dir) + "/" + name).c_str());
        std::remove((std::string(b_dir) + "/" + name).c_str());
    }
    rmdir(a_dir);
    rmdir(b_dir);
}

} // namespace
