// libpng's writer, driven from a sample list: the test images' source.
#include "png_maker.h"

#include <png.h>

#include <malloc.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// The link wraps malloc, calloc and free (CMakeLists.txt), which the loader
// uses for its buffers and hands libpng for all of its own.
static bool watching;
static size_t held, most;

static void *taken(void *block) {
    if (block && watching) {
        held += malloc_usable_size(block);
        most = held > most ? held : most;
    }
    return block;
}

extern "C" {
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);
void __real_free(void *block);
void *__wrap_malloc(size_t size) {
    return taken(__real_malloc(size));
}
void *__wrap_calloc(size_t count, size_t size) {
    return taken(__real_calloc(count, size));
}
void __wrap_free(void *block) {
    if (block && watching) {
        size_t size = malloc_usable_size(block);
        held = size < held ? held - size : 0;
    }
    __real_free(block);
}
}

HeapWatch::HeapWatch() {
    held = most = 0;
    watching = true;
}

HeapWatch::~HeapWatch() {
    watching = false;
}

size_t HeapWatch::peak() const {
    return most;
}

int channels_of(int color_type) {
    switch (color_type) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

std::vector<unsigned> fill_samples(const PngSpec &spec, unsigned v) {
    return std::vector<unsigned>(size_t(spec.width) * spec.height * channels_of(spec.color_type),
                                 v);
}

static void write_to_vector(png_structp png, png_bytep data, png_size_t length) {
    Bytes *out = static_cast<Bytes *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

static void flush_nothing(png_structp) {}

// Keeps no object with a destructor in the frame that libpng's error jump
// returns to.
static bool write_png(const PngSpec &spec, png_bytep *rows, Bytes *out, bool blank = false) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, write_to_vector, flush_nothing);
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_set_IHDR(png, info, spec.width, spec.height, spec.depth, spec.color_type,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty())
        png_set_PLTE(png, info,
                     reinterpret_cast<png_colorp>(const_cast<unsigned char *>(spec.palette.data())),
                     int(spec.palette.size() / 3));
    if (!spec.trns_alpha.empty())
        png_set_tRNS(png, info, spec.trns_alpha.data(), int(spec.trns_alpha.size()), nullptr);
    if (!spec.trns_color.empty()) {
        png_color_16 color = {};
        if (spec.trns_color.size() == 1) {
            color.gray = spec.trns_color[0];
        } else {
            color.red = spec.trns_color[0];
            color.green = spec.trns_color[1];
            color.blue = spec.trns_color[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &color);
    }
    if (spec.gamma > 0)
        png_set_gAMA(png, info, spec.gamma);
    if (blank) { // fast: nothing to filter, and all of it compresses alike
        png_set_filter(png, 0, PNG_FILTER_NONE);
        png_set_compression_level(png, 1);
    }
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

Bytes make_png(const PngSpec &spec) {
    Bytes out;
    int channels = channels_of(spec.color_type);
    size_t rowbytes = (size_t(spec.width) * channels * spec.depth + 7) / 8;
    std::vector<Bytes> rows(spec.height, Bytes(rowbytes, 0));
    for (int y = 0; y < spec.height; y++) {
        for (int i = 0; i < spec.width * channels; i++) {
            unsigned v = spec.samples.at(size_t(y) * spec.width * channels + i);
            Bytes &row = rows[y];
            if (spec.depth == 16) {
                row[2 * i] = v >> 8;
                row[2 * i + 1] = v & 255;
            } else if (spec.depth == 8) {
                row[i] = v;
            } else {
                int bit = i * spec.depth;
                row[bit / 8] |= v << (8 - spec.depth - bit % 8);
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (Bytes &row : rows)
        pointers.push_back(row.data());
    if (!write_png(spec, pointers.data(), &out))
        out.clear();
    return out;
}

Bytes make_blank_png(const PngSpec &spec) {
    Bytes zeros((size_t(spec.width) * channels_of(spec.color_type) * spec.depth + 7) / 8);
    std::vector<png_bytep> pointers(size_t(spec.height), zeros.data());
    Bytes out;
    if (!write_png(spec, pointers.data(), &out, true))
        out.clear();
    return out;
}

Bytes claim_size(Bytes png, uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; i++) {
        png[16 + i] = width >> (24 - 8 * i);
        png[20 + i] = height >> (24 - 8 * i);
    }
    uint32_t crc = uint32_t(crc32(0, &png[12], 17)); // the type and the data
    for (int i = 0; i < 4; i++)
        png[29 + i] = crc >> (24 - 8 * i);
    return png;
}

bool write_file(const std::string &path, const Bytes &bytes) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

std::string temp_path(const char *name) {
    const char *dir = getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/quorrin_png_" + std::to_string(getpid()) + "_" +
           name;
}
