// The real upload into Mesa under Xvfb: formats and parameters read back,
// pixel-store alignments restored, whole mipmap chains level by level, and
// what a failed load leaves behind.
#include "assets/png_internal.h"
#include "png_maker.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <png.h>

namespace {

class GlUpload : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        ASSERT_NE(SDL_SetVideoMode(64, 64, 32, SDL_OPENGL), nullptr) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override {
        png_set_gl_seam(nullptr);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }
};

GLint bound() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint level_param(int level, GLenum what) {
    GLint v = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &v);
    return v;
}

Bytes read_level(int level, GLenum format, int channels) {
    Bytes out(size_t(level_param(level, GL_TEXTURE_WIDTH)) * level_param(level, GL_TEXTURE_HEIGHT) *
              channels);
    GLint pack = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    return out;
}

PngSpec pattern(int width, int height, int color_type) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.color_type = color_type;
    spec.samples = fill_samples(spec, 0);
    for (size_t i = 0; i < spec.samples.size(); i++)
        spec.samples[i] = (i * 67 + i / 7) & 255;
    return spec;
}

Bytes bytes_of(const PngSpec &spec) {
    return Bytes(spec.samples.begin(), spec.samples.end());
}

unsigned bind_png(const Bytes &png, int mipmap = PNG_NOMIPMAPS, int trans = PNG_ALPHA,
                  pngInfo *info = nullptr) {
    return pngBindMem(png.data(), int(png.size()), mipmap, trans, info, GL_CLAMP_TO_EDGE,
                      GL_NEAREST, GL_LINEAR);
}

TEST_F(GlUpload, RgbaTextureHoldsTheFileTopRowFirstWithItsParameters) {
    PngSpec spec = pattern(256, 256, PNG_COLOR_TYPE_RGB_ALPHA);
    pngInfo info;
    unsigned name = bind_png(make_png(spec), PNG_NOMIPMAPS, PNG_ALPHA, &info);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(bound(), GLint(name));
    EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), 256);
    EXPECT_EQ(level_param(0, GL_TEXTURE_INTERNAL_FORMAT), 4); // the component count
    EXPECT_EQ(read_level(0, GL_RGBA, 4), bytes_of(spec));
    EXPECT_EQ(info.Alpha, 8u);
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &v);
    EXPECT_EQ(v, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &v);
    EXPECT_EQ(v, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v);
    EXPECT_EQ(v, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &v);
    EXPECT_EQ(v, GL_LINEAR);
    GLuint n = name;
    glDeleteTextures(1, &n);
}

TEST_F(GlUpload, ThreeByteRowsArriveWholeAndAlignmentsAreRestored) {
    PngSpec strip = pattern(1, 64, PNG_COLOR_TYPE_RGB); // rows of 3 bytes
    PngSpec gray = pattern(3, 5, PNG_COLOR_TYPE_GRAY);
    Bytes broken = make_png(strip);
    broken.resize(broken.size() - 30);
    for (auto [pack, unpack] : {std::pair<GLint, GLint>{4, 8}, {8, 2}, {1, 4}}) {
        glPixelStorei(GL_PACK_ALIGNMENT, pack);
        glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
        unsigned name = bind_png(make_png(strip));
        ASSERT_NE(name, 0u);
        EXPECT_EQ(level_param(0, GL_TEXTURE_INTERNAL_FORMAT), 3);
        EXPECT_EQ(read_level(0, GL_RGB, 3), bytes_of(strip));
        unsigned g = bind_png(make_png(gray));
        ASSERT_NE(g, 0u);
        Bytes rgb = read_level(0, GL_RGB, 3);
        ASSERT_EQ(rgb.size(), size_t(4 * 8 * 3)); // stretched to 4 by 8
        EXPECT_EQ(rgb[0], rgb[1]);
        EXPECT_EQ(rgb[1], rgb[2]);
        EXPECT_EQ(bind_png(broken), 0u);
        GLint p = 0, u = 0;
        glGetIntegerv(GL_PACK_ALIGNMENT, &p);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &u);
        EXPECT_EQ(p, pack);
        EXPECT_EQ(u, unpack);
        GLuint names[2] = {name, g};
        glDeleteTextures(2, names);
    }
}

