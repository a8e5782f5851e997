// The shared decode path without OpenGL: every colour type, bit depth and
// interlacing made with libpng's writer, bad input, the gamma rule, the raw
// decode and the file entries.
#include "assets/png_internal.h"
#include "png_maker.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace {

const PngDecodeOptions TEXTURE_ALPHA = {1, 0, 1};
const PngDecodeOptions TEXTURE_SOLID = {1, 0, 0};
const PngDecodeOptions RAW = {0, 0, 0};

struct Decoded {
    bool ok = false;
    PngImage image{};
    Bytes pixels;
};

Decoded decode(const Bytes &png, const PngDecodeOptions &options) {
    Decoded d;
    d.ok = png_decode(png.data(), png.size(), nullptr, &options, &d.image, nullptr);
    if (d.ok) {
        d.pixels.assign(d.image.pixels, d.image.pixels + d.image.rowbytes * d.image.height);
        free(d.image.pixels);
    }
    return d;
}

// Samples that use the whole range of the depth, in an order that differs
// from row to row.
std::vector<unsigned> varied_samples(const PngSpec &spec) {
    unsigned maxv = (1u << spec.depth) - 1;
    size_t count = fill_samples(spec, 0).size();
    std::vector<unsigned> samples(count);
    for (size_t i = 0; i < count; i++) {
        unsigned v = unsigned((i * 2654435761u) >> 7);
        samples[i] = spec.color_type == PNG_COLOR_TYPE_PALETTE
                         ? v % unsigned(spec.palette.size() / 3)
                         : (i % 5 == 0 ? maxv : v & maxv);
    }
    return samples;
}

PngSpec varied_spec(int color_type, int depth, int interlaced, bool trns) {
    PngSpec spec;
    spec.width = 7;
    spec.height = 5;
    spec.color_type = color_type;
    spec.depth = depth;
    spec.interlaced = interlaced;
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        int entries = 1 << depth;
        for (int i = 0; i < entries; i++) {
            spec.palette.push_back(i * 37 & 255);
            spec.palette.push_back(255 - i);
            spec.palette.push_back(i * 11 & 255);
        }
        if (trns)
            spec.trns_alpha = {0, 128};
    }
    spec.samples = varied_samples(spec);
    if (trns && color_type == PNG_COLOR_TYPE_GRAY)
        spec.trns_color = {spec.samples[1]};
    if (trns && color_type == PNG_COLOR_TYPE_RGB)
        spec.trns_color = {spec.samples[3], spec.samples[4], spec.samples[5]};
    return spec;
}

// What the texture layout must hold, worked out from the samples by hand.
// Only a palette's transparency chunk gives alpha; gray and RGB ignore theirs.
Bytes expected_texture(const PngSpec &spec, bool keep_alpha, int *channels) {
    unsigned maxv = (1u << spec.depth) - 1;
    auto to8 = [&](unsigned v) -> unsigned char {
        return spec.depth == 16 ? v >> 8 : spec.depth == 8 ? v : v * 255 / maxv;
    };
    bool alpha =
        keep_alpha && ((spec.color_type & PNG_COLOR_MASK_ALPHA) || !spec.trns_alpha.empty());
    *channels = alpha ? 4 : 3;
    int in = channels_of(spec.color_type);
    Bytes out;
    for (int p = 0; p < spec.width * spec.height; p++) {
        const unsigned *s = &spec.samples[size_t(p) * in];
        unsigned char rgba[4] = {0, 0, 0, 255};
        switch (spec.color_type) {
        case PNG_COLOR_TYPE_GRAY:
            rgba[0] = rgba[1] = rgba[2] = to8(s[0]);
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            rgba[0] = rgba[1] = rgba[2] = to8(s[0]);
            rgba[3] = to8(s[1]);
            break;
        case PNG_COLOR_TYPE_RGB:
        case PNG_COLOR_TYPE_RGB_ALPHA:
            for (int c = 0; c < 3; c++)
                rgba[c] = to8(s[c]);
            if (spec.color_type == PNG_COLOR_TYPE_RGB_ALPHA)
                rgba[3] = to8(s[3]);
            break;
        case PNG_COLOR_TYPE_PALETTE:
            for (int c = 0; c < 3; c++)
                rgba[c] = spec.palette[s[0] * 3 + c];
            if (s[0] < spec.trns_alpha.size())
                rgba[3] = spec.trns_alpha[s[0]];
            break;
        }
        out.insert(out.end(), rgba, rgba + *channels);
    }
    return out;
}

