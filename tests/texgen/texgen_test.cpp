// The generated textures, read back with libpng: the formats the game's loader is
// promised, the rules each picture must keep for the way it is drawn (sky seams and
// fog rows, a seamless sea, the island ramp by height, the HUD atlas boxes) and
// byte-identical output from two runs.
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Expected {
    const char *name;
    int w, h, channels;
};

// The game's texture table: member, width, height, channels.
const Expected kTable[] = {
    {"jet.png", 64, 256, 4},
    {"jetfrom.png", 256, 256, 4},
    {"jetf2.png", 256, 256, 4},
    {"umi.png", 256, 256, 4},
    {"sky.png", 1024, 256, 4},
    {"lock1.png", 32, 32, 4},
    {"lock2.png", 64, 64, 4},
    {"lock3.png", 32, 32, 4},
    {"sight.png", 64, 64, 4},
    {"landmap.png", 1, 64, 3},
    {"splash3.png", 256, 256, 4},
    {"splashwake1.png", 256, 256, 4},
    {"splashwake3.png", 256, 256, 4},
    {"smokesprites0199.png", 256, 256, 4},
    {"sun.png", 256, 256, 4},
    {"smokesprites0199_inv.png", 256, 256, 4},
    {"smokesprites0199_burn.png", 256, 256, 4},
    {"abshock.png", 256, 256, 4},
    {"hud.png", 256, 256, 4},
    {"title.png", 1024, 1024, 3},
    {"endofseq.png", 256, 256, 4},
};

struct Png {
    bool ok = false;
    unsigned w = 0, h = 0;
    int bit_depth = 0, color_type = 0, interlace = 0, channels = 0;
    bool has_time = false;
    std::vector<unsigned char> data;

    const unsigned char *px(unsigned x, unsigned y) const {
        return &data[((size_t)y * w + x) * channels];
    }
    int alpha(unsigned x, unsigned y) const { return channels == 4 ? px(x, y)[3] : 255; }
};

Png read_png(const fs::path &path) {
    Png out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_infop end = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, &end);
        std::fclose(f);
        out.ok = false;
        return out;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    png_uint_32 w, h;
    int depth, color, interlace, compression, filter;
    png_get_IHDR(png, info, &w, &h, &depth, &color, &interlace, &compression, &filter);
    out.w = w;
    out.h = h;
    out.bit_depth = depth;
    out.color_type = color;
    out.interlace = interlace;
    out.channels = png_get_channels(png, info);
    out.data.resize((size_t)png_get_rowbytes(png, info) * h);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = out.data.data() + (size_t)y * png_get_rowbytes(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, end);
    out.has_time =
        png_get_valid(png, info, PNG_INFO_tIME) || png_get_valid(png, end, PNG_INFO_tIME);
    out.ok = true;
    png_destroy_read_struct(&png, &info, &end);
    std::fclose(f);
    return out;
}

fs::path make_temp_dir() {
    std::string pattern = (fs::temp_directory_path() / "texgen_test_XXXXXX").string();
    char *made = mkdtemp(pattern.data());
    return made ? fs::path(made) : fs::path();
}

int run_texgen(std::vector<std::string> args) {
    args.insert(args.begin(), TEXGEN_EXE);
    return run_program(args).exit_code;
}

std::vector<char> file_bytes(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Pictures are drawn on first use, each test drawing only what it reads, into one
// folder per test program.
class Textures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { dir_ = make_temp_dir(); }
    static void TearDownTestSuite() {
        if (!dir_.empty())
            fs::remove_all(dir_);
        pngs_.clear();
    }
    static const Png &get(const char *name) {
        auto it = pngs_.find(name);
        if (it != pngs_.end())
            return it->second;
        if (!fs::exists(dir_ / name)) {
            EXPECT_EQ(run_texgen({dir_.string(), name}), 0) << name;
        }
        return pngs_[name] = read_png(dir_ / name);
    }

    static fs::path dir_;
    static std::map<std::string, Png> pngs_;
};

fs::path Textures::dir_;
std::map<std::string, Png> Textures::pngs_;

