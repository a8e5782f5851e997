// The record list: its static start, creation, the push order and integration.
#include <gtest/gtest.h>

#include <cstring>

#include "core/objects.h"
#include "fakes.h"
#include "world.h"

// Taken before any test runs: the list as the program starts.
static GameObject *const s_start_head = g_object_list;
static const GameObject s_start_player = g_player;

TEST(Objects, ProgramStartsWithTheZeroedPlayerAlone) {
    EXPECT_EQ(s_start_head, &g_player);
    GameObject zero{};
    EXPECT_EQ(0, std::memcmp(&s_start_player, &zero, sizeof zero));
}

TEST(Objects, CreateGivesAZeroedUnlinkedRecordStampedWithTheClock) {
    world_clear();
    fake::set_time(12.5);
    GameObject *obj = object_create(fake_model(2), OBJ_MISSILE, SIDE_ENEMY);
    ASSERT_NE(obj, nullptr);
    GameObject expect{};
    expect.model = fake_model(2);
    expect.kind = OBJ_MISSILE;
    expect.side = SIDE_ENEMY;
    expect.birth = 12.5f;
    EXPECT_EQ(0, std::memcmp(obj, &expect, sizeof expect));
    EXPECT_EQ(g_object_list, &g_player);
    delete obj;
}

TEST(Objects, SpawnPushesNewestFirstAndThePlayerStaysLast) {
    world_clear();
    GameObject *old = world_add(OBJ_ISLAND, SIDE_NONE, 0, 0, 0);
    GameObject *a = object_spawn(nullptr, OBJ_BULLET, SIDE_PLAYER);
    GameObject *b = object_spawn(nullptr, OBJ_BULLET, SIDE_PLAYER);
    GameObject *c = object_spawn(nullptr, OBJ_BULLET, SIDE_PLAYER);
    std::vector<GameObject *> expect = {c, b, a, old, &g_player};
    EXPECT_EQ(world_list(), expect);
    EXPECT_EQ(g_player.next, nullptr);
}

TEST(Objects, FailedAllocationLinksNothing) {
    world_clear();
    GameObject *a = world_add(OBJ_BULLET, SIDE_PLAYER, 0, 0, 0);
    fake::alloc_budget = 0;
    EXPECT_EQ(object_create(nullptr, OBJ_BULLET, SIDE_PLAYER), nullptr);
    EXPECT_EQ(object_spawn(nullptr, OBJ_BULLET, SIDE_PLAYER), nullptr);
    EXPECT_EQ(g_object_list, a);
    EXPECT_EQ(world_list().size(), 2u);
}

TEST(Objects, IntegrateMovesWithTheVelocityOfThePreviousFrame) {
    GameObject o{};
    o.vel[0] = 1;
    o.acc[1] = 1;
    object_integrate(&o);
    EXPECT_EQ(o.pos[0], 1.0f);
    EXPECT_EQ(o.pos[1], 0.0f);
    EXPECT_EQ(o.vel[1], 1.0f);
    object_integrate(&o);
    EXPECT_EQ(o.pos[0], 2.0f);
    EXPECT_EQ(o.pos[1], 1.0f);
    EXPECT_EQ(o.vel[0], 1.0f);
    EXPECT_EQ(o.vel[1], 2.0f);
}
