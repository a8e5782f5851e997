// Player control: quitting, the title, steering and its limits, the throttle
// with its afterburner latch, the gun and launch spacing, refill, the distance
// score and the end freeze.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/assets.h"
#include "core/game.h"
#include "core/input.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/player.h"
#include "core/vecmath.h"
#include "fakes.h"
#include "world.h"

namespace {

const int KEY_ESC = 27, KEY_BACK = 8, KEY_SPACE = 32, KEY_W = 119, KEY_S = 115;

struct Player : ::testing::Test {
    void SetUp() override {
        world_clear();
        g_player.pos[1] = 20;
        g_player.pos[2] = -100;
        g_throttle_state = THROTTLE_CRUISE;
        g_boost_time = -100;
        g_missile_count = MAX_MISSILES;
        fake::set_time(10.0);
    }
    void TearDown() override { world_clear(); }
    // One frame of player control some milliseconds after the last.
    int frame(Uint32 ms = 20) {
        fake::ticks += ms;
        return player_control();
    }
};

} // namespace

TEST_F(Player, EscapeQuitsInEveryState) {
    for (int state = 0; state < 4; state++) {
        SetUp();
        g_title_mode = state == 0;
        g_stage_over = state >= 2;
        g_stage_over_time = state == 2 ? 9.0f : 1.0f; // in the freeze, after it
        g_keys_edge[KEY_ESC] = state % 2 ? INPUT_HELD : INPUT_PRESSED;
        g_keys_edge[KEY_BACK] = INPUT_PRESSED;
        EXPECT_EQ(frame(), 1) << state;
        EXPECT_EQ(g_missile_count, MAX_MISSILES);
        EXPECT_TRUE(fake::mix.empty());
    }
}

TEST_F(Player, TheTitleOnlyAnswersSpace) {
    g_title_mode = 1;
    g_missile_count = 0;
    for (int key : {KEY_BACK, KEY_W, KEY_S})
        g_keys_edge[key] = INPUT_PRESSED;
    g_mouse_edge[SDL_BUTTON_LEFT] = g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_PRESSED;
    g_mouse_dx = 0.3f;
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(g_title_mode, 1);
    EXPECT_EQ(g_missile_count, 0);
    EXPECT_EQ(world_list().size(), 1u);
    EXPECT_TRUE(fake::mix.empty());

    g_keys_edge[KEY_SPACE] = INPUT_HELD;
    g_mouse_dx += 0.5f;
    EXPECT_EQ(frame(), 0);
    EXPECT_EQ(g_title_mode, 0);
    EXPECT_EQ(g_missile_count, MAX_MISSILES); // the game started
    EXPECT_EQ(world_count(OBJ_ISLAND), 4);
    EXPECT_EQ(world_count(OBJ_BULLET), 0);
    EXPECT_EQ(g_turn, 0.0f);
    EXPECT_FLOAT_EQ(g_mouse_dx, 0.8f); // the sum reaches the next frame's steering
    for (int key : {KEY_SPACE, KEY_BACK, KEY_W, KEY_S})
        g_keys_edge[key] = INPUT_UP;
    g_mouse_edge[SDL_BUTTON_LEFT] = g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_UP;
    frame();
    EXPECT_FLOAT_EQ(g_turn, 0.48f);
    EXPECT_EQ(g_player.pos[1], 10.0f); // started at 3.7, lifted to the floor
}

TEST_F(Player, SteeringSmoothsAndSaturates) {
    g_mouse_dx = 0.5f;
    frame();
    EXPECT_FLOAT_EQ(g_turn, 0.3f);
    EXPECT_FLOAT_EQ(g_player.angles[1], -30);
    EXPECT_FLOAT_EQ(g_player.angles[2], -30);
    EXPECT_FLOAT_EQ(g_player.vel[0], 3);
    EXPECT_EQ(g_mouse_dx, 0.0f);
    frame();
    EXPECT_FLOAT_EQ(g_turn, 0.2875f);

    SetUp();
    g_mouse_dx = 1.5f;
    g_mouse_dy = -3;
    frame();
    EXPECT_EQ(g_turn, 0.6f);
    EXPECT_FLOAT_EQ(g_player.angles[1], -60);
    EXPECT_FLOAT_EQ(g_player.vel[0], 6);
    EXPECT_EQ(g_climb, -0.4f);
    EXPECT_FLOAT_EQ(g_player.angles[0], -40);
    EXPECT_FLOAT_EQ(g_player.vel[1], -4);
}

