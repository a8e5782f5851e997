// What the texture loader's two files share, and the seams its tests and its
// fuzzer use: the one decode path (no OpenGL in it), the module state, and a
// stand-in for the OpenGL facts that Mesa cannot show (paletted textures).
#pragma once

#include "assets/png.h"

#include <cstddef>
#include <cstdint>

// A header may claim any size. A decode holds at most this many bytes of heap,
// counting libpng's own (its two row buffers above all, each as wide as the
// stored row or the widest pixel of the conversions), the pixels, their row
// table and what the upload adds (stretched copy, alpha, mipmap scratch). A
// picture that would need more is refused before its rows are decoded, as one
// whose memory cannot be had. The limit is 256 MiB of pixels, an RGBA texture
// of 8192 by 8192, and a MiB beside them for their table and libpng's rows.
const uint64_t PNG_MAX_DECODE_BYTES = uint64_t(257) << 20;
// Likewise for any chunk libpng keeps whole.
enum { PNG_MAX_CHUNK = 8000000 };

// The read position in a PNG held in memory, handed to libpng as its I/O pointer.
struct pngMemSource {
    const unsigned char *data;
    uint32_t offset; // the 8 signature bytes are taken before libpng is set up
    uint32_t size;
};

struct PngModuleState {
    double screenGamma;
    unsigned char gammaExplicit;
    int StandardOrientation;
    int MaxTextureSize;
    int PalettedTextures; // -1 not probed yet
    void *colorTable;     // glColorTableEXT
    const char *extensions;
    unsigned char stencil[3];
    pngAlphaCallback alphaCallback;
};
extern PngModuleState png_state;

// How the samples are laid out after decoding.
struct PngDecodeOptions {
    // 0: the samples in their stored layout and depth, the gamma rule applied
    // to them; 1: 8-bit RGB or RGBA (or palette indices)
    int convert;
    int keep_palette; // with convert: palette images stay one index byte per pixel
    int keep_alpha;   // with convert: an alpha channel, or a palette's transparency, gives RGBA
};

struct PngImage {
    unsigned width, height, depth; // from the header
    int file_color_type;
    int color_type; // after the conversions
    unsigned channels;
    size_t rowbytes;
    unsigned char *pixels; // rowbytes * height, the top row first unless StandardOrientation
    unsigned char palette[256 * 3];
    int palette_count; // palette images only, else 0
};

// Runs between the rows and the chunks after them (the upload); run may
// replace image->pixels. bytes says, from the header's facts (width, height,
// rowbytes), what run will hold beside the pixels, so that it counts against
// the limit before any row is decoded.
struct PngImageStep {
    int (*run)(PngImage *image, void *context);
    uint64_t (*bytes)(const PngImage *image, void *context);
    void *context;
};

// The one decode path: memory (file null) or an open file read from where it
// stands. 1 with image->pixels owned by the caller (free), or 0 with nothing held.
// The optional step runs once the rows are in, before the end chunks are checked.
int png_decode(const unsigned char *data, size_t size, FILE *file, const PngDecodeOptions *options,
               PngImage *image, const PngImageStep *step);

int png_modes_valid(int mipmap, int trans);
// The most the decode's own buffers hold at once: rows of rowbytes each, and
// beside them first their table of pointers, then what the step holds.
// UINT64_MAX when the count passes 64 bits.
uint64_t png_own_bytes(uint64_t rowbytes, uint64_t rows, uint64_t step_bytes);

// The texture-side operations, shared by the entries of both files.
unsigned SetParams(int wrapst, int magfilter, int minfilter);
int pngLoadFromSource(const void *source, int size, int mipmap, int trans, pngInfo *info,
                      int isFile);
void checkForGammaEnv();
// The screen gamma for a viewing gamma, 2.2 / v; 0 when v is not above 0 or
// gives a screen gamma libpng cannot hold, which counts as no value.
double png_screen_gamma_for(double viewing);
int SafeSize(int size);
void Resize(int components, const unsigned char *source, int sourceWidth, int sourceHeight,
            unsigned char *dest, int destWidth, int destHeight);
int ExtSupported(const char *name);
// SetParams, then pngLoadFromSource; a texture whose load fails is deleted.
unsigned png_bind_source(const void *source, int size, int isFile, int mipmap, int trans,
                         pngInfo *info, int wrapst, int minfilter, int magfilter);
void png_delete_texture(unsigned name);

// glTexImage2D, or the seam's stand-in.
void png_tex_image(unsigned target, int level, int internalFormat, int width, int height,
                   int border, unsigned format, unsigned type, const void *pixels);

// r, g, b pixels to r, g, b, a by an alpha-generation mode; null when the
// buffer cannot be had.
unsigned char *png_make_alpha(const unsigned char *rgb, unsigned width, unsigned height, int trans);

// Test seam. Fields left 0 or null are asked of OpenGL as usual.
typedef void (*PngTexImageFn)(unsigned target, int level, int internalFormat, int width, int height,
                              int border, unsigned format, unsigned type, const void *pixels);
struct PngGlSeam {
    const char *extensions; // stands in for GL_EXTENSIONS
    const char *version;    // stands in for GL_VERSION
    void *colorTable;       // stands in for the looked-up glColorTableEXT
    PngTexImageFn texImage; // stands in for glTexImage2D
    int maxTextureSize;     // stands in for GL_MAX_TEXTURE_SIZE
};
// Installs the seam (null removes it) and forgets what the probes found, so
// the next decode probes again.
void png_set_gl_seam(const PngGlSeam *seam);
