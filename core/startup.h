// Start-up, the window and the fixed OpenGL state, and the one fatal path.
#pragma once

extern int g_screen_w;
extern int g_screen_h;
extern int g_fullscreen;

int SDL_main(int argc, char **argv);
void video_init();

// Shows the "Fatal" box with the text and ends the process with exit code 0.
[[noreturn]] void fatal_error(const char *text);
