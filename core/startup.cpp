// Start-up and shutdown of the whole program, the window with the fixed OpenGL
// state that every drawing step relies on, and the one fatal path.

#include "core/startup.h"

#include "assets/assets.h"
#include "core/frame.h"
#include "platform/platform.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <GL/gl.h>

#include <cstdlib>
#include <ctime>

int g_screen_w;
int g_screen_h;
int g_fullscreen;

void fatal_error(const char *text) {
    // A box behind a full-screen window would never be seen, and leaving
    // without closing the video can keep the desktop in the game's mode.
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    platform_message_box(text, "Fatal", MB_ICONHAND);
    // SDL's timer and sound threads must stop before exit unloads the
    // libraries they run in: over SDL2 one of them would call into a library
    // already gone and end the process with a crash instead of 0.
    Mix_CloseAudio();
    SDL_Quit();
    std::exit(0);
}

void video_init() {
    Uint32 flags = SDL_OPENGL | SDL_RESIZABLE;
    if (g_fullscreen)
        flags |= SDL_FULLSCREEN;
    if (!SDL_SetVideoMode(g_screen_w, g_screen_h, 32, flags))
        fatal_error("SDL SetVideoMode failed!");

    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 0);
    glViewport(0, 0, g_screen_w, g_screen_h);
    // The projection stays the identity for good: each frame loads the
    // perspective and the camera into the model-view matrix instead.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
}

void startup_mixer_and_window() {
    // No audio device is no reason not to play: the mixer then plays nothing.
    Mix_OpenAudio(22050, AUDIO_U8, 1, 1024);
    Mix_AllocateChannels(64);

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    g_screen_w = 800;
    g_screen_h = 600;
}

int SDL_main(int, char **) {
    std::srand(unsigned(std::time(nullptr)));
    // OpenGL comes only through SDL's X11 driver. Left to choose, SDL falls
    // back to a text-terminal driver where there is no X display, which draws
    // on the terminal and cannot open the game's window; with X11 the missing
    // display is said plainly by the fatal path. A driver the user names wins.
    const char *driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver || !*driver)
        setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0)
        fatal_error("SDL Initialization failed!");
    startup_mixer_and_window();
    g_fullscreen =
        platform_message_box("Fullscreen?", "Question", MB_YESNO | MB_ICONQUESTION) == IDYES;

    video_init();
    if (!SDL_AddTimer(16, frame_timer_callback, nullptr))
        fatal_error("SDL Timer set failed!");
    SDL_WM_SetCaption("quorrin", nullptr);
    SDL_ShowCursor(SDL_DISABLE);

    assets_load_all();

    while (!events_pump()) {
    }

    Mix_CloseAudio();
    SDL_Quit();
    return 0;
}
