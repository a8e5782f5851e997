// A new game and the game-state globals. A restart only resets the player,
// the sound, the stock, the score, the locks and the script; the records
// already alive in the world carry on beside the new game.
#include "core/game.h"

#include <SDL/SDL_mixer.h>

#include "assets/assets.h"
#include "assets/stage_script.h"
#include "core/land.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/player.h"
#include "core/stage.h"

int g_title_mode = 1;
int g_stage_over;
float g_stage_over_time;
int g_score;
int g_missile_count;
int g_engine_channel;
float g_cam_shake;

static const int MUSIC_VOLUME = 96;
static const int ENGINE_VOLUME = 32;

static void reset_player() {
    // The attitude and the other fields carry over: only the flight restarts.
    const float start_pos[3] = {0.0f, 3.7f, -7.0f};
    for (int i = 0; i < 3; i++) {
        g_player.pos[i] = start_pos[i];
        g_player.vel[i] = 0.0f;
        g_player.acc[i] = 0.0f;
    }
    g_player.vel[2] = -6.3f;
    g_player.model = g_model_f14;
    g_player.kind = OBJ_AIRCRAFT;
    g_player.side = SIDE_PLAYER;
    g_player.target = nullptr;
    g_player.a = 0.5f;
    g_player.next = nullptr;
    g_boost_latch = 0;
    g_boost_time = -100.0f;
}

static void restart_sound() {
    Mix_VolumeMusic(MUSIC_VOLUME);
    Mix_PlayMusic(g_music, -1);
    Mix_HaltChannel(-1);
    Mix_Volume(-1, MIX_MAX_VOLUME);
    g_engine_channel = Mix_PlayChannelTimed(-1, g_snd_engine[THROTTLE_CRUISE], -1, -1);
    Mix_Volume(g_engine_channel, ENGINE_VOLUME);
}

void game_reset() {
    reset_player();
    restart_sound();
    g_throttle_state = THROTTLE_CRUISE;
    g_missile_count = MAX_MISSILES;
    g_score = 0;
    g_stage_over = 0;
    for (int slot = 0; slot < LAND_MAPS; slot++)
        island_spawn(slot);
    for (int i = 0; i < LOCK_SLOTS; i++)
        g_locks[i] = nullptr;
    g_stage_cursor = g_stage_head;
}
