// The upload side without a window: a stand-in for glTexImage2D (and for the
// paletted-texture extension Mesa lacks) records what would reach OpenGL.
// Formats, stretch, alpha modes, mipmap chains and the paletted path.
#include "assets/png_internal.h"
#include "png_maker.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>

namespace {

struct TexCall {
    int level, internal, width, height;
    unsigned format;
    Bytes pixels;
};

struct CallLog {
    std::vector<TexCall> tex;
    std::vector<std::string> order;
    int table_count = 0;
    unsigned table_internal = 0, table_format = 0;
    Bytes table;
} g_log;

size_t bytes_per_pixel(unsigned format) {
    return format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
}

void capture_tex(unsigned target, int level, int internal, int width, int height, int border,
                 unsigned format, unsigned type, const void *pixels) {
    EXPECT_EQ(target, unsigned(GL_TEXTURE_2D));
    EXPECT_EQ(border, 0);
    EXPECT_EQ(type, unsigned(GL_UNSIGNED_BYTE));
    const unsigned char *p = static_cast<const unsigned char *>(pixels);
    g_log.tex.push_back({level, internal, width, height, format,
                         Bytes(p, p + size_t(width) * height * bytes_per_pixel(format))});
    g_log.order.push_back("texImage");
}

void capture_table(GLenum target, GLenum internal, GLsizei count, GLenum format, GLenum type,
                   const void *table) {
    EXPECT_EQ(target, unsigned(GL_TEXTURE_2D));
    EXPECT_EQ(type, unsigned(GL_UNSIGNED_BYTE));
    g_log.table_count = count;
    g_log.table_internal = internal;
    g_log.table_format = format;
    const unsigned char *p = static_cast<const unsigned char *>(table);
    g_log.table.assign(p, p + size_t(count) * 3);
    g_log.order.push_back("colorTable");
}

class Upload : public ::testing::Test {
  protected:
    void SetUp() override { install(4096, false); }
    void TearDown() override {
        png_set_gl_seam(nullptr);
        pngSetStandardOrientation(0);
        pngSetAlphaCallback(nullptr);
        pngSetStencil(0, 0, 0);
    }
    void install(int max_size, bool paletted, const char *version = "1.2 test") {
        g_log = CallLog();
        seam = PngGlSeam{};
        seam.texImage = capture_tex;
        seam.maxTextureSize = max_size;
        if (paletted) {
            seam.extensions = "GL_ARB_multitexture GL_EXT_paletted_texture GL_EXT_texture";
            seam.version = version;
            seam.colorTable = reinterpret_cast<void *>(capture_table);
        }
        png_set_gl_seam(&seam);
    }
    int load(const Bytes &png, int mipmap, int trans, pngInfo *info = nullptr) {
        g_log = CallLog();
        return pngLoadFromSource(png.data(), int(png.size()), mipmap, trans, info, 0);
    }
    PngGlSeam seam{};
};

PngSpec rgb_spec(int width, int height, int color_type = PNG_COLOR_TYPE_RGB) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.color_type = color_type;
    spec.samples = fill_samples(spec, 0);
    int channels = channels_of(color_type);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            for (int c = 0; c < channels; c++)
                spec.samples[(size_t(y) * width + x) * channels + c] = c == 0   ? x & 255
                                                                       : c == 1 ? y & 255
                                                                       : c == 2 ? (x ^ y) & 255
                                                                                : 200;
    return spec;
}

Bytes samples_as_bytes(const PngSpec &spec) {
    return Bytes(spec.samples.begin(), spec.samples.end());
}