class DecodeLayout : public ::testing::TestWithParam<std::tuple<int, int, int, bool>> {};

TEST_P(DecodeLayout, TextureLayoutMatchesSamplesWithAndWithoutAlpha) {
    auto [color_type, depth, interlaced, trns] = GetParam();
    PngSpec spec = varied_spec(color_type, depth, interlaced, trns);
    Bytes png = make_png(spec);
    ASSERT_FALSE(png.empty());
    for (bool keep_alpha : {true, false}) {
        SCOPED_TRACE(keep_alpha ? "alpha kept" : "alpha stripped");
        Decoded d = decode(png, keep_alpha ? TEXTURE_ALPHA : TEXTURE_SOLID);
        ASSERT_TRUE(d.ok);
        int channels = 0;
        Bytes want = expected_texture(spec, keep_alpha, &channels);
        EXPECT_EQ(d.image.width, 7u);
        EXPECT_EQ(d.image.height, 5u);
        EXPECT_EQ(d.image.depth, unsigned(depth));
        EXPECT_EQ(d.image.file_color_type, color_type);
        EXPECT_EQ(int(d.image.channels), channels);
        EXPECT_EQ(d.image.rowbytes, size_t(7 * channels));
        EXPECT_EQ(d.pixels, want);
    }
}

std::vector<std::tuple<int, int, int, bool>> every_layout() {
    const std::pair<int, std::vector<int>> legal[] = {
        {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, {PNG_COLOR_TYPE_RGB, {8, 16}},
        {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},  {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
        {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
    };
    std::vector<std::tuple<int, int, int, bool>> all;
    for (auto &[type, depths] : legal)
        for (int depth : depths)
            for (int interlaced : {0, 1})
                for (bool trns : {false, true})
                    if (!trns || !(type & PNG_COLOR_MASK_ALPHA))
                        all.emplace_back(type, depth, interlaced, trns);
    return all;
}

INSTANTIATE_TEST_SUITE_P(EveryColourTypeAndDepth, DecodeLayout,
                         ::testing::ValuesIn(every_layout()));

Bytes small_rgba_png() {
    PngSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.samples = fill_samples(spec, 0);
    for (size_t i = 0; i < spec.samples.size(); i++)
        spec.samples[i] = unsigned(i * 10);
    return make_png(spec);
}

TEST(PngDecode, RefusesShortInputAndForeignSignature) {
    Bytes png = small_rgba_png();
    PngImage image;
    EXPECT_EQ(png_decode(png.data(), 7, nullptr, &TEXTURE_ALPHA, &image, nullptr), 0);
    EXPECT_EQ(png_decode(png.data(), 0, nullptr, &TEXTURE_ALPHA, &image, nullptr), 0);
    EXPECT_EQ(png_decode(nullptr, 100, nullptr, &TEXTURE_ALPHA, &image, nullptr), 0);
    Bytes foreign = png;
    foreign[1] = 'Q';
    EXPECT_EQ(png_decode(foreign.data(), foreign.size(), nullptr, &TEXTURE_ALPHA, &image, nullptr),
              0);
    EXPECT_EQ(image.pixels, nullptr);
}

// Every cut, including one inside the end chunk, fails; the sanitizer build
// would see a read past the copy's end.
TEST(PngDecode, EveryTruncationFailsWithoutReadingPastTheEnd) {
    PngSpec spec = varied_spec(PNG_COLOR_TYPE_RGB, 8, 1, false);
    Bytes png = make_png(spec);
    for (size_t cut = 0; cut < png.size(); cut++) {
        Bytes part(png.begin(), png.begin() + cut);
        part.shrink_to_fit();
        PngImage image;
        EXPECT_EQ(png_decode(part.data(), part.size(), nullptr, &TEXTURE_ALPHA, &image, nullptr), 0)
            << "cut at " << cut;
        EXPECT_EQ(image.pixels, nullptr);
    }
    EXPECT_TRUE(decode(png, TEXTURE_ALPHA).ok);
}

// Sides past 8192 decode as stored, raw from a file or for a texture.
TEST(PngDecode, SidesPast8192Decode) {
    const int shapes[][3] = {{PNG_COLOR_TYPE_GRAY, 8193, 1},
                             {PNG_COLOR_TYPE_GRAY, 1, 9000},
                             {PNG_COLOR_TYPE_RGB, 9000, 2}};
    std::string path = temp_path("large.png");
    for (auto &shape : shapes) {
        PngSpec spec;
        spec.color_type = shape[0];
        spec.width = shape[1];
        spec.height = shape[2];
        spec.samples = varied_samples(spec);
        SCOPED_TRACE(testing::Message() << spec.width << " by " << spec.height);
        Bytes png = make_png(spec);
        Decoded d = decode(png, TEXTURE_ALPHA);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.image.width, unsigned(spec.width));
        EXPECT_EQ(d.image.height, unsigned(spec.height));
        ASSERT_TRUE(write_file(path, png));
        pngRawInfo raw;
        ASSERT_EQ(pngLoadRaw(path.c_str(), &raw), 1);
        EXPECT_EQ(raw.Width, unsigned(spec.width));
        EXPECT_EQ(raw.Height, unsigned(spec.height));
        EXPECT_EQ(Bytes(raw.Data, raw.Data + spec.samples.size()),
                  Bytes(spec.samples.begin(), spec.samples.end()));
        free(raw.Data);
    }
    remove(path.c_str());
}

// What the decode's own buffers hold at most: the pixels, and beside them the
// larger of their row table and what the upload adds; no product wraps.
TEST(PngDecode, OwnBytesCountWithoutOverflow) {
    const uint64_t MiB = 1 << 20;
    const struct {
        uint64_t rowbytes, rows, step, bytes;
    } cases[] = {
        {8192 * 4, 4096, 0, 128 * MiB + 4096 * 8}, // RGBA, 8192 by 4096, and its table
        {8192 * 4, 4096, 64 * MiB, 192 * MiB},     // and a stretch taking more than the table
        {1, 1 << 20, 0, 9 * MiB},                  // one-byte rows: mostly table
        {1ull << 33, 1ull << 31, 0, UINT64_MAX},   // the product wraps to 0
        {UINT64_MAX, UINT64_MAX, 0, UINT64_MAX},
        {1, 1, UINT64_MAX, UINT64_MAX},
    };
    for (auto &c : cases)
        EXPECT_EQ(png_own_bytes(c.rowbytes, c.rows, c.step), c.bytes)
            << c.rowbytes << " x " << c.rows << " + " << c.step;
}

// A header may claim any size; a picture whose decode would hold more than the
// limit is refused before anything large is taken, libpng's rows included:
// they are as wide as the stored row at its depth, or the converted one.
TEST(PngDecode, HeadersClaimingMoreThanTheLimitAreRefused) {
    const struct {
        int color_type, depth, interlaced;
        uint32_t width, height;
        bool texture_only; // the raw decode of it fits
    } claims[] = {
        {PNG_COLOR_TYPE_GRAY, 8, 0, 16500, 16500, false}, // the pixels alone
        {PNG_COLOR_TYPE_GRAY, 1, 0, 8, 40000000, false},  // one-byte rows, but their table
        {PNG_COLOR_TYPE_RGB, 8, 0, 0x7fffffff, 1, false}, // one row of 6 GiB
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, 0x7fffffff, 0x7fffffff, false},
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, 67108864, 1, false}, // 256 MiB of 8-bit pixels
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, 30000000, 1, false}, // libpng's 16-bit rows
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, 1, 20000000, 2, false}, // and interlaced
        {PNG_COLOR_TYPE_GRAY, 8, 0, 60000000, 1, true},        // rows made RGB
        {PNG_COLOR_TYPE_GRAY, 8, 0, 1, 25000000, true},        // RGB pixels and their table
    };
    for (auto &c : claims) {
        SCOPED_TRACE(testing::Message() << c.width << " by " << c.height << ", depth " << c.depth);
        PngSpec spec;
        spec.color_type = c.color_type;
        spec.depth = c.depth;
        spec.interlaced = c.interlaced;
        spec.samples = fill_samples(spec, 1);
        Bytes png = claim_size(make_png(spec), c.width, c.height);
        for (const PngDecodeOptions &options : {TEXTURE_ALPHA, RAW}) {
            if (c.texture_only && !options.convert)
                continue;
            PngImage image;
            HeapWatch heap;
            EXPECT_EQ(png_decode(png.data(), png.size(), nullptr, &options, &image, nullptr), 0);
            EXPECT_EQ(image.pixels, nullptr);
            EXPECT_LT(heap.peak(), size_t(1) << 20);
        }
    }
}