TEST_F(Player, PositionLimits) {
    const float in[4][2] = {{-600, 3.7f}, {600, 150}, {-490, 10}, {12, 55}};
    const float out[4][2] = {{-490, 10}, {490, 100}, {-490, 10}, {12, 55}};
    for (int i = 0; i < 4; i++) {
        g_player.pos[0] = in[i][0];
        g_player.pos[1] = in[i][1];
        frame();
        EXPECT_EQ(g_player.pos[0], out[i][0]);
        EXPECT_EQ(g_player.pos[1], out[i][1]);
    }
}

TEST_F(Player, TheGunFiresEveryFiftyMillisecondsAcrossTheTickWrap) {
    fake::ticks = 980;
    g_mouse_edge[SDL_BUTTON_LEFT] = INPUT_HELD;
    int shots[6];
    for (int &n : shots) {
        g_mouse_dx = 1; // turning and climbing as hard as it can: a steady attitude
        g_mouse_dy = 1;
        frame();
        n = world_count(OBJ_BULLET);
    }
    const int every_third[6] = {1, 1, 1, 2, 2, 2};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(shots[i], every_third[i]) << i;
    EXPECT_EQ(g_last_shot_ticks, 1060u);
    EXPECT_EQ(fake::count_calls("Mix_PlayChannelTimed"), 2);
    GameObject *b = g_object_list;
    float back[3];
    vec_from_angles(g_player.angles, nullptr, back);
    EXPECT_EQ(b->model, g_model_bullet);
    EXPECT_EQ(b->side, SIDE_PLAYER);
    EXPECT_EQ(b->angles[2], g_player.angles[2]);
    for (int i = 0; i < 3; i++)
        EXPECT_FLOAT_EQ(b->vel[i], g_player.vel[i] - 7.9f * back[i]);
    EXPECT_EQ(b->lifetime, 0.0f);

    // Strictly more than 50 ms elapsed, also across the wrap of the tick count:
    // 10 ms before the wrap is too soon, 110 ms across it is not.
    const Uint32 last[5] = {1000, 1000, 0xFFFFFFF0u, 0xFFFFFFF0u, 0xFFFFFF9Cu};
    const Uint32 now[5] = {1050, 1051, 0xFFFFFFFAu, 35, 10};
    const bool fires[5] = {false, true, false, true, true};
    for (int i = 0; i < 5; i++) {
        g_last_shot_ticks = last[i];
        fake::ticks = now[i];
        int before = world_count(OBJ_BULLET);
        player_control();
        EXPECT_EQ(world_count(OBJ_BULLET) - before, fires[i]) << i;
    }

    // No record, no shot: the stamp and the sound wait for one that is made.
    g_last_shot_ticks = 0;
    fake::ticks = 5000;
    fake::mix.clear();
    fake::alloc_budget = 0;
    player_control();
    EXPECT_EQ(g_last_shot_ticks, 0u);
    EXPECT_TRUE(fake::mix.empty());
}