TEST_F(Upload, FormatsFollowTheDecodedLayout) {
    PngSpec rgba = rgb_spec(256, 256, PNG_COLOR_TYPE_RGB_ALPHA);
    pngInfo info;
    ASSERT_EQ(load(make_png(rgba), PNG_NOMIPMAPS, PNG_ALPHA, &info), 1);
    ASSERT_EQ(g_log.tex.size(), 1u);
    EXPECT_EQ(g_log.tex[0].level, 0);
    EXPECT_EQ(g_log.tex[0].internal, 4);
    EXPECT_EQ(g_log.tex[0].format, unsigned(GL_RGBA));
    EXPECT_EQ(g_log.tex[0].pixels, samples_as_bytes(rgba)); // top row first
    EXPECT_EQ(info.Width, 256u);
    EXPECT_EQ(info.Height, 256u);
    EXPECT_EQ(info.Depth, 8u);
    EXPECT_EQ(info.Alpha, 8u);

    PngSpec strip = rgb_spec(1, 64); // like the island height map
    ASSERT_EQ(load(make_png(strip), 2, PNG_ALPHA, &info), 1);
    ASSERT_EQ(g_log.tex.size(), 1u);
    EXPECT_EQ(g_log.tex[0].level, 2);
    EXPECT_EQ(g_log.tex[0].internal, 3);
    EXPECT_EQ(g_log.tex[0].format, unsigned(GL_RGB));
    EXPECT_EQ(g_log.tex[0].width, 1);
    EXPECT_EQ(g_log.tex[0].height, 64);
    EXPECT_EQ(g_log.tex[0].pixels, samples_as_bytes(strip));
    EXPECT_EQ(info.Alpha, 0u);

    // The image's own alpha is dropped for PNG_SOLID.
    ASSERT_EQ(load(make_png(rgba), PNG_NOMIPMAPS, PNG_SOLID, &info), 1);
    EXPECT_EQ(g_log.tex[0].format, unsigned(GL_RGB));
    EXPECT_EQ(info.Alpha, 0u);

    PngSpec gray;
    gray.width = 2;
    gray.color_type = PNG_COLOR_TYPE_GRAY;
    gray.samples = {9, 250};
    ASSERT_EQ(load(make_png(gray), PNG_NOMIPMAPS, PNG_ALPHA, &info), 1);
    EXPECT_EQ(g_log.tex[0].format, unsigned(GL_RGB));
    EXPECT_EQ(g_log.tex[0].pixels, (Bytes{9, 9, 9, 250, 250, 250}));
}

