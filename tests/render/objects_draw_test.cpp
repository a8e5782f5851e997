// The object pass read back in an orthographic view: where a turned record's
// corners land, each sprite's picture, size, fade, blend and depth, and an
// island's heightmap the right way round and at its heights.
#include "render_support.h"

#include "assets/assets.h"
#include "core/land.h"
#include "core/objects.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>

namespace {

class ObjectsDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glEnable(GL_DEPTH_TEST);
    }
    // x from -w to w across the window, y from -h to h, z from -d to d.
    void ortho(double w, double h, double d) {
        glLoadIdentity();
        glOrtho(-w, w, -h, h, -d, d);
    }
};

// The corners of a trail puff (0.5 either side in its own xy plane) span the
// record's x and y axes, so where they land tells the whole turn.
TEST_F(ObjectsDrawTest, RecordsTurnByYawThenPitchThenRoll) {
    const float cases[][3] = {{40, 70, 0}, {-25, -60, 50}}; // pitch, yaw, roll
    for (const auto &angles : cases) {
        g_player.pos[2] = -1000;
        GameObject o{};
        o.kind = OBJ_TRAIL_SMOKE;
        o.pos[0] = 3;
        o.pos[1] = -2;
        o.pos[2] = -1004;
        std::copy(angles, angles + 3, o.angles);
        world_link({&o});
        ortho(10, 10, 10);
        std::vector<float> buffer(256);
        glFeedbackBuffer((int)buffer.size(), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        objects_draw(0);
        const int n = glRenderMode(GL_RENDER);
        // The quad may come back whole or as triangles: gather its corners.
        std::vector<std::array<double, 3>> drawn;
        for (int i = 0; i < n; i += 2 + 3 * (int)buffer[i + 1]) {
            ASSERT_EQ(buffer[i], GL_POLYGON_TOKEN);
            for (int v = 0; v < (int)buffer[i + 1]; v++)
                drawn.push_back(
                    {buffer[i + 2 + 3 * v], buffer[i + 3 + 3 * v], buffer[i + 4 + 3 * v]});
        }

        double mv[16], pr[16];
        int vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        const double p = angles[0] * M_PI / 180, y = angles[1] * M_PI / 180,
                     r = angles[2] * M_PI / 180;
        for (const double cx0 : {-0.5, 0.5}) {
            for (const double cy0 : {-0.5, 0.5}) {
                // Roll about z, then pitch about x, then yaw about y, from the
                // record's frame outwards; then the record's place, z relative.
                const double cx = cx0 * cos(r) - cy0 * sin(r);
                const double cy = cx0 * sin(r) + cy0 * cos(r);
                const double wx = cx * cos(y) + cy * sin(p) * sin(y);
                const double wz = -cx * sin(y) + cy * sin(p) * cos(y);
                std::array<double, 3> want;
                gluProject(wx + 3, cy * cos(p) - 2, wz - 4, mv, pr, vp, &want[0], &want[1],
                           &want[2]);
                const bool found = std::any_of(drawn.begin(), drawn.end(), [&](auto &d) {
                    return std::fabs(d[0] - want[0]) < 0.01 && std::fabs(d[1] - want[1]) < 0.01 &&
                           std::fabs(d[2] - want[2]) < 1e-5;
                });
                EXPECT_TRUE(found)
                    << "pitch " << angles[0] << " yaw " << angles[1] << " roll " << angles[2]
                    << ": no corner at " << want[0] << ',' << want[1] << ',' << want[2];
            }
        }
    }
}

// Each sprite over a grey background, in a view scaled so that a sprite of the
// right size fills the middle half of the window: each corner of its picture
// in place, faded by age and mixed or added, nothing past the edges, and no
// depth written, so a model drawn after it is not cut.
TEST_F(ObjectsDrawTest, SpritesShowTheirPictureSizeFadeAndBlend) {
    const std::array<Rgba, 4> picture = {
        {{150, 0, 0, 255}, {0, 150, 0, 255}, {0, 0, 150, 255}, {150, 150, 0, 128}}};
    const struct {
        int kind;
        unsigned *slot;
        float a, age, size, alpha;
        bool additive;
    } cases[] = {{OBJ_TRAIL_SMOKE, &g_tex_smoke, 0, 0.25f, 0.5f, 0.75f, false},
                 {OBJ_EXPLOSION, &g_tex_smoke_burn, 0, 0.5f, 15, 0.5f, true},
                 {OBJ_DEBRIS_SMOKE, &g_tex_smoke_inv, 10, 0.5f, 10, 1, false},
                 {OBJ_DEBRIS_SMOKE, &g_tex_smoke_inv, 4, 1.5f, 4, 0.5f, false},
                 {OBJ_SHOCK, &g_tex_abshock, 0, 0.15f, 3, 0.5f, true}};
    const int grey = 100;
    for (const auto &c : cases) {
        SlotTexture texture(c.slot, texture_corners(picture));
        GameObject o{};
        o.kind = c.kind;
        o.a = c.a;
        o.birth = 20;
        world_link({&o});
        glClearColor(grey / 255.0f, grey / 255.0f, grey / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
        ortho(2 * c.size, 2 * c.size, 10);
        objects_draw(20 + c.age);

        const double at[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
        for (int q = 0; q < 4; q++) {
            const double a = c.alpha * picture[q][3] / 255;
            Rgba want;
            for (int i = 0; i < 3; i++)
                want[i] = (int)std::lround(picture[q][i] * a + grey * (c.additive ? 1 : 1 - a));
            EXPECT_TRUE(rgb_near(pixel_ndc(0.45 * at[q][0], 0.45 * at[q][1]), want))
                << "kind " << c.kind << " age " << c.age << " corner " << q;
            EXPECT_TRUE(rgb_near(pixel_ndc(0.55 * at[q][0], 0.55 * at[q][1]), {grey, grey, grey}))
                << "kind " << c.kind << " reaches past its size, corner " << q;
        }
        EXPECT_EQ(depth_at(400, 300), 1.0f) << "kind " << c.kind;
    }
}

// Looked at from straight above, each quarter of the map at its own depth
// under the sea: the x index runs along x and the z index ahead (towards -z),
// the colour comes from the ramp by height, and the depth buffer gives where
// each quarter lies.
TEST_F(ObjectsDrawTest, IslandLiesAsItsHeightmapSays) {
    SlotTexture ramp(&g_tex_landmap, texture_make(1, 4,
                                                  {255, 0, 0, 255, 0, 255, 0, 255, //
                                                   0, 0, 255, 255, 255, 255, 0, 255}));
    const Rgba colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    for (int j = 0; j < LAND_GRID; j++)
        for (int i = 0; i < LAND_GRID; i++)
            g_land_heights[3][j][i] = -(0.1f + 0.25f * (j >= 8) + 0.5f * (i >= 8));
    g_player.pos[2] = -500;
    GameObject island{};
    island.kind = OBJ_ISLAND;
    island.land_slot = 3;
    island.pos[1] = 4;
    island.pos[2] = -500;
    world_link({&island});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Height y towards the eye, x across and -z up the window.
    ortho(96, 72, 100);
    glRotatef(90, 1, 0, 0);
    objects_draw(0);

    for (int q = 0; q < 4; q++) {
        const double x = q & 1 ? 1 : -1, ahead = q & 2 ? 1 : -1;
        EXPECT_TRUE(rgb_near(pixel_ndc(32 * x / 96, 32 * ahead / 72), colours[q])) << q;
        EXPECT_TRUE(rgb_near(pixel_ndc(60 * x / 96, 60 * ahead / 72), colours[q])) << q;
        EXPECT_TRUE(rgb_near(pixel_ndc(68 * x / 96, 68 * ahead / 72), {0, 0, 0})) << q;
        // Heights ten times the map's, 2 units down, from the record's height.
        const double height = 4 + 10 * (-(0.1 + 0.25 * (q & 1) + 0.5 * (q >> 1)) - 0.2);
        const double d =
            depth_at((int)(400 + 400 * 32 * x / 96), (int)(300 + 300 * 32 * ahead / 72));
        EXPECT_NEAR(100 * (1 - 2 * d), height, 0.05) << q;
    }
}

} // namespace
