// Whole frames through render_frame: the title alone, and a play frame with
// the unfogged sky, the fogged sea, the sun with its light, an island and a
// model in place; then the sky box and the sea read point by point.
#include "render_support.h"

#include "assets/assets.h"
#include "assets/model3ds.h"
#include "core/game.h"
#include "core/land.h"
#include "core/objects.h"
#include "render/render.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdlib>

namespace {

class FrameTest : public GlTest {
  protected:
    // The camera this frame will use; it must be settled and unshaken.
    std::array<double, 16> camera() {
        glPushMatrix();
        camera_load();
        std::array<double, 16> m;
        glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
        glPopMatrix();
        return m;
    }
    // Where a drawn point (z relative to the player) lands with that camera.
    void project(double x, double y, double z, double *wx, double *wy) {
        const auto mv = camera();
        double pr[16], wz;
        int vp[4];
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        ASSERT_TRUE(gluProject(x, y, z, mv.data(), pr, vp, wx, wy, &wz));
    }
};

TEST_F(FrameTest, TitleFrameIsTheTitlePictureAlone) {
    // A picture whose top half is red and bottom half blue: it must stand
    // upright over the whole window.
    SlotTexture title(&g_tex_title, texture_make(1, 2, {255, 0, 0, 255, 0, 0, 255, 255}));
    g_title_mode = 1;
    g_cam_shake = 0.5f;
    g_cam_prev_eye[0] = 9;
    glFogf(GL_FOG_START, 123);
    const auto r = rand_sequence(5, 1);
    const GlState before = gl_state();

    render_frame();

    EXPECT_EQ(g_swaps, 1);
    for (int x : {0, 399, 799}) {
        EXPECT_EQ(pixel(x, 599), (Rgba{255, 0, 0, pixel(x, 599)[3]}));
        EXPECT_EQ(pixel(x, 0), (Rgba{0, 0, 255, pixel(x, 0)[3]}));
    }
    EXPECT_EQ(next_random(), r[0]) << "a title frame draws no random value";
    EXPECT_TRUE(g_mix_calls.empty());
    EXPECT_EQ(g_cam_shake, 0.5f);
    EXPECT_EQ(g_cam_prev_eye[0], 9);
    float fog_start;
    glGetFloatv(GL_FOG_START, &fog_start);
    EXPECT_EQ(fog_start, 123);
    // Only the depth test is left on for good.
    GlState after = gl_state();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_DEPTH_TEST);
    after = gl_state();
    EXPECT_EQ(after, before);
}

TEST_F(FrameTest, PlayFrameShowsSkySeaAndSun) {
    SlotTexture sky(&g_tex_sky, texture_solid(0, 0, 255)),
        sea(&g_tex_sea, texture_solid(0, 255, 0));
    g_player.pos[1] = 3.7f;
    g_player.pos[2] = -7;
    g_player.vel[2] = -6.3f;
    camera_load(); // settle the chase camera
    render_frame();
    EXPECT_EQ(g_swaps, 1);

    // Down a column clear of the sun, the sight and the HUD: pure sky, then
    // the sea, grey with fog at the horizon and clear under the aircraft.
    const int x = 600;
    int row = 540;
    while (row > 0 && pixel(x, row) == (Rgba{0, 0, 255, pixel(x, row)[3]}))
        row--;
    EXPECT_GT(row, 280);
    EXPECT_LT(row, 310);
    const Rgba horizon = pixel(x, row);
    EXPECT_GT(horizon[0], 150) << "the sea at the horizon is fogged to grey";
    EXPECT_GT(horizon[2], 150);
    const Rgba near = pixel(x, 5);
    EXPECT_EQ(near[0], 0);
    EXPECT_EQ(near[1], 255);
    EXPECT_EQ(near[2], 0);
    // Above the horizon everything but the sun is sky, unfogged.
    EXPECT_EQ(pixel(700, 550)[2], 255);
    EXPECT_EQ(pixel(700, 550)[0], 0);
}

TEST_F(FrameTest, SunStandsAboveAndToTheLeft) {
    SlotTexture sky(&g_tex_sky, texture_solid(0, 0, 255)),
        sun(&g_tex_sun, texture_solid(255, 0, 0));
    // Turn the nose up and left until the sun, 400 left, 500 up and 800
    // ahead, is in view: the camera follows half of it.
    g_player.angles[0] = 60;
    g_player.angles[1] = 50;
    camera_load();
    double wx, wy;
    project(-400, 500, -800, &wx, &wy);
    ASSERT_GT(wx, 50);
    ASSERT_LT(wx, 750);
    ASSERT_GT(wy, 50);
    ASSERT_LT(wy, 550);
    render_frame();
    // The sun lies past the fog's end, so it adds the fog's grey to the sky.
    const Rgba c = pixel((int)wx, (int)wy);
    EXPECT_GT(c[0], 190);
    EXPECT_GT(c[1], 190);
    EXPECT_EQ(c[2], 255);
    // Light 0 is a point light at the sun's centre: GL keeps its position as
    // the camera's image of that point, w included.
    const auto mv = camera();
    float light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    for (int i = 0; i < 4; i++) {
        const double want = -400 * mv[i] + 500 * mv[4 + i] - 800 * mv[8 + i] + mv[12 + i];
        EXPECT_NEAR(light[i], want, 1e-4 * std::fabs(want) + 1e-4) << "light position " << i;
    }
    // A see-through sun leaves the sky there as it is.
    SlotTexture clear_sun(&g_tex_sun, texture_solid(255, 0, 0, 0));
    camera_load();
    render_frame();
    EXPECT_EQ(pixel((int)wx, (int)wy)[0], 0);
}

