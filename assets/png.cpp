// PNG bytes to an OpenGL texture: the one decode path every entry shares, the
// gamma and size rules, and the upload. Decoding never touches OpenGL, so tests
// and the fuzzer run it without a window; the upload is a step handed to it.
#include "assets/png_internal.h"

#include "platform/platform.h"

#include <GL/gl.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#ifndef GL_COLOR_INDEX1_EXT
#define GL_COLOR_INDEX1_EXT 0x80E2
#define GL_COLOR_INDEX2_EXT 0x80E3
#define GL_COLOR_INDEX4_EXT 0x80E4
#define GL_COLOR_INDEX8_EXT 0x80E5
#define GL_COLOR_INDEX12_EXT 0x80E6
#define GL_COLOR_INDEX16_EXT 0x80E7
#endif

typedef void (*ColorTableFn)(GLenum target, GLenum internalFormat, GLsizei width, GLenum format,
                             GLenum type, const void *table);

static const double DEFAULT_SCREEN_GAMMA = 2.2;
// The double nearest to 1 / 2.2: a file without gamma information is taken
// to be made for the default screen, so it passes unchanged.
static const double DEFAULT_FILE_GAMMA = 0.45454545454545453;

PngModuleState png_state = {
    DEFAULT_SCREEN_GAMMA, 0, 0, 0, -1, nullptr, nullptr, {0, 0, 0}, DefaultAlphaCallback,
};

static PngGlSeam seam;
static int seam_on;

void png_set_gl_seam(const PngGlSeam *s) {
    seam_on = s != nullptr;
    seam = s ? *s : PngGlSeam{};
    png_state.MaxTextureSize = 0;
    png_state.PalettedTextures = -1;
    png_state.colorTable = nullptr;
    png_state.extensions = nullptr;
}

int png_modes_valid(int mipmap, int trans) {
    return mipmap >= PNG_SIMPLEMIPMAPS && trans >= PNG_CALLBACK && trans <= PNG_BLEND7;
}

// ---- gamma ----------------------------------------------------------------

// libpng keeps gammas in 32-bit fixed point, in units of 1/100000, and its
// floating-point entry takes any value of 128 or more for such units already;
// so the loader converts them itself. 0 when the gamma has no such form.
static png_fixed_point gamma_units(double gamma) {
    if (!(gamma >= 0.00001))
        return 0;
    double units = std::floor(gamma * PNG_FP_1 + 0.5);
    return units <= PNG_UINT_31_MAX ? png_fixed_point(units) : 0;
}

double png_screen_gamma_for(double viewing) {
    if (!(viewing > 0))
        return 0;
    double screen = DEFAULT_SCREEN_GAMMA / viewing;
    return gamma_units(screen) ? screen : 0;
}

void checkForGammaEnv() {
    if (png_state.gammaExplicit)
        return;
    const char *text = getenv("VIEWING_GAMMA");
    if (!text)
        return;
    double viewing = 0, screen = 0;
    if (sscanf(text, "%lf", &viewing) == 1)
        screen = png_screen_gamma_for(viewing);
    png_state.screenGamma = screen > 0 ? screen : DEFAULT_SCREEN_GAMMA;
}

// libpng raises each sample to 1 / (file gamma x screen gamma), so only the
// product matters. Since 1.6.47 it declines either gamma below 0.01 or above
// 100 (in its fixed point: 1000 and 10000000) and then applies none at all.
// A pair outside that range goes to libpng as a pair inside it with the same
// product: gamma 1 for the file where the screen can take the rest, else the
// product split evenly. A product past what two such gammas make (an
// exponent above 10000 or below 1/10000) is already all 0 or 255 for 8-bit
// results, as the nearest product they make gives.
static void set_gamma(png_structp png, png_fixed_point screen, png_fixed_point file) {
    const int64_t lowest = 1000, highest = 10000000;
    if (screen < lowest || screen > highest || file < lowest || file > highest) {
        // In units of 1/10^10.
        int64_t product = int64_t(screen) * file;
        product = std::min(std::max(product, lowest * lowest), highest * highest);
        if (product >= lowest * PNG_FP_1 && product <= highest * PNG_FP_1) {
            file = PNG_FP_1;
        } else {
            double even = std::floor(std::sqrt(double(product)) + 0.5);
            file = png_fixed_point(std::min(std::max(int64_t(even), lowest), highest));
        }
        double rest = std::floor(double(product) / file + 0.5);
        screen = png_fixed_point(std::min(std::max(int64_t(rest), lowest), highest));
    }
    png_set_gamma_fixed(png, screen, file);
}

