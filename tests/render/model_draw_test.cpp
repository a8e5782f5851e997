// Models and the object pass: material colours, which meshes each mode draws,
// the flames' random draws, pictures and scroll, and the state every model,
// sprite and island leaves behind.
#include "render_support.h"

#include "assets/assets.h"
#include "assets/model3ds.h"
#include "core/land.h"
#include "core/objects.h"
#include "render/model_draw.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A model of named meshes: flames get one anchor vertex, bodies a square over
// the centre of the window facing +z, cut into two faces of their own normal
// and material: face 0 the lower left half, face 1 the upper right.
struct TestModel {
    float quad[12] = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 0, -0.5f, 0.5f, 0};
    uint16_t faces[6] = {0, 1, 3, 1, 2, 3};
    // Face 0 faces the light and shows its highlight; face 1 turns away from
    // both, so its diffuse term is weaker and its highlight gone.
    float normals[6] = {0, 0, 1, 0.6f, 0, 0.8f};
    int32_t material[2] = {0, 1};
    float anchor[3] = {0, 0, 0.1f};
    // Ambient, diffuse and specular each in a channel of its own, so every
    // term of the lighting shows apart from the others.
    Material3ds materials[2] = {{"rgb", {200, 0, 0}, {0, 200, 0}, {0, 0, 200}},
                                {"brg", {0, 0, 160}, {160, 0, 0}, {0, 160, 0}}};
    std::vector<Mesh3ds> meshes;
    Model3ds model{};

    explicit TestModel(std::vector<const char *> names) {
        for (const char *name : names) {
            Mesh3ds m{};
            std::snprintf(m.name, sizeof m.name, "%s", name);
            const bool flame = std::string(name).rfind("jet.", 0) == 0;
            if (flame && std::string(name) != "jet.empty") {
                m.vertex_count = 1;
                m.vertices = anchor;
            } else if (!flame) {
                m.vertex_count = 4;
                m.vertices = quad;
                m.face_count = 2;
                m.faces = faces;
                m.face_normals = normals;
                m.face_materials = material;
            }
            meshes.push_back(m);
        }
        model = {(int32_t)meshes.size(), meshes.data(), 2, materials, "test"};
    }
};

// Light 0 as the fixture sets it: white, from straight behind the viewer, its
// three parts of different strengths. GL adds a scene ambient of 0.2.
const float LIGHT_AMBIENT = 0.05f, LIGHT_DIFFUSE = 0.7f, LIGHT_SPECULAR = 1.0f;
const float SCENE_AMBIENT = 0.2f;

// A face's colour by GL's lighting equation. Light and viewer both lie along
// +z at infinity, so N.L and N.H are both the normal's z.
Rgba lit(const Material3ds &m, const float *normal) {
    const double d = std::max(0.0f, normal[2]), s = std::pow(d, 32);
    Rgba c{0, 0, 0, 255};
    for (int i = 0; i < 3; i++) {
        const double v = m.ambient[i] / 256.0 * (LIGHT_AMBIENT + SCENE_AMBIENT) +
                         m.diffuse[i] / 256.0 * LIGHT_DIFFUSE * d +
                         m.specular[i] / 256.0 * LIGHT_SPECULAR * s;
        c[i] = (int)std::lround(std::min(v, 1.0) * 255);
    }
    return c;
}

class ModelDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        const float ambient[4] = {LIGHT_AMBIENT, LIGHT_AMBIENT, LIGHT_AMBIENT, 1};
        const float diffuse[4] = {LIGHT_DIFFUSE, LIGHT_DIFFUSE, LIGHT_DIFFUSE, 1};
        const float specular[4] = {LIGHT_SPECULAR, LIGHT_SPECULAR, LIGHT_SPECULAR, 1};
        const float behind_viewer[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
        glLightfv(GL_LIGHT0, GL_POSITION, behind_viewer);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // A pixel inside face 0 or face 1 of the test body.
    Rgba face(int f) { return f == 0 ? pixel_ndc(-0.25, -0.25) : pixel_ndc(0.25, 0.25); }
};

