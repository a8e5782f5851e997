// Reads the generated sounds back the way the game and independent tools do:
// formats through SDL's WAV reader, playability through SDL_mixer opened as
// the game opens it, the music through libvorbisfile, and the loops' seams.
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

TEST_F(AudiogenMixer, EveryChunkLoadsAndCarriesAtEightBitMono) {
    for (const WavFormat &w : kWavs) {
        SCOPED_TRACE(w.name);
        std::vector<unsigned char> bytes = read_all(kDataDir + w.name);
        Mix_Chunk *chunk = Mix_LoadWAV_RW(SDL_RWFromMem(bytes.data(), int(bytes.size())), 1);
        ASSERT_NE(chunk, nullptr) << Mix_GetError();
        // Converted to unsigned 8-bit mono: loud enough to stand far above the
        // 8-bit floor, and almost never pinned to the rails.
        double sum = 0;
        size_t pinned = 0;
        for (Uint32 i = 0; i < chunk->alen; ++i) {
            int v = int(chunk->abuf[i]) - 128;
            sum += double(v) * v;
            pinned += chunk->abuf[i] == 0 || chunk->abuf[i] == 255;
        }
        const double level = std::sqrt(sum / chunk->alen);
        EXPECT_GT(level, 10.0) << "RMS in 8-bit steps";
        EXPECT_LT(double(pinned), 0.001 * chunk->alen);
        Mix_FreeChunk(chunk);
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

TEST(AudiogenMusic, IsAMinuteOrMoreOfStereoThatLoopsCleanly) {
    std::vector<unsigned char> bytes = read_all(kDataDir + "final_base.ogg");
    MemFile src{&bytes};
    ov_callbacks cb = {mem_read, nullptr, nullptr, nullptr};
    OggVorbis_File vf;
    ASSERT_EQ(ov_open_callbacks(&src, &vf, nullptr, 0, cb), 0);
    vorbis_info *vi = ov_info(&vf, -1);
    ASSERT_NE(vi, nullptr);
    EXPECT_EQ(vi->channels, 2);
    EXPECT_EQ(vi->rate, 44100);
    std::vector<Sint16> pcm;
    char buf[8192];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0) {
        const Sint16 *s = reinterpret_cast<const Sint16 *>(buf);
        pcm.insert(pcm.end(), s, s + got / 2);
    }
    ov_clear(&vf);
    EXPECT_GE(pcm.size() / 2, size_t(60 * 44100));
    expect_seamless(pcm, 2, "music");
    // Loud enough to be heard over the engine, with headroom left.
    double level = rms(pcm, 0, pcm.size()) / 32768.0;
    EXPECT_GT(level, 0.1);
    EXPECT_LT(level, 0.35);
    // Its stream serial number is the fixed one, page after page.
    EXPECT_EQ(bytes[14] | bytes[15] << 8 | bytes[16] << 16 | unsigned(bytes[17]) << 24,
              0x51524E31u);
}

TEST(AudiogenDeterminism, TwoRunsWriteTheSameBytes) {
    char a_dir[] = "/tmp/audiogen_a_XXXXXX", b_dir[] = "/tmp/audiogen_b_XXXXXX";
    ASSERT_NE(mkdtemp(a_dir), nullptr);
    ASSERT_NE(mkdtemp(b_dir), nullptr);
    ASSERT_EQ(std::system((std::string(AUDIOGEN_EXE) + " " + a_dir).c_str()), 0);
    ASSERT_EQ(std::system((std::string(AUDIOGEN_EXE) + " " + b_dir).c_str()), 0);
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
