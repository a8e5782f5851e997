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
    Mix_OpenAudio(22050, AUDIO_U8, 1, 1024);
    Mix_AllocateChannels(64);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    g_screen_w = 800;
    g_screen_h = 600;
    video_init();
    return true;
}
