// The HUD from an atlas whose every pixel names itself (red = column, green =
// row): the score's digits, the missile icons, the gauge's fill; then the end
// fade of the picture and of the mixer levels.
#include "render_support.h"

#include "assets/assets.h"
#include "core/game.h"
#include "core/objects.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <cstdlib>
#include <optional>

namespace {

class HudTest : public GlTest {
  protected:
    // The frame band at the top is see-through here so the bar shows.
    std::optional<SlotTexture> atlas;
    void SetUp() override {
        GlTest::SetUp();
        atlas.emplace(&g_tex_hud, texture_naming(255, 32));
    }
    void draw(float t) {
        glClear(GL_COLOR_BUFFER_BIT);
        overlay_open();
        hud_draw(t);
        glPopAttrib();
    }
    // The atlas column drawn at a point, or -1 where nothing was drawn.
    int column(double x, double y) {
        const Rgba c = pixel_ndc(x, y);
        return c[2] == 255 ? c[0] : -1;
    }
    int row(double x, double y) { return pixel_ndc(x, y)[1]; }
};

TEST_F(HudTest, ScoreShowsSevenDigits) {
    const struct {
        int score;
        const char *digits;
    } cases[] = {{0, "0000000"}, {1234567, "1234567"}, {12345678, "2345678"}};
    for (const auto &c : cases) {
        g_score = c.score;
        draw(0);
        for (int i = 0; i < 7; i++) {
            const int col = column(-0.915 + 0.05 * i, 0.88);
            EXPECT_EQ(col / 16 - 4, c.digits[i] - '0') << c.score << " digit " << i;
            EXPECT_GE(row(-0.915 + 0.05 * i, 0.88), 64);
            EXPECT_LT(row(-0.915 + 0.05 * i, 0.88), 96);
        }
        EXPECT_EQ(column(-0.585, 0.88), -1) << "nothing after the seventh digit";
        // The label: the first quarter of the atlas's Score row.
        EXPECT_LT(column(-0.81, 0.95), 64);
    }
}

TEST_F(HudTest, MissileIconsLargeForTensSmallForOnes) {
    const int large = 0, small = 1, none = -1;
    auto kind = [&](double x) {
        const int col = column(x, -0.67);
        return col < 0 ? none : col < 32 ? large : small;
    };
    g_missile_count = 50;
    draw(0);
    EXPECT_EQ(kind(-0.965), large);
    EXPECT_EQ(kind(-0.675), large);
    EXPECT_EQ(kind(-0.665), none);

    g_missile_count = 37;
    draw(0);
    EXPECT_EQ(kind(-0.83), large);
    EXPECT_EQ(kind(-0.81), small);
    EXPECT_EQ(kind(-0.485), small);
    EXPECT_EQ(kind(-0.475), none);

    g_missile_count = 9;
    draw(0);
    EXPECT_EQ(kind(-0.965), small);
    EXPECT_EQ(kind(-0.555), small);
    EXPECT_EQ(kind(-0.545), none);

    g_missile_count = 0;
    draw(0);
    EXPECT_EQ(kind(-0.965), none);
}

TEST_F(HudTest, GaugeFillsToTheFlameLevelWithFlicker) {
    g_player.a = 0.5f;
    const double r = rand_sequence(11, 1)[0];
    const float w = 0.5f + (float)(r * 0.025);
    draw(0);
    auto at = [](float f) { return -0.97 + 0.8 * f; };
    // The bar's colours keep their place: the strip's column at a fraction f
    // of the gauge is f of the atlas's width.
    EXPECT_EQ(column(at(0.25f), -0.9), 64);
    EXPECT_GE(row(at(0.25f), -0.9), 32);
    EXPECT_LT(row(at(0.25f), -0.9), 64);
    EXPECT_NE(column(at(w - 0.01f), -0.9), -1);
    EXPECT_EQ(column(at(w + 0.01f), -0.9), -1);
    EXPECT_GE(w, 0.5f);
    EXPECT_LE(w, 0.525f);
}

TEST_F(HudTest, EndFadeRaisesThePictureAndLowersEveryLevel) {
    SlotTexture end(&g_tex_endofseq, texture_solid(255, 255, 255));
    g_stage_over = 1;
    g_stage_over_time = 100;
    g_engine_channel = 9;
    g_score = 1234567;

    draw(101);
    EXPECT_NEAR(pixel_ndc(0.5, 0)[0], 51, 1) << "alpha 0.2 over black";
    EXPECT_EQ(g_mix_calls, (std::vector<std::string>{"Mix_Volume(-1,102)", "Mix_Volume(9,25)",
                                                     "Mix_VolumeMusic(76)"}));
    g_mix_calls.clear();
    draw(105);
    EXPECT_EQ(pixel_ndc(0.5, 0)[0], 255);
    EXPECT_EQ(g_mix_calls, (std::vector<std::string>{"Mix_Volume(-1,0)", "Mix_Volume(9,0)",
                                                     "Mix_VolumeMusic(0)"}));
    // The score stays on top of the picture, opaque and from the atlas.
    EXPECT_EQ(column(-0.915, 0.88) / 16 - 4, 1);

    // Later levels turn negative, which the mixer ignores.
    g_mix_calls.clear();
    draw(110);
    EXPECT_EQ(g_mix_calls, (std::vector<std::string>{"Mix_Volume(-1,-128)", "Mix_Volume(9,-32)",
                                                     "Mix_VolumeMusic(-96)"}));
    // A new game clears the flag: no picture, no level.
    g_stage_over = 0;
    g_mix_calls.clear();
    draw(111);
    EXPECT_TRUE(g_mix_calls.empty());
    EXPECT_NE(pixel_ndc(0.5, 0)[0], 255);
}

} // namespace