TEST_F(ModelDrawTest, MaterialBytesDivideBy256) {
    const unsigned char c[3] = {255, 128, 0};
    model_set_material_color(GL_FRONT, GL_DIFFUSE, c);
    float v[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_EQ(v[0], 0.99609375f);
    EXPECT_EQ(v[1], 0.5f);
    EXPECT_EQ(v[2], 0.0f);
    EXPECT_EQ(v[3], 1.0f);
}

TEST_F(ModelDrawTest, ModesPickBodiesOrFlamesAndEachFlameDrawsOnce) {
    TestModel m({"jet.r", "body", "jet", "Jet.x", "jet.l", "jet.empty"});
    // Bodies only: no random value.
    auto r = rand_sequence(3, 3);
    model_draw(&m.model, MODEL_DRAW_BODIES, 0.1f, 1, 1);
    EXPECT_EQ(next_random(), r[0]);
    EXPECT_TRUE(rgb_near(face(0), lit(m.materials[0], m.normals))) << "the body is drawn";

    // Flames only: one value per flame, none for the anchorless one, and the
    // names "jet" and "Jet.x" are bodies, not drawn here.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    r = rand_sequence(3, 3);
    const GlState before = gl_state();
    model_draw(&m.model, MODEL_DRAW_FLAMES, 0.1f, 1, 1);
    EXPECT_EQ(gl_state(), before);
    EXPECT_EQ(next_random(), r[2]);
    EXPECT_FALSE(glIsList(1)) << "the glow list is deleted after use";

    // Both: bodies and flames, state as found.
    r = rand_sequence(3, 3);
    model_draw(&m.model, 0, 0.1f, 1, 1);
    EXPECT_EQ(next_random(), r[2]);
    EXPECT_EQ(gl_state(), before);
}

// Each face in its own material and normal; a face without a valid material
// takes material 0.
TEST_F(ModelDrawTest, EachFaceIsLitInItsMaterialAndNormal) {
    TestModel m({"body"});
    const struct {
        int32_t index[2];
        int shown[2];
    } cases[] = {{{0, 1}, {0, 1}}, {{1, 0}, {1, 0}}, {{1, 7}, {1, 0}}, {{-1, 1}, {0, 1}}};
    for (const auto &c : cases) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        m.material[0] = c.index[0];
        m.material[1] = c.index[1];
        model_draw(&m.model, MODEL_DRAW_BODIES, 0, 0, 0);
        for (int f = 0; f < 2; f++)
            EXPECT_TRUE(rgb_near(face(f), lit(m.materials[c.shown[f]], &m.normals[3 * f])))
                << "face " << f << " material " << c.index[f];
    }
    // A model without meshes draws nothing and leaves the state alone.
    Model3ds empty{};
    const GlState before = gl_state();
    model_draw(&empty, 0, 1, 1, 1);
    EXPECT_EQ(gl_state(), before);
}

TEST_F(ModelDrawTest, EverySpriteIslandAndModelLeavesTheStateAsFound) {
    TestModel m({"body", "jet.r"});
    for (auto &column : g_land_heights[1])
        for (float &h : column)
            h = 0.3f;
    camera_load();
    const struct {
        int kind;
        bool model;
    } kinds[] = {{OBJ_AIRCRAFT, true},     {OBJ_MISSILE, true},    {OBJ_ISLAND, false},
                 {OBJ_TRAIL_SMOKE, false}, {OBJ_EXPLOSION, false}, {OBJ_DEBRIS_SMOKE, false},
                 {OBJ_SHOCK, false},       {OBJ_DEBRIS, false}};
    for (const auto &k : kinds) {
        GameObject o{};
        o.kind = k.kind;
        o.model = k.model ? &m.model : nullptr;
        o.land_slot = 1;
        o.a = 4;
        o.pos[2] = -50;
        o.angles[1] = 30;
        world_link({&o});
        const GlState before = gl_state();
        objects_draw(0.1f);
        EXPECT_EQ(gl_state(), before) << "kind " << k.kind;
    }
}

