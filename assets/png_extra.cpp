// The texture loader's library side, which the game itself never calls: file
// entries, the raw decode, the mipmap builders, alpha made from colour and the
// setters. All of it runs on the decode path and module state of png.cpp.
#include "assets/png_internal.h"

#include <GL/gl.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

// ---- file entries ---------------------------------------------------------

int pngLoadF(FILE *file, int mipmap, int trans, pngInfo *info) {
    if (!file)
        return 0;
    return pngLoadFromSource(file, 0, mipmap, trans, info, 1);
}

int pngLoad(const char *filename, int mipmap, int trans, pngInfo *info) {
    if (!filename || !png_modes_valid(mipmap, trans))
        return 0;
    FILE *file = fopen(filename, "rb");
    if (!file)
        return 0;
    int ok = pngLoadF(file, mipmap, trans, info);
    if (fclose(file) != 0)
        ok = 0;
    return ok;
}

unsigned pngBindF(FILE *file, int mipmap, int trans, pngInfo *info, int wrapst, int minfilter,
                  int magfilter) {
    if (!file)
        return 0;
    return png_bind_source(file, 0, 1, mipmap, trans, info, wrapst, minfilter, magfilter);
}

// The file is opened before any texture is made, so one that does not open
// leaves OpenGL as it was.
unsigned pngBind(const char *filename, int mipmap, int trans, pngInfo *info, int wrapst,
                 int minfilter, int magfilter) {
    if (!filename || !png_modes_valid(mipmap, trans))
        return 0;
    FILE *file = fopen(filename, "rb");
    if (!file)
        return 0;
    unsigned name = pngBindF(file, mipmap, trans, info, wrapst, minfilter, magfilter);
    if (fclose(file) != 0 && name) {
        png_delete_texture(name);
        name = 0;
    }
    return name;
}

// ---- raw decode -----------------------------------------------------------

int pngLoadRawF(FILE *file, pngRawInfo *raw) {
    if (!raw)
        return 0;
    memset(raw, 0, sizeof *raw);
    if (!file)
        return 0;
    PngDecodeOptions options = {}; // samples as stored
    PngImage image;
    if (!png_decode(nullptr, 0, file, &options, &image, nullptr))
        return 0;
    unsigned char *palette = nullptr;
    if (image.file_color_type == PNG_COLOR_TYPE_PALETTE && image.palette_count > 0) {
        palette = static_cast<unsigned char *>(malloc(size_t(image.palette_count) * 3));
        if (!palette) {
            free(image.pixels);
            return 0;
        }
        memcpy(palette, image.palette, size_t(image.palette_count) * 3);
    }
    raw->Width = image.width;
    raw->Height = image.height;
    raw->Depth = image.depth;
    switch (image.file_color_type) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        raw->Components = 2;
        raw->Alpha = 8;
        break;
    case PNG_COLOR_TYPE_RGB:
        raw->Components = 3;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        raw->Components = 4;
        raw->Alpha = 8;
        break;
    default: // gray, and palette indices
        raw->Components = 1;
        break;
    }
    raw->Data = image.pixels;
    raw->Palette = palette;
    return 1;
}

int pngLoadRaw(const char *filename, pngRawInfo *raw) {
    if (!filename || !raw)
        return 0;
    FILE *file = fopen(filename, "rb");
    if (!file) {
        memset(raw, 0, sizeof *raw);
        return 0;
    }
    int ok = pngLoadRawF(file, raw);
    if (fclose(file) != 0 && ok) {
        free(raw->Data);
        free(raw->Palette);
        raw->Data = nullptr;
        raw->Palette = nullptr;
        ok = 0;
    }
    return ok;
}

// ---- alpha made from colour -----------------------------------------------

unsigned char DefaultAlphaCallback(unsigned char, unsigned char, unsigned char) {
    return 255;
}

static unsigned char mode_alpha(int trans, unsigned char r, unsigned char g, unsigned char b) {
    int s = r + g + b;
    int q = r * r + g * g + b * b;
    switch (trans) {
    case PNG_CALLBACK:
        return png_state.alphaCallback(r, g, b);
    case PNG_STENCIL:
        return r == png_state.stencil[0] && g == png_state.stencil[1] && b == png_state.stencil[2]
                   ? 0
                   : 255;
    case PNG_BLEND1:
        return s <= 255 ? s : 255;
    case PNG_BLEND2:
        return s <= 510 ? s / 2 : 255;
    case PNG_BLEND3:
        return s / 3;
    case PNG_BLEND4:
        return q <= 255 ? q : 255;
    case PNG_BLEND5:
        return q <= 510 ? q / 2 : 255;
    case PNG_BLEND6:
        return q <= 765 ? q / 3 : 255;
    case PNG_BLEND7:
        return q <= 65025 ? static_cast<unsigned char>(std::sqrt(double(q))) : 255;
    default:
        return 255;
    }
}

