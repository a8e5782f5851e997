// The per-frame pass: culling, homing, hits and their aftermath, expiry,
// facing, enemy launches and the removal rule under each of its reasons.
#include <gtest/gtest.h>

#include <algorithm>
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

struct Simulate : ::testing::Test {
    void SetUp() override {
        world_clear();
        g_player.kind = OBJ_AIRCRAFT;
        g_player.side = SIDE_PLAYER;
        g_player.pos[1] = 10;
        fake::set_time(10.0);
    }
    void TearDown() override { world_clear(); }
};

GameObject *enemy(float x, float y, float z) {
    return world_add(OBJ_AIRCRAFT, SIDE_ENEMY, x, y, z);
}

GameObject *missile(int side, float x, float y, float z) {
    return world_add(OBJ_MISSILE, side, x, y, z);
}

void set3(float *v, float x, float y, float z) {
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

} // namespace

TEST_F(Simulate, CullsAtTheExactBoundaries) {
    GameObject *far_away = enemy(0, 10, -1000.5f);
    GameObject *at_limit = enemy(0, 10, -1000);
    GameObject *level = enemy(0, 10, -1200);
    GameObject *behind = enemy(0, 10, 64);
    GameObject *dropped = enemy(0, 10, 64.5f);
    GameObject *catching = enemy(0, 10, 64.5f);
    far_away->vel[2] = at_limit->vel[2] = -1;
    catching->vel[2] = -1;
    g_locks[0] = far_away;
    g_locks[LOCK_SLOTS - 1] = dropped;
    g_locks[6] = level;
    g_player.pos[0] = 1e7f; // the player is never culled, however far it is
    objects_update();
    EXPECT_FALSE(world_has(far_away));
    EXPECT_FALSE(world_has(dropped));
    EXPECT_TRUE(world_has(at_limit));
    EXPECT_TRUE(world_has(level));
    EXPECT_TRUE(world_has(behind));
    EXPECT_TRUE(world_has(catching));
    EXPECT_TRUE(world_has(&g_player));
    EXPECT_EQ(g_locks[0], nullptr);
    EXPECT_EQ(g_locks[LOCK_SLOTS - 1], nullptr);
    EXPECT_EQ(g_locks[6], level);
}

TEST_F(Simulate, CullComparesTheStoredSinglePrecisionPositions) {
    // A record placed 1000 ahead of the player, as the stage places it, stands
    // beyond the limit exactly when the rounding of its z put it there.
    int beyond = 0, within = 0;
    for (float pz = -1500.3f; beyond < 2 || within < 2; pz = std::nextafter(pz, -2000.0f)) {
        world_clear();
        g_player.pos[2] = pz;
        g_player.vel[2] = -9.7f;
        GameObject *e = enemy(0, 10, pz + -1000.0f);
        e->vel[2] = -20;
        bool past = (double)e->pos[2] - (double)pz < -1000.0;
        objects_update();
        EXPECT_EQ(world_has(e), !past) << pz;
        (past ? beyond : within)++;
    }
    EXPECT_GE(beyond, 2);
    EXPECT_GE(within, 2);
}

TEST_F(Simulate, IslandsBehindComeBackAheadOnTheSameSlot) {
    GameObject *old = world_add(OBJ_ISLAND, SIDE_NONE, 0, 0, 64.5f);
    old->land_slot = 2;
    GameObject *far_ahead = world_add(OBJ_ISLAND, SIDE_NONE, 0, 0, -5000);
    g_player.vel[2] = -9.7f;
    objects_update();
    EXPECT_FALSE(world_has(old));
    EXPECT_TRUE(world_has(far_ahead));
    ASSERT_EQ(world_count(OBJ_ISLAND), 2);
    GameObject *fresh = g_object_list;
    EXPECT_EQ(fresh->kind, OBJ_ISLAND);
    EXPECT_EQ(fresh->land_slot, 2);
    EXPECT_GE(fresh->pos[2], -1564.0f);
    EXPECT_LE(fresh->pos[2], -1064.0f);
}

