// Island heightmaps: four 17 by 17 maps made by midpoint displacement, and the
// islands that show them.
#pragma once

constexpr int LAND_MAPS = 4;
constexpr int LAND_GRID = 17;

// [map][x index][z index]
extern float g_land_heights[LAND_MAPS][LAND_GRID][LAND_GRID];

void island_spawn(int slot);
void land_generate(int map);
void land_subdivide(int x0, int z0, int x1, int z1, int map);