TEST_F(Player, MissilesTakeTheFirstUntakenLock) {
    GameObject *taken = world_add(OBJ_AIRCRAFT, SIDE_ENEMY, 0, 20, -400);
    taken->missile_assigned = 1;
    GameObject *free_lock = world_add(OBJ_AIRCRAFT, SIDE_ENEMY, 50, 20, -300);
    g_locks[3] = taken;
    g_locks[LOCK_SLOTS - 1] = free_lock;
    g_player.pos[0] = 40;
    g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_PRESSED;
    frame();
    GameObject *m = g_object_list;
    ASSERT_EQ(m->kind, OBJ_MISSILE);
    EXPECT_EQ(m->model, g_model_missile);
    EXPECT_FLOAT_EQ(m->pos[0], 39.3f);
    EXPECT_EQ(m->pos[2], -100.0f);
    EXPECT_EQ(m->vel[2], g_player.vel[2]);
    EXPECT_EQ(m->acc[2], -0.07f);
    EXPECT_EQ(m->target, free_lock);
    EXPECT_FLOAT_EQ(m->b, vec_distance(free_lock->pos, m->pos) + 5);
    EXPECT_EQ(free_lock->missile_assigned, 1);
    EXPECT_EQ(g_locks[LOCK_SLOTS - 1], free_lock);
    EXPECT_EQ(g_missile_count, MAX_MISSILES - 1);
    EXPECT_EQ(g_missile_refill_time, 10.02f);
    EXPECT_EQ(g_last_missile_ticks, 10020u);

    frame(50); // a press 50 ms after the last launch: too soon
    EXPECT_EQ(world_count(OBJ_MISSILE), 1);
    g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_HELD;
    frame(100); // held: one launch per press
    EXPECT_EQ(world_count(OBJ_MISSILE), 1);
    g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_PRESSED;
    frame(); // a new press, every lock taken: unguided, from the other rail
    ASSERT_EQ(world_count(OBJ_MISSILE), 2);
    EXPECT_EQ(g_object_list->target, nullptr);
    EXPECT_FLOAT_EQ(g_object_list->pos[0], 40.7f);

    // With no stock, or no record, nothing is recorded, played or taken.
    GameObject *fresh_lock = world_add(OBJ_AIRCRAFT, SIDE_ENEMY, 0, 20, -300);
    g_locks[0] = fresh_lock;
    for (int attempt = 0; attempt < 2; attempt++) {
        g_missile_count = attempt == 0 ? 0 : 5;
        fake::alloc_budget = attempt == 0 ? -1 : 0;
        g_missile_refill_time = 10.0f;
        Uint32 stamp = g_last_missile_ticks;
        fake::mix.clear();
        frame(100);
        EXPECT_EQ(g_last_missile_ticks, stamp);
        EXPECT_TRUE(fake::mix.empty());
        EXPECT_EQ(fresh_lock->missile_assigned, 0);
        EXPECT_EQ(g_launch_side, -1);
        EXPECT_EQ(g_missile_count, attempt == 0 ? 0 : 5);
    }

    // 110 ms across the wrap of the tick count is a new launch.
    fake::alloc_budget = -1;
    g_last_missile_ticks = 0xFFFFFF9Cu;
    fake::ticks = 10;
    player_control();
    EXPECT_EQ(g_last_missile_ticks, 10u);
    EXPECT_EQ(g_missile_count, 4);
}

TEST_F(Player, MissilesComeBackOneEveryHalfSecond) {
    g_missile_count = 0;
    g_missile_refill_time = 10.0f;
    fake::set_time(10.5);
    player_control();
    EXPECT_EQ(g_missile_count, 0);
    fake::set_time(10.52);
    player_control();
    EXPECT_EQ(g_missile_count, 1);
    EXPECT_EQ(g_missile_refill_time, 10.52f);
    g_missile_count = MAX_MISSILES;
    fake::set_time(20.0);
    player_control();
    EXPECT_EQ(g_missile_count, MAX_MISSILES);
    EXPECT_EQ(g_missile_refill_time, 20.0f);
}

