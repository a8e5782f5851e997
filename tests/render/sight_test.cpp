// The sight, acquisition into the lock table with its sound, and the marks.
#include "render_support.h"

#include "assets/assets.h"
#include "core/locks.h"
#include "core/objects.h"
#include "render/render_local.h"

#include <GL/gl.h>

namespace {

class SightTest : public GlTest {
  protected:
    OverlayView view{};
    void SetUp() override {
        GlTest::SetUp();
        g_player.pos[1] = 3.7f;
        g_player.pos[2] = -1000;
        camera_load();
        camera_load(); // settled, level, no shake
        overlay_view_read(&view);
    }
    GameObject enemy_at(float x, float y, float dz) {
        GameObject o{};
        o.kind = OBJ_AIRCRAFT;
        o.side = SIDE_ENEMY;
        o.pos[0] = x;
        o.pos[1] = y;
        o.pos[2] = g_player.pos[2] + dz;
        return o;
    }
    void ndc_of(const GameObject &o, double *x, double *y) {
        ASSERT_TRUE(overlay_project(&view, o.pos[0], o.pos[1], o.pos[2] - g_player.pos[2], x, y));
    }
    int sounds() const {
        int n = 0;
        for (auto &c : g_mix_calls)
            n += c == "Mix_PlayChannelTimed(-1,lockon,0,-1)";
        return n;
    }
};

TEST_F(SightTest, LevelFlightPutsTheSightAboveTheCentre) {
    double sx, sy;
    ASSERT_TRUE(sight_position(&view, &sx, &sy));
    EXPECT_NEAR(sx, 0, 1e-6);
    EXPECT_NEAR(sy, 0.038, 0.0005);
    // A point in the eye's plane has no image.
    double x, y;
    EXPECT_FALSE(overlay_project(&view, 0, 3.7 + 1.3, 7, &x, &y));
}

TEST_F(SightTest, LocksOnlyInsideTheStrictWindow) {
    GameObject o = enemy_at(2, 4, -200);
    world_link({&o});
    double ox, oy;
    ndc_of(o, &ox, &oy);
    // Exactly 0.028 away on either axis is outside.
    locks_acquire(&view, ox + 0.028, oy);
    locks_acquire(&view, ox, oy - 0.028);
    EXPECT_EQ(g_locks[0], nullptr);
    locks_acquire(&view, ox + 0.0279, oy - 0.0279);
    EXPECT_EQ(g_locks[0], &o);
    EXPECT_EQ(sounds(), 1);
    // Held for many frames: one lock, one sound.
    for (int i = 0; i < 10; i++)
        locks_acquire(&view, ox, oy);
    EXPECT_EQ(sounds(), 1);
    for (int i = 1; i < LOCK_SLOTS; i++)
        EXPECT_EQ(g_locks[i], nullptr);
}

TEST_F(SightTest, LocksOnlyEnemyAircraftAhead) {
    GameObject level = enemy_at(0, 4, 0);
    GameObject behind = enemy_at(0, 4, 30);
    GameObject missile = enemy_at(0, 4, -200);
    missile.kind = OBJ_MISSILE;
    GameObject friendly = enemy_at(0, 4, -200);
    friendly.side = SIDE_PLAYER;
    GameObject island = enemy_at(0, 4, -200);
    island.kind = OBJ_ISLAND;
    island.side = SIDE_NONE;
    GameObject smoke = enemy_at(0, 4, -200);
    smoke.kind = OBJ_EXPLOSION;
    smoke.side = SIDE_NONE;
    for (GameObject *o : {&level, &behind, &missile, &friendly, &island, &smoke}) {
        world_link({o});
        double ox, oy;
        if (overlay_project(&view, o->pos[0], o->pos[1], o->pos[2] - g_player.pos[2], &ox, &oy))
            locks_acquire(&view, ox, oy);
    }
    for (auto *slot : g_locks)
        EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(sounds(), 0);
}

TEST_F(SightTest, FillsTheLowestEmptySlotsInListOrder) {
    GameObject a = enemy_at(0, 4, -300), b = enemy_at(0.1f, 4, -300);
    GameObject older{};
    g_locks[1] = &older;
    world_link({&a, &b});
    double ox, oy;
    ndc_of(a, &ox, &oy);
    locks_acquire(&view, ox, oy);
    EXPECT_EQ(g_locks[0], &a);
    EXPECT_EQ(g_locks[1], &older);
    EXPECT_EQ(g_locks[2], &b);
    EXPECT_EQ(sounds(), 2);

    // The last slot is found empty, then found holding; a full table takes
    // nothing and plays nothing.
    GameObject c = enemy_at(0, 4.1f, -300);
    GameObject filler[LOCK_SLOTS];
    for (int i = 0; i < LOCK_SLOTS - 1; i++)
        g_locks[i] = &filler[i];
    world_link({&c});
    g_mix_calls.clear();
    locks_acquire(&view, ox, oy);
    EXPECT_EQ(g_locks[LOCK_SLOTS - 1], &c);
    g_locks[0] = nullptr;
    locks_acquire(&view, ox, oy);
    EXPECT_EQ(g_locks[0], nullptr) << "c is held already";
    EXPECT_EQ(sounds(), 1);
    g_locks[LOCK_SLOTS - 1] = &filler[LOCK_SLOTS - 1];
    g_locks[0] = &filler[0];
    locks_acquire(&view, ox, oy);
    for (int i = 0; i < LOCK_SLOTS; i++)
        EXPECT_EQ(g_locks[i], &filler[i]);
    EXPECT_EQ(sounds(), 1);
}

TEST_F(SightTest, MarksShowLocksAheadWithTheTakenCross) {
    GameObject ahead = enemy_at(-20, 4, -200), taken = enemy_at(20, 4, -200),
               behind = enemy_at(0, 4, 50);
    taken.missile_assigned = 1;
    g_locks[3] = &ahead;
    g_locks[LOCK_SLOTS - 1] = &taken;
    g_locks[9] = &behind;
    double ax, ay, tx, ty;
    ndc_of(ahead, &ax, &ay);
    ndc_of(taken, &tx, &ty);

    glClear(GL_COLOR_BUFFER_BIT);
    const GlState before = gl_state();
    overlay_open();
    locks_draw(&view, 0.5f);
    glPopAttrib();
    EXPECT_EQ(gl_state(), before) << "every matrix push has its pop";

    auto rgb = [](Rgba c) { return Rgba{c[0], c[1], c[2], 0}; };
    auto tex_rgb = [](unsigned tex) {
        glBindTexture(GL_TEXTURE_2D, tex);
        unsigned char p[4];
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p);
        glBindTexture(GL_TEXTURE_2D, 0);
        return Rgba{p[0], p[1], p[2], 0};
    };
    // The pulsing cross covers the ring; the red cross lies on top of both.
    EXPECT_EQ(rgb(pixel_ndc(ax, ay)), tex_rgb(g_tex_lock2));
    EXPECT_EQ(rgb(pixel_ndc(tx, ty)), tex_rgb(g_tex_lock3));
    // At t = 0.5 the cross is 2 + 2 * 0.5 = 3 times the ring: 0.15 across.
    EXPECT_EQ(rgb(pixel_ndc(ax + 0.07, ay)), tex_rgb(g_tex_lock2));
    EXPECT_EQ(rgb(pixel_ndc(ax + 0.08, ay)), (Rgba{0, 0, 0, 0}));
    // The lock behind keeps its slot but shows no mark (it would be mirrored).
    EXPECT_EQ(g_locks[9], &behind);
    double bx, by;
    if (overlay_project(&view, 0, 4, 50, &bx, &by) && bx > -1 && bx < 1 && by > -1 && by < 1) {
        EXPECT_EQ(rgb(pixel_ndc(bx, by)), (Rgba{0, 0, 0, 0}));
    }
}

} // namespace
