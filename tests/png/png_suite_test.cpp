// Outside test data: every PngSuite image and libpng's extra test images go
// through the decode. Valid ones must match what libpng's own reader gives
// under the same transformations; broken ones must fail cleanly.
#include "assets/png_internal.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

const std::string SUITE = std::string(QUORRIN_TESTDATA_DIR) + "/pngsuite";

Bytes read_all(const std::string &path) {
    Bytes bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

void list_pngs(const std::string &dir, std::vector<std::string> *out) {
    DIR *d = opendir(dir.c_str());
    if (!d)
        return;
    while (dirent *e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = dir + "/" + name;
        if (e->d_type == DT_DIR)
            list_pngs(path, out);
        else if (name.size() > 4 && name.substr(name.size() - 4) == ".png")
            out->push_back(path);
    }
    closedir(d);
}

struct Reference {
    bool ok = false;
    unsigned width = 0, height = 0, channels = 0;
    Bytes pixels;
};

struct ReadState {
    const Bytes *data;
    size_t offset;
};

void read_bytes(png_structp png, png_bytep out, png_size_t length) {
    ReadState *s = static_cast<ReadState *>(png_get_io_ptr(png));
    if (length > s->data->size() - s->offset)
        png_error(png, "end of data");
    std::copy_n(s->data->data() + s->offset, length, out);
    s->offset += length;
}

void quiet(png_structp, png_const_charp) {}

// libpng's reader with the transformations the loader documents: for the
// texture layout palette and low-bit gray expanded, a palette's transparency
// as alpha, 16-bit stripped, gray to RGB, and (solid) alpha stripped; samples
// as stored otherwise. Gamma as the loader's rule gives with the default screen.
// Only pointers live in this frame: libpng's error jump lands here. The
// pixel and row vectors belong to the caller.
bool reference_read(png_structp png, png_infop info, ReadState *state, int texture, int solid,
                    Reference *ref, std::vector<png_bytep> *rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, state, read_bytes);
    png_read_info(png, info);
    if (texture) {
        if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE)
            png_set_expand(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        if (solid)
            png_set_strip_alpha(png);
    }
    double file_gamma = 0;
    png_set_gamma(png, 2.2, png_get_gAMA(png, info, &file_gamma) ? file_gamma : 1 / 2.2);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    ref->width = png_get_image_width(png, info);
    ref->height = png_get_image_height(png, info);
    ref->channels = png_get_channels(png, info);
    size_t rowbytes = png_get_rowbytes(png, info);
    ref->pixels.assign(rowbytes * ref->height, 0);
    rows->resize(ref->height);
    for (unsigned y = 0; y < ref->height; y++)
        (*rows)[y] = ref->pixels.data() + rowbytes * y;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    return true;
}

Reference reference(const Bytes &data, int texture, int solid) {
    Reference ref;
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0)
        return ref;
    ReadState state = {&data, 0};
    std::vector<png_bytep> rows;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet, quiet);
    png_infop info = png_create_info_struct(png);
    ref.ok = reference_read(png, info, &state, texture, solid, &ref, &rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return ref;
}

TEST(PngSuite, BrokenFilesFailAndValidOnesMatchLibpng) {
    std::vector<std::string> files;
    list_pngs(SUITE, &files);
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 370u) << "PngSuite missing under " << SUITE;
    int broken = 0, matched = 0;
    for (const std::string &path : files) {
        SCOPED_TRACE(path);
        Bytes data = read_all(path);
        bool must_fail = path.find("/pngsuite/x") != std::string::npos &&
                         path.find("libpng-extra") == std::string::npos;
        // Chunk lengths of a gigabyte: libpng's own reader would try to
        // allocate them, so only the loader's side is run.
        bool huge = path.find("/crashers/huge_") != std::string::npos;
        for (int mode = 0; mode < 3; mode++) {
            int texture = mode > 0, solid = mode == 2;
            PngDecodeOptions options = {texture, 0, texture && !solid};
            PngImage image;
            int ok = png_decode(data.data(), data.size(), nullptr, &options, &image, nullptr);
            if (must_fail || huge) {
                EXPECT_FALSE(ok);
                EXPECT_EQ(image.pixels, nullptr);
                continue;
            }
            Reference ref = reference(data, texture, solid);
            EXPECT_EQ(bool(ok), ref.ok) << "mode " << mode;
            if (ok && ref.ok) {
                EXPECT_EQ(image.width, ref.width);
                EXPECT_EQ(image.height, ref.height);
                EXPECT_EQ(image.channels, ref.channels);
                EXPECT_TRUE(Bytes(image.pixels, image.pixels + image.rowbytes * image.height) ==
                            ref.pixels)
                    << "pixels differ, mode " << mode << ": first bytes " << int(image.pixels[0])
                    << " vs " << int(ref.pixels[0]);
                matched++;
            }
            free(image.pixels);
        }
        broken += must_fail;
    }
    EXPECT_EQ(broken, 14);
    EXPECT_GT(matched, 3 * 330);
}

// The texture layout is always 8-bit RGB or RGBA, whatever the file holds.
TEST(PngSuite, TextureLayoutIsAlwaysEightBitRgbOrRgba) {
    const char *names[] = {"basn0g01.png", "basi0g16.png", "basn3p02.png", "tbbn3p08.png",
                           "tbrn2c08.png", "basn4a16.png", "s01i3p01.png", "s39n3p04.png"};
    for (const char *name : names) {
        SCOPED_TRACE(name);
        Bytes data = read_all(SUITE + "/" + name);
        ASSERT_FALSE(data.empty()) << name << " missing under " << SUITE;
        PngDecodeOptions options = {1, 0, 1};
        PngImage image;
        ASSERT_TRUE(png_decode(data.data(), data.size(), nullptr, &options, &image, nullptr));
        bool transparent = (name[0] == 't' && name[4] == '3') || name[4] == '4';
        EXPECT_EQ(image.channels, transparent ? 4u : 3u);
        EXPECT_EQ(image.rowbytes, size_t(image.width) * image.channels);
        free(image.pixels);
    }
}

} // namespace
