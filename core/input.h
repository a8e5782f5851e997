// Per-frame key and button states with a one-frame press edge, and mouse
// motion summed in half-window units.
#pragma once

#include <SDL/SDL.h>

enum {
    INPUT_UP = 0,
    INPUT_PRESSED = 1,
    INPUT_HELD = 2,
};

constexpr int INPUT_KEYS = 323;   // SDLK_LAST
constexpr int INPUT_BUTTONS = 8;

extern unsigned char g_keys[INPUT_KEYS];
extern unsigned char g_keys_edge[INPUT_KEYS];
extern unsigned char g_mouse_buttons[INPUT_BUTTONS];
extern unsigned char g_mouse_edge[INPUT_BUTTONS];
extern float g_mouse_dx;
extern float g_mouse_dy;

void input_handle_event(const SDL_Event *event);
