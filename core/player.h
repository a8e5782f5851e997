// Player control: everything the player decides each frame, from the input
// state to the aircraft, the throttle, the weapons and the restart.
#pragma once

#include <SDL/SDL.h>

enum {
    THROTTLE_SLOW = 0,
    THROTTLE_CRUISE = 1,
    THROTTLE_AFTERBURNER = 2,
};

extern float g_turn;
extern float g_climb;
extern int g_throttle_state;
extern float g_boost_time;
extern int g_boost_latch;
extern Uint32 g_last_shot_ticks;
extern Uint32 g_last_missile_ticks;
extern float g_missile_refill_time;
extern int g_launch_side;

// 1 when Escape asks the program to end.
int player_control();