// ---- decoding -------------------------------------------------------------

// Byte counts that stop at UINT64_MAX instead of wrapping.
static uint64_t bytes_times(uint64_t a, uint64_t b) {
    return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b;
}

static uint64_t bytes_plus(uint64_t a, uint64_t b) {
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

uint64_t png_own_bytes(uint64_t rowbytes, uint64_t rows, uint64_t step_bytes) {
    uint64_t table = bytes_times(rows, sizeof(png_bytep));
    return bytes_plus(bytes_times(rowbytes, rows), table > step_bytes ? table : step_bytes);
}

static void pngReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    pngMemSource *source = static_cast<pngMemSource *>(png_get_io_ptr(png));
    if (length > source->size - source->offset)
        png_error(png, "PNG data end early");
    memcpy(out, source->data + source->offset, length);
    source->offset += static_cast<uint32_t>(length);
}

// What one decode holds. It lives in png_decode's frame, outside the frame
// that libpng's error jump returns to, so nothing in it is lost by the jump.
struct DecodeJob {
    png_structp png;
    png_infop info;
    png_infop end;
    png_bytep *rows;
    pngMemSource memory;
    FILE *file;
    const PngDecodeOptions *options;
    PngImage *image;
    const PngImageStep *step;
    uint64_t libpng_bytes;  // what libpng holds now
    uint64_t libpng_budget; // what it may hold beside the decode's own buffers
};

// libpng takes all its memory here, so that it counts against the limit: its
// row buffers are sized only inside png_read_update_info, from the conversions.
// A refused block fails the decode through libpng's error jump. Each block
// carries its size in front.
struct alignas(std::max_align_t) BlockHead {
    size_t size;
};

static png_voidp decode_malloc(png_structp png, png_alloc_size_t size) {
    DecodeJob *job = static_cast<DecodeJob *>(png_get_mem_ptr(png));
    uint64_t block = bytes_plus(size, sizeof(BlockHead));
    // The budget is never set below what libpng holds.
    if (block > job->libpng_budget - job->libpng_bytes)
        return nullptr;
    BlockHead *head = static_cast<BlockHead *>(malloc(size_t(block)));
    if (!head)
        return nullptr;
    head->size = size_t(block);
    job->libpng_bytes += block;
    return head + 1;
}

static void decode_free(png_structp png, png_voidp block) {
    if (!block)
        return;
    DecodeJob *job = static_cast<DecodeJob *>(png_get_mem_ptr(png));
    BlockHead *head = static_cast<BlockHead *>(block) - 1;
    job->libpng_bytes -= head->size;
    free(head);
}

// Asks libpng for the texture layout: 8-bit RGB or RGBA, or one index byte
// per pixel for a palette that stays a palette. A transparency chunk counts
// only for palettes: gray and RGB pictures stay RGB whatever theirs says.
// Returns the bytes per pixel that the layout will have.
static unsigned set_conversions(DecodeJob *job, int color_type, int depth) {
    png_structp png = job->png;
    const PngDecodeOptions *options = job->options;
    if (depth == 16)
        png_set_strip_16(png);
    if (color_type == PNG_COLOR_TYPE_GRAY || color_type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if ((color_type & PNG_COLOR_MASK_ALPHA) && !options->keep_alpha)
        png_set_strip_alpha(png);
    int expanded = 0;
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        if (options->keep_palette) {
            if (depth < 8)
                png_set_packing(png);
            return 1;
        }
        png_set_expand(png);
        expanded = 1;
    }
    int alpha = options->keep_alpha && (color_type & PNG_COLOR_MASK_ALPHA);
    if (expanded && png_get_valid(png, job->info, PNG_INFO_tRNS)) {
        if (options->keep_alpha)
            png_set_tRNS_to_alpha(png);
        else
            png_set_strip_alpha(png); // the expansion made alpha that nobody asked for
        alpha = options->keep_alpha;
    }
    return alpha ? 4 : 3;
}