TEST_F(Player, TheAfterburnerLastsTwoSecondsAndNeedsAFreshW) {
    g_engine_channel = 3;
    g_keys_edge[KEY_W] = INPUT_PRESSED;
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_AFTERBURNER);
    EXPECT_EQ(g_player.vel[2], -12.4f);
    EXPECT_EQ(g_player.b, 1.0f);
    ASSERT_EQ(fake::mix.size(), 3u);
    EXPECT_EQ(fake::mix[0].fn, "Mix_HaltChannel");
    EXPECT_EQ(fake::mix[0].channel, 3);
    EXPECT_EQ(fake::mix[1].what, g_snd_engine[2]);
    EXPECT_EQ(fake::mix[1].loops, -1);
    EXPECT_EQ(fake::mix[2].fn, "Mix_Volume");
    EXPECT_EQ(fake::mix[2].channel, 5);
    EXPECT_EQ(fake::mix[2].loops, 32);
    EXPECT_EQ(g_engine_channel, 5);
    ASSERT_EQ(world_count(OBJ_SHOCK), 1);
    EXPECT_FLOAT_EQ(g_object_list->vel[2], -12.4f * 0.95f);
    EXPECT_EQ(g_object_list->lifetime, 0.3f);
    EXPECT_EQ(g_cam_shake, 0.02f);
    EXPECT_EQ(g_boost_time, 10.0f);

    // Held W, then S: the afterburner runs out after 2 s whatever the keys do.
    g_keys_edge[KEY_W] = INPUT_HELD;
    fake::set_time(11.98);
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_AFTERBURNER);
    fake::set_time(12.02);
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_CRUISE);
    fake::set_time(12.04);
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_CRUISE); // held W does not restart it
    EXPECT_EQ(world_count(OBJ_SHOCK), 1);
    g_keys_edge[KEY_W] = INPUT_UP;
    frame(0); // seen up in cruise: the latch opens
    EXPECT_EQ(g_boost_latch, 0);
    g_keys_edge[KEY_W] = INPUT_PRESSED;
    g_keys_edge[KEY_S] = INPUT_HELD; // W wins over a held S
    fake::set_time(13.0);
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_AFTERBURNER);
    EXPECT_EQ(world_count(OBJ_SHOCK), 2);
    fake::set_time(14.5);
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_AFTERBURNER); // S does not cut it short
    fake::set_time(15.02);
    frame(0);
    EXPECT_EQ(g_throttle_state, THROTTLE_SLOW);
    EXPECT_EQ(g_player.vel[2], -6.3f);
    EXPECT_EQ(g_player.b, 0.3f);

    // No ring, no afterburner start: no shake, no boost time, no latch.
    SetUp();
    g_keys_edge[KEY_W] = INPUT_PRESSED;
    fake::alloc_budget = 0;
    frame(0);
    EXPECT_EQ(world_count(OBJ_SHOCK), 0);
    EXPECT_EQ(g_cam_shake, 0.0f);
    EXPECT_EQ(g_boost_time, -100.0f);
    EXPECT_EQ(g_boost_latch, 0);
}

TEST_F(Player, DistanceScoreAndTheEndFreeze) {
    const int keys[3] = {KEY_S, 0, KEY_W};
    const int points[3] = {3, 4, 6};
    for (int state = 0; state < 3; state++) {
        g_keys_edge[keys[state]] = INPUT_PRESSED;
        int before = g_score;
        frame();
        EXPECT_EQ(g_score - before, points[state]);
        g_keys_edge[keys[state]] = INPUT_UP;
    }

    SetUp();
    g_stage_over = 1;
    g_stage_over_time = 10.0f;
    g_missile_count = 0;
    g_missile_refill_time = 9.0f;
    g_mouse_dx = 0.5f;
    fake::set_time(15.0);
    frame(0); // 5 s after the end: still in control, but no score
    EXPECT_EQ(g_score, 0);
    EXPECT_FLOAT_EQ(g_turn, 0.3f);
    EXPECT_EQ(g_missile_count, 1);
    fake::set_time(15.02);
    g_mouse_dx = 0.5f;
    g_mouse_edge[SDL_BUTTON_LEFT] = INPUT_PRESSED;
    frame(0);
    EXPECT_FLOAT_EQ(g_turn, 0.3f);
    EXPECT_EQ(g_mouse_dx, 0.5f);
    EXPECT_EQ(g_missile_count, 1);
    EXPECT_EQ(world_count(OBJ_BULLET), 0);

    // Backspace restarts after the freeze, and the rest of the frame runs.
    g_keys_edge[KEY_BACK] = INPUT_PRESSED;
    frame(0);
    EXPECT_EQ(g_stage_over, 0);
    EXPECT_EQ(g_score, 4);
    EXPECT_EQ(world_count(OBJ_BULLET), 1);
    EXPECT_EQ(g_mouse_dx, 0.0f);
    g_keys_edge[KEY_BACK] = INPUT_HELD; // held: no second restart
    frame(0);
    EXPECT_EQ(g_score, 8);
    EXPECT_EQ(world_count(OBJ_ISLAND), 4);
}
