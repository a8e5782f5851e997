// Island heightmaps: the sunken border, the range under any rand, the order of
// the draws, and where islands are placed.
#include <gtest/gtest.h>

#include <cstring>

#include "core/land.h"
#include "core/objects.h"
#include "fakes.h"
#include "world.h"

namespace {

struct Land : ::testing::Test {
    void SetUp() override { world_clear(); }
    void TearDown() override { world_clear(); }
};

bool border(int x, int z) {
    return x == 0 || z == 0 || x == LAND_GRID - 1 || z == LAND_GRID - 1;
}

} // namespace

TEST_F(Land, BorderSunkAndInnerPointsInRangeWhateverRandGives) {
    for (int fixed : {-1, 0, 32767}) {
        fake::rand_fixed = fixed;
        long before = fake::rand_calls;
        land_generate(1);
        EXPECT_EQ(fake::rand_calls - before, 225);
        float lowest = 1, highest = -1;
        for (int x = 0; x < LAND_GRID; x++)
            for (int z = 0; z < LAND_GRID; z++) {
                float h = g_land_heights[1][x][z];
                if (border(x, z)) {
                    EXPECT_EQ(h, -0.01f);
                    continue;
                }
                EXPECT_GE(h, -1.0f);
                EXPECT_LE(h, 0.9f);
                lowest = std::min(lowest, h);
                highest = std::max(highest, h);
            }
        if (fixed == 0) { // three steps down from the centre's -0.51
            EXPECT_FLOAT_EQ(lowest, -0.9475f);
        }
        if (fixed == 32767) {
            EXPECT_EQ(highest, 0.9f);
        }
    }
}

TEST_F(Land, EachPointTakesTheLowestOrHighestOfItsRange) {
    fake::rand_fixed = 0;
    land_generate(0);
    float(*h)[LAND_GRID] = g_land_heights[0];
    EXPECT_FLOAT_EQ(h[8][8], -0.51f); // centre: m - s/2 over four sunken corners
    EXPECT_FLOAT_EQ(h[8][4], -0.76f); // first quarter's edges: m - s
    EXPECT_FLOAT_EQ(h[4][8], -0.76f);
    EXPECT_FLOAT_EQ(h[4][4], -0.385f); // its centre: corners -0.01, -0.01, -0.01, -0.51
    fake::rand_fixed = 32768 * 5;      // a rand wider than 15 bits: only its low bits count
    land_generate(0);
    EXPECT_FLOAT_EQ(h[8][8], -0.51f);
    fake::rand_fixed = 32767;
    land_generate(0);
    EXPECT_FLOAT_EQ(h[8][8], 0.49f);
    EXPECT_FLOAT_EQ(h[8][4], 0.74f);

    // The centre takes the first draw, then the first quarter's x edge.
    fake::rand_fixed = 0;
    fake::rand_script = {32767, 32767};
    land_generate(0);
    EXPECT_FLOAT_EQ(h[8][8], 0.49f);
    EXPECT_FLOAT_EQ(h[8][4], (-0.01f + 0.49f) / 2 + 0.5f);
    EXPECT_FLOAT_EQ(h[4][8], (-0.01f + 0.49f) / 2 - 0.5f);
}

TEST_F(Land, RegeneratingAMapLeavesTheOthers) {
    for (int map = 0; map < LAND_MAPS; map++)
        land_generate(map);
    float before[LAND_MAPS][LAND_GRID][LAND_GRID];
    std::memcpy(before, g_land_heights, sizeof before);
    land_generate(2);
    for (int map = 0; map < LAND_MAPS; map++) {
        bool same = std::memcmp(before[map], g_land_heights[map], sizeof before[map]) == 0;
        EXPECT_EQ(same, map != 2) << map;
    }
}

TEST_F(Land, IslandsArePlacedAheadOfThePlayer) {
    g_player.pos[2] = -3000;
    const int fixed[2] = {0, 32767};
    const float x[2] = {-500, 500}, z[2] = {-4064, -4564};
    for (int i = 0; i < 2; i++) {
        fake::rand_fixed = fixed[i];
        island_spawn(i + 1);
        GameObject *island = g_object_list;
        EXPECT_EQ(island->kind, OBJ_ISLAND);
        EXPECT_EQ(island->side, SIDE_NONE);
        EXPECT_EQ(island->model, nullptr);
        EXPECT_EQ(island->land_slot, i + 1);
        EXPECT_EQ(island->pos[0], x[i]);
        EXPECT_EQ(island->pos[1], 0.0f);
        EXPECT_EQ(island->pos[2], z[i]);
    }

    // No island, no new shape: the slot keeps the map it had.
    float before[LAND_GRID][LAND_GRID];
    std::memcpy(before, g_land_heights[3], sizeof before);
    fake::rand_fixed = -1;
    fake::alloc_budget = 0;
    long calls = fake::rand_calls;
    island_spawn(3);
    EXPECT_EQ(fake::rand_calls, calls);
    EXPECT_EQ(0, std::memcmp(before, g_land_heights[3], sizeof before));
    EXPECT_EQ(world_count(OBJ_ISLAND), 2);
}
