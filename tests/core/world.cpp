// Test world helpers: reset and inspect the global game state between cases.
#include "world.h"

#include <cstring>
#include <map>

#include "assets/assets.h"
#include "core/game.h"
#include "core/input.h"
#include "core/locks.h"
#include "core/player.h"
#include "core/stage.h"
#include "fakes.h"

static char s_handles[32];

Model3ds *fake_model(int n) {
    return reinterpret_cast<Model3ds *>(&s_handles[n]);
}

Mix_Chunk *fake_chunk(int n) {
    return reinterpret_cast<Mix_Chunk *>(&s_handles[16 + n]);
}

void frame_input_clear() {
    std::memset(g_keys, 0, sizeof g_keys);
    std::memset(g_keys_edge, 0, sizeof g_keys_edge);
    std::memset(g_mouse_buttons, 0, sizeof g_mouse_buttons);
    std::memset(g_mouse_edge, 0, sizeof g_mouse_edge);
    g_mouse_dx = g_mouse_dy = 0;
}

void world_clear() {
    GameObject *obj = g_object_list;
    while (obj != &g_player) {
        GameObject *next = obj->next;
        delete obj;
        obj = next;
    }
    g_player = GameObject();
    g_object_list = &g_player;
    for (GameObject *&slot : g_locks)
        slot = nullptr;
    g_stage_cursor = nullptr;
    g_title_mode = 0;
    g_stage_over = 0;
    g_stage_over_time = 0;
    g_score = 0;
    g_missile_count = 0;
    g_engine_channel = 0;
    g_cam_shake = 0;
    g_turn = g_climb = 0;
    g_throttle_state = 0;
    g_boost_time = 0;
    g_boost_latch = 0;
    g_last_shot_ticks = g_last_missile_ticks = 0;
    g_missile_refill_time = 0;
    g_launch_side = -1;
    frame_input_clear();
    fake::reset();

    g_model_f14 = fake_model(1);
    g_model_fighter = fake_model(2);
    g_model_mig25 = fake_model(3);
    g_model_missile = fake_model(4);
    g_model_bullet = fake_model(5);
    g_snd_shot = fake_chunk(0);
    for (int i = 0; i < 3; i++)
        g_snd_engine[i] = fake_chunk(1 + i);
    g_snd_missile = fake_chunk(4);
    g_snd_lockon = fake_chunk(5);
    g_snd_bomb = fake_chunk(6);
    g_music = reinterpret_cast<Mix_Music *>(&s_handles[30]);
}

// A freed record's address may come back for a new one, so records added here
// carry a tag in land_slot (which only islands use) that identifies them.
static std::map<const GameObject *, int> s_tags;
static int s_next_tag = 1000;

GameObject *world_add(int kind, int side, float x, float y, float z) {
    GameObject *obj = object_spawn(nullptr, kind, side);
    if (kind != OBJ_ISLAND) {
        obj->land_slot = s_next_tag++;
        s_tags[obj] = obj->land_slot;
    } else {
        s_tags.erase(obj);
    }
    obj->pos[0] = x;
    obj->pos[1] = y;
    obj->pos[2] = z;
    return obj;
}

std::vector<GameObject *> world_list() {
    std::vector<GameObject *> all;
    for (GameObject *o = g_object_list; o; o = o->next)
        all.push_back(o);
    return all;
}

int world_count(int kind) {
    int n = 0;
    for (GameObject *o = g_object_list; o; o = o->next)
        n += o->kind == kind;
    return n;
}

bool world_has(const GameObject *obj) {
    auto tag = s_tags.find(obj);
    for (GameObject *o = g_object_list; o; o = o->next)
        if (o == obj)
            return tag == s_tags.end() || o->land_slot == tag->second;
    return false;
}
