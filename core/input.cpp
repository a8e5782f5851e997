// Turns SDL's keyboard and mouse events into per-frame states with a press edge
// that player control sees for exactly one frame, and mouse motion summed in
// half-window units with the pointer put back at the centre after each event.

#include "core/input.h"

#include "core/startup.h"

#include <cstring>

unsigned char g_keys[INPUT_KEYS];
unsigned char g_keys_edge[INPUT_KEYS];
unsigned char g_mouse_buttons[INPUT_BUTTONS];
unsigned char g_mouse_edge[INPUT_BUTTONS];
float g_mouse_dx;
float g_mouse_dy;

static void motion_update(int x, int y) {
    double half_w = g_screen_w / 2.0;
    double half_h = g_screen_h / 2.0;
    g_mouse_dx = float(g_mouse_dx + (x - half_w) / half_w);
    g_mouse_dy = float(g_mouse_dy + -(y - half_h) / half_h);
    SDL_WarpMouse(Uint16(g_screen_w / 2), Uint16(g_screen_h / 2));
}

// The key symbol as a plain number: a symbol outside SDL's own list is no
// valid SDLKey, and must not be read as one.
static unsigned key_symbol(const SDL_Event *event) {
    unsigned sym;
    static_assert(sizeof sym == sizeof event->key.keysym.sym, "SDLKey is an int-sized enum");
    std::memcpy(&sym, &event->key.keysym.sym, sizeof sym);
    return sym;
}

static void roll_over() {
    // The wheel's down and up come together: it never counts as held.
    g_mouse_buttons[SDL_BUTTON_WHEELUP] = 0;
    g_mouse_buttons[SDL_BUTTON_WHEELDOWN] = 0;
    for (int k = 0; k < INPUT_KEYS; ++k)
        g_keys_edge[k] = g_keys[k] ? INPUT_HELD : INPUT_UP;
    for (int b = 0; b < INPUT_BUTTONS; ++b)
        g_mouse_edge[b] = g_mouse_buttons[b] ? INPUT_HELD : INPUT_UP;
}

void input_handle_event(const SDL_Event *event) {
    if (!event)
        return;
    switch (event->type) {
    case SDL_KEYDOWN: {
        unsigned sym = key_symbol(event);
        if (sym < INPUT_KEYS) {
            g_keys[sym] = 1;
            g_keys_edge[sym] = INPUT_PRESSED;
        }
        break;
    }
    case SDL_KEYUP: {
        unsigned sym = key_symbol(event);
        if (sym < INPUT_KEYS)
            g_keys[sym] = 0;
        break;
    }
    case SDL_MOUSEMOTION:
        motion_update(event->motion.x, event->motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event->button.button < INPUT_BUTTONS) {
            g_mouse_edge[event->button.button] = INPUT_PRESSED;
            g_mouse_buttons[event->button.button] = 1;
        }
        motion_update(event->button.x, event->button.y);
        break;
    case SDL_MOUSEBUTTONUP:
        if (event->button.button < INPUT_BUTTONS)
            g_mouse_buttons[event->button.button] = 0;
        motion_update(event->button.x, event->button.y);
        break;
    case SDL_USEREVENT:
        roll_over();
        break;
    default:
        break;
    }
}
