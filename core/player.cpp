// Player control: once a frame, the input state becomes the player's attitude,
// speed, throttle, shots and launches, in a fixed order of steps. Timers run on
// the game clock; the gun and launch spacing on SDL's unsigned tick count.
#include "core/player.h"

#include <SDL/SDL_mixer.h>

#include "assets/assets.h"
#include "core/frame.h"
#include "core/game.h"
#include "core/input.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/vecmath.h"

float g_turn;
float g_climb;
int g_throttle_state;
float g_boost_time;
int g_boost_latch;
Uint32 g_last_shot_ticks;
Uint32 g_last_missile_ticks;
float g_missile_refill_time;
int g_launch_side = -1;

enum {
    KEY_BACKSPACE = 8,
    KEY_SPACE = 32,
    KEY_ESCAPE = 27,
    KEY_S = 115,
    KEY_W = 119,
    BUTTON_LEFT = 1,
    BUTTON_RIGHT = 3,
};

static const float TURN_LIMIT = 0.6f;
static const float CLIMB_LIMIT = 0.4f;
static const float X_LIMIT = 490.0f;
static const float Y_MIN = 10.0f;
static const float Y_MAX = 100.0f;
static const float FREEZE_SECONDS = 5.0f;
static const float BOOST_SECONDS = 2.0f;
static const float REFILL_SECONDS = 0.5f;
static const Uint32 SHOT_SPACING_MS = 50;
static const int ENGINE_VOLUME = 32;
static const float RAIL_OFFSET = 0.7f;

// By throttle state: forward speed and flame goal.
static const float THROTTLE_SPEED[3] = {-6.3f, -9.7f, -12.4f};
static const float THROTTLE_FLAME[3] = {0.3f, 0.5f, 1.0f};

// Elapsed ticks, not the sum of the stamp and the spacing, so that the gun and
// the rails keep working when SDL's 32-bit millisecond count wraps round.
static bool spaced(Uint32 ticks, Uint32 last) {
    return ticks - last > SHOT_SPACING_MS;
}

static bool down(int edge) {
    return edge != INPUT_UP;
}

static float clamp(float v, float limit) {
    if (v < -limit)
        v = -limit;
    if (v > limit)
        v = limit;
    return v;
}

static void steer() {
    g_turn = clamp(g_turn * 23 / 24 + g_mouse_dx * 0.6f, TURN_LIMIT);
    g_climb = clamp(g_climb * 23 / 24 + g_mouse_dy * 0.4f, CLIMB_LIMIT);
    g_player.angles[0] = g_climb * 50 * 2;
    g_player.angles[1] = -g_turn * 50 * 2;
    g_player.angles[2] = g_player.angles[1];
    g_player.vel[0] = -g_player.angles[2] * 0.1f;
    g_player.vel[1] = g_player.angles[0] * 0.1f;
}

static void keep_in_range() {
    float *pos = g_player.pos;
    if (pos[0] < -X_LIMIT)
        pos[0] = -X_LIMIT;
    if (pos[0] > X_LIMIT)
        pos[0] = X_LIMIT;
    if (pos[1] < Y_MIN)
        pos[1] = Y_MIN;
    if (pos[1] > Y_MAX)
        pos[1] = Y_MAX;
}

static int choose_throttle(float now) {
    bool w = down(g_keys_edge[KEY_W]);
    if ((w && g_throttle_state != THROTTLE_AFTERBURNER && !g_boost_latch) ||
        now < g_boost_time + BOOST_SECONDS)
        return THROTTLE_AFTERBURNER;
    if (down(g_keys_edge[KEY_S]))
        return THROTTLE_SLOW;
    // W must be seen up in cruise before it may start another afterburner.
    if (!w)
        g_boost_latch = 0;
    return THROTTLE_CRUISE;
}

