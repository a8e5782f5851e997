// Builds PNG files in memory with libpng's own writer, so the tests can make
// any colour type, bit depth, interlacing and chunk they need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

struct PngSpec {
    int width = 1;
    int height = 1;
    int color_type = 2; // PNG_COLOR_TYPE_*
    int depth = 8;
    int interlaced = 0;
    // One entry per sample, row by row, each in 0 .. 2^depth - 1 (palette: the index).
    std::vector<unsigned> samples;
    Bytes palette;                    // 3 bytes per entry
    Bytes trns_alpha;                 // palette images: alpha per entry
    std::vector<unsigned> trns_color; // gray: 1 value, RGB: 3 values
    double gamma = 0;                 // gAMA chunk when above 0
};

Bytes make_png(const PngSpec &spec);
// Every sample 0, whatever spec.samples holds: large pictures, made cheaply.
Bytes make_blank_png(const PngSpec &spec);
int channels_of(int color_type);
// Every sample at the value v, for an image of the spec's size and type.
std::vector<unsigned> fill_samples(const PngSpec &spec, unsigned v);
// The PNG with its header claiming another size (and its checksum to match).
Bytes claim_size(Bytes png, uint32_t width, uint32_t height);
// The most heap held at once, through malloc and calloc, while one is alive.
struct HeapWatch {
    HeapWatch();
    ~HeapWatch();
    size_t peak() const;
};
bool write_file(const std::string &path, const Bytes &bytes);
std::string temp_path(const char *name);
