// The game clock, the 50 Hz frame timer, the event loop and one frame.
#pragma once

#include <SDL/SDL.h>

// 1 while a frame event is queued or its frame is running; shared with the
// timer thread, always accessed atomically.
extern int g_frame_pending;
extern int g_frame_count;
extern int g_last_second;
extern int g_fps;

// Seconds since SDL started.
double time_seconds();
Uint32 frame_timer_callback(Uint32 interval, void *param);
// 0 when the queue is drained, 1 when a frame asked to quit.
int events_pump();
// 1 when player control asked to quit.
int frame_tick();
