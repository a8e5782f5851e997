// Whole frames through render_frame: the title alone, and a play frame with
// the unfogged sky, the fogged sea, the sun, an island and a model in place.
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
#include <cstdlib>

namespace {

class FrameTest : public GlTest {
  protected:
    // Where a drawn point (z relative to the player) lands with the camera
    // this frame will use; the camera must be settled and unshaken.
    void project(double x, double y, double z, double *wx, double *wy) {
        glPushMatrix();
        camera_load();
        double mv[16], pr[16], wz;
        int vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        glPopMatrix();
        ASSERT_TRUE(gluProject(x, y, z, mv, pr, vp, wx, wy, &wz));
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
    // A see-through sun leaves the sky there as it is.
    SlotTexture clear_sun(&g_tex_sun, texture_solid(255, 0, 0, 0));
    camera_load();
    render_frame();
    EXPECT_EQ(pixel((int)wx, (int)wy)[0], 0);
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