// With PNG_ALPHA only an alpha channel or a palette's transparency chunk
// gives an RGBA texture; gray and RGB pictures upload as RGB, chunk or not.
TEST_F(Upload, TransparencyChunkGivesAlphaOnlyToPalettes) {
    struct Case {
        int color_type;
        std::vector<unsigned> samples, trns_color;
        Bytes trns_alpha;
        int components;
        unsigned alpha;
        Bytes pixels;
    };
    const Case cases[] = {
        {PNG_COLOR_TYPE_GRAY, {7, 200}, {7}, {}, 3, 0, {7, 7, 7, 200, 200, 200}},
        {PNG_COLOR_TYPE_RGB, {1, 2, 3, 4, 5, 6}, {1, 2, 3}, {}, 3, 0, {1, 2, 3, 4, 5, 6}},
        {PNG_COLOR_TYPE_PALETTE, {0, 1}, {}, {0}, 4, 8, {10, 20, 30, 0, 40, 50, 60, 255}},
        {PNG_COLOR_TYPE_PALETTE, {0, 1}, {}, {}, 3, 0, {10, 20, 30, 40, 50, 60}},
        {PNG_COLOR_TYPE_GRAY_ALPHA,
         {9, 100, 250, 0},
         {},
         {},
         4,
         8,
         {9, 9, 9, 100, 250, 250, 250, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "colour type " << c.color_type);
        PngSpec spec;
        spec.width = 2;
        spec.color_type = c.color_type;
        spec.samples = c.samples;
        spec.trns_color = c.trns_color;
        spec.trns_alpha = c.trns_alpha;
        if (c.color_type == PNG_COLOR_TYPE_PALETTE)
            spec.palette = {10, 20, 30, 40, 50, 60};
        pngInfo info;
        ASSERT_EQ(load(make_png(spec), PNG_NOMIPMAPS, PNG_ALPHA, &info), 1);
        ASSERT_EQ(g_log.tex.size(), 1u);
        EXPECT_EQ(g_log.tex[0].internal, c.components);
        EXPECT_EQ(g_log.tex[0].format, unsigned(c.components == 4 ? GL_RGBA : GL_RGB));
        EXPECT_EQ(g_log.tex[0].pixels, c.pixels);
        EXPECT_EQ(info.Alpha, c.alpha);
    }
}

TEST_F(Upload, StandardOrientationUploadsTheBottomRowFirst) {
    PngSpec spec = rgb_spec(2, 4);
    pngSetStandardOrientation(1);
    ASSERT_EQ(load(make_png(spec), PNG_NOMIPMAPS, PNG_SOLID), 1);
    const Bytes &p = g_log.tex.at(0).pixels;
    for (int row = 0; row < 4; row++)
        EXPECT_EQ(p[row * 6 + 1], 3 - row); // green holds the source row
}

TEST_F(Upload, SafeSizeRoundsUpToPowersOfTwoWithinTheLimit) {
    install(4096, false);
    load(make_png(rgb_spec(1, 1)), 0, PNG_SOLID); // probes the limit
    EXPECT_EQ(SafeSize(0), 1);
    EXPECT_EQ(SafeSize(1), 1);
    EXPECT_EQ(SafeSize(3), 4);
    EXPECT_EQ(SafeSize(64), 64);
    EXPECT_EQ(SafeSize(65), 128);
    EXPECT_EQ(SafeSize(4096), 4096);
    EXPECT_EQ(SafeSize(4097), 4096);
    install(1 << 24, false);
    load(make_png(rgb_spec(1, 1)), 0, PNG_SOLID);
    EXPECT_EQ(SafeSize((1 << 23) + 1), 1 << 24);
}

TEST_F(Upload, StretchPicksTruncatedSourcePixels) {
    PngSpec spec = rgb_spec(100, 60);
    pngInfo info;
    ASSERT_EQ(load(make_png(spec), PNG_NOMIPMAPS, PNG_SOLID, &info), 1);
    EXPECT_EQ(info.Width, 100u); // as in the file
    const TexCall &t = g_log.tex.at(0);
    ASSERT_EQ(t.width, 128);
    ASSERT_EQ(t.height, 64);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 128; x++) {
            const unsigned char *px = &t.pixels[(size_t(y) * 128 + x) * 3];
            ASSERT_EQ(px[0], int(x * 0.78125)) << x << "," << y;
            ASSERT_EQ(px[1], int(y * 0.9375)) << x << "," << y;
        }
}

TEST_F(Upload, ImageAboveTheLimitShrinksToEverySecondPixel) {
    install(512, false);
    PngSpec spec = rgb_spec(1024, 1024);
    ASSERT_EQ(load(make_png(spec), PNG_NOMIPMAPS, PNG_ALPHA), 1);
    const TexCall &t = g_log.tex.at(0);
    ASSERT_EQ(t.width, 512);
    ASSERT_EQ(t.height, 512);
    for (int y = 0; y < 512; y += 37)
        for (int x = 0; x < 512; x += 13) {
            EXPECT_EQ(t.pixels[(size_t(y) * 512 + x) * 3], (2 * x) & 255);
            EXPECT_EQ(t.pixels[(size_t(y) * 512 + x) * 3 + 1], (2 * y) & 255);
        }
}

// Sides past 8192 stretch to the largest texture like any other side.
TEST_F(Upload, SidesPast8192StretchToTheLargestTexture) {
    install(8192, false);
    for (auto [width, height] : {std::pair{8193, 1}, {9000, 2}}) {
        ASSERT_EQ(load(make_png(rgb_spec(width, height)), PNG_NOMIPMAPS, PNG_ALPHA), 1);
        const TexCall &t = g_log.tex.at(0);
        ASSERT_EQ(t.width, 8192);
        ASSERT_EQ(t.height, height);
        float step = float(double(width) / 8192);
        for (int x = 0; x < 8192; x += 97)
            EXPECT_EQ(t.pixels[size_t(x) * 3], int(x * double(step)) & 255) << width << ": " << x;
    }
}

