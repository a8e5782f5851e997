// libpng's error path is a longjmp back into png_write_image; nothing with a destructor
// lives between the setjmp and the calls that may jump.
#include "pngout.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool png_write_image(const std::string &path, const Image &img) {
    std::vector<uint8_t> data = img.bytes();
    std::vector<png_bytep> rows(img.h);
    for (int y = 0; y < img.h; ++y)
        rows[y] = data.data() + (size_t)y * img.w * img.channels;

    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "texgen: cannot open %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        std::fprintf(stderr, "texgen: cannot write %s\n", path.c_str());
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 6);
    png_set_compression_strategy(png, 0); // Z_DEFAULT_STRATEGY
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_IHDR(png, info, img.w, img.h, 8,
                 img.channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    bool ok = std::fclose(f) == 0;
    if (!ok)
        std::fprintf(stderr, "texgen: cannot finish %s\n", path.c_str());
    return ok;
}
