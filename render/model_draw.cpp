// Model drawing: bodies as flat-lit triangles in their face materials, and
// engine flames (two glow sprites and a scrolling tube) at the first vertex
// of every mesh named "jet.". All state changes stay inside one attribute push.
#include "render/model_draw.h"

#include "assets/assets.h"
#include "assets/model3ds.h"
#include "core/frame.h"
#include "render/render_local.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// Display list 1 is the flame's glow quad; nothing else uses display lists.
static const GLuint GLOW_LIST = 1;
// Flames take their size from these multiples of the width argument.
static const float GLOW_SCALE = 2.33f;
static const float TUBE_STEP = 0.5235988f; // a twelfth of a turn
static const int TUBE_SIDES = 12;
static const float SHININESS = 32.0f;

// The colours of the GL default material, for a model that has none at all.
static const Material3ds NO_MATERIAL = {"", {51, 51, 51}, {204, 204, 204}, {0, 0, 0}};

void model_set_material_color(GLenum face, GLenum pname, const unsigned char *color) {
    const GLfloat v[4] = {(GLfloat)(color[0] / 256.0), (GLfloat)(color[1] / 256.0),
                          (GLfloat)(color[2] / 256.0), 1.0f};
    glMaterialfv(face, pname, v);
}

static bool is_flame(const Mesh3ds *mesh) {
    return strncmp(mesh->name, "jet.", 4) == 0;
}

static const Material3ds *face_material(const Model3ds *model, const Mesh3ds *mesh, int face) {
    if (model->material_count <= 0 || !model->materials)
        return &NO_MATERIAL;
    const int index = mesh->face_materials ? mesh->face_materials[face] : 0;
    if (index < 0 || index >= model->material_count)
        return &model->materials[0];
    return &model->materials[index];
}

static void body(const Model3ds *model, const Mesh3ds *mesh) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    if (!mesh->faces || !mesh->vertices || !mesh->face_normals)
        return;
    for (int j = 0; j < mesh->face_count; j++) {
        const Material3ds *m = face_material(model, mesh, j);
        model_set_material_color(GL_FRONT, GL_AMBIENT, m->ambient);
        model_set_material_color(GL_FRONT, GL_DIFFUSE, m->diffuse);
        model_set_material_color(GL_FRONT, GL_SPECULAR, m->specular);
        glMaterialf(GL_FRONT, GL_SHININESS, SHININESS);
        glNormal3fv(&mesh->face_normals[3 * j]);
        const uint16_t *f = &mesh->faces[3 * j];
        glBegin(GL_TRIANGLES);
        for (int v = 0; v < 3; v++) {
            // The loader keeps indices in range; a stray one is not followed.
            if (f[v] < mesh->vertex_count)
                glVertex3fv(&mesh->vertices[3 * f[v]]);
        }
        glEnd();
    }
}

static void flame(const Mesh3ds *mesh, float w, float l, float k) {
    // The anchor is the mesh's one vertex; without it there is no flame.
    if (mesh->vertex_count == 0 || !mesh->vertices)
        return;
    // This state carries on to the next meshes until a body sets its own.
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);

    glPushMatrix();
    glPushAttrib(GL_CURRENT_BIT);
    glTranslatef(mesh->vertices[0], mesh->vertices[1], mesh->vertices[2]);

    glNewList(GLOW_LIST, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, 1, 0);
    glEnd();
    glEndList();

    glPushMatrix();
    glScalef(GLOW_SCALE * w, GLOW_SCALE * w, GLOW_SCALE * w);
    glColor4f(1, 1, 1, k);
    glBindTexture(GL_TEXTURE_2D, g_tex_jetfrom);
    glCallList(GLOW_LIST);
    // The outer glow flickers: every flame draws its own random value.
    glScalef(2, 2, 2);
    const float r = (float)random_unit();
    glColor4f(1, 1, 1, r * 0.2f * k);
    glBindTexture(GL_TEXTURE_2D, g_tex_jetf2);
    glCallList(GLOW_LIST);
    glDeleteLists(GLOW_LIST, 1);
    glPopMatrix();

    glBindTexture(GL_TEXTURE_2D, g_tex_jet);
    glPushMatrix();
    glScalef(w, w, l);
    glColor4f(1, 1, 1, 1);
    // One column of the picture along the whole tube, sliding twice a second.
    const float u = (float)fmod(2 * time_seconds(), 1.0);
    glBegin(GL_QUADS);
    for (int j = 0; j < TUBE_SIDES; j++) {
        const float a0 = j * TUBE_STEP;
        const float a1 = a0 + TUBE_STEP;
        glTexCoord2f(u, 0);
        glVertex3f(cos(a0), sin(a0), 0);
        glTexCoord2f(u, 0);
        glVertex3f(cos(a1), sin(a1), 0);
        glTexCoord2f(u, 1);
        glVertex3f(cos(a1), sin(a1), 1);
        glTexCoord2f(u, 1);
        glVertex3f(cos(a0), sin(a0), 1);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
    glPopMatrix();
}

void model_draw(const Model3ds *model, int mode, float width, float length, float alpha) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    if (model && model->meshes) {
        for (int i = 0; i < model->mesh_count; i++) {
            const Mesh3ds *mesh = &model->meshes[i];
            if (is_flame(mesh)) {
                if (mode != MODEL_DRAW_BODIES)
                    flame(mesh, width, length, alpha);
            } else if (mode != MODEL_DRAW_FLAMES) {
                body(model, mesh);
            }
        }
    }
    glPopAttrib();
}
