// A new game, the stage spawner's walk over the script, and the lock table as
// its four users share it.
#include <gtest/gtest.h>

#include "assets/assets.h"
#include "assets/stage_script.h"
#include "core/game.h"
#include "core/input.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/player.h"
#include "core/stage.h"
#include "core/vecmath.h"
#include "fakes.h"
#include "world.h"

namespace {

struct Game : ::testing::Test {
    std::vector<StageEntry> rows;
    void SetUp() override {
        world_clear();
        g_player.kind = OBJ_AIRCRAFT;
        g_player.side = SIDE_PLAYER;
        fake::set_time(10.0);
    }
    void TearDown() override {
        g_stage_head = nullptr;
        world_clear();
    }
    // A script of rows (trigger, fire distance, kind), offset 0 unless given.
    void script(std::initializer_list<StageEntry> entries) {
        rows.assign(entries);
        for (size_t i = 0; i + 1 < rows.size(); i++)
            rows[i].next = &rows[i + 1];
        g_stage_head = g_stage_cursor = rows.empty() ? nullptr : &rows[0];
    }
};

StageEntry row(float trigger, float fire_distance, int kind = 2, float oz = 0) {
    StageEntry r{};
    r.trigger = trigger;
    r.fire_distance = fire_distance;
    r.kind = kind;
    r.offset[2] = oz;
    return r;
}

} // namespace

TEST_F(Game, ResetStartsAGameAndKeepsTheWorld) {
    GameObject *survivor = world_add(OBJ_AIRCRAFT, SIDE_ENEMY, 0, 20, -300);
    survivor->missile_assigned = 1;
    survivor->has_fired = 1;
    for (GameObject *&slot : g_locks) // a full table, the last slot included
        slot = survivor;
    GameObject *in_flight = world_add(OBJ_MISSILE, SIDE_PLAYER, 0, 20, -200);
    in_flight->target = survivor;
    g_player.angles[0] = 5;
    g_player.b = 0.7f;
    g_player.pos[1] = 80;
    g_player.vel[0] = 3;
    g_player.acc[2] = 1;
    g_score = 999;
    g_stage_over = 1;
    g_stage_over_time = 3;
    g_cam_shake = 0.01f;
    g_boost_latch = 1;
    g_throttle_state = THROTTLE_SLOW;
    script({row(1000, 0)});
    g_stage_cursor = nullptr;
    fake::next_channel = 7;

    game_reset();

    const float pos[3] = {0, 3.7f, -7}, vel[3] = {0, 0, -6.3f};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(g_player.pos[i], pos[i]);
        EXPECT_EQ(g_player.vel[i], vel[i]);
        EXPECT_EQ(g_player.acc[i], 0.0f);
    }
    EXPECT_EQ(g_player.model, g_model_f14);
    EXPECT_EQ(g_player.a, 0.5f);
    EXPECT_EQ(g_player.b, 0.7f);         // the goal and the attitude carry over
    EXPECT_EQ(g_player.angles[0], 5.0f); // until player control sets them
    EXPECT_EQ(g_boost_latch, 0);
    EXPECT_EQ(g_boost_time, -100.0f);
    EXPECT_EQ(g_throttle_state, THROTTLE_CRUISE);
    EXPECT_EQ(g_missile_count, MAX_MISSILES);
    EXPECT_EQ(g_score, 0);
    EXPECT_EQ(g_stage_over, 0);
    EXPECT_EQ(g_stage_over_time, 3.0f);
    EXPECT_EQ(g_cam_shake, 0.01f);
    EXPECT_EQ(g_stage_cursor, &rows[0]);
    for (GameObject *slot : g_locks)
        EXPECT_EQ(slot, nullptr);

    ASSERT_EQ(fake::mix.size(), 6u);
    const char *calls[6] = {"Mix_VolumeMusic", "Mix_PlayMusic",        "Mix_HaltChannel",
                            "Mix_Volume",      "Mix_PlayChannelTimed", "Mix_Volume"};
    const int values[6] = {96, -1, 0, 128, -1, 32};
    const int channels[6] = {0, 0, -1, -1, -1, 7};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(fake::mix[i].fn, calls[i]);
        EXPECT_EQ(fake::mix[i].loops, values[i]) << i;
        EXPECT_EQ(fake::mix[i].channel, channels[i]) << i;
    }
    EXPECT_EQ(fake::mix[1].what, g_music);
    EXPECT_EQ(fake::mix[4].what, g_snd_engine[THROTTLE_CRUISE]);
    EXPECT_EQ(g_engine_channel, 7);

    // Four new islands, slot 0 first, pushed in front of the survivors.
    std::vector<GameObject *> all = world_list();
    ASSERT_EQ(all.size(), 7u);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(all[i]->kind, OBJ_ISLAND);
        EXPECT_EQ(all[i]->land_slot, 3 - i);
    }
    EXPECT_EQ(all[4], in_flight);
    EXPECT_EQ(in_flight->target, survivor);
    EXPECT_EQ(survivor->missile_assigned, 1);
    EXPECT_EQ(survivor->has_fired, 1);
    game_reset();
    EXPECT_EQ(world_count(OBJ_ISLAND), 8);
}

