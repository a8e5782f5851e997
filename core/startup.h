// Start-up, the window and the fixed OpenGL state, and the one fatal path.
#pragma once

extern int g_screen_w;
extern int g_screen_h;
extern int g_fullscreen;

int SDL_main(int argc, char **argv);
void video_init();
// The start-up steps between SDL_Init and the full-screen question: the mixer,
// the OpenGL attributes and the window size (test programs use them too).
void startup_mixer_and_window();

// Shows the "Fatal" box with the text and ends the process with exit code 0.
[[noreturn]] void fatal_error(const char *text);
