// libFuzzer target: any bytes through the texture loader's decode, raw and
// converted, then through the CPU side of the upload (stretch, alpha modes,
// mipmap chain, paletted path) into a stand-in that reads every byte handed
// to OpenGL, so the sanitizers see any read past a buffer.
#include "assets/png_internal.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>

static volatile unsigned sink;

static void touch(const void *bytes, size_t count) {
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    unsigned sum = 0;
    for (size_t i = 0; i < count; i++)
        sum += p[i];
    sink = sink + sum;
}

static void fake_tex_image(unsigned, int, int, int width, int height, int, unsigned format,
                           unsigned, const void *pixels) {
    size_t bytes = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
    touch(pixels, size_t(width) * size_t(height) * bytes);
}

static void fake_color_table(GLenum, GLenum, GLsizei count, GLenum, GLenum, const void *table) {
    touch(table, size_t(count) * 3);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    static PngGlSeam seam = {};
    seam.extensions = "GL_ARB_multitexture GL_EXT_paletted_texture";
    seam.version = "1.2 fuzz";
    seam.colorTable = reinterpret_cast<void *>(fake_color_table);
    seam.texImage = fake_tex_image;
    seam.maxTextureSize = 64; // small, so that big pictures take the stretch
    png_set_gl_seam(&seam);
    unsetenv("VIEWING_GAMMA");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The modes come from the length, so every seed stays a plain PNG.
    int trans = int(size % 11) - 3;
    int mipmap = int((size / 11) % 4) - 2;
    pngSetStandardOrientation(int((size / 44) % 2));

    PngImage image;
    PngDecodeOptions raw = {0, 0, 0};
    if (png_decode(data, size, nullptr, &raw, &image, nullptr)) {
        touch(image.pixels, image.rowbytes * image.height);
        free(image.pixels);
    }
    PngDecodeOptions texture = {1, 0, 1};
    if (png_decode(data, size, nullptr, &texture, &image, nullptr)) {
        touch(image.pixels, image.rowbytes * image.height);
        free(image.pixels);
    }
    if (size <= 0x7fffffff) {
        pngInfo info;
        pngLoadFromSource(data, int(size), mipmap, trans, &info, 0);
    }
    return 0;
}