// The stretched copy and alpha made from colour count against the limit with
// the pixels: such pictures are refused before their rows are decoded, with
// nothing large taken and nothing uploaded.
TEST_F(Upload, StretchAndAlphaCountAgainstTheLimit) {
    const struct {
        uint32_t width, height;
        int trans;
    } claims[] = {
        {8193, 8193, PNG_ALPHA},    // 201 MB of pixels stretched to 805 MB
        {16384, 4096, PNG_STENCIL}, // 201 MB of pixels and 268 MB with alpha
    };
    for (auto &c : claims) {
        SCOPED_TRACE(testing::Message() << c.width << " by " << c.height);
        install(16384, false);
        Bytes png = claim_size(make_png(rgb_spec(1, 1)), c.width, c.height);
        HeapWatch heap;
        EXPECT_EQ(load(png, PNG_NOMIPMAPS, c.trans), 0);
        EXPECT_LT(heap.peak(), size_t(1) << 20);
        EXPECT_TRUE(g_log.tex.empty());
    }
}

TEST_F(Upload, ResizeStaysInsideBothBuffersForThinShapes) {
    const int shapes[][4] = {
        {1, 7, 4, 16}, {7, 1, 16, 4}, {5, 5, 1, 1}, {1, 1, 8, 8}, {3, 9, 2, 2}};
    for (auto &s : shapes) {
        Bytes src(size_t(s[0]) * s[1] * 2);
        for (size_t i = 0; i < src.size(); i++)
            src[i] = i;
        Bytes dst(size_t(s[2]) * s[3] * 2);
        Resize(2, src.data(), s[0], s[1], dst.data(), s[2], s[3]);
        EXPECT_EQ(dst[0], src[0]);
        EXPECT_EQ(dst[1], src[1]);
    }
}

TEST_F(Upload, ModesOutsideTheirRangesUploadNothing) {
    Bytes png = make_png(rgb_spec(2, 2));
    for (auto [mipmap, trans] :
         std::vector<std::pair<int, int>>{{-3, PNG_SOLID}, {0, 8}, {0, -4}, {-100, 99}}) {
        EXPECT_EQ(load(png, mipmap, trans), 0);
        EXPECT_TRUE(g_log.tex.empty());
        EXPECT_EQ(pngBindMem(png.data(), int(png.size()), mipmap, trans, nullptr, GL_REPEAT,
                             GL_LINEAR, GL_LINEAR),
                  0u);
    }
    EXPECT_EQ(load(png, 7, PNG_BLEND7), 1);
}

TEST_F(Upload, FailedDecodeUploadsNothing) {
    Bytes png = make_png(rgb_spec(4, 4));
    png.resize(png.size() - 20);
    EXPECT_EQ(load(png, 0, PNG_ALPHA), 0);
    EXPECT_TRUE(g_log.tex.empty());
    EXPECT_EQ(pngLoadFromSource(png.data(), 7, 0, PNG_ALPHA, nullptr, 0), 0);
}

// ---- alpha made from colour -----------------------------------------------

unsigned char alpha_of(int trans, unsigned char r, unsigned char g, unsigned char b) {
    const unsigned char rgb[3] = {r, g, b};
    unsigned char *rgba = png_make_alpha(rgb, 1, 1, trans);
    unsigned char a = rgba[3];
    EXPECT_EQ(Bytes(rgba, rgba + 3), Bytes(rgb, rgb + 3));
    free(rgba);
    return a;
}