static int layout_expected(const PngImage *image, const PngDecodeOptions *options) {
    if (!options->convert)
        return 1;
    if (image->rowbytes != size_t(image->width) * image->channels)
        return 0;
    if (image->color_type == PNG_COLOR_TYPE_PALETTE)
        return options->keep_palette && image->channels == 1;
    if (image->color_type == PNG_COLOR_TYPE_RGB)
        return image->channels == 3;
    if (image->color_type == PNG_COLOR_TYPE_RGB_ALPHA)
        return options->keep_alpha && image->channels == 4;
    return 0;
}

// Holds no object with a destructor: libpng's error jump lands here.
static int decode_steps(DecodeJob *job) {
    png_structp png = job->png;
    png_infop info = job->info;
    PngImage *image = job->image;
    if (setjmp(png_jmpbuf(png)))
        return 0;

    if (job->file)
        png_init_io(png, job->file);
    else
        png_set_read_fn(png, &job->memory, pngReadFromMemory);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32 // only where libpng is built with the switch
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    png_set_sig_bytes(png, 8);
    // libpng's own cap on the sides is lifted: the bytes of the rows decide.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png, PNG_MAX_CHUNK);
    // libpng reads these whole into memory of the size their length claims,
    // and the texture needs none of them: skipped, they cost no memory.
    static const png_byte unused_chunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0pCAL\0sCAL\0eXIf";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unused_chunks,
                                int(sizeof unused_chunks / 5));
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, color_type = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &color_type, nullptr, nullptr, nullptr);
    image->width = width;
    image->height = height;
    image->depth = depth;
    image->file_color_type = color_type;

    unsigned pixel_bytes = 0;
    if (job->options->convert)
        pixel_bytes = set_conversions(job, color_type, depth);

    checkForGammaEnv();
    png_fixed_point file_gamma = gamma_units(DEFAULT_FILE_GAMMA);
    png_get_gAMA_fixed(png, info, &file_gamma); // read in fixed point, kept so
    set_gamma(png, gamma_units(png_state.screenGamma), file_gamma);

    png_set_interlace_handling(png); // interlaced images are read whole
    // Counted before png_read_update_info, where libpng takes its row buffers
    // from what the decode's own buffers leave of the limit.
    uint64_t rowbytes =
        job->options->convert ? uint64_t(width) * pixel_bytes : png_get_rowbytes(png, info);
    image->rowbytes = size_t(rowbytes);
    uint64_t step_bytes =
        job->step && job->step->bytes ? job->step->bytes(image, job->step->context) : 0;
    uint64_t own = png_own_bytes(rowbytes, height, step_bytes);
    if (own > PNG_MAX_DECODE_BYTES || job->libpng_bytes > PNG_MAX_DECODE_BYTES - own)
        return 0;
    job->libpng_budget = PNG_MAX_DECODE_BYTES - own;
    png_read_update_info(png, info);
    // What libpng still takes once reading starts (the inflate window, a read
    // buffer) is small; a picture that leaves it less is refused here, before
    // its rows are allocated, rather than midway.
    const uint64_t reading_reserve = 64 << 10;
    if (job->libpng_budget - job->libpng_bytes < reading_reserve)
        return 0;
    image->color_type = png_get_color_type(png, info);
    image->channels = png_get_channels(png, info);
    image->rowbytes = png_get_rowbytes(png, info);
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        // Taken after the update, which applies the gamma to the palette.
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) && count > 0 && count <= 256) {
            memcpy(image->palette, palette, size_t(count) * 3);
            image->palette_count = count;
        }
    }
    if (job->options->convert && png_get_bit_depth(png, info) != 8)
        return 0;
    if (image->rowbytes != rowbytes || !layout_expected(image, job->options) || rowbytes == 0)
        return 0;

    // Zeroed: libpng leaves the bits past a row's last sub-byte pixel as it
    // finds them, and raw rows go to the caller as they are.
    image->pixels = static_cast<unsigned char *>(calloc(height, image->rowbytes));
    job->rows = static_cast<png_bytep *>(malloc(sizeof(png_bytep) * height));
    if (!image->pixels || !job->rows)
        return 0;
    for (png_uint_32 i = 0; i < height; i++) {
        png_uint_32 slot = png_state.StandardOrientation ? height - 1 - i : i;
        job->rows[slot] = image->pixels + image->rowbytes * i;
    }
    png_read_image(png, job->rows);
    free(job->rows);
    job->rows = nullptr;

    if (job->step && !job->step->run(image, job->step->context))
        return 0;
    png_read_end(png, job->end);
    return 1;
}

