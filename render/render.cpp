// The frame renderer: one clock read, then the fixed order of the frame's
// steps. The perspective and the chase camera live in the model-view matrix
// (the projection stays identity), so the overlay draws in device coordinates.
#include "render/render.h"

#include "assets/assets.h"
#include "core/frame.h"
#include "core/game.h"
#include "core/objects.h"
#include "core/startup.h"
#include "core/vecmath.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <cmath>
#include <cstdlib>

float g_cam_prev_eye[3];

// Linear fog that hides the far edge of the sea and the islands coming in.
static const float FOG_START = 800.0f;
static const float FOG_END = 900.0f;
static const float FOG_COLOR[4] = {0.8f, 0.8f, 0.8f, 1.0f};

// The chase camera sits this far behind and above the aircraft.
static const float CAM_BACK = 7.0f;
static const float CAM_UP = 1.3f;
static const float SHAKE_DECAY = 0.00025f;

void camera_load() {
    glLoadIdentity();
    gluPerspective(40.0, (double)g_screen_w / (double)g_screen_h, 1.0, 5000.0);

    // The camera follows half of the pitch and yaw, so turns feel smoother
    // than the aircraft's own, but all of its roll.
    const float half[3] = {g_player.angles[0] / 2, g_player.angles[1] / 2, g_player.angles[2] / 2};
    float up[3], back[3];
    vec_from_angles(half, up, back);

    const float eye[3] = {g_player.pos[0] + CAM_UP * up[0] + CAM_BACK * back[0],
                          g_player.pos[1] + CAM_UP * up[1] + CAM_BACK * back[1],
                          CAM_UP * up[2] + CAM_BACK * back[2]};
    float smooth[3];
    for (int i = 0; i < 3; i++) {
        smooth[i] = (eye[i] + g_cam_prev_eye[i]) / 2;
        g_cam_prev_eye[i] = eye[i];
    }
    const float centre[3] = {smooth[0] - back[0], smooth[1] - back[1], smooth[2] - back[2]};

    const float q = -g_player.angles[2] / 180 * VEC_PI;
    const double up_x = sin(q), up_y = cos(q);

    // The shake only ever pushes the eye towards +x, +y and +z; z draws first.
    smooth[2] += (float)random_unit() * g_cam_shake;
    smooth[1] += (float)random_unit() * g_cam_shake;
    smooth[0] += (float)random_unit() * g_cam_shake;

    gluLookAt(smooth[0], smooth[1], smooth[2], centre[0], centre[1], centre[2], up_x, up_y, 0.0);

    g_cam_shake -= SHAKE_DECAY;
    if (g_cam_shake < 0)
        g_cam_shake = 0;
    if (g_cam_shake > 1)
        g_cam_shake = 1;
}

static void textured_vertex(float s, float t, float x, float y, float z) {
    glTexCoord2f(s, t);
    glVertex3f(x, y, z);
}

// The sky box and the sea, in box units: 500 across, 1000 up and along z.
// The sky's matrix stays pushed for the sun, which sits in the same units.
void sky_draw(float t) {
    glEnable(GL_FOG);
    glPushMatrix();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glTranslatef(g_player.pos[0], 0, 0);
    glScalef(500, 1000, 1000);

    glDisable(GL_FOG);
    glBindTexture(GL_TEXTURE_2D, g_tex_sky);
    glBegin(GL_QUADS);
    // Far wall: s 0.15 to 0.6 of the picture.
    textured_vertex(0.6f, 0, 2, 1, -1);
    textured_vertex(0.15f, 0, -2, 1, -1);
    textured_vertex(0.15f, 1, -2, 0, -1);
    textured_vertex(0.6f, 1, 2, 0, -1);
    // Top: the picture's top row alone, stretched.
    textured_vertex(0.6f, 0, 2, 1, 0.1f);
    textured_vertex(0.15f, 0, -2, 1, 0.1f);
    textured_vertex(0.15f, 0, -2, 1, -1);
    textured_vertex(0.6f, 0, 2, 1, -1);
    // Left wall: s 0 to 0.15.
    textured_vertex(0.15f, 0, -2, 1, -1);
    textured_vertex(0, 0, -2, 1, 0.1f);
    textured_vertex(0, 1, -2, 0, 0.1f);
    textured_vertex(0.15f, 1, -2, 0, -1);
    // Right wall: s 0.6 to 0.75.
    textured_vertex(0.75f, 0, 2, 1, 0.1f);
    textured_vertex(0.6f, 0, 2, 1, -1);
    textured_vertex(0.6f, 1, 2, 0, -1);
    textured_vertex(0.75f, 1, 2, 0, 0.1f);
    glEnd();

    glEnable(GL_FOG);
    glBindTexture(GL_TEXTURE_2D, g_tex_sea);
    // The scroll follows the current z speed, not the distance flown.
    const float k = -g_player.vel[2] * t;
    const float s0 = 0.1f * g_player.pos[0];
    glBegin(GL_QUADS);
    textured_vertex(s0 + 80, -50 - k, 2, 0, -1);
    textured_vertex(s0, -50 - k, -2, 0, -1);
    textured_vertex(s0, 5 - k, -2, 0, 0.1f);
    textured_vertex(s0 + 80, 5 - k, 2, 0, 0.1f);
    glEnd();
    glPopAttrib();
}

// Every centred picture (sun, sprites, sight, marks, HUD pictures): a 2 by 2
// quad on the origin, upright since t = 0 is the picture's top row.
void centred_quad() {
    glBegin(GL_QUADS);
    glTexCoord2f(1, 0);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, -1, 0);
    glEnd();
}

// The sun, and light 0 at its centre; ends the sky's matrix push.
void sun_draw() {
    static const float WHITE[4] = {1, 1, 1, 1};
    static const float AT_ORIGIN[4] = {0, 0, 0, 1};

    glDisable(GL_LIGHTING);
    glPushMatrix();
    glTranslatef(-0.8f, 0.5f, -0.8f);
    glLightfv(GL_LIGHT0, GL_AMBIENT, WHITE);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, WHITE);
    glLightfv(GL_LIGHT0, GL_SPECULAR, WHITE);
    glLightfv(GL_LIGHT0, GL_POSITION, AT_ORIGIN);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glScalef(2, 1, 1);
    glRotatef(45, 1, 0, 1);
    glScalef(0.4f, 0.4f, 0.4f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, g_tex_sun);
    centred_quad();
    glPopAttrib();
    glPopMatrix();
    glPopMatrix();

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

// The play frame's overlay: the sight and the acquisition where the nose
// points, the lock marks and the HUD, all projected through one view.
void play_overlay_draw(float t) {
    OverlayView view;
    overlay_view_read(&view);
    double sx, sy;
    if (sight_position(&view, &sx, &sy)) {
        sight_draw(sx, sy);
        locks_acquire(&view, sx, sy);
    }
    locks_draw(&view, t);
    hud_draw(t);
}

void render_frame() {
    // One clock read serves the sea scroll, the effect ages, the lock pulse
    // and the end fade of this frame.
    const float t = (float)time_seconds();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);

    if (!g_title_mode) {
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, FOG_START);
        glFogf(GL_FOG_END, FOG_END);
        glFogfv(GL_FOG_COLOR, FOG_COLOR);
        camera_load();
        sky_draw(t);
        sun_draw();
        objects_draw(t);
    }

    overlay_open();
    if (!g_title_mode) {
        play_overlay_draw(t);
    } else {
        title_draw();
    }
    glPopAttrib();
    SDL_GL_SwapBuffers();
}