TEST_F(Upload, BlendModesAtTheirThresholds) {
    EXPECT_EQ(alpha_of(PNG_BLEND1, 84, 85, 85), 254);
    EXPECT_EQ(alpha_of(PNG_BLEND1, 85, 85, 85), 255);
    EXPECT_EQ(alpha_of(PNG_BLEND1, 86, 85, 85), 255);
    EXPECT_EQ(alpha_of(PNG_BLEND1, 0, 0, 7), 7);
    EXPECT_EQ(alpha_of(PNG_BLEND2, 169, 170, 170), 254);
    EXPECT_EQ(alpha_of(PNG_BLEND2, 170, 170, 170), 255);
    EXPECT_EQ(alpha_of(PNG_BLEND2, 171, 170, 170), 255);
    EXPECT_EQ(alpha_of(PNG_BLEND2, 0, 0, 3), 1);
    EXPECT_EQ(alpha_of(PNG_BLEND3, 90, 120, 150), 120);
    EXPECT_EQ(alpha_of(PNG_BLEND3, 255, 255, 255), 255);
    EXPECT_EQ(alpha_of(PNG_BLEND3, 0, 1, 1), 0);
    EXPECT_EQ(alpha_of(PNG_BLEND4, 15, 5, 2), 254); // q = 254
    EXPECT_EQ(alpha_of(PNG_BLEND4, 16, 0, 0), 255); // q = 256
    EXPECT_EQ(alpha_of(PNG_BLEND4, 3, 0, 0), 9);
    EXPECT_EQ(alpha_of(PNG_BLEND5, 22, 5, 0), 254);  // q = 509
    EXPECT_EQ(alpha_of(PNG_BLEND5, 22, 5, 1), 255);  // q = 510
    EXPECT_EQ(alpha_of(PNG_BLEND5, 16, 16, 0), 255); // q = 512
    EXPECT_EQ(alpha_of(PNG_BLEND6, 27, 5, 3), 254);  // q = 763
    EXPECT_EQ(alpha_of(PNG_BLEND6, 27, 6, 0), 255);  // q = 765
    EXPECT_EQ(alpha_of(PNG_BLEND6, 27, 6, 1), 255);  // q = 766
    EXPECT_EQ(alpha_of(PNG_BLEND6, 2, 1, 0), 1);
    EXPECT_EQ(alpha_of(PNG_BLEND7, 3, 4, 0), 5);
    EXPECT_EQ(alpha_of(PNG_BLEND7, 254, 0, 0), 254);
    EXPECT_EQ(alpha_of(PNG_BLEND7, 255, 0, 0), 255); // q = 65025
    EXPECT_EQ(alpha_of(PNG_BLEND7, 255, 1, 0), 255);
    EXPECT_EQ(alpha_of(PNG_BLEND7, 1, 1, 1), 1);
    EXPECT_EQ(alpha_of(PNG_BLEND7, 0, 0, 0), 0);
}

unsigned char red_xor_green(unsigned char r, unsigned char g, unsigned char) {
    return r ^ g;
}

TEST_F(Upload, StencilAndCallback) {
    pngSetStencil(10, 20, 30);
    EXPECT_EQ(alpha_of(PNG_STENCIL, 10, 20, 30), 0);
    EXPECT_EQ(alpha_of(PNG_STENCIL, 10, 20, 31), 255);
    EXPECT_EQ(alpha_of(PNG_STENCIL, 0, 0, 0), 255);
    EXPECT_EQ(alpha_of(PNG_CALLBACK, 1, 2, 3), 255); // the default callback
    pngSetAlphaCallback(red_xor_green);
    EXPECT_EQ(alpha_of(PNG_CALLBACK, 0x0f, 0xf0, 3), 0xff);
    EXPECT_EQ(alpha_of(PNG_CALLBACK, 5, 5, 3), 0);
    pngSetAlphaCallback(nullptr);
    EXPECT_EQ(alpha_of(PNG_CALLBACK, 5, 5, 3), 255);
}

