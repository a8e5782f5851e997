// Drawing of loaded 3DS models: lit flat bodies in their material colours and
// engine flames at the anchors of the meshes named "jet.".
#pragma once

#include <GL/gl.h>

struct Model3ds;

enum {
    MODEL_DRAW_BODIES = 1,
    MODEL_DRAW_FLAMES = 2,
};

// Draws the model at the current model-view transform; mode 1 draws the
// bodies, 2 the flames, anything else both. width and length size the flame
// tube, alpha fades the glow. The OpenGL state is left as it was found.
void model_draw(const Model3ds *model, int mode, float width, float length, float alpha);
// Sets a material parameter from a byte colour: each byte / 256, alpha 1.
void model_set_material_color(GLenum face, GLenum pname, const unsigned char *color);