int luminance(const unsigned char *p) {
    return (p[0] * 3 + p[1] * 6 + p[2]) / 10;
}

} // namespace

TEST_F(Textures, EveryMemberHasTheTableFormat) {
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(run_texgen({dir_.string()}), 0);
    for (const Expected &e : kTable) {
        SCOPED_TRACE(e.name);
        const Png &p = get(e.name);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.w, (unsigned)e.w);
        EXPECT_EQ(p.h, (unsigned)e.h);
        EXPECT_EQ(p.bit_depth, 8);
        EXPECT_EQ(p.channels, e.channels);
        EXPECT_EQ(p.color_type, e.channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
        EXPECT_EQ(p.interlace, PNG_INTERLACE_NONE);
        EXPECT_FALSE(p.has_time);
    }
    // Nothing else lands in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 21);
}

TEST_F(Textures, SkyTopRowIsOneColourAndHorizonIsFogGrey) {
    const Png &sky = get("sky.png");
    ASSERT_TRUE(sky.ok);
    for (unsigned x = 1; x < sky.w; ++x)
        ASSERT_EQ(0, std::memcmp(sky.px(0, 0), sky.px(x, 0), 4)) << "top row differs at " << x;
    for (unsigned y = sky.h - 4; y < sky.h; ++y)
        for (unsigned x = 0; x < sky.w; ++x) {
            const unsigned char *p = sky.px(x, y);
            ASSERT_TRUE(p[0] == 204 && p[1] == 204 && p[2] == 204) << x << "," << y;
        }
    // Opaque, and no hard break anywhere across the walls' sweep (s 0 to 0.75),
    // the seams at s 0.15 and 0.6 included.
    int worst = 0;
    for (unsigned y = 0; y < sky.h; ++y)
        for (unsigned x = 0; x < 768; ++x) {
            ASSERT_EQ(sky.alpha(x, y), 255);
            if (x > 0)
                worst = std::max(worst,
                                 std::abs(luminance(sky.px(x, y)) - luminance(sky.px(x - 1, y))));
        }
    EXPECT_LT(worst, 40);
}

TEST_F(Textures, SeaTilesSeamlessly) {
    const Png &sea = get("umi.png");
    ASSERT_TRUE(sea.ok);
    for (unsigned y = 0; y < 256; ++y)
        for (unsigned x = 0; x < 256; ++x)
            ASSERT_EQ(sea.alpha(x, y), 255);
    // Mean colour step between each pair of neighbouring rows (and columns), the pair
    // across the wrap included: a seam shows up as a pair far rougher than the rest.
    auto step = [&](unsigned x0, unsigned y0, unsigned x1, unsigned y1) {
        const unsigned char *a = sea.px(x0, y0), *b = sea.px(x1, y1);
        return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
    };
    for (bool across : {false, true}) {
        SCOPED_TRACE(across ? "columns" : "rows");
        std::vector<double> pairs;
        for (unsigned k = 0; k < 256; ++k) {
            double sum = 0;
            for (unsigned i = 0; i < 256; ++i)
                sum += across ? step(k, i, (k + 1) % 256, i) : step(i, k, i, (k + 1) % 256);
            pairs.push_back(sum / 256);
        }
        double wrap = pairs[255];
        std::vector<double> sorted = pairs;
        std::sort(sorted.begin(), sorted.end());
        double median = sorted[128];
        EXPECT_GT(median, 1.0) << "a flat sea";
        EXPECT_LT(wrap, median * 1.6);
    }
}