TEST_F(Upload, AlphaModesUploadRgbaFromTheColoursOnly) {
    PngSpec spec;
    spec.width = 2;
    spec.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.samples = {90, 120, 150, 7, 3, 4, 0, 9};
    pngInfo info;
    ASSERT_EQ(load(make_png(spec), PNG_NOMIPMAPS, PNG_BLEND3, &info), 1);
    EXPECT_EQ(info.Alpha, 8u);
    EXPECT_EQ(g_log.tex.at(0).internal, 4);
    EXPECT_EQ(g_log.tex[0].format, unsigned(GL_RGBA));
    EXPECT_EQ(g_log.tex[0].pixels, (Bytes{90, 120, 150, 120, 3, 4, 0, 2}));
    pngSetStencil(3, 4, 0);
    ASSERT_EQ(load(make_png(spec), PNG_NOMIPMAPS, PNG_STENCIL, &info), 1);
    EXPECT_EQ(g_log.tex.at(0).pixels, (Bytes{90, 120, 150, 255, 3, 4, 0, 0}));
}

// ---- mipmaps --------------------------------------------------------------

TEST(HalfSize, SmallImagesOfEveryShapeByHand) {
    struct Case {
        int w, h;
        Bytes in, averaged, picked;
    };
    const Case cases[] = {
        {2, 2, {10, 20, 30, 41}, {25}, {10}},
        {3, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8}, {2}, {0}},
        {4, 2, {0, 4, 8, 12, 100, 104, 108, 112}, {52, 60}, {0, 8}},
        {5, 1, {1, 3, 5, 8, 9}, {2, 6}, {1, 5}},
        {1, 5, {1, 3, 5, 8, 9}, {2, 6}, {1, 5}},
        {2, 1, {255, 254}, {254}, {255}},
        {1, 2, {0, 255}, {127}, {0}},
        {3, 2, {1, 2, 3, 4, 5, 6}, {3}, {1}},
    };
    for (const Case &c : cases) {
        for (int filter : {1, 0}) {
            const Bytes &want = filter ? c.averaged : c.picked;
            Bytes src = c.in;
            Bytes dst(want.size());
            ASSERT_EQ(HalfSize(1, c.w, c.h, src.data(), dst.data(), filter), 1);
            EXPECT_EQ(dst, want) << c.w << "x" << c.h << " filter " << filter;
            ASSERT_EQ(HalfSize(1, c.w, c.h, src.data(), src.data(), filter), 1); // in place
            EXPECT_EQ(Bytes(src.begin(), src.begin() + want.size()), want);
        }
    }
    Bytes one = {77}, out = {1};
    EXPECT_EQ(HalfSize(1, 1, 1, one.data(), out.data(), 1), 0);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(HalfSize(0, 2, 2, one.data(), out.data(), 1), 0);
    EXPECT_EQ(HalfSize(1, 2, 2, nullptr, out.data(), 1), 0);
}

TEST(HalfSize, KeepsSamplesOfAPixelApart) {
    const Bytes src = {0, 100, 200, 4, 104, 204, 8, 108, 208, 12, 112, 212};
    Bytes dst(6);
    ASSERT_EQ(HalfSize(3, 2, 2, src.data(), dst.data(), 1), 1);
    EXPECT_EQ(Bytes(dst.begin(), dst.begin() + 3), (Bytes{6, 106, 206}));
    ASSERT_EQ(HalfSize(3, 4, 1, src.data(), dst.data(), 0), 1);
    EXPECT_EQ(dst, (Bytes{0, 100, 200, 8, 108, 208}));
}