// The widest gray row that fits: three bytes a pixel for the RGB pixels and
// for each of libpng's two rows, with room for libpng's own state.
TEST(PngDecode, WidestGrayRowDecodesWithinTheLimit) {
    const uint32_t widest = uint32_t((PNG_MAX_DECODE_BYTES - (256 << 10)) / 9);
    for (uint32_t width : {widest, 30000000u}) {
        SCOPED_TRACE(width);
        PngSpec spec;
        spec.color_type = PNG_COLOR_TYPE_GRAY;
        spec.width = int(width);
        Bytes png = make_blank_png(spec);
        PngImage image;
        HeapWatch heap;
        int ok = png_decode(png.data(), png.size(), nullptr, &TEXTURE_ALPHA, &image, nullptr);
        EXPECT_LE(heap.peak(), PNG_MAX_DECODE_BYTES);
        EXPECT_EQ(ok, width == widest);
        if (ok) {
            EXPECT_GT(heap.peak(), PNG_MAX_DECODE_BYTES / 10 * 9); // libpng's rows are seen too
            EXPECT_EQ(image.rowbytes, size_t(width) * 3);
            EXPECT_EQ(image.pixels[0] | image.pixels[image.rowbytes - 1], 0);
            free(image.pixels);
        }
    }
}

// A chunk length of about a gigabyte in a text chunk must not turn into an
// allocation of that size: the sanitizer build limits allocations.
TEST(PngDecode, HugeAncillaryChunkFailsCleanly) {
    Bytes png = small_rgba_png();
    const unsigned char chunk[] = {0x3f, 0xff, 0xff, 0xff, 't', 'E', 'X', 't', 'a', 0};
    png.insert(png.begin() + 33, chunk, chunk + sizeof chunk);
    EXPECT_FALSE(decode(png, TEXTURE_ALPHA).ok);
}