TEST_F(Textures, IslandRampGivesSandGrassRockSnowUpwards) {
    const Png &map = get("landmap.png");
    ASSERT_TRUE(map.ok);
    // The island reads t = -h with repeat wrap and nearest filtering.
    auto at_height = [&](double h) {
        double t = -h - std::floor(-h);
        return map.px(0, (unsigned)(t * 64));
    };
    auto sand = [](const unsigned char *p) { return p[0] > 170 && p[0] > p[1] && p[1] > p[2]; };
    auto grass = [](const unsigned char *p) { return p[1] > p[0] + 15 && p[1] > p[2] + 15; };
    auto rock = [](const unsigned char *p) {
        return p[0] > 70 && p[0] < 190 && std::abs(p[0] - p[2]) < 40 && std::abs(p[1] - p[2]) < 40;
    };
    auto snow = [](const unsigned char *p) { return p[0] > 215 && p[1] > 215 && p[2] > 215; };
    for (double h : {0.21, 0.25})
        EXPECT_TRUE(sand(at_height(h))) << h;
    for (double h : {0.35, 0.45, 0.54})
        EXPECT_TRUE(grass(at_height(h))) << h;
    for (double h : {0.64, 0.72})
        EXPECT_TRUE(rock(at_height(h))) << h;
    for (double h : {0.85, 0.9})
        EXPECT_TRUE(snow(at_height(h))) << h;
}

TEST_F(Textures, HudAtlasHoldsInkInItsBoxes) {
    const Png &hud = get("hud.png");
    ASSERT_TRUE(hud.ok);
    auto ink = [&](unsigned x0, unsigned y0, unsigned x1, unsigned y1) {
        int n = 0;
        for (unsigned y = y0; y <= y1; ++y)
            for (unsigned x = x0; x <= x1; ++x)
                n += hud.alpha(x, y) > 128;
        return n;
    };
    // Speed tab at the top left, the frame's top edge across the whole width, the
    // frame's inside open so the strip shows through.
    EXPECT_GT(ink(0, 0, 63, 15), 100);
    for (unsigned x = 0; x < 256; ++x)
        EXPECT_EQ(hud.alpha(x, 16), 255) << x;
    EXPECT_EQ(ink(100, 22, 120, 28), 0);

    // The strip: opaque exactly in its box, nothing else in its band.
    for (unsigned y = 32; y < 64; ++y)
        for (unsigned x = 0; x < 256; ++x) {
            bool in = x >= 3 && x <= 252 && y >= 51 && y <= 60;
            ASSERT_EQ(hud.alpha(x, y), in ? 255 : 0) << x << "," << y;
        }
    const unsigned char *blue = hud.px(3, 55), *yellow = hud.px(128, 55), *red = hud.px(203, 55),
                        *pink = hud.px(252, 55);
    EXPECT_TRUE(blue[2] > 200 && blue[0] < 100);
    EXPECT_TRUE(yellow[0] > 200 && yellow[1] > 180 && yellow[2] < 100);
    EXPECT_TRUE(red[0] > 200 && red[1] < 100 && red[2] < 100);
    EXPECT_TRUE(pink[0] > 200 && pink[2] > 150 && pink[2] > pink[1]);

    // Score label, and each digit inside its 16-pixel cell with clear edge columns
    // (nearest filtering takes the cell's first and last texels too).
    EXPECT_GT(ink(0, 64, 63, 95), 100);
    std::vector<std::vector<int>> cells;
    for (int d = 0; d < 10; ++d) {
        unsigned x0 = 16 * (d + 4);
        SCOPED_TRACE(d);
        EXPECT_GT(ink(x0, 64, x0 + 15, 95), 40);
        for (unsigned y = 64; y < 96; ++y) {
            EXPECT_EQ(hud.alpha(x0, y), 0);
            EXPECT_EQ(hud.alpha(x0 + 15, y), 0);
        }
        std::vector<int> cell;
        for (unsigned y = 64; y < 96; ++y)
            for (unsigned x = x0; x < x0 + 16; ++x)
                cell.push_back(hud.alpha(x, y) > 128);
        for (const auto &other : cells)
            EXPECT_NE(cell, other) << "two digits look alike";
        cells.push_back(cell);
    }

    // Missile icons: both drawn, the large one taller than the small one.
    auto height_of_ink = [&](unsigned x0, unsigned x1) {
        int top = -1, bottom = -1;
        for (unsigned y = 96; y < 160; ++y)
            if (ink(x0, y, x1, y) > 0) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        return top < 0 ? 0 : bottom - top + 1;
    };
    EXPECT_GT(height_of_ink(0, 31), height_of_ink(32, 63));
    EXPECT_GT(height_of_ink(32, 63), 20);
}

