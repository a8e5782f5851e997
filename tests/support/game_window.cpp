// One way for every test and benchmark program to open the game's window.

#include "support/game_window.h"

#include "core/startup.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdlib>

bool game_window_open() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0)
        return false;
    // Closed at exit as the game closes them: SDL's threads left running
    // while exit unloads the libraries can crash the process.
    std::atexit([] {
        Mix_CloseAudio();
        SDL_Quit();
    });
    startup_mixer_and_window();
    video_init();
    return true;
}