TEST_F(GlUpload, MipmapChainsLevelByLevel) {
    for (int mipmap : {PNG_BUILDMIPMAPS, PNG_SIMPLEMIPMAPS}) {
        for (auto [w, h] : {std::pair{8, 4}, {1, 16}, {16, 1}}) {
            SCOPED_TRACE(testing::Message() << "mode " << mipmap << " " << w << "x" << h);
            PngSpec spec = pattern(w, h, PNG_COLOR_TYPE_RGB_ALPHA);
            unsigned name = bind_png(make_png(spec), mipmap, PNG_ALPHA);
            ASSERT_NE(name, 0u);
            Bytes level = bytes_of(spec);
            int lw = w, lh = h, n = 0;
            while (true) {
                EXPECT_EQ(level_param(n, GL_TEXTURE_WIDTH), lw);
                EXPECT_EQ(level_param(n, GL_TEXTURE_HEIGHT), lh);
                EXPECT_EQ(read_level(n, GL_RGBA, 4), level);
                Bytes next(level.size());
                if (!HalfSize(4, lw, lh, level.data(), next.data(), mipmap == PNG_BUILDMIPMAPS))
                    break;
                lw = lw > 1 ? lw / 2 : 1;
                lh = lh > 1 ? lh / 2 : 1;
                next.resize(size_t(lw) * lh * 4);
                level = next;
                n++;
            }
            EXPECT_EQ(level_param(n + 1, GL_TEXTURE_WIDTH), 0); // nothing past 1 by 1
            GLuint t = name;
            glDeleteTextures(1, &t);
        }
    }
}

TEST_F(GlUpload, FailedBindDeletesItsTextureAndReturnsZero) {
    PngSpec spec = pattern(4, 4, PNG_COLOR_TYPE_RGB);
    unsigned keep = bind_png(make_png(spec));
    ASSERT_NE(keep, 0u);
    Bytes cut = make_png(spec);
    cut.resize(cut.size() - 16); // inside the image data
    Bytes foreign(64, 'x');
    EXPECT_EQ(bind_png(cut), 0u);
    EXPECT_EQ(bound(), 0); // the texture it made is gone, so nothing is bound
    EXPECT_EQ(bind_png(foreign), 0u);
    for (GLuint n = 1; n < keep + 8; n++)
        EXPECT_EQ(glIsTexture(n), GLboolean(n == keep)) << "texture " << n;
    GLuint t = keep;
    glDeleteTextures(1, &t);
}

TEST_F(GlUpload, FileEntriesLeaveTheBoundTextureAloneWhenTheFileDoesNotOpen) {
    PngSpec spec = pattern(2, 2, PNG_COLOR_TYPE_RGB);
    unsigned mine = bind_png(make_png(spec));
    ASSERT_NE(mine, 0u);
    std::string missing = temp_path("missing.png");
    EXPECT_EQ(pngLoad(missing.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, nullptr), 0);
    EXPECT_EQ(pngBind(missing.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, nullptr, GL_REPEAT, GL_LINEAR,
                      GL_LINEAR),
              0u);
    EXPECT_EQ(bound(), GLint(mine));
    EXPECT_EQ(read_level(0, GL_RGB, 3), bytes_of(spec));

    std::string path = temp_path("file.png");
    PngSpec other = pattern(4, 2, PNG_COLOR_TYPE_RGB_ALPHA);
    ASSERT_TRUE(write_file(path, make_png(other)));
    pngInfo info;
    EXPECT_EQ(pngLoad(path.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, &info), 1); // into the bound one
    EXPECT_EQ(bound(), GLint(mine));
    EXPECT_EQ(read_level(0, GL_RGBA, 4), bytes_of(other));
    unsigned name =
        pngBind(path.c_str(), PNG_NOMIPMAPS, PNG_BLEND1, &info, GL_REPEAT, GL_LINEAR, GL_LINEAR);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(bound(), GLint(name));
    EXPECT_EQ(info.Alpha, 8u);
    FILE *f = fopen(path.c_str(), "rb");
    unsigned viaF = pngBindF(f, PNG_NOMIPMAPS, PNG_SOLID, nullptr, GL_REPEAT, GL_LINEAR, GL_LINEAR);
    fclose(f);
    EXPECT_NE(viaF, 0u);
    EXPECT_EQ(level_param(0, GL_TEXTURE_INTERNAL_FORMAT), 3);
    GLuint names[3] = {mine, name, viaF};
    glDeleteTextures(3, names);
    remove(path.c_str());
}

} // namespace
