// A clean world for each test: every record but the player freed, every game
// global at its start value, the fakes reset, and stand-in assets installed.
#pragma once

#include "core/objects.h"

#include <vector>

struct Mix_Chunk;

// Stand-in asset handles: distinct addresses that are never dereferenced.
Model3ds *fake_model(int n);
Mix_Chunk *fake_chunk(int n);

void world_clear();
// A record at the head of the list.
GameObject *world_add(int kind, int side, float x, float y, float z);
std::vector<GameObject *> world_list(); // head first, the player last
int world_count(int kind);              // records of a kind in the list
bool world_has(const GameObject *obj);
void frame_input_clear(); // every key and button up, no mouse motion