// Every face of the sky box and the sea, looked at point by point from one
// eye inside the box: the pictures' texels name themselves, so each point
// shows the texture coordinate drawn there. The sea scrolls with the player's
// z speed over time and shifts with its x.
TEST_F(FrameTest, SkyAndSeaPicturesLieTheRightWayRound) {
    SlotTexture sky(&g_tex_sky, texture_naming(200)), sea(&g_tex_sea, texture_naming(100));
    glBindTexture(GL_TEXTURE_2D, g_tex_sea);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    // Fog far off, so that the sea shows its picture's own colours.
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 1e4f);
    glFogf(GL_FOG_END, 2e4f);
    g_player.pos[0] = 37;
    g_player.vel[2] = -0.15f;
    const struct {
        const char *face;
        float time;
        double x, y, z; // box units: 500 across, 1000 up and along z
        int mark;
        double s, t; // the sea's repeat, taken modulo 1
    } points[] = {
        {"far", 0, -1, 0.75, -1, 200, 0.2625, 0.25},
        {"far", 0, 1.5, 0.2, -1, 200, 0.54375, 0.8},
        {"left", 0, -2, 0.7, -0.9, 200, 0.15 / 1.1, 0.3},
        {"left", 0, -2, 0.3, 0, 200, 0.015 / 1.1, 0.7},
        {"right", 0, 2, 0.6, -0.9, 200, 0.6 + 0.015 / 1.1, 0.4},
        {"right", 0, 2, 0.15, 0, 200, 0.6 + 0.15 / 1.1, 0.85},
        {"top", 0, -1.5, 1, -0.8, 200, 0.20625, 0},
        {"top", 0, 1, 1, -0.2, 200, 0.4875, 0},
        // 80 repeats across from a tenth of the player's x, 50 per box unit
        // along z, less the scroll: the z speed times the frame time.
        {"sea", 0, 0.02, 0, -0.503, 100, 3.7 + 40.4, -25.15},
        {"sea", 2, 0.02, 0, -0.503, 100, 3.7 + 40.4, -25.45},
        {"sea", 0, -0.013, 0, -0.4913, 100, 3.7 + 39.74, -24.565},
    };
    auto off = [](double got, double want) {
        const double d = std::fabs(got - want);
        return std::fabs(d - std::round(d));
    };
    for (const auto &p : points) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        gluPerspective(60, 800.0 / 600.0, 1, 5000);
        gluLookAt(37, 100, -450, 37 + 500 * p.x, 1000 * p.y, 1000 * p.z, 0, 1, 0);
        sky_draw(p.time);
        glPopMatrix(); // the sky's, which the sun would end
        const Rgba c = pixel(400, 300);
        EXPECT_EQ(c[2], p.mark) << p.face;
        EXPECT_LT(off((c[0] + 0.5) / 256, p.s), 0.02)
            << p.face << " s " << p.s << " time " << p.time;
        EXPECT_LT(off((c[1] + 0.5) / 256, p.t), 0.02)
            << p.face << " t " << p.t << " time " << p.time;
    }
}

TEST_F(FrameTest, IslandAndModelStandWhereTheyAre) {
    SlotTexture land(&g_tex_landmap, texture_solid(255, 0, 255));
    for (auto &column : g_land_heights[2])
        for (float &h : column)
            h = 0.5f; // drawn 3 units above the island's own height

    GameObject island{};
    island.kind = OBJ_ISLAND;
    island.land_slot = 2;
    island.pos[0] = -40;
    island.pos[2] = -300;

    // One red triangle facing the camera, 4 units across.
    float vertices[] = {-2, -2, 0, 2, -2, 0, 0, 2, 0};
    uint16_t faces[] = {0, 1, 2};
    float normals[] = {0, 0, 1};
    int32_t materials[] = {0};
    Mesh3ds mesh{};
    std::snprintf(mesh.name, sizeof mesh.name, "body");
    mesh.vertex_count = 3;
    mesh.vertices = vertices;
    mesh.face_count = 1;
    mesh.faces = faces;
    mesh.face_normals = normals;
    mesh.face_materials = materials;
    Material3ds red{"red", {255, 0, 0}, {255, 0, 0}, {0, 0, 0}};
    Model3ds model{1, &mesh, 1, &red, "triangle"};
    GameObject enemy{};
    enemy.kind = OBJ_AIRCRAFT;
    enemy.side = SIDE_ENEMY;
    enemy.model = &model;
    enemy.pos[0] = 6;
    enemy.pos[1] = 3;
    enemy.pos[2] = -40;

    world_link({&enemy, &island});
    camera_load();
    double ix, iy, mx, my;
    project(-40, 3, -300, &ix, &iy);
    project(6, 3, -40, &mx, &my);
    render_frame();

    EXPECT_EQ(pixel((int)ix, (int)iy), (Rgba{255, 0, 255, pixel((int)ix, (int)iy)[3]}));
    const Rgba m = pixel((int)mx, (int)my);
    EXPECT_GT(m[0], 100) << "lit by its red material";
    EXPECT_LT(m[1], 40);
    EXPECT_LT(m[2], 40);
}

TEST_F(FrameTest, FrameLeavesOnlyDepthTestFogAndLight) {
    camera_load();
    render_frame();
    GLint depth;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 0);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint src, dst;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ZERO);
    float fog[2];
    glGetFloatv(GL_FOG_START, &fog[0]);
    glGetFloatv(GL_FOG_END, &fog[1]);
    EXPECT_EQ(fog[0], 800);
    EXPECT_EQ(fog[1], 900);
}

} // namespace