TEST_F(Upload, Build2DMipmapsUploadsTheWholeChain) {
    const int shapes[][2] = {{8, 2}, {1, 4}, {5, 3}, {1, 1}};
    for (auto &s : shapes) {
        int w = s[0], h = s[1];
        Bytes data(size_t(w) * h * 3);
        for (size_t i = 0; i < data.size(); i++)
            data[i] = (i * 29) & 255;
        for (int filter : {1, 0}) {
            g_log = CallLog();
            ASSERT_EQ(Build2DMipmaps(3, w, h, GL_RGB, data.data(), filter), 1);
            Bytes level = data;
            int lw = w, lh = h;
            for (size_t i = 0; i < g_log.tex.size(); i++) {
                const TexCall &t = g_log.tex[i];
                EXPECT_EQ(t.level, int(i));
                EXPECT_EQ(t.internal, 3);
                ASSERT_EQ(t.width, lw);
                ASSERT_EQ(t.height, lh);
                EXPECT_EQ(t.pixels, Bytes(level.begin(), level.begin() + t.pixels.size()));
                Bytes next(level.size());
                if (!HalfSize(3, lw, lh, level.data(), next.data(), filter)) {
                    EXPECT_EQ(i + 1, g_log.tex.size());
                    break;
                }
                level = next;
                lw = lw > 1 ? lw / 2 : 1;
                lh = lh > 1 ? lh / 2 : 1;
            }
            EXPECT_EQ(lw, 1);
            EXPECT_EQ(lh, 1);
        }
    }
    EXPECT_EQ(Build2DMipmaps(3, 0, 4, GL_RGB, Bytes(3).data(), 1), 0);
}

TEST_F(Upload, MipmapModesBuildTheChainFromTheDecode) {
    PngSpec spec = rgb_spec(16, 4, PNG_COLOR_TYPE_RGB_ALPHA);
    ASSERT_EQ(load(make_png(spec), PNG_BUILDMIPMAPS, PNG_ALPHA), 1);
    ASSERT_EQ(g_log.tex.size(), 5u); // 16x4 8x2 4x1 2x1 1x1
    EXPECT_EQ(g_log.tex[4].width, 1);
    EXPECT_EQ(g_log.tex[2].height, 1);
    EXPECT_EQ(g_log.tex[1].pixels[0], (0 + 1 + 0 + 1) >> 2);
    ASSERT_EQ(load(make_png(spec), PNG_SIMPLEMIPMAPS, PNG_BLEND1), 1);
    ASSERT_EQ(g_log.tex.size(), 5u);
    EXPECT_EQ(g_log.tex[1].internal, 4);
    EXPECT_EQ(g_log.tex[1].pixels[4], 2); // the top-left of the second block
}

// ---- paletted upload ------------------------------------------------------

PngSpec palette_spec(int entries, int depth) {
    PngSpec spec;
    spec.width = 4;
    spec.height = 2;
    spec.color_type = PNG_COLOR_TYPE_PALETTE;
    spec.depth = depth;
    for (int i = 0; i < entries; i++) {
        spec.palette.push_back(i);
        spec.palette.push_back(255 - i);
        spec.palette.push_back(7);
    }
    spec.samples = {0, 1, unsigned(entries - 1), 0, 1, 1, 0, unsigned(entries - 1)};
    return spec;
}

TEST_F(Upload, PalettedPathPicksTheIndexFormatByEntryCount) {
    install(4096, true);
    const std::pair<int, unsigned> counts[] = {
        {2, 0x80E2}, {4, 0x80E3}, {16, 0x80E4}, {256, 0x80E5}};
    for (auto [entries, format] : counts) {
        for (int depth : {1, 2, 4, 8}) {
            if ((1 << depth) < entries)
                continue;
            SCOPED_TRACE(testing::Message() << entries << " entries, depth " << depth);
            PngSpec spec = palette_spec(entries, depth);
            pngInfo info;
            ASSERT_EQ(load(make_png(spec), 3, PNG_SOLID, &info), 1);
            EXPECT_EQ(g_log.order, (std::vector<std::string>{"colorTable", "texImage"}));
            EXPECT_EQ(g_log.table_count, entries);
            EXPECT_EQ(g_log.table_internal, 0x8051u); // GL_RGB8
            EXPECT_EQ(g_log.table_format, unsigned(GL_RGB));
            EXPECT_EQ(g_log.table, spec.palette);
            const TexCall &t = g_log.tex.at(0);
            EXPECT_EQ(t.level, 3);
            EXPECT_EQ(unsigned(t.internal), format);
            EXPECT_EQ(t.format, 0x1900u); // GL_COLOR_INDEX, one byte per index
            EXPECT_EQ(t.width, 4);
            EXPECT_EQ(t.pixels, Bytes(spec.samples.begin(), spec.samples.end()));
            EXPECT_EQ(info.Alpha, 0u);
        }
    }
}