TEST_F(Textures, EndPictureIsOpaqueWithACalmTopLeft) {
    const Png &end = get("endofseq.png");
    ASSERT_TRUE(end.ok);
    for (unsigned y = 0; y < end.h; ++y)
        for (unsigned x = 0; x < end.w; ++x)
            ASSERT_EQ(end.alpha(x, y), 255);
    // Where the score is drawn: the top-left 96 by 40 texels are one quiet colour.
    int lo = 255, hi = 0;
    for (unsigned y = 0; y < 40; ++y)
        for (unsigned x = 0; x < 96; ++x) {
            lo = std::min(lo, luminance(end.px(x, y)));
            hi = std::max(hi, luminance(end.px(x, y)));
        }
    EXPECT_LE(hi - lo, 4);
    EXPECT_LT(hi, 100) << "the score's light digits need a dark ground";
}

TEST_F(Textures, SpritesFadeOutBeforeTheirEdges) {
    // Drawn as unrotated quads: any alpha on the border would show the square.
    for (const char *name : {"sun.png", "smokesprites0199.png", "smokesprites0199_inv.png",
                             "smokesprites0199_burn.png", "abshock.png", "jetfrom.png", "jetf2.png",
                             "sight.png", "lock1.png", "lock2.png", "lock3.png"}) {
        SCOPED_TRACE(name);
        const Png &p = get(name);
        ASSERT_TRUE(p.ok);
        int peak = 0;
        for (unsigned y = 0; y < p.h; ++y)
            for (unsigned x = 0; x < p.w; ++x) {
                peak = std::max(peak, p.alpha(x, y));
                if (x == 0 || y == 0 || x == p.w - 1 || y == p.h - 1) {
                    ASSERT_EQ(p.alpha(x, y), 0) << x << "," << y;
                }
            }
        EXPECT_GT(peak, 128);
    }
}

TEST_F(Textures, FlameTubeColumnsBurnDownAndDiffer) {
    const Png &jet = get("jet.png");
    ASSERT_TRUE(jet.ok);
    int top = 0;
    std::vector<std::vector<unsigned char>> columns;
    for (unsigned x = 0; x < jet.w; ++x) {
        top += jet.alpha(x, 0);
        EXPECT_EQ(jet.alpha(x, jet.h - 1), 0) << "the tail end must fade to nothing";
        std::vector<unsigned char> col;
        int near = 0, far = 0;
        for (unsigned y = 0; y < jet.h; ++y) {
            col.insert(col.end(), jet.px(x, y), jet.px(x, y) + 4);
            (y < jet.h / 2 ? near : far) += jet.alpha(x, y);
        }
        EXPECT_GT(near, far * 2) << "column " << x << " is not hottest at the nozzle";
        columns.push_back(col);
    }
    EXPECT_GT(top / (int)jet.w, 150);
    std::sort(columns.begin(), columns.end());
    EXPECT_GT(std::unique(columns.begin(), columns.end()) - columns.begin(), 48)
        << "columns too alike to shimmer";
}

TEST(TexgenOutput, TwoRunsWriteTheSameBytes) {
    fs::path first = make_temp_dir(), again = make_temp_dir();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(again.empty());
    ASSERT_EQ(run_texgen({first.string()}), 0);
    ASSERT_EQ(run_texgen({again.string()}), 0);
    for (const Expected &e : kTable) {
        std::vector<char> a = file_bytes(first / e.name), b = file_bytes(again / e.name);
        EXPECT_FALSE(a.empty()) << e.name;
        EXPECT_TRUE(a == b) << e.name << " differs between runs";
    }
    fs::remove_all(first);
    fs::remove_all(again);
}

TEST(TexgenCommandLine, RefusesBadArguments) {
    EXPECT_NE(run_texgen({}), 0);
    EXPECT_NE(run_texgen({"/nonexistent/folder/for/texgen"}), 0);
    fs::path dir = make_temp_dir();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(run_texgen({dir.string(), "nosuch.png"}), 0);
    // Picking members writes only those.
    EXPECT_EQ(run_texgen({dir.string(), "lock3.png", "landmap.png"}), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    fs::remove_all(dir);
}
