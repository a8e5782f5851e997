// A window manager cut down to the one habit that races a new window for the
// keyboard: it frames each window and shows the frame a little later.
#pragma once

#include <vector>

// Becomes the window manager of $DISPLAY and runs until killed. Each window
// that asks to be mapped is put in a frame and mapped there at once; the frame
// follows after the next of `delays_ms`, taken in turn. Writes one byte to
// `ready_fd` once it manages the screen; returns at once when it cannot.
void late_frame_wm(const std::vector<int> &delays_ms, int ready_fd);