// ---- gamma ----------------------------------------------------------------

class GammaRule : public ::testing::Test {
  protected:
    void TearDown() override {
        unsetenv("VIEWING_GAMMA");
        pngSetViewingGamma(0);
    }
};

TEST_F(GammaRule, EnvironmentReplacesTheScreenGammaAndBadValuesGiveTheDefault) {
    unsetenv("VIEWING_GAMMA");
    pngSetViewingGamma(0);
    checkForGammaEnv();
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2);
    setenv("VIEWING_GAMMA", "1.1", 1);
    checkForGammaEnv();
    checkForGammaEnv(); // replaces, never multiplies
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2 / 1.1);
    unsetenv("VIEWING_GAMMA");
    checkForGammaEnv();
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2 / 1.1); // kept without the variable
    for (const char *bad : {"", "abc", "0", "-1.5", "nan", "inf", "1e-300", "0.0001"}) {
        setenv("VIEWING_GAMMA", "1.1", 1);
        checkForGammaEnv();
        setenv("VIEWING_GAMMA", bad, 1);
        checkForGammaEnv();
        EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2) << "VIEWING_GAMMA=" << bad;
    }
}

TEST_F(GammaRule, SetterWinsOverTheEnvironmentInEitherOrderUntilReset) {
    setenv("VIEWING_GAMMA", "2", 1);
    pngSetViewingGamma(1.5);
    checkForGammaEnv();
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2 / 1.5);
    pngSetViewingGamma(0);
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2);
    checkForGammaEnv();
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 1.1);

    pngSetViewingGamma(1.5); // after the variable was read
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2 / 1.5);
    checkForGammaEnv();
    EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2 / 1.5);
    for (double bad : {-1.0, std::nan(""), 1e-300, 0.0001}) { // 0.0001: 22000, too large to hold
        pngSetViewingGamma(1.5);
        pngSetViewingGamma(bad);
        EXPECT_EQ(png_state.gammaExplicit, 0);
        EXPECT_DOUBLE_EQ(png_state.screenGamma, 2.2);
    }
}

