// RIFF/WAVE writer. Little-endian fields are written byte by byte so the files
// are the same on any host.
#include "wavfile.h"

#include <cmath>
#include <cstdio>

static void put_u32(std::vector<unsigned char> &out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back((unsigned char)(v >> (8 * i)));
}

static void put_u16(std::vector<unsigned char> &out, uint32_t v) {
    out.push_back((unsigned char)v);
    out.push_back((unsigned char)(v >> 8));
}

// A chunk tag: its four letters, without the literal's terminating zero.
static void put_tag(std::vector<unsigned char> &out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back((unsigned char)tag[i]);
}

std::vector<unsigned char> wav_encode(const Sound &s, int bits) {
    const uint32_t bytes_per_sample = uint32_t(bits / 8);
    const uint32_t data_size = uint32_t(s.samples.size()) * bytes_per_sample;
    std::vector<unsigned char> out;
    out.reserve(44 + data_size + 1);
    put_tag(out, "RIFF");
    put_u32(out, 36 + data_size + (data_size & 1));
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1); // PCM
    put_u16(out, uint32_t(s.channels));
    put_u32(out, uint32_t(s.rate));
    put_u32(out, uint32_t(s.rate) * uint32_t(s.channels) * bytes_per_sample);
    put_u16(out, uint32_t(s.channels) * bytes_per_sample);
    put_u16(out, uint32_t(bits));
    put_tag(out, "data");
    put_u32(out, data_size);
    Rng dither(0x5EED0008u);
    for (float x : s.samples) {
        if (bits == 16) {
            long v = std::lround(double(x) * 32767.0);
            v = v < -32768 ? -32768 : v > 32767 ? 32767 : v;
            put_u16(out, uint32_t(v) & 0xFFFFu);
        } else {
            // Triangular dither of one step keeps quiet tails from turning
            // into a buzz at 8 bits.
            double d = (double(dither.unit()) - double(dither.unit()));
            long v = std::lround(double(x) * 127.0 + d) + 128;
            v = v < 0 ? 0 : v > 255 ? 255 : v;
            out.push_back((unsigned char)v);
        }
    }
    if (data_size & 1)
        out.push_back(0); // RIFF chunks are padded to even length
    return out;
}

bool write_bytes(const std::string &path, const std::vector<unsigned char> &bytes) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
