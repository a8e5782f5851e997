// The game's window for test and benchmark programs: SDL, the mixer and an
// 800 by 600 OpenGL window with the state video_init leaves, opened as the
// game opens them (without the full-screen question).
#pragma once

// False, with SDL's error to read, when no window can be had.
bool game_window_open();
