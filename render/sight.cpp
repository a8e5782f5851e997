// The first half of the 2D overlay: its drawing state, the sight where the
// nose points, lock-on of enemy aircraft near the sight, and the lock marks.
// Acquisition works on screen positions with the matrices the world used.
#include "assets/assets.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/startup.h"
#include "core/vecmath.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL_mixer.h>
#include <cmath>

// Half the side of the square around the sight that locks an aircraft on.
static const double LOCK_WINDOW = 0.028;
// The sight shows the point this far along the aircraft's axis.
static const double SIGHT_DISTANCE = 100.0;

void overlay_open() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
}

void overlay_view_read(OverlayView *view) {
    glGetDoublev(GL_MODELVIEW_MATRIX, view->modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, view->projection);
    glGetIntegerv(GL_VIEWPORT, view->viewport);
}

bool overlay_project(const OverlayView *view, double x, double y, double z, double *ndc_x,
                     double *ndc_y) {
    double wx, wy, wz;
    if (gluProject(x, y, z, view->modelview, view->projection, view->viewport, &wx, &wy, &wz) !=
        GL_TRUE)
        return false;
    *ndc_x = (2 * wx - g_screen_w) / g_screen_w;
    *ndc_y = (2 * wy - g_screen_h) / g_screen_h;
    return true;
}

bool sight_position(const OverlayView *view, double *sx, double *sy) {
    float back[3];
    vec_from_angles(g_player.angles, nullptr, back);
    // The point lies behind the camera too; the projection mirrors it through
    // the eye, so the sight lands ahead of the nose.
    return overlay_project(view, (double)g_player.pos[0] + SIGHT_DISTANCE * back[0],
                           (double)g_player.pos[1] + SIGHT_DISTANCE * back[1],
                           SIGHT_DISTANCE * back[2], sx, sy);
}

void sight_draw(double sx, double sy) {
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(sx, sy, 0);
    glBindTexture(GL_TEXTURE_2D, g_tex_sight);
    glScalef(0.05f, 0.05f, 1);
    centred_quad();
    glPopMatrix();
}

static bool locked(const GameObject *o) {
    for (int i = 0; i < LOCK_SLOTS; i++)
        if (g_locks[i] == o)
            return true;
    return false;
}

void locks_acquire(const OverlayView *view, double sx, double sy) {
    const float player_z = g_player.pos[2];
    for (GameObject *o = g_object_list; o; o = o->next) {
        if (o->kind != OBJ_AIRCRAFT || o->side != SIDE_ENEMY)
            continue;
        double ox, oy;
        if (!overlay_project(view, o->pos[0], o->pos[1], o->pos[2] - player_z, &ox, &oy))
            continue;
        if (!(sx - LOCK_WINDOW < ox && sy - LOCK_WINDOW < oy && ox < sx + LOCK_WINDOW &&
              oy < sy + LOCK_WINDOW))
            continue;
        if (!(o->pos[2] - player_z < 0))
            continue;
        if (locked(o))
            continue;
        for (int i = 0; i < LOCK_SLOTS; i++) {
            if (!g_locks[i]) {
                g_locks[i] = o;
                Mix_PlayChannelTimed(-1, g_snd_lockon, 0, -1);
                break;
            }
        }
    }
}

void locks_draw(const OverlayView *view, float t) {
    const float player_z = g_player.pos[2];
    // Three pulses a second, in step on every mark.
    const float k = (float)fmod(3 * t, 1.0);
    const float s = 2 + 2 * (1 - k);
    for (int i = 0; i < LOCK_SLOTS; i++) {
        const GameObject *o = g_locks[i];
        if (!o || !(o->pos[2] - player_z < 0))
            continue;
        double mx, my;
        if (!overlay_project(view, o->pos[0], o->pos[1], o->pos[2] - player_z, &mx, &my))
            continue;
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(mx, my, 0);
        glScalef(0.025f, 0.025f, 1);
        glBindTexture(GL_TEXTURE_2D, g_tex_lock1);
        centred_quad();

        glPushMatrix();
        glScalef(s, s, s);
        glBindTexture(GL_TEXTURE_2D, g_tex_lock2);
        centred_quad();
        glPopMatrix();

        if (o->missile_assigned) {
            glScalef(0.5f, 0.5f, 1);
            glBindTexture(GL_TEXTURE_2D, g_tex_lock3);
            centred_quad();
        }
        glPopMatrix();
    }
}