// Every gray level once, decoded for a texture.
Bytes decode_gray_ramp(double file_gamma) {
    PngSpec spec;
    spec.color_type = PNG_COLOR_TYPE_GRAY;
    spec.width = 256;
    for (unsigned v = 0; v < 256; v++)
        spec.samples.push_back(v);
    spec.gamma = file_gamma;
    Decoded d = decode(make_png(spec), TEXTURE_ALPHA);
    EXPECT_TRUE(d.ok);
    return d.pixels;
}

// Each level goes to the power 1 / (screen gamma x file gamma), with 2.2 / v
// for the screen and 1 / 2.2 for a file without a gAMA chunk; libpng leaves
// the levels alone when the product is within 5% of 1.
TEST_F(GammaRule, EveryLevelFollowsTheRuleAcrossTheGammasTaken) {
    const struct {
        const char *viewing; // null: unset
        double file_gamma;   // 0: no gAMA chunk
    } cases[] = {
        {nullptr, 0},
        {"1.04", 0},
        {"1.1", 0},
        {"2.2", 0},
        {"0.5", 0},
        {"0.0172", 0}, // a screen gamma of 127.9
        {"0.0171", 0},
        {"0.01", 0},
        {"0.001", 0},
        {"0.000103", 0},
        {"100", 0},
        {"1000", 0},
        {"30000", 0},
        {"220000", 0},
        {nullptr, 1.0},
        {nullptr, 0.0002},
        {nullptr, 0.01},
        {nullptr, 129},
        {nullptr, 6250},
        {"0.22", 6250},
        {"100000", 0.0002}, // past what libpng holds
        // Past the 0.01 to 100 that libpng 1.6.47 and later take for either gamma.
        {nullptr, 100},
        {nullptr, 101},
        {nullptr, 0.0099},
        {"0.0172", 1.0},
        {"100", 0.1},
        {"0.0172", 0.005},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "VIEWING_GAMMA " << (c.viewing ? c.viewing : "unset")
                                        << ", gAMA " << c.file_gamma);
        if (c.viewing) {
            setenv("VIEWING_GAMMA", c.viewing, 1);
        } else {
            unsetenv("VIEWING_GAMMA");
            pngSetViewingGamma(0); // back to 2.2, which a missing variable keeps
        }
        double screen = c.viewing ? 2.2 / atof(c.viewing) : 2.2;
        double product = screen * (c.file_gamma > 0 ? c.file_gamma : 1 / 2.2);
        Bytes pixels = decode_gray_ramp(c.file_gamma);
        ASSERT_EQ(pixels.size(), 256u * 3);
        for (int v = 0; v < 256; v++) {
            double want =
                std::fabs(product - 1) <= 0.05 ? v : 255 * std::pow(v / 255.0, 1 / product);
            ASSERT_NEAR(pixels[v * 3], want, 1.0) << "level " << v;
        }
    }
    pngSetViewingGamma(1); // a screen gamma of 2.2 whatever the variable says
    EXPECT_EQ(decode_gray_ramp(0)[128 * 3], 128);
}

// ---- raw decode and file entries -----------------------------------------

struct RawCase {
    int color_type;
    bool trns;
    unsigned components;
    unsigned alpha;
};