TEST_F(Simulate, GuidedMissileSpeeds) {
    GameObject *target = enemy(0, 10, -500);
    GameObject *enemy_missile = missile(SIDE_ENEMY, 0, 10, -100);
    set3(enemy_missile->vel, 0, 0, 20);
    enemy_missile->target = &g_player;
    enemy_missile->b = 1000;
    GameObject *own = missile(SIDE_PLAYER, 0, 10, -10);
    set3(own->vel, 0, 0, -3);
    set3(own->acc, 0, 0, -0.07f);
    own->target = target;
    own->b = 1000;
    objects_update();
    EXPECT_NEAR(vec_length(enemy_missile->vel), 5.1f, 1e-5);
    EXPECT_GT(enemy_missile->vel[2], 0); // towards the player at z 0
    EXPECT_NEAR(vec_length(own->vel), 3.07f + 0.1f, 1e-5);
    EXPECT_NEAR(own->vel[2], -3.17f, 1e-5);
    objects_update();
    EXPECT_NEAR(vec_length(own->vel), 3.17f + 0.07f + 0.1f, 1e-4);
    EXPECT_NEAR(own->b, vec_distance(target->pos, own->pos), 1e-3);
}

TEST_F(Simulate, ProximityHitsTheTargetThatIsBeingPassed) {
    for (float before : {2.0f, 1.0f}) {
        world_clear();
        SetUp();
        GameObject *target = enemy(0, 10, 0);
        GameObject *m = missile(SIDE_PLAYER, 0, 10, -0.5f);
        set3(m->vel, 0, 0, 2); // 1.5 past the target after this frame's move
        m->target = target;
        m->b = before;
        objects_update();
        bool growing = before < 1.5f;
        EXPECT_EQ(world_has(target), !growing);
        EXPECT_EQ(world_has(m), !growing);
        if (growing) {
            ASSERT_EQ(fake::count_calls("Mix_SetDistance"), 1);
            EXPECT_EQ(fake::mix.back().loops, 1); // the missile's distance, truncated
        }
    }
    // A very fast missile passing far from its target: the sound's distance stops at 255.
    world_clear();
    SetUp();
    GameObject *target = enemy(0, 10, 0);
    GameObject *m = missile(SIDE_PLAYER, 0, 10, -100);
    set3(m->vel, 0, 0, 400);
    m->target = target;
    m->b = 200;
    objects_update();
    EXPECT_FALSE(world_has(target));
    EXPECT_EQ(fake::mix.back().fn, "Mix_SetDistance");
    EXPECT_EQ(fake::mix.back().loops, 255);
}

TEST_F(Simulate, MissilesHitOnlyAircraftOfTheOtherSide) {
    GameObject *friend_of_enemy = enemy(100, 10, -50);
    GameObject *enemy_missile = missile(SIDE_ENEMY, 100.5f, 10, -50);
    GameObject *near_player = missile(SIDE_PLAYER, 0.3f, 10, 0);
    GameObject *decoy = missile(SIDE_ENEMY, -50, 10, -50);
    GameObject *bullet = world_add(OBJ_BULLET, SIDE_PLAYER, -50.2f, 10, -50);
    objects_update();
    EXPECT_TRUE(world_has(friend_of_enemy));
    EXPECT_TRUE(world_has(enemy_missile));
    EXPECT_TRUE(world_has(near_player));
    EXPECT_TRUE(world_has(decoy));
    EXPECT_TRUE(world_has(bullet));
    EXPECT_EQ(world_count(OBJ_EXPLOSION), 0);

    // An unguided player missile takes the newest enemy within reach, locked or not.
    GameObject *older = enemy(200, 10, -50);
    GameObject *newer = enemy(200.6f, 10, -50);
    GameObject *m = missile(SIDE_PLAYER, 200.3f, 10, -50);
    objects_update();
    EXPECT_FALSE(world_has(newer));
    EXPECT_TRUE(world_has(older));
    EXPECT_FALSE(world_has(m));
}

