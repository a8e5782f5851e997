// The frame renderer: the whole scene, the 2D overlay and the buffer swap.
#pragma once

extern float g_cam_prev_eye[3];

void render_frame();
