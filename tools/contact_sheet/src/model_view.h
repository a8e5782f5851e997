// Models for the contact sheet: a small 3DS reader that walks the chunks the
// way the game does, and a software rasterizer with flat Lambert shading and
// back-face culling, so a face wound the wrong way shows up as a hole.
#pragma once

#include "sheet_image.h"

#include <array>
#include <string>
#include <vector>

struct ViewTriangle {
    float p[3][3];
    Rgb colour;
};

struct ViewModel {
    std::vector<ViewTriangle> triangles;
    std::vector<std::array<float, 3>> anchors; // first vertex of each "jet." mesh
    int meshes = 0, vertices = 0;
};

bool view_model_load(const std::string &path, ViewModel &out, std::string &error);

// Draws the model into the box seen from the given yaw and pitch (degrees),
// fitted by the model's own extent; flame anchors are marked in orange.
void view_model_render(Canvas &canvas, const ViewModel &model, int x, int y, int w, int h,
                       float yaw, float pitch);
