// What the renderer's files share among themselves: the steps of one frame,
// split by concern, and the view the 2D overlay projects world points with.
// Tests and the benchmark call the steps one by one.
#pragma once

#include "core/random.h"

#include <cstdlib>

// The camera's view as the world was drawn: read back once per frame so that
// the sight, the acquisition and the lock symbols all project alike.
struct OverlayView {
    double modelview[16];
    double projection[16];
    int viewport[4];
};

// render.cpp: the camera (perspective and chase camera into the model-view
// matrix, with the shake decay), then the sky box, the sea and the sun.
void camera_load();
void sky_draw(float t);
void sun_draw();
// The play frame's overlay after overlay_open: sight, acquisition, marks, HUD.
void play_overlay_draw(float t);

// objects_draw.cpp: every record of the world list, newest first.
void objects_draw(float t);

// The centred 2 by 2 picture quad (render.cpp).
void centred_quad();

// sight.cpp: the overlay's state, the sight, acquisition and lock symbols.
void overlay_open();
void overlay_view_read(OverlayView *view);
// Normalized device coordinates of a world point (z relative to the player's);
// false when the point lies in the eye's plane and has no image.
bool overlay_project(const OverlayView *view, double x, double y, double z, double *ndc_x,
                     double *ndc_y);
// Where the nose points: false when that point has no image.
bool sight_position(const OverlayView *view, double *sx, double *sy);
void sight_draw(double sx, double sy);
void locks_acquire(const OverlayView *view, double sx, double sy);
void locks_draw(const OverlayView *view, float t);

// hud.cpp: the HUD, the end fade, the title and the frame's close.
void hud_draw(float t);
void title_draw();
