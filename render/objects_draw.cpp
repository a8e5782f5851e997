// The world object pass: every record of the world list in list order, each
// in its own matrix push: models through model_draw, islands as height grids
// coloured by a ramp, effects as flat sprites that fade with age.
#include "assets/assets.h"
#include "core/land.h"
#include "core/objects.h"
#include "render/model_draw.h"
#include "render/render_local.h"

#include <GL/gl.h>

// Islands farther ahead than this are left out; the fog hides them anyway.
static const float ISLAND_DRAW_AHEAD = -1564.0f;

static void model_object(const GameObject *o) {
    const float scale = o->kind == OBJ_MISSILE ? 0.5f : 1.0f;
    // The player's flames follow its throttle; everyone else's burn at half.
    const float k = o == &g_player ? g_player.a : 0.5f;
    const float width = 0.15f * scale * k;
    const float length = 3.0f * scale * k;
    model_draw(o->model, MODEL_DRAW_BODIES, width, length, k);
    model_draw(o->model, MODEL_DRAW_FLAMES, width, length, k);
}

static void island(const GameObject *o) {
    static const float S_PLANE[4] = {0, 0, 0, 0};
    static const float T_PLANE[4] = {0, -1, 0, 0};

    glPushMatrix();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    // 8 units per grid cell, heights stretched tenfold and sunk by 2 units,
    // the grid's centre point at the record's position.
    glScalef(8, 10, -8);
    glTranslatef(0, -0.2f, 0);
    glTranslatef(-8, 0, -8);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_tex_landmap);
    // The colour comes from the ramp by height alone.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_S, GL_OBJECT_PLANE, S_PLANE);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, T_PLANE);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);

    const float(*h)[LAND_GRID] = g_land_heights[o->land_slot];
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    for (int i = 0; i < LAND_GRID - 1; i++) {
        for (int j = 0; j < LAND_GRID - 1; j++) {
            glVertex3f(j, h[j][i + 1], i + 1);
            glVertex3f(j, h[j][i], i);
            glVertex3f(j + 1, h[j + 1][i], i);
            glVertex3f(j + 1, h[j + 1][i + 1], i + 1);
        }
    }
    glEnd();
    glPopAttrib();
    glPopMatrix();
}

static void sprite(const GameObject *o, float t) {
    const float age = t - o->birth;
    float alpha, size;
    unsigned texture;
    GLenum dst;
    switch (o->kind) {
    case OBJ_TRAIL_SMOKE:
        alpha = 1 - age;
        texture = g_tex_smoke;
        size = 0.5f;
        dst = GL_ONE_MINUS_SRC_ALPHA;
        break;
    case OBJ_EXPLOSION:
        alpha = 1 - age;
        texture = g_tex_smoke_burn;
        size = 15;
        dst = GL_ONE;
        break;
    case OBJ_DEBRIS_SMOKE:
        // Debris smoke holds for a second, then fades over the next.
        alpha = 2 - age;
        if (alpha < 0)
            alpha = 0;
        if (alpha > 1)
            alpha = 1;
        texture = g_tex_smoke_inv;
        size = o->a;
        dst = GL_ONE_MINUS_SRC_ALPHA;
        break;
    default: // OBJ_SHOCK
        alpha = (0.3f - age) / 0.3f;
        texture = g_tex_abshock;
        size = 3;
        dst = GL_ONE;
        break;
    }

    glPushMatrix();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4f(1, 1, 1, alpha);
    glBindTexture(GL_TEXTURE_2D, texture);
    glScalef(size, size, size);
    glBlendFunc(GL_SRC_ALPHA, dst);
    // Depth-tested but not written, so overlapping puffs do not cut each other.
    glDepthMask(GL_FALSE);
    centred_quad();
    glPopAttrib();
    glPopMatrix();
}

void objects_draw(float t) {
    const float player_z = g_player.pos[2];
    for (const GameObject *o = g_object_list; o; o = o->next) {
        const float dz = o->pos[2] - player_z;
        glPushMatrix();
        glTranslatef(o->pos[0], o->pos[1], dz);
        glRotatef(o->angles[1], 0, 1, 0);
        glRotatef(o->angles[0], 1, 0, 0);
        glRotatef(o->angles[2], 0, 0, 1);
        if (o->model)
            model_object(o);
        if (o->kind == OBJ_ISLAND && dz > ISLAND_DRAW_AHEAD && o->land_slot >= 0 &&
            o->land_slot < LAND_MAPS)
            island(o);
        if (o->kind == OBJ_TRAIL_SMOKE || o->kind == OBJ_EXPLOSION || o->kind == OBJ_DEBRIS_SMOKE ||
            o->kind == OBJ_SHOCK)
            sprite(o, t);
        glPopMatrix();
    }
}