// A transparency chunk changes nothing here: fields come from the colour type.
TEST(PngRaw, FieldsAndRowsForEveryColourTypeInBothOrientations) {
    const RawCase cases[] = {
        {PNG_COLOR_TYPE_GRAY, false, 1, 0},       {PNG_COLOR_TYPE_GRAY, true, 1, 0},
        {PNG_COLOR_TYPE_RGB, false, 3, 0},        {PNG_COLOR_TYPE_RGB, true, 3, 0},
        {PNG_COLOR_TYPE_PALETTE, false, 1, 0},    {PNG_COLOR_TYPE_PALETTE, true, 1, 0},
        {PNG_COLOR_TYPE_GRAY_ALPHA, false, 2, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, false, 4, 8}};
    std::string path = temp_path("raw.png");
    for (const RawCase &c : cases) {
        PngSpec spec = varied_spec(c.color_type, 8, 0, c.trns);
        ASSERT_TRUE(write_file(path, make_png(spec)));
        for (int orientation : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "type " << c.color_type << " tRNS " << c.trns
                                            << " orient " << orientation);
            pngSetStandardOrientation(orientation);
            pngRawInfo raw;
            ASSERT_EQ(pngLoadRaw(path.c_str(), &raw), 1);
            EXPECT_EQ(raw.Width, 7u);
            EXPECT_EQ(raw.Height, 5u);
            EXPECT_EQ(raw.Depth, 8u);
            EXPECT_EQ(raw.Components, c.components);
            EXPECT_EQ(raw.Alpha, c.alpha);
            size_t row = 7 * c.components;
            for (int y = 0; y < 5; y++) {
                int stored = orientation ? 4 - y : y;
                for (size_t i = 0; i < row; i++)
                    ASSERT_EQ(raw.Data[stored * row + i], spec.samples[y * row + i])
                        << "row " << y << " sample " << i;
            }
            if (c.color_type == PNG_COLOR_TYPE_PALETTE) {
                ASSERT_NE(raw.Palette, nullptr);
                EXPECT_EQ(Bytes(raw.Palette, raw.Palette + spec.palette.size()), spec.palette);
            } else {
                EXPECT_EQ(raw.Palette, nullptr);
            }
            free(raw.Data);
            free(raw.Palette);
        }
    }
    pngSetStandardOrientation(0);
    remove(path.c_str());
}

TEST(PngRaw, KeepsSamplesAsStoredForOtherDepths) {
    PngSpec spec = varied_spec(PNG_COLOR_TYPE_GRAY, 16, 1, false);
    Decoded d = decode(make_png(spec), RAW);
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.image.rowbytes, size_t(7 * 2));
    EXPECT_EQ(d.pixels[0] << 8 | d.pixels[1], int(spec.samples[0]));
    PngSpec packed = varied_spec(PNG_COLOR_TYPE_PALETTE, 2, 0, true);
    Decoded p = decode(make_png(packed), RAW);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.image.rowbytes, size_t(2)); // 7 two-bit indices
    EXPECT_EQ(p.pixels[0] >> 6, int(packed.samples[0]));
}

TEST(PngFiles, MissingAndTruncatedFilesFail) {
    std::string missing = temp_path("does_not_exist.png");
    pngRawInfo raw;
    raw.Data = reinterpret_cast<unsigned char *>(1);
    EXPECT_EQ(pngLoadRaw(missing.c_str(), &raw), 0);
    EXPECT_EQ(raw.Data, nullptr);
    EXPECT_EQ(pngLoadRaw(missing.c_str(), nullptr), 0);
    EXPECT_EQ(pngLoadRawF(nullptr, &raw), 0);
    pngInfo info;
    EXPECT_EQ(pngLoad(missing.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, &info), 0);
    EXPECT_EQ(pngBind(missing.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, &info, 0x2901, 0x2601, 0x2601),
              0u);

    Bytes png = make_png(varied_spec(PNG_COLOR_TYPE_RGB, 8, 0, false));
    std::string cut = temp_path("cut.png");
    ASSERT_TRUE(write_file(cut, Bytes(png.begin(), png.begin() + png.size() / 2)));
    EXPECT_EQ(pngLoadRaw(cut.c_str(), &raw), 0);
    EXPECT_EQ(raw.Data, nullptr);
    EXPECT_EQ(pngLoad(cut.c_str(), PNG_NOMIPMAPS, PNG_ALPHA, &info), 0);
    ASSERT_TRUE(write_file(cut, Bytes(png.begin(), png.begin() + 5)));
    EXPECT_EQ(pngLoadRaw(cut.c_str(), &raw), 0);
    remove(cut.c_str());
}

} // namespace