int png_decode(const unsigned char *data, size_t size, FILE *file, const PngDecodeOptions *options,
               PngImage *image, const PngImageStep *step) {
    memset(image, 0, sizeof *image);
    unsigned char signature[8];
    if (file) {
        if (fread(signature, 1, 8, file) != 8)
            return 0;
    } else {
        if (!data || size < 8 || size > UINT32_MAX)
            return 0;
        memcpy(signature, data, 8);
    }
    if (png_sig_cmp(signature, 0, 8) != 0)
        return 0;

    DecodeJob job = {};
    job.memory = pngMemSource{data, 8, static_cast<uint32_t>(size)};
    job.file = file;
    job.options = options;
    job.image = image;
    job.step = step;
    job.libpng_budget = PNG_MAX_DECODE_BYTES;
    // No error function: libpng's own handlers write its texts to standard error.
    job.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, &job,
                                       decode_malloc, decode_free);
    if (job.png) {
        job.info = png_create_info_struct(job.png);
        job.end = png_create_info_struct(job.png);
    }
    int ok = job.png && job.info && job.end && decode_steps(&job);

    free(job.rows);
    if (job.png)
        png_destroy_read_struct(&job.png, &job.info, &job.end);
    if (!ok) {
        free(image->pixels);
        image->pixels = nullptr;
    }
    return ok;
}

// ---- OpenGL facts, asked once ---------------------------------------------

static const char *gl_string(GLenum name) {
    if (seam_on && name == GL_EXTENSIONS && seam.extensions)
        return seam.extensions;
    if (seam_on && name == GL_VERSION && seam.version)
        return seam.version;
    return reinterpret_cast<const char *>(glGetString(name));
}

int ExtSupported(const char *name) {
    if (!name || !*name)
        return 0;
    if (!png_state.extensions)
        png_state.extensions = gl_string(GL_EXTENSIONS); // stays null without a context
    const char *text = png_state.extensions;
    if (!text)
        return 0;
    size_t length = strlen(name);
    for (const char *at = text; *at; at++) {
        if (strncmp(at, name, length) == 0 && (at[length] == ' ' || at[length] == '\0'))
            return 1;
    }
    return 0;
}

static void probe_gl() {
    if (png_state.MaxTextureSize == 0) {
        if (seam_on && seam.maxTextureSize > 0) {
            png_state.MaxTextureSize = seam.maxTextureSize;
        } else {
            GLint size = 0;
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
            png_state.MaxTextureSize = size;
        }
    }
    if (png_state.PalettedTextures == -1) {
        const char *version = nullptr;
        int listed = ExtSupported("GL_EXT_paletted_texture");
        if (!png_state.extensions) // no context yet: ask again on a later decode
            return;
        if (listed)
            version = gl_string(GL_VERSION);
        png_state.PalettedTextures = listed && !(version && strstr(version, "1.1.0 3Dfx Beta"));
    }
    if (png_state.PalettedTextures != 0 && !png_state.colorTable) {
        png_state.colorTable = seam_on && seam.extensions
                                   ? seam.colorTable
                                   : platform_gl_proc_address("glColorTableEXT");
        if (!png_state.colorTable)
            png_state.PalettedTextures = 0;
    }
}

// ---- size rule ------------------------------------------------------------

int SafeSize(int size) {
    if (size > png_state.MaxTextureSize)
        return png_state.MaxTextureSize;
    for (int p = 0; p <= 23; p++) {
        if ((1 << p) >= size)
            return 1 << p;
    }
    return png_state.MaxTextureSize;
}