// The flames the object pass asks for, read back through feedback mode: the
// first polygon is the inner glow (2.33 widths either side, alpha k) and the
// tube reaches the length along +z.
TEST_F(ModelDrawTest, FlamesFollowThePlayersLevelAndHalveForMissiles) {
    TestModel m({"jet.c"});
    m.anchor[2] = 0;
    struct Case {
        int kind;
        bool player;
        float level;
        float width, length, alpha;
    } cases[] = {{OBJ_AIRCRAFT, true, 1.0f, 0.15f, 3, 1},
                 {OBJ_AIRCRAFT, true, 0.5f, 0.075f, 1.5f, 0.5f},
                 {OBJ_AIRCRAFT, false, 1.0f, 0.075f, 1.5f, 0.5f},
                 {OBJ_MISSILE, false, 1.0f, 0.0375f, 0.75f, 0.5f}};
    for (const Case &c : cases) {
        world_clear();
        g_player.a = c.level;
        GameObject other{};
        other.kind = c.kind;
        other.side = SIDE_ENEMY;
        GameObject *o = c.player ? &g_player : &other;
        o->model = &m.model;
        if (!c.player)
            world_link({&other});
        glLoadIdentity();
        glScalef(0.1f, 0.1f, 0.1f);
        std::vector<float> buffer(1 << 14);
        glFeedbackBuffer((int)buffer.size(), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        objects_draw(0);
        const int n = glRenderMode(GL_RENDER);
        ASSERT_GT(n, 2);
        // Each vertex: window x, y, z and r, g, b, a.
        ASSERT_EQ(buffer[0], GL_POLYGON_TOKEN);
        const int count = (int)buffer[1];
        float half = 0;
        for (int v = 0; v < count; v++) {
            half = std::max(half, std::fabs(buffer[2 + 7 * v] / 400 - 1) * 10);
            EXPECT_NEAR(buffer[2 + 7 * v + 6], c.alpha, 1e-3) << "glow alpha";
        }
        EXPECT_NEAR(half, 2.33f * c.width, 1e-3) << "kind " << c.kind << " level " << c.level;
        float far = 0;
        for (int i = 0; i < n;) {
            if (buffer[i] == GL_POLYGON_TOKEN) {
                const int k = (int)buffer[i + 1];
                for (int v = 0; v < k; v++)
                    far = std::max(far, (buffer[i + 2 + 7 * v + 2] * 2 - 1) * 10);
                i += 2 + 7 * k;
            } else {
                i += 1 + 7; // point or other single-vertex token
            }
        }
        EXPECT_NEAR(far, c.length, 1e-3);
        o->model = nullptr;
    }
}

// A flame of width 1 and length 4 at alphas down to 0, seen from behind, then
// from the side at two clock times: each glow in its own picture and upright,
// the outer one at its flicker level, and the tube's one column sliding across
// its picture, whose top row lies at the anchor.
TEST_F(ModelDrawTest, FlamePicturesStandUprightAndTheTubeScrolls) {
    TestModel m({"jet.c"});
    m.anchor[2] = 0;
    SlotTexture inner(
        &g_tex_jetfrom,
        texture_corners({{{250, 0, 0, 255}, {180, 0, 0, 255}, {110, 0, 0, 255}, {40, 0, 0, 255}}}));
    SlotTexture outer(
        &g_tex_jetf2,
        texture_corners({{{0, 250, 0, 255}, {0, 180, 0, 255}, {0, 110, 0, 255}, {0, 40, 0, 255}}}));
    // Four columns over two rows, dim enough that the tube's near and far
    // walls add up without saturating.
    std::vector<unsigned char> tube;
    for (int row = 0; row < 2; row++)
        for (int col = 0; col < 4; col++)
            tube.insert(tube.end(),
                        {(unsigned char)(20 + 30 * col), (unsigned char)(20 + 80 * row), 60, 255});
    SlotTexture jet(&g_tex_jet, texture_make(4, 2, tube));

    // At every alpha: from behind, the glows fade with it, the outer one at its
    // flicker level of it; from the side, the tube does not fade at all.
    const double at[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    for (const float k : {1.0f, 0.5f, 0.25f, 0.0f}) {
        const double r = rand_sequence(4, 1)[0];
        ASSERT_GT(r, 0.5) << "a bright flicker, so that its fading shows";
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glOrtho(-8, 8, -6, 6, -10, 10);
        model_draw(&m.model, MODEL_DRAW_FLAMES, 1, 4, k);
        for (int q = 0; q < 4; q++) {
            const int level = 250 - 70 * q, inner = (int)std::lround(level * k),
                      flicker = (int)std::lround(level * 0.2 * r * k);
            // Within the inner glow (2.33 either side) both glows add; out to the
            // outer one's edge (4.66) only the outer.
            EXPECT_TRUE(
                rgb_near(pixel_ndc(1.6 * at[q][0] / 8, 1.6 * at[q][1] / 6), {inner, flicker, 0}))
                << "alpha " << k << " corner " << q;
            EXPECT_TRUE(
                rgb_near(pixel_ndc(3.5 * at[q][0] / 8, 3.5 * at[q][1] / 6), {0, flicker, 0}))
                << "alpha " << k << " corner " << q;
        }

        // From the side the tube runs along the window's x; the glows are edge-on.
        for (const double time : {1.1, 1.35}) { // u = 0.2, then 0.7
            g_ticks = (unsigned)std::lround(time * 1000);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glLoadIdentity();
            glOrtho(-8, 8, -6, 6, -10, 10);
            glRotatef(90, 0, 1, 0);
            model_draw(&m.model, MODEL_DRAW_FLAMES, 1, 4, k);
            const int col = time < 1.2 ? 0 : 2;
            for (int row = 0; row < 2; row++) {
                // A quarter and three quarters along, through both walls.
                const Rgba want = {2 * (20 + 30 * col), 2 * (20 + 80 * row), 120};
                EXPECT_TRUE(rgb_near(pixel_ndc((1 + 2 * row) / 8.0, 0.05), want, 3))
                    << "alpha " << k << " time " << time << " row " << row;
            }
        }
    }
}

TEST_F(ModelDrawTest, IslandsBeyond1564AheadAreLeftOut) {
    camera_load();
    GameObject island{};
    island.kind = OBJ_ISLAND;
    island.land_slot = 0;
    world_link({&island});
    auto primitives = [&](float ahead) {
        island.pos[2] = -ahead;
        std::vector<float> buffer(1 << 16);
        glFeedbackBuffer((int)buffer.size(), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        objects_draw(0);
        return glRenderMode(GL_RENDER);
    };
    EXPECT_EQ(primitives(1564), 0);
    EXPECT_GT(primitives(1563.9f), 0);
}

} // namespace