TEST_F(Game, RowsComeInScriptOrderOnceTheirDistanceIsPassed) {
    script({row(1000, 0, 1), row(1000, 0, 2), row(1000.5f, 0, 3), row(900, 0, 3), row(11500, -1)});
    g_player.pos[2] = -1000.5f;
    EXPECT_EQ(stage_spawn_due(), 0);
    std::vector<GameObject *> all = world_list();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0]->model, g_model_fighter); // the second row is the newer record
    EXPECT_EQ(all[1]->model, g_model_f14);
    EXPECT_EQ(g_stage_cursor, &rows[2]);
    g_player.pos[2] = -1000.6f; // the late row waits for the one above it
    EXPECT_EQ(stage_spawn_due(), 0);
    EXPECT_EQ(world_count(OBJ_AIRCRAFT), 5);
    g_player.pos[2] = -11500;
    EXPECT_EQ(stage_spawn_due(), 0);
    g_player.pos[2] = -11500.1f;
    EXPECT_EQ(stage_spawn_due(), 1);
    EXPECT_EQ(g_stage_cursor, &rows[4]); // the cursor stays on the end row
    EXPECT_EQ(stage_spawn_due(), 1);
    EXPECT_EQ(world_count(OBJ_AIRCRAFT), 5);

    script({row(10, 0), row(20, -2), row(30, 0)});
    g_player.pos[2] = -100;
    EXPECT_EQ(stage_spawn_due(), 1);
    EXPECT_EQ(world_count(OBJ_AIRCRAFT), 6);

    script({row(10, 0)}); // no end row: the stage never ends
    EXPECT_EQ(stage_spawn_due(), 0);
    EXPECT_EQ(g_stage_cursor, nullptr);
    EXPECT_EQ(stage_spawn_due(), 0);
}

TEST_F(Game, RowsPlaceTheirObjectsAroundThePlayer) {
    StageEntry r = row(10, 50, 3, -1000);
    r.offset[1] = 20;
    r.vel[0] = 1.5f;
    r.acc[2] = 0.01f;
    script({r, row(10, 0, 0, -100), row(10, 0, 7), row(10, 0, -3)});
    g_player.pos[0] = 10;
    g_player.pos[1] = 30;
    g_player.pos[2] = -5000;
    stage_spawn_due();
    std::vector<GameObject *> all = world_list();
    ASSERT_EQ(all.size(), 5u);
    GameObject *mig = all[3], *incoming = all[2];
    EXPECT_EQ(mig->pos[0], 10.0f);
    EXPECT_EQ(mig->pos[1], 50.0f);
    EXPECT_EQ(mig->pos[2], -6000.0f);
    EXPECT_EQ(mig->vel[0], 1.5f);
    EXPECT_EQ(mig->acc[2], 0.01f);
    EXPECT_EQ(mig->spawn_z, -5000.0f);
    EXPECT_EQ(mig->fire_distance, 50.0f);
    EXPECT_EQ(mig->model, g_model_mig25);
    EXPECT_EQ(mig->side, SIDE_ENEMY);
    EXPECT_EQ(incoming->kind, OBJ_MISSILE);
    EXPECT_EQ(incoming->model, g_model_missile);
    EXPECT_EQ(incoming->target, &g_player);
    EXPECT_EQ(incoming->b, 105.0f);
    for (int i : {0, 1}) { // kinds without a model of their own
        EXPECT_EQ(all[i]->kind, OBJ_AIRCRAFT);
        EXPECT_EQ(all[i]->model, g_model_missile);
    }
}

TEST_F(Game, ANewGameRewindsTheScript) {
    script({row(5, 0), row(1000, 0), row(11500, -1)});
    g_player.pos[2] = -2000;
    stage_spawn_due();
    ASSERT_EQ(world_count(OBJ_AIRCRAFT), 3);
    game_reset(); // the player is back at a distance of 7: the first row is due
    EXPECT_EQ(stage_spawn_due(), 0);
    EXPECT_EQ(world_count(OBJ_AIRCRAFT), 4);
    EXPECT_EQ(g_stage_cursor, &rows[1]);

    // A row whose record cannot be made is passed over.
    game_reset();
    fake::alloc_budget = 0;
    EXPECT_EQ(stage_spawn_due(), 0);
    EXPECT_EQ(g_stage_cursor, &rows[1]);
    EXPECT_EQ(world_count(OBJ_AIRCRAFT), 4);
}

TEST_F(Game, TheLockTableBetweenItsFourUsers) {
    g_title_mode = 0;
    g_missile_count = 10;
    g_player.pos[1] = 20;
    GameObject *e[4];
    for (int i = 0; i < 4; i++)
        e[i] = world_add(OBJ_AIRCRAFT, SIDE_ENEMY, i * 40.0f, 20, -300);
    // Acquisition as the renderer does it: the lowest empty slot.
    auto acquire = [](GameObject *obj) {
        for (GameObject *&slot : g_locks)
            if (!slot) {
                slot = obj;
                return;
            }
    };
    auto launch = [] {
        fake::ticks += 1000;
        g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_PRESSED;
        player_control();
        return g_object_list->target;
    };
    acquire(e[0]);
    acquire(e[1]);
    acquire(e[2]);
    EXPECT_EQ(launch(), e[0]);
    e[1]->pos[2] = 1000; // behind: the simulation culls it and empties its slot
    objects_update();
    EXPECT_EQ(g_locks[1], nullptr);
    EXPECT_EQ(g_locks[2], e[2]);
    acquire(e[3]); // the hole is filled first, and taken first
    EXPECT_EQ(g_locks[1], e[3]);
    EXPECT_EQ(launch(), e[3]);
    EXPECT_EQ(launch(), e[2]);
    EXPECT_EQ(launch(), nullptr); // every lock taken: unguided, the table unchanged
    EXPECT_EQ(g_locks[0], e[0]);

    game_reset();
    for (GameObject *slot : g_locks)
        EXPECT_EQ(slot, nullptr);
    acquire(e[0]); // taken before the new game: no launch takes it again
    EXPECT_EQ(e[0]->missile_assigned, 1);
    EXPECT_EQ(launch(), nullptr);
}
