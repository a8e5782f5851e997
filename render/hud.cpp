// The second half of the overlay: throttle gauge, missile stock and score
// from the HUD atlas, the end picture with the fade of all sound, and the
// title picture. Everything here is in normalized device coordinates.
#include "assets/assets.h"
#include "core/game.h"
#include "core/objects.h"
#include "render/render_local.h"

#include <GL/gl.h>
#include <SDL/SDL_mixer.h>
#include <cstdlib>

// The end picture fades in, and the sound out, over this many seconds.
static const float END_FADE_SECONDS = 5.0f;
// The levels a new game sets, which the fade scales down.
static const int CHANNELS_LEVEL = 128;
static const int ENGINE_LEVEL = 32;
static const int MUSIC_LEVEL = 96;

// One atlas rectangle on the unit square: (x1, y1) top right on screen with
// texture (s1, t0) and so on round, the atlas's top row at t0.
static void atlas_quad(float x1, float s0, float s1, float t0, float t1) {
    glTexCoord2f(s1, t0);
    glVertex3f(x1, 1, 0);
    glTexCoord2f(s0, t0);
    glVertex3f(0, 1, 0);
    glTexCoord2f(s0, t1);
    glVertex3f(0, 0, 0);
    glTexCoord2f(s1, t1);
    glVertex3f(x1, 0, 0);
}

static void gauge() {
    // The bar flickers a little above the flame level.
    const float j = (float)(random_unit() * 0.025);
    const float w = g_player.a + j;
    glPushMatrix();
    glTranslatef(-0.97f, -0.97f, 0);
    glScalef(0.8f, 0.15f, 1);
    glBegin(GL_QUADS);
    // The strip is cut where the bar ends, so its colours keep their place.
    atlas_quad(w, 0, w, 0.125f, 0.25f);
    atlas_quad(1, 0, 1, 0, 0.125f);
    glEnd();
    glPopMatrix();
}

static void missile_icons() {
    glPushMatrix();
    glTranslatef(-0.97f, -0.77f, 0);
    glScalef(0.1f, 0.2f, 1);
    int n = g_missile_count;
    while (n >= 10) {
        glBegin(GL_QUADS);
        atlas_quad(1, 0, 0.125f, 0.375f, 0.625f);
        glEnd();
        glTranslatef(0.5f, 0, 0);
        n -= 10;
    }
    while (n > 0) {
        glBegin(GL_QUADS);
        atlas_quad(1, 0.125f, 0.25f, 0.375f, 0.625f);
        glEnd();
        glTranslatef(0.4f, 0, 0);
        n -= 1;
    }
    glPopMatrix();
}

static void end_fade(float t) {
    const float x = (t - g_stage_over_time) / END_FADE_SECONDS;
    const float alpha = x < 0 ? 0 : x > 1 ? 1 : x;
    glPushAttrib(GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glColor4f(1, 1, 1, alpha);
    glBindTexture(GL_TEXTURE_2D, g_tex_endofseq);
    centred_quad();
    glPopAttrib();

    // Not clamped: past the end the levels go negative, which the mixer takes
    // as a query and ignores, so they stay at 0.
    Mix_Volume(-1, (int)((1 - x) * CHANNELS_LEVEL));
    Mix_Volume(g_engine_channel, (int)((1 - x) * ENGINE_LEVEL));
    Mix_VolumeMusic((int)((1 - x) * MUSIC_LEVEL));
}

static void score() {
    glPushMatrix();
    glTranslatef(-1, 0.9f, 0);
    glScalef(0.2f, 0.1f, 1);
    glBegin(GL_QUADS);
    atlas_quad(1, 0, 0.25f, 0.25f, 0.375f);
    glEnd();
    glTranslatef(0.3f, -0.7f, 0);
    glScalef(0.25f, 1, 1);
    // Seven digits, leading zeros; the atlas holds digit d in column d + 4.
    for (int d = 1000000; d > 0; d /= 10) {
        const int c = g_score / d % 10 + 4;
        glBegin(GL_QUADS);
        atlas_quad(1, c / 16.0f, (c + 1) / 16.0f, 0.25f, 0.375f);
        glEnd();
        glTranslatef(1, 0, 0);
    }
    glPopMatrix();
}

void hud_draw(float t) {
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, g_tex_hud);
    gauge();
    missile_icons();
    if (g_stage_over)
        end_fade(t);
    score();
}

void title_draw() {
    glBindTexture(GL_TEXTURE_2D, g_tex_title);
    centred_quad();
}
