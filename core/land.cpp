// Island heightmaps by midpoint displacement, and the islands that show them.
// Each island regenerates its slot's map when it is placed; islands of the same
// slot share the latest map. The draw order of rand is part of the shape.
#include "core/land.h"

#include <cstdlib>

#include "core/objects.h"
#include "core/random.h"

float g_land_heights[LAND_MAPS][LAND_GRID][LAND_GRID];

// The map's rim sits just under the sea so every island sinks at its edge.
static const float BORDER_HEIGHT = -0.01f;
static const double HEIGHT_MIN = -1.0;
static const double HEIGHT_MAX = 0.9;

static float clamp_height(double v) {
    if (v < HEIGHT_MIN)
        v = HEIGHT_MIN;
    if (v > HEIGHT_MAX)
        v = HEIGHT_MAX;
    return (float)v;
}

void island_spawn(int slot) {
    GameObject *island = object_spawn(nullptr, OBJ_ISLAND, SIDE_NONE);
    if (!island)
        return; // the slot keeps its map when no island shows it
    land_generate(slot);
    // Centre 1064 to 1564 ahead: the near edge comes into view 1000 to 1500 ahead.
    island->pos[0] = (float)(random_unit() * 1000.0 - 500.0);
    island->pos[2] = (float)(-1000.0 - random_unit() * 500.0 - 64.0 + g_player.pos[2]);
    island->pos[1] = 0.0f;
    island->land_slot = slot;
}

void land_generate(int map) {
    for (int x = 0; x < LAND_GRID; x++)
        for (int z = 0; z < LAND_GRID; z++)
            g_land_heights[map][x][z] = BORDER_HEIGHT;
    land_subdivide(0, 0, LAND_GRID - 1, LAND_GRID - 1, map);
}

void land_subdivide(int x0, int z0, int x1, int z1, int map) {
    float(*h)[LAND_GRID] = g_land_heights[map];
    const int last = LAND_GRID - 1;
    int xm = (x0 + x1) / 2;
    int zm = (z0 + z1) / 2;
    float s = (x1 - x0) / 16.0f; // the amplitude halves with each level

    // Only the far edges: the near ones belong to squares already finished,
    // or to the border, which stays where land_generate put it.
    if (x1 != last) {
        double m = (h[x1][z0] + h[x1][z1]) / 2.0;
        h[x1][zm] = clamp_height(random_unit() * 2 * s + m - s);
    }
    if (z1 != last) {
        double m = (h[x0][z1] + h[x1][z1]) / 2.0;
        h[xm][z1] = clamp_height(random_unit() * 2 * s + m - s);
    }
    double m = (h[x0][z0] + h[x1][z0] + h[x0][z1] + h[x1][z1]) / 4.0;
    h[xm][zm] = clamp_height(random_unit() * s + m - s / 2.0);

    if (x0 + 2 != x1) {
        land_subdivide(x0, z0, xm, zm, map);
        land_subdivide(xm, z0, x1, zm, map);
        land_subdivide(x0, zm, xm, z1, map);
        land_subdivide(xm, zm, x1, z1, map);
    }
}
