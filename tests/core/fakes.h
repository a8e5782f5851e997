// Link-time stand-ins for the clock, the mixer, rand and the allocator: the
// test program defines SDL_GetTicks, the Mix_* calls the game makes, rand,
// srand and operator new and delete, and these replace the libraries' own. The
// event queue and the caption are faked the same way; the drawing, the video
// set-up and input handling are reached through the linker's --wrap.
#pragma once

#include <SDL/SDL.h>

#include <deque>
#include <string>
#include <vector>

namespace fake {

struct MixCall {
    std::string fn;
    int channel;
    const void *what; // the chunk or music, if any
    int loops;        // also the volume or distance
    int ticks;
};

extern Uint32 ticks;                 // what SDL_GetTicks answers
extern std::vector<MixCall> mix;     // every mixer call, in order
extern int next_channel;             // Mix_PlayChannelTimed's answer; -1 for none free
extern int rand_fixed;               // -1: a seeded sequence; otherwise every rand gives it
extern std::vector<int> rand_script; // given first, in order, before the rule above
extern long rand_calls;
extern int alloc_budget; // nothrow allocations left before they fail; -1 no limit
// Allocations larger than a record, of either form, left before they fail
// (the throwing form throws); -1 no limit. Records are not counted.
extern int large_alloc_budget;
extern long large_allocs_refused;
extern std::deque<SDL_Event> events; // what SDL_PollEvent hands out, in order
// The frame loop's calls outside the core, in order: "render", "video_init WxH",
// "caption <text>" and "input <event>" (key, resize, frame or the type number);
// input is then handled as usual.
extern std::vector<std::string> calls;

void reset();
void set_time(double seconds);
int count_calls(const std::string &fn);

} // namespace fake