TEST_F(Simulate, HitsSeeAircraftWhereTheWalkHasPutThem) {
    // Older than the missile: not yet moved when the missile looks.
    GameObject *older = enemy(0.5f, 10, -100);
    older->vel[0] = 30;
    GameObject *m1 = missile(SIDE_PLAYER, 0, 10, -100);
    // Newer than the missile: already moved, into reach or out of it.
    GameObject *m2 = missile(SIDE_PLAYER, 100, 10, -100);
    GameObject *gone = enemy(100.5f, 10, -100);
    gone->vel[1] = 5;
    GameObject *m3 = missile(SIDE_PLAYER, 200, 10, -100);
    GameObject *arriving = enemy(190, 10, -100);
    arriving->vel[0] = 9.7f;
    // Far from the origin, where cells are clamped.
    GameObject *m4 = missile(SIDE_PLAYER, 3e12f, 10, -100);
    GameObject *far = enemy(3e12f, 10.5f, -100);
    objects_update();
    EXPECT_FALSE(world_has(older));
    EXPECT_FALSE(world_has(m1));
    EXPECT_TRUE(world_has(gone));
    EXPECT_TRUE(world_has(m2));
    EXPECT_FALSE(world_has(arriving));
    EXPECT_FALSE(world_has(m3));
    EXPECT_FALSE(world_has(far));
    EXPECT_FALSE(world_has(m4));
    EXPECT_EQ(world_count(OBJ_EXPLOSION), 3);
}

TEST_F(Simulate, KillScoresFallWithTheDistanceFromThePlayer) {
    const float distance[] = {0.0f, 10.3f, 25.0f, 30.0f};
    const int points[] = {1000, 790, 500, 500};
    for (int i = 0; i < 4; i++) {
        world_clear();
        SetUp();
        g_score = 7;
        enemy(distance[i], 10, 0);
        missile(SIDE_PLAYER, distance[i], 10, 0);
        objects_update();
        EXPECT_EQ(g_score, 7 + points[i]) << distance[i];
    }
}

TEST_F(Simulate, AHitRemovesVictimAndMissileAndLeavesItsEffects) {
    GameObject *victim = enemy(30, 20, -40);
    GameObject *chaser = missile(SIDE_PLAYER, 30, 20, -300);
    chaser->target = victim;
    chaser->b = 1000;
    GameObject *m = missile(SIDE_PLAYER, 30.5f, 20, -40);
    m->target = victim;
    m->b = 1000;
    g_locks[3] = enemy(-300, 10, -300);
    g_locks[4] = victim;
    fake::next_channel = 9;
    objects_update();

    EXPECT_FALSE(world_has(victim));
    EXPECT_FALSE(world_has(m));
    EXPECT_EQ(chaser->target, nullptr);
    EXPECT_EQ(g_locks[4], nullptr);
    EXPECT_NE(g_locks[3], nullptr);
    EXPECT_EQ(world_count(OBJ_EXPLOSION), 1);
    EXPECT_EQ(world_count(OBJ_DEBRIS_SMOKE), 56);
    EXPECT_EQ(world_count(OBJ_DEBRIS), 0);
    EXPECT_EQ(world_count(OBJ_TRAIL_SMOKE), 2); // one per missile this frame

    ASSERT_EQ(fake::mix.size(), 2u);
    EXPECT_EQ(fake::mix[0].fn, "Mix_PlayChannelTimed");
    EXPECT_EQ(fake::mix[0].what, g_snd_bomb);
    EXPECT_EQ(fake::mix[0].channel, -1);
    EXPECT_EQ(fake::mix[0].loops, 0);
    EXPECT_EQ(fake::mix[0].ticks, -1);
    EXPECT_EQ(fake::mix[1].fn, "Mix_SetDistance");
    EXPECT_EQ(fake::mix[1].channel, 9);

    std::vector<float> sizes;
    for (GameObject *o : world_list()) {
        if (o->kind == OBJ_EXPLOSION) {
            EXPECT_EQ(o->lifetime, 2.0f);
            EXPECT_EQ(o->pos[0], 30.0f);
        }
        if (o->kind != OBJ_DEBRIS_SMOKE)
            continue;
        sizes.push_back(o->a);
        EXPECT_EQ(o->lifetime, 2.0f);
        EXPECT_EQ(o->birth, 10.0f);
        EXPECT_EQ(vec_length(o->vel), 0.0f);
        if (o->a == 10.0f) { // after one frame of flight, 4 units out, 30 below to 60 above
            float d[3] = {o->pos[0] - 30, o->pos[1] - 20, o->pos[2] + 40};
            EXPECT_NEAR(vec_length(d), 4.0f, 1e-4);
            EXPECT_GE(d[1], 4 * std::sin(-30 * M_PI / 180) - 1e-4);
            EXPECT_LE(d[1], 4 * std::sin(60 * M_PI / 180) + 1e-4);
        }
    }
    std::sort(sizes.begin(), sizes.end());
    const float expect[] = {0.2f, 1.6f, 3.0f, 4.4f, 5.8f, 7.2f, 8.6f, 10.0f};
    for (int i = 0; i < 56; i++)
        EXPECT_NEAR(sizes[i], expect[i / 7], 1e-5);
}