unsigned char *png_make_alpha(const unsigned char *rgb, unsigned width, unsigned height,
                              int trans) {
    size_t count = size_t(width) * height;
    unsigned char *rgba = static_cast<unsigned char *>(malloc(count * 4));
    if (!rgba)
        return nullptr;
    for (size_t i = 0; i < count; i++) {
        const unsigned char *in = rgb + i * 3;
        unsigned char *out = rgba + i * 4;
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = mode_alpha(trans, in[0], in[1], in[2]);
    }
    return rgba;
}

// ---- mipmaps --------------------------------------------------------------

int HalfSize(int components, int width, int height, const unsigned char *source,
             unsigned char *dest, int filter) {
    if (components <= 0 || width <= 0 || height <= 0 || !source || !dest)
        return 0;
    if (width == 1 && height == 1)
        return 0;
    size_t c = size_t(components);
    size_t stride = size_t(width) * c;
    // Each sample is written only after every sample it is made from was read,
    // and never ahead of them, so dest may be source.
    if (width >= 2 && height >= 2) {
        size_t halfWidth = size_t(width / 2), halfHeight = size_t(height / 2);
        for (size_t y = 0; y < halfHeight; y++) {
            for (size_t x = 0; x < halfWidth; x++) {
                const unsigned char *tl = source + 2 * y * stride + 2 * x * c;
                const unsigned char *bl = tl + stride;
                unsigned char *out = dest + (y * halfWidth + x) * c;
                for (size_t k = 0; k < c; k++)
                    out[k] = filter ? (tl[k] + tl[c + k] + bl[k] + bl[c + k]) >> 2 : tl[k];
            }
        }
    } else {
        // One row or one column: pairs of neighbours along it.
        size_t pairs = size_t(width >= 2 ? width / 2 : height / 2);
        for (size_t i = 0; i < pairs; i++) {
            const unsigned char *first = source + 2 * i * c;
            unsigned char *out = dest + i * c;
            for (size_t k = 0; k < c; k++)
                out[k] = filter ? (first[k] + first[c + k]) >> 1 : first[k];
        }
    }
    return 1;
}

int Build2DMipmaps(int components, int width, int height, unsigned format,
                   const unsigned char *data, int filter) {
    if (components <= 0 || width <= 0 || height <= 0 || !data)
        return 0;
    size_t halfWidth = size_t(width > 1 ? width / 2 : 1);
    size_t halfHeight = size_t(height > 1 ? height / 2 : 1);
    unsigned char *scratch =
        static_cast<unsigned char *>(malloc(halfWidth * halfHeight * size_t(components)));
    if (!scratch)
        return 0;
    png_tex_image(GL_TEXTURE_2D, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE, data);
    const unsigned char *source = data;
    int level = 0;
    while (HalfSize(components, width, height, source, scratch, filter)) {
        if (width > 1)
            width /= 2;
        if (height > 1)
            height /= 2;
        png_tex_image(GL_TEXTURE_2D, ++level, components, width, height, 0, format,
                      GL_UNSIGNED_BYTE, scratch);
        source = scratch; // later levels are halved in place
    }
    free(scratch);
    return 1;
}

// ---- setters --------------------------------------------------------------

void pngSetStencil(unsigned char red, unsigned char green, unsigned char blue) {
    png_state.stencil[0] = red;
    png_state.stencil[1] = green;
    png_state.stencil[2] = blue;
}

void pngSetAlphaCallback(pngAlphaCallback callback) {
    png_state.alphaCallback = callback ? callback : DefaultAlphaCallback;
}

void pngSetViewingGamma(double viewingGamma) {
    double screen = png_screen_gamma_for(viewingGamma);
    png_state.gammaExplicit = screen > 0;
    png_state.screenGamma = screen > 0 ? screen : 2.2;
}

void pngSetStandardOrientation(int standardOrientation) {
    png_state.StandardOrientation = standardOrientation;
}
