// The fakes' definitions. Being part of the test program, they win over the
// same names in SDL, SDL_mixer and the C and C++ runtimes.
#include "fakes.h"

#include "core/objects.h"
#include "core/startup.h"

#include <SDL/SDL_mixer.h>

#include <cstdlib>
#include <new>

namespace fake {

Uint32 ticks;
std::vector<MixCall> mix;
int next_channel;
int rand_fixed = -1;
std::vector<int> rand_script;
long rand_calls;
int alloc_budget = -1;
int large_alloc_budget = -1;
long large_allocs_refused;
std::deque<SDL_Event> events;
std::vector<std::string> calls;
static unsigned rand_state = 1;

void reset() {
    ticks = 0;
    mix.clear();
    next_channel = 5;
    rand_fixed = -1;
    rand_script.clear();
    rand_calls = 0;
    alloc_budget = -1;
    large_alloc_budget = -1;
    large_allocs_refused = 0;
    rand_state = 1;
    events.clear();
    calls.clear();
    mix.reserve(256); // recording a call never needs a large allocation
}

void set_time(double seconds) {
    ticks = (Uint32)(seconds * 1000.0 + 0.5);
}

int count_calls(const std::string &fn) {
    int n = 0;
    for (const MixCall &c : mix)
        n += c.fn == fn;
    return n;
}

static std::string event_name(Uint8 type) {
    switch (type) {
    case SDL_KEYDOWN:
        return "key";
    case SDL_VIDEORESIZE:
        return "resize";
    case SDL_USEREVENT:
        return "frame";
    default:
        return std::to_string(type);
    }
}

} // namespace fake

using fake::mix;

extern "C" {

Uint32 SDL_GetTicks(void) {
    return fake::ticks;
}

int Mix_PlayChannelTimed(int channel, Mix_Chunk *chunk, int loops, int ticks) {
    mix.push_back({"Mix_PlayChannelTimed", channel, chunk, loops, ticks});
    return fake::next_channel;
}

int Mix_SetDistance(int channel, Uint8 distance) {
    mix.push_back({"Mix_SetDistance", channel, nullptr, distance, 0});
    return 1;
}

int Mix_Volume(int channel, int volume) {
    mix.push_back({"Mix_Volume", channel, nullptr, volume, 0});
    return 128;
}

int Mix_VolumeMusic(int volume) {
    mix.push_back({"Mix_VolumeMusic", 0, nullptr, volume, 0});
    return 128;
}

int Mix_PlayMusic(Mix_Music *music, int loops) {
    mix.push_back({"Mix_PlayMusic", 0, music, loops, 0});
    return 0;
}

int Mix_HaltChannel(int channel) {
    mix.push_back({"Mix_HaltChannel", channel, nullptr, 0, 0});
    return 0;
}

int rand(void) noexcept {
    fake::rand_calls++;
    if (!fake::rand_script.empty()) {
        int v = fake::rand_script.front();
        fake::rand_script.erase(fake::rand_script.begin());
        return v;
    }
    if (fake::rand_fixed >= 0)
        return fake::rand_fixed;
    fake::rand_state = fake::rand_state * 1103515245u + 12345u;
    return (int)((fake::rand_state >> 16) & 0x7fff);
}

void srand(unsigned seed) noexcept {
    fake::rand_state = seed;
}

int SDL_PollEvent(SDL_Event *event) {
    if (fake::events.empty())
        return 0;
    *event = fake::events.front();
    fake::events.pop_front();
    return 1;
}

void SDL_WM_SetCaption(const char *title, const char *icon) {
    fake::calls.push_back(std::string("caption ") + title + (icon ? " with an icon title" : ""));
}

// render_frame, video_init and input_handle_event under the C++ names that
// the linker wraps.
void __wrap__Z12render_framev() {
    fake::calls.push_back("render");
}

void __wrap__Z10video_initv() {
    fake::calls.push_back("video_init " + std::to_string(g_screen_w) + "x" +
                          std::to_string(g_screen_h));
}

void __real__Z18input_handle_eventPK9SDL_Event(const SDL_Event *event);
void __wrap__Z18input_handle_eventPK9SDL_Event(const SDL_Event *event) {
    fake::calls.push_back("input " + fake::event_name(event->type));
    __real__Z18input_handle_eventPK9SDL_Event(event);
}

} // extern "C"

static void *take(std::size_t size) {
    if (size > sizeof(GameObject) && fake::large_alloc_budget >= 0) {
        if (fake::large_alloc_budget == 0) {
            fake::large_allocs_refused++;
            return nullptr;
        }
        fake::large_alloc_budget--;
    }
    return std::malloc(size ? size : 1);
}

void *operator new(std::size_t size) {
    void *p = take(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void operator delete(void *p) noexcept {
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept {
    std::free(p);
}

// Records come from the nothrow form; a budget makes it fail on demand.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    if (fake::alloc_budget == 0)
        return nullptr;
    if (fake::alloc_budget > 0)
        fake::alloc_budget--;
    return take(size);
}