// Each piece's pitch and yaw come from r = rand / 32767.0 worked in double
// precision; rounding r to float first turns most pieces a little.
TEST_F(Simulate, DebrisFliesWhereTheDrawsInDoublePrecisionSendIt) {
    const int draws[14] = {12345, 23456, 777,   32767, 0,     16384, 31000,
                           5,     9999,  20202, 1,     30001, 17,    24680};
    fake::rand_script.assign(draws, draws + 14);
    const float at[3] = {30, 20, -40};
    enemy(at[0], at[1], at[2]);
    missile(SIDE_PLAYER, at[0], at[1], at[2]);
    objects_update();

    std::vector<GameObject *> first_puffs; // size 10: one frame out; newest piece first
    for (GameObject *o : world_list())
        if (o->kind == OBJ_DEBRIS_SMOKE && o->a == 10.0f)
            first_puffs.push_back(o);
    ASSERT_EQ(first_puffs.size(), 7u);
    int rounding_shows = 0;
    for (int n = 0; n < 7; n++) {
        double pitch_r = draws[2 * n] / 32767.0, yaw_r = draws[2 * n + 1] / 32767.0;
        float exact[3] = {float(pitch_r * 90 - 90 - 30), float(yaw_r * 360 - 180), 0};
        float rounded[3] = {float(pitch_r) * 90 - 90 - 30, float(yaw_r) * 360 - 180, 0};
        float up[3], up_rounded[3];
        vec_from_angles(exact, up, nullptr);
        vec_from_angles(rounded, up_rounded, nullptr);
        const GameObject *puff = first_puffs[6 - n];
        bool differs = false;
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(puff->pos[i], at[i] + up[i] * 4.0f) << "piece " << n << " axis " << i;
            differs |= at[i] + up[i] * 4.0f != at[i] + up_rounded[i] * 4.0f;
        }
        rounding_shows += differs;
    }
    EXPECT_GE(rounding_shows, 2); // the draws are ones where the rounding would show
}

TEST_F(Simulate, AHitOnThePlayerOnlyMakesItsEffects) {
    g_score = 123;
    g_player.vel[2] = -9.7f;
    GameObject *m = missile(SIDE_ENEMY, 0.2f, 10, 0);
    objects_update();
    EXPECT_FALSE(world_has(m));
    EXPECT_TRUE(world_has(&g_player));
    EXPECT_EQ(g_score, 123);
    EXPECT_EQ(world_count(OBJ_EXPLOSION), 1);
    EXPECT_EQ(world_count(OBJ_DEBRIS_SMOKE), 56);
    EXPECT_EQ(world_list().back(), &g_player);
}

