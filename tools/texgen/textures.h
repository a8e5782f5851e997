// Every picture the game loads has one maker here that draws it from scratch;
// texgen's member table (main.cpp) ties each to its archive name, size and channels.
#pragma once

#include "raster.h"

#include <vector>

// Sky, sea, sun and the islands' colour ramp (textures_scene.cpp).
Image make_sky();
Image make_sea();
Image make_sun();
Image make_landmap();
// Soft effect sprites and the engine flame (textures_sprites.cpp).
Image make_smoke();
Image make_smoke_dark();
Image make_smoke_burn();
Image make_shock();
Image make_splash(int variant);
Image make_jet_tube();
Image make_jet_glow();
Image make_jet_glow_wide();
// Sight, lock symbols and the HUD atlas (textures_hud.cpp).
Image make_sight();
Image make_lock_ring();
Image make_lock_cross();
Image make_lock_taken();
Image make_hud();
// Whole-window pictures (textures_screens.cpp).
Image make_title();
Image make_end();

// A fighter seen from above as a polygon (x, y pairs), nose towards -y when angle is
// 0, about 120 units long times scale, centred on (cx, cy); angle in radians.
std::vector<float> jet_plan(float cx, float cy, float scale, float angle);