static void change_throttle(int state, float now) {
    Mix_HaltChannel(g_engine_channel);
    g_engine_channel = Mix_PlayChannelTimed(-1, g_snd_engine[state], -1, -1);
    Mix_Volume(g_engine_channel, ENGINE_VOLUME);
    g_throttle_state = state;
    if (state != THROTTLE_AFTERBURNER)
        return;
    GameObject *ring = object_spawn(nullptr, OBJ_SHOCK, SIDE_NONE);
    if (!ring)
        return; // no ring, no afterburner start: W may try again next frame
    for (int i = 0; i < 3; i++) {
        ring->pos[i] = g_player.pos[i];
        ring->vel[i] = g_player.vel[i] * 0.95f;
    }
    ring->lifetime = 0.3f;
    g_cam_shake = 0.02f;
    g_boost_time = now;
    g_boost_latch = 1;
}

static void fire_gun() {
    Uint32 ticks = SDL_GetTicks();
    if (!spaced(ticks, g_last_shot_ticks))
        return;
    GameObject *bullet = object_spawn(g_model_bullet, OBJ_BULLET, SIDE_PLAYER);
    if (!bullet)
        return;
    g_last_shot_ticks = ticks;
    Mix_PlayChannelTimed(-1, g_snd_shot, 0, -1);
    float back[3];
    vec_from_angles(g_player.angles, nullptr, back);
    for (int i = 0; i < 3; i++) {
        bullet->pos[i] = g_player.pos[i];
        bullet->vel[i] = g_player.vel[i] - 7.9f * back[i];
        bullet->angles[i] = g_player.angles[i];
    }
}

// The first lock that no missile has taken yet; the slot stays filled.
static GameObject *take_lock() {
    for (int i = 0; i < LOCK_SLOTS; i++) {
        GameObject *obj = g_locks[i];
        if (obj && !obj->missile_assigned) {
            obj->missile_assigned = 1;
            return obj;
        }
    }
    return nullptr;
}

static void launch_missile(float now) {
    Uint32 ticks = SDL_GetTicks();
    if (!spaced(ticks, g_last_missile_ticks) || g_missile_count <= 0)
        return;
    GameObject *missile = object_spawn(g_model_missile, OBJ_MISSILE, SIDE_PLAYER);
    if (!missile)
        return;
    g_last_missile_ticks = ticks;
    Mix_PlayChannelTimed(-1, g_snd_missile, 0, -1);
    missile->pos[0] = g_player.pos[0] + g_launch_side * RAIL_OFFSET;
    g_launch_side = -g_launch_side;
    missile->pos[1] = g_player.pos[1];
    missile->pos[2] = g_player.pos[2];
    for (int i = 0; i < 3; i++) {
        missile->vel[i] = g_player.vel[i];
        missile->angles[i] = g_player.angles[i];
    }
    missile->acc[2] = -0.07f;
    GameObject *target = take_lock();
    if (target) {
        missile->target = target;
        missile->b = vec_distance(target->pos, missile->pos) + 5.0f;
    }
    g_missile_count--;
    g_missile_refill_time = now;
}

int player_control() {
    float now = (float)time_seconds();
    if (down(g_keys_edge[KEY_ESCAPE]))
        return 1;
    if (g_title_mode) {
        if (down(g_keys_edge[KEY_SPACE])) {
            g_title_mode = 0;
            game_reset();
        }
        return 0;
    }
    if (g_keys_edge[KEY_BACKSPACE] == INPUT_PRESSED)
        game_reset();
    if (g_stage_over && now - g_stage_over_time > FREEZE_SECONDS)
        return 0;

    steer();
    keep_in_range();

    int state = choose_throttle(now);
    g_player.vel[2] = THROTTLE_SPEED[state];
    g_player.b = THROTTLE_FLAME[state];
    if (state != g_throttle_state)
        change_throttle(state, now);

    if (down(g_mouse_edge[BUTTON_LEFT]))
        fire_gun();
    if (g_mouse_edge[BUTTON_RIGHT] == INPUT_PRESSED)
        launch_missile(now);

    if (now > g_missile_refill_time + REFILL_SECONDS) {
        if (g_missile_count < MAX_MISSILES)
            g_missile_count++;
        g_missile_refill_time = now;
    }
    if (!g_stage_over)
        g_score += (int)(-g_player.vel[2] / 2.0);

    g_mouse_dx = 0;
    g_mouse_dy = 0;
    return 0;
}