TEST_F(Simulate, RemovalsKeepTheListWholeWhereverTheyFall) {
    // The missile hits the record just before it.
    GameObject *after = world_add(OBJ_BULLET, SIDE_PLAYER, 0, 10, -5);
    after->vel[2] = -1;
    GameObject *m = missile(SIDE_PLAYER, 50, 10, -20);
    GameObject *before = enemy(50, 10, -20);
    objects_update();
    EXPECT_FALSE(world_has(before));
    EXPECT_FALSE(world_has(m));
    EXPECT_TRUE(world_has(after));
    EXPECT_EQ(after->pos[2], -6.0f); // processed in full after the hit
    EXPECT_EQ(world_list().size(), 1u + 56 + 1 + 1 + 1);

    // The missile is the head and hits a later record; the hit's records stay.
    world_clear();
    SetUp();
    GameObject *tail = world_add(OBJ_BULLET, SIDE_PLAYER, 0, 10, -5);
    tail->vel[2] = -1;
    GameObject *victim = enemy(50, 10, -20);
    m = missile(SIDE_PLAYER, 50, 10, -20);
    objects_update();
    EXPECT_FALSE(world_has(victim));
    EXPECT_FALSE(world_has(m));
    EXPECT_EQ(tail->pos[2], -6.0f);
    EXPECT_EQ(world_count(OBJ_DEBRIS_SMOKE), 56);
    EXPECT_EQ(world_list().back(), &g_player);

    // Head removals one after the other, with an island pushed meanwhile.
    world_clear();
    SetUp();
    world_add(OBJ_BULLET, SIDE_PLAYER, 0, 10, 100);
    world_add(OBJ_ISLAND, SIDE_NONE, 0, 0, 100);
    world_add(OBJ_TRAIL_SMOKE, SIDE_NONE, 0, 10, 100);
    objects_update();
    std::vector<GameObject *> all = world_list();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0]->kind, OBJ_ISLAND);
    EXPECT_EQ(all[1], &g_player);
}

TEST_F(Simulate, EffectsExpireAfterTheirLifetime) {
    fake::set_time(1.0);
    GameObject *puff = world_add(OBJ_TRAIL_SMOKE, SIDE_NONE, 0, 10, 0);
    puff->lifetime = 1.0f;
    GameObject *forever = world_add(OBJ_EXPLOSION, SIDE_NONE, 0, 10, 0);
    GameObject *negative = world_add(OBJ_EXPLOSION, SIDE_NONE, 0, 10, 0);
    negative->lifetime = -1;
    fake::set_time(2.0);
    objects_update();
    EXPECT_TRUE(world_has(puff));
    fake::set_time(2.02);
    objects_update();
    EXPECT_FALSE(world_has(puff));
    fake::set_time(100000.0);
    objects_update();
    EXPECT_TRUE(world_has(forever));
    EXPECT_TRUE(world_has(negative));
}

TEST_F(Simulate, EnemiesAndMissilesFaceTwiceTheirHeading) {
    GameObject *side_slip = enemy(0, 10, -100);
    set3(side_slip->vel, 1, 0, -1);
    side_slip->angles[2] = 33;
    GameObject *straight = enemy(0, 10, -100);
    set3(straight->vel, 0, 0, -1);
    GameObject *back = missile(SIDE_ENEMY, 0, 10, -300);
    set3(back->vel, 0, 0, 1);
    g_player.angles[1] = 12;
    objects_update();
    EXPECT_NEAR(side_slip->angles[0], 0, 1e-4);
    EXPECT_NEAR(side_slip->angles[1], -90, 1e-4);
    EXPECT_EQ(side_slip->angles[2], 0);
    EXPECT_EQ(straight->angles[1], 0);
    EXPECT_NEAR(std::fabs(back->angles[1]), 360, 1e-3);
    EXPECT_EQ(g_player.angles[1], 12);
}

TEST_F(Simulate, EnemiesLaunchOnceWhenThePlayersXPassesTheirMark) {
    GameObject *unarmed = enemy(5, 10, -200);
    unarmed->spawn_z = -10000;
    GameObject *armed = enemy(-20, 15, -300);
    armed->vel[2] = 1;
    armed->spawn_z = -110;
    armed->fire_distance = 10; // fires once the player's x is above -100
    g_player.pos[0] = -150;
    objects_update();
    EXPECT_EQ(world_count(OBJ_MISSILE), 0);
    EXPECT_EQ(armed->has_fired, 0);

    g_player.pos[0] = -99;
    objects_update();
    ASSERT_EQ(world_count(OBJ_MISSILE), 1);
    GameObject *m = g_object_list;
    EXPECT_EQ(m->kind, OBJ_MISSILE);
    EXPECT_EQ(m->side, SIDE_ENEMY);
    EXPECT_EQ(m->model, g_model_missile);
    EXPECT_FLOAT_EQ(m->pos[0], -20.7f);
    EXPECT_EQ(m->pos[2], -298.0f); // the aircraft's place after this frame's move
    EXPECT_EQ(m->acc[2], 0.07f);
    EXPECT_EQ(vec_length(m->vel), 0.0f);
    EXPECT_EQ(m->angles[1], armed->angles[1]);
    EXPECT_EQ(m->target, &g_player);
    EXPECT_FLOAT_EQ(m->b, vec_distance(g_player.pos, m->pos) + 5);
    EXPECT_EQ(armed->has_fired, 1);
    EXPECT_EQ(unarmed->has_fired, 0);
    EXPECT_EQ(g_launch_side, 1);
    ASSERT_EQ(fake::count_calls("Mix_PlayChannelTimed"), 1);
    EXPECT_EQ(fake::mix[0].what, g_snd_missile);

    objects_update(); // spent: no second missile; the new one homes from now on
    EXPECT_EQ(world_count(OBJ_MISSILE), 1);
    EXPECT_GT(vec_length(m->vel), 0.0f);
}

