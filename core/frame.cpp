// Paces and drives the game: the game clock, the frame timer on SDL's timer
// thread, the event loop and the fixed sequence of one frame. The simulation
// moves by fixed amounts per frame, so the timer sets the game's speed.

#include "core/frame.h"

#include "core/game.h"
#include "core/input.h"
#include "core/objects.h"
#include "core/player.h"
#include "core/stage.h"
#include "core/startup.h"
#include "render/render.h"

#include <cstdio>
#include <cstdlib>

int g_frame_pending;
int g_frame_count;
int g_last_second;
int g_fps;

double time_seconds() {
    return double(SDL_GetTicks()) / 1000.0;
}

Uint32 frame_timer_callback(Uint32 interval, void *) {
    // Claim the flag before pushing, so that a frame which runs and ends
    // before the push returns cannot leave it set with nothing queued; give it
    // back when the push fails, so that the next tick tries again.
    int expected = 0;
    if (__atomic_compare_exchange_n(&g_frame_pending, &expected, 1, false, __ATOMIC_SEQ_CST,
                                    __ATOMIC_SEQ_CST)) {
        SDL_Event event;
        event.type = SDL_USEREVENT;
        event.user.code = 0;
        event.user.data1 = nullptr;
        event.user.data2 = nullptr;
        if (SDL_PushEvent(&event) != 0)
            __atomic_store_n(&g_frame_pending, 0, __ATOMIC_SEQ_CST);
    }
    return interval;
}

int frame_tick() {
    if (player_control())
        return 1;
    if (!g_title_mode) {
        if (!g_stage_over && stage_spawn_due()) {
            g_stage_over = 1;
            g_stage_over_time = float(time_seconds());
        }
        objects_update();
    }
    render_frame();

    int second = int(time_seconds());
    g_frame_count++;
    if (second != g_last_second) {
        g_last_second = second;
        g_fps = g_frame_count;
        g_frame_count = 0;
        char caption[32];
        std::snprintf(caption, sizeof caption, "%d fps", g_fps);
        SDL_WM_SetCaption(caption, nullptr);
    }
    __atomic_store_n(&g_frame_pending, 0, __ATOMIC_SEQ_CST);
    return 0;
}

int events_pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            SDL_Quit();
            std::exit(0);
        case SDL_VIDEORESIZE:
            g_screen_w = event.resize.w;
            g_screen_h = event.resize.h;
            video_init();
            break;
        case SDL_USEREVENT:
            if (frame_tick())
                return 1;
            break;
        default:
            break;
        }
        input_handle_event(&event);
    }
    return 0;
}