TEST_F(Upload, PalettedPathRefusesOtherCountsAndIsSkippedOutsideItsModes) {
    install(4096, true);
    EXPECT_EQ(load(make_png(palette_spec(3, 2)), 0, PNG_SOLID), 0);
    EXPECT_TRUE(g_log.tex.empty());
    EXPECT_EQ(load(make_png(palette_spec(200, 8)), 0, PNG_SOLID), 0);

    // Any other trans or mipmap mode expands the palette to RGB.
    Bytes png = make_png(palette_spec(3, 2));
    for (auto [mipmap, trans] : std::vector<std::pair<int, int>>{
             {0, PNG_ALPHA}, {0, PNG_BLEND1}, {PNG_BUILDMIPMAPS, PNG_SOLID}}) {
        ASSERT_EQ(load(png, mipmap, trans), 1);
        EXPECT_EQ(g_log.table_count, 0);
        EXPECT_NE(g_log.tex.at(0).format, 0x1900u);
        const TexCall &t = g_log.tex.at(0);
        EXPECT_EQ(t.pixels.at(bytes_per_pixel(t.format)), 1); // entry 1's red
    }
}

TEST_F(Upload, PalettedTexturesNeedTheExtensionAnEntryPointAndNoBeta3Dfx) {
    Bytes png = make_png(palette_spec(4, 2));
    ASSERT_EQ(load(png, 0, PNG_SOLID), 1); // no context: no extension string to settle on
    EXPECT_EQ(g_log.tex.at(0).format, unsigned(GL_RGB));
    EXPECT_EQ(png_state.PalettedTextures, -1);

    install(4096, true, "1.1.0 3Dfx Beta Driver");
    ASSERT_EQ(load(png, 0, PNG_SOLID), 1);
    EXPECT_EQ(g_log.tex.at(0).format, unsigned(GL_RGB));
    EXPECT_EQ(png_state.PalettedTextures, 0);

    install(4096, true);
    seam.colorTable = nullptr;
    png_set_gl_seam(&seam);
    ASSERT_EQ(load(png, 0, PNG_SOLID), 1);
    EXPECT_EQ(g_log.tex.at(0).format, unsigned(GL_RGB));
    EXPECT_EQ(png_state.PalettedTextures, 0);

    install(4096, true);
    seam.extensions = "GL_EXT_paletted_textures GL_EXT_paletted_texture_x";
    png_set_gl_seam(&seam);
    EXPECT_EQ(ExtSupported("GL_EXT_paletted_texture"), 0);
    EXPECT_EQ(ExtSupported("GL_EXT_paletted_textures"), 1);
    EXPECT_EQ(ExtSupported("GL_EXT_paletted_texture_x"), 1);
    EXPECT_EQ(ExtSupported(""), 0);
}

} // namespace

namespace {

// A scratch buffer that cannot be had fails the chain before any level is
// uploaded or any pixel read (the sanitizers' allocator would abort instead
// of failing, so they skip it).
TEST_F(Upload, MipmapChainWithoutScratchMemoryFailsBeforeUploading) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer allocator aborts on such a request";
#endif
    unsigned char pixel[4] = {};
    g_log = CallLog();
    EXPECT_EQ(Build2DMipmaps(4, 1 << 30, 1 << 30, GL_RGBA, pixel, 1), 0);
    EXPECT_TRUE(g_log.tex.empty());
}

} // namespace