TEST_F(Simulate, LaunchesAlternateRailsWhoeverLaunches) {
    g_missile_count = 10;
    g_player.pos[0] = 100;
    g_player.pos[1] = 20;
    auto enemy_launch = [] {
        GameObject *e = enemy(0, 20, -500);
        e->spawn_z = -100;
        e->fire_distance = 10;
        objects_update();
        for (GameObject *o = g_object_list; o; o = o->next)
            if (o->kind == OBJ_MISSILE && o->side == SIDE_ENEMY)
                return o->pos[0];
        return 999.0f;
    };
    auto player_launch = [] {
        fake::ticks += 1000;
        g_mouse_edge[SDL_BUTTON_RIGHT] = INPUT_PRESSED;
        player_control();
        return g_object_list->pos[0] - g_player.pos[0];
    };
    EXPECT_FLOAT_EQ(enemy_launch(), -0.7f);
    EXPECT_NEAR(player_launch(), 0.7f, 1e-4);
    EXPECT_FLOAT_EQ(enemy_launch(), -0.7f);
    EXPECT_NEAR(player_launch(), 0.7f, 1e-4);
}

TEST_F(Simulate, AnEnemyWhoseMissileCouldNotBeMadeTriesAgain) {
    GameObject *armed = enemy(0, 10, -300);
    armed->spawn_z = -1000;
    armed->fire_distance = 50;
    fake::alloc_budget = 0;
    objects_update();
    EXPECT_EQ(armed->has_fired, 0);
    EXPECT_EQ(g_launch_side, -1);
    EXPECT_TRUE(fake::mix.empty());
    fake::alloc_budget = -1;
    objects_update();
    EXPECT_EQ(armed->has_fired, 1);
    EXPECT_EQ(world_count(OBJ_MISSILE), 1);
}

TEST_F(Simulate, TrailsAndTheirFailures) {
    GameObject *m = missile(SIDE_PLAYER, 0, 10, -100);
    set3(m->vel, 0, 0, -2);
    objects_update();
    GameObject *puff = g_object_list;
    ASSERT_EQ(puff->kind, OBJ_TRAIL_SMOKE);
    EXPECT_EQ(puff->pos[2], -102.0f);
    EXPECT_EQ(puff->lifetime, 1.0f);
    EXPECT_EQ(m->a, 10.0f);
    objects_update(); // the clock has not moved
    EXPECT_EQ(world_count(OBJ_TRAIL_SMOKE), 1);
    fake::set_time(10.02);
    fake::alloc_budget = 0;
    objects_update();
    EXPECT_EQ(m->a, 10.0f); // no puff made: the next frame tries again
    fake::alloc_budget = -1;
    objects_update();
    EXPECT_EQ(m->a, 10.02f);
    EXPECT_EQ(world_count(OBJ_TRAIL_SMOKE), 2);
}

TEST_F(Simulate, TheFlameLevelEasesTowardsItsGoal) {
    g_player.a = 0.5f;
    g_player.b = 1.0f;
    for (int i = 0; i < 40; i++)
        objects_update();
    EXPECT_NEAR(g_player.a, 0.95f, 1e-5); // the last step would pass the goal
    g_player.a = 1.0f;
    g_player.b = 0.3f;
    for (int i = 0; i < 40; i++)
        objects_update();
    EXPECT_LT(g_player.a, 0.3f);
    EXPECT_GT(g_player.a, 0.29f);
}