void Resize(int components, const unsigned char *source, int sourceWidth, int sourceHeight,
            unsigned char *dest, int destWidth, int destHeight) {
    if (components <= 0 || sourceWidth <= 0 || sourceHeight <= 0 || destWidth <= 0 ||
        destHeight <= 0)
        return;
    float xStep = float(double(sourceWidth) / destWidth);
    float yStep = float(double(sourceHeight) / destHeight);
    size_t pixel = size_t(components);
    for (int y = 0; y < destHeight; y++) {
        int sy = int(double(y) * yStep);
        if (sy >= sourceHeight) // float rounding on very tall images
            sy = sourceHeight - 1;
        const unsigned char *row = source + size_t(sy) * sourceWidth * pixel;
        for (int x = 0; x < destWidth; x++) {
            int sx = int(double(x) * xStep);
            if (sx >= sourceWidth)
                sx = sourceWidth - 1;
            memcpy(dest, row + size_t(sx) * pixel, pixel);
            dest += pixel;
        }
    }
}

// ---- upload ---------------------------------------------------------------

void png_tex_image(unsigned target, int level, int internalFormat, int width, int height,
                   int border, unsigned format, unsigned type, const void *pixels) {
    if (seam_on && seam.texImage)
        seam.texImage(target, level, internalFormat, width, height, border, format, type, pixels);
    else
        glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

static GLenum index_format(int count) {
    switch (count) {
    case 2:
        return GL_COLOR_INDEX1_EXT;
    case 4:
        return GL_COLOR_INDEX2_EXT;
    case 16:
        return GL_COLOR_INDEX4_EXT;
    case 256:
        return GL_COLOR_INDEX8_EXT;
    case 4096:
        return GL_COLOR_INDEX12_EXT;
    case 65536:
        return GL_COLOR_INDEX16_EXT;
    default:
        return 0;
    }
}

// One level, or the whole chain, as the mipmap mode asks.
static int upload_levels(int components, int width, int height, GLenum format,
                         const unsigned char *pixels, int mipmap) {
    if (mipmap == PNG_BUILDMIPMAPS || mipmap == PNG_SIMPLEMIPMAPS)
        return Build2DMipmaps(components, width, height, format, pixels,
                              mipmap == PNG_BUILDMIPMAPS);
    png_tex_image(GL_TEXTURE_2D, mipmap, components, width, height, 0, format, GL_UNSIGNED_BYTE,
                  pixels);
    return 1;
}

static int upload_paletted(const PngImage *image, const unsigned char *pixels, int width,
                           int height, int mipmap) {
    GLenum format = index_format(image->palette_count);
    if (!format)
        return 0;
    reinterpret_cast<ColorTableFn>(png_state.colorTable)(
        GL_TEXTURE_2D, GL_RGB8, image->palette_count, GL_RGB, GL_UNSIGNED_BYTE, image->palette);
    png_tex_image(GL_TEXTURE_2D, mipmap, format, width, height, 0, GL_COLOR_INDEX, GL_UNSIGNED_BYTE,
                  pixels);
    return 1;
}

struct UploadJob {
    int mipmap;
    int trans;
    pngInfo *info;
};

static int upload_formats(const PngImage *image, const unsigned char *pixels, int width, int height,
                          const UploadJob *job) {
    if (image->color_type == PNG_COLOR_TYPE_PALETTE) {
        if (job->info)
            job->info->Alpha = 0;
        return upload_paletted(image, pixels, width, height, job->mipmap);
    }
    if (job->trans != PNG_SOLID && job->trans != PNG_ALPHA) {
        unsigned char *rgba = png_make_alpha(pixels, unsigned(width), unsigned(height), job->trans);
        if (!rgba)
            return 0;
        if (job->info)
            job->info->Alpha = 8;
        int ok = upload_levels(4, width, height, GL_RGBA, rgba, job->mipmap);
        free(rgba);
        return ok;
    }
    int components = int(image->channels);
    if (job->info)
        job->info->Alpha = components == 4 ? 8 : 0;
    return upload_levels(components, width, height, components == 4 ? GL_RGBA : GL_RGB, pixels,
                         job->mipmap);
}

static uint64_t halved(uint64_t side) {
    return side > 1 ? side / 2 : 1;
}

// What upload_step holds beside the pixels: the stretched copy, the copy with
// alpha made from colour, and the mipmap builder's scratch.
static uint64_t upload_bytes(const PngImage *image, void *context) {
    const UploadJob *job = static_cast<const UploadJob *>(context);
    if (png_state.MaxTextureSize <= 0) // nothing will be uploaded
        return 0;
    uint64_t width = uint64_t(SafeSize(int(image->width)));
    uint64_t height = uint64_t(SafeSize(int(image->height)));
    uint64_t components = image->rowbytes / image->width;
    uint64_t bytes = 0;
    if (width != image->width || height != image->height)
        bytes = bytes_times(bytes_times(width, height), components);
    if (job->trans != PNG_SOLID && job->trans != PNG_ALPHA) {
        components = 4;
        bytes = bytes_plus(bytes, bytes_times(bytes_times(width, height), components));
    }
    if (job->mipmap == PNG_BUILDMIPMAPS || job->mipmap == PNG_SIMPLEMIPMAPS)
        bytes =
            bytes_plus(bytes, bytes_times(bytes_times(halved(width), halved(height)), components));
    return bytes;
}

// Runs inside the decode, once the rows are in.
static int upload_step(PngImage *image, void *context) {
    const UploadJob *job = static_cast<const UploadJob *>(context);
    if (png_state.MaxTextureSize <= 0) // no OpenGL context to upload into
        return 0;
    int width = int(image->width), height = int(image->height);
    int newWidth = SafeSize(width), newHeight = SafeSize(height);
    unsigned char *stretched = nullptr;
    if (newWidth != width || newHeight != height) {
        int components = int(image->rowbytes / image->width);
        stretched = static_cast<unsigned char *>(
            malloc(size_t(newWidth) * size_t(newHeight) * size_t(components)));
        if (!stretched)
            return 0;
        Resize(components, image->pixels, width, height, stretched, newWidth, newHeight);
    }

    // Rows of RGB or index bytes are seldom a multiple of 4 bytes long.
    GLint pack = 4, unpack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    int ok = upload_formats(image, stretched ? stretched : image->pixels, newWidth, newHeight, job);
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
    free(stretched);
    return ok;
}

int pngLoadFromSource(const void *source, int size, int mipmap, int trans, pngInfo *info,
                      int isFile) {
    if (!source || !png_modes_valid(mipmap, trans))
        return 0;
    if (!isFile && size < 8)
        return 0;
    probe_gl();
    PngDecodeOptions options = {};
    options.convert = 1;
    options.keep_alpha = trans == PNG_ALPHA;
    options.keep_palette = png_state.PalettedTextures == 1 && mipmap >= 0 && trans == PNG_SOLID;
    UploadJob job = {mipmap, trans, info};
    PngImageStep upload = {upload_step, upload_bytes, &job};
    if (info)
        memset(info, 0, sizeof *info);
    // The header's facts go to the record even when the decode fails later.
    PngImage image;
    int ok;
    if (isFile) {
        ok = png_decode(nullptr, 0, static_cast<FILE *>(const_cast<void *>(source)), &options,
                        &image, &upload);
    } else {
        ok = png_decode(static_cast<const unsigned char *>(source), size_t(size), nullptr, &options,
                        &image, &upload);
    }
    if (info) {
        info->Width = image.width;
        info->Height = image.height;
        info->Depth = image.depth;
    }
    free(image.pixels);
    return ok;
}

unsigned SetParams(int wrapst, int magfilter, int minfilter) {
    GLuint name = 0;
    glGenTextures(1, &name);
    if (!name)
        return 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapst);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapst);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magfilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minfilter);
    return name;
}

void png_delete_texture(unsigned name) {
    GLuint dead = name;
    glDeleteTextures(1, &dead);
}

unsigned png_bind_source(const void *source, int size, int isFile, int mipmap, int trans,
                         pngInfo *info, int wrapst, int minfilter, int magfilter) {
    if (!png_modes_valid(mipmap, trans))
        return 0;
    unsigned name = SetParams(wrapst, magfilter, minfilter);
    if (!name)
        return 0;
    if (!pngLoadFromSource(source, size, mipmap, trans, info, isFile)) {
        png_delete_texture(name); // a texture the caller never hears of would only leak
        return 0;
    }
    return name;
}

unsigned pngBindMem(const void *data, int size, int mipmap, int trans, pngInfo *info, int wrapst,
                    int minfilter, int magfilter) {
    return png_bind_source(data, size, 0, mipmap, trans, info, wrapst, minfilter, magfilter);
}