namespace {

// Large allocations limited while in scope, and unlimited again however the
// scope is left.
struct LargeAllocs {
    explicit LargeAllocs(int budget) { fake::large_alloc_budget = budget; }
    ~LargeAllocs() { fake::large_alloc_budget = -1; }
};

// Every kind of hit and removal the search takes part in, beside a crowd of
// parked aircraft.
void hit_scene(int crowd) {
    for (int i = 0; i < crowd; i++)
        enemy(300 + 3.0f * (i % 50), 50, -500 - 3.0f * (i / 50))->vel[0] = i % 7 ? 0 : 1;
    g_locks[9] = g_object_list;
    GameObject *armed = enemy(-300, 40, -600);
    armed->spawn_z = -1000;
    armed->fire_distance = 10;
    GameObject *passed = enemy(-100, 10, -50);
    GameObject *chaser = missile(SIDE_PLAYER, -100, 30, -300);
    chaser->target = passed;
    chaser->b = 1000;
    GameObject *passing = missile(SIDE_PLAYER, -100, 10, -50.5f);
    set3(passing->vel, 0, 0, 2);
    passing->target = passed;
    passing->b = 1;
    g_locks[2] = passed;
    enemy(200, 10, -50);
    g_locks[7] = enemy(200.6f, 10, -50);
    missile(SIDE_PLAYER, 200.3f, 10, -50); // takes the newer one
    enemy(100, 10, -50);
    missile(SIDE_ENEMY, 100.5f, 10, -50); // its own side: no hit
    missile(SIDE_ENEMY, 0.2f, 10, 0);     // the player
    missile(SIDE_PLAYER, 400, 10, -100);
    enemy(390, 10, -100)->vel[0] = 9.7f; // newer: moves into reach first
}

// The world as numbers: every record head first, with its target as a list
// index, then the locks, the score and the mixer calls.
std::vector<double> outcome() {
    std::vector<GameObject *> all = world_list();
    auto index_of = [&](const GameObject *o) {
        return o ? double(std::find(all.begin(), all.end(), o) - all.begin()) : -1.0;
    };
    std::vector<double> out;
    for (const GameObject *o : all) {
        out.insert(out.end(), {double(o->kind), double(o->side), index_of(o->target), o->a, o->b,
                               o->lifetime, double(o->has_fired)});
        for (int i = 0; i < 3; i++)
            out.insert(out.end(), {o->pos[i], o->vel[i], o->acc[i], o->angles[i]});
    }
    for (const GameObject *slot : g_locks)
        out.push_back(index_of(slot));
    out.push_back(g_score);
    for (const fake::MixCall &c : fake::mix)
        out.insert(out.end(), {double(c.fn.size()), double(c.channel), double(c.loops)});
    return out;
}

} // namespace

// Without memory for its side tables the pass walks the list instead: nothing
// is thrown and the world comes out the same. Each pass lets the tables grow
// one step further before refusing them, until one pass has them all.
TEST_F(Simulate, TheHitSearchGivesTheSameWorldWithoutMemoryForItsTables) {
    // The tables keep their memory: each run brings more aircraft than any
    // pass in this program has seen, so that they must grow.
    static int crowd = 1250;
    crowd *= 2;
    std::vector<std::vector<double>> refused;
    std::vector<double> with_tables;
    for (int pass = 0; with_tables.empty() && pass < 50; pass++) {
        world_clear();
        SetUp();
        hit_scene(crowd);
        {
            LargeAllocs limit(pass == 0 ? 0 : 1);
            objects_update();
        }
        (fake::large_allocs_refused ? refused.emplace_back() : with_tables) = outcome();
    }
    EXPECT_GE(refused.size(), 3u); // the aircraft, the buckets and the entries at least
    ASSERT_FALSE(with_tables.empty());
    EXPECT_EQ(world_count(OBJ_EXPLOSION), 4);
    for (size_t k = 0; k < refused.size(); k++) {
        ASSERT_EQ(refused[k].size(), with_tables.size()) << "pass " << k;
        auto differ = std::mismatch(refused[k].begin(), refused[k].end(), with_tables.begin());
        EXPECT_TRUE(differ.first == refused[k].end())
            << "pass " << k << ": value " << (differ.first - refused[k].begin()) << " differs";
    }
}
