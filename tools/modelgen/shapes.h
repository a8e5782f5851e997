// Parametric parts the models are built from: lofts through cross-section
// rings (fuselages, canopies, nacelles, missile bodies), aerofoil plates with
// thickness (wings, fins) and the single-vertex flame anchors.
#pragma once

#include "model_def.h"

enum class LoftEnd { Open, Point, Flat };

struct LoftCap {
    LoftEnd kind;
    Vec3 point; // only for LoftEnd::Point: the tip or the centre of a fan
};

inline LoftCap open_end() {
    return {LoftEnd::Open, {0, 0, 0}};
}
inline LoftCap flat_end() {
    return {LoftEnd::Flat, {0, 0, 0}};
}
inline LoftCap point_end(Vec3 p) {
    return {LoftEnd::Point, p};
}

using Ring = std::vector<Vec3>;

// A cross-section at depth z: half width w, heights above and below the
// centre line; squareness 1 gives an ellipse, towards 0 a box.
Ring section_ring(int points, float cx, float cy, float z, float w, float top, float bottom,
                  float squareness = 1.0f);

// Four points of a lens-shaped aerofoil: leading edge, upper surface, trailing
// edge, lower surface. chord_dir runs from the leading to the trailing edge.
Ring foil_section(Vec3 leading, Vec3 chord_dir, Vec3 thick_dir, float chord, float thickness);

// Appends a surface through the rings (all the same size) with the given ends,
// wound counter-clockwise seen from outside whatever the rings' direction.
void add_loft(MeshDef &mesh, const std::vector<Ring> &rings, LoftCap front, LoftCap back,
              int material);

// Appends a flat sheet through rows of points (an open canopy shell, say);
// `outside` is a point the sheet's front side faces.
void add_sheet(MeshDef &mesh, const std::vector<Ring> &rows, Vec3 outside, int material);

Ring mirror_x(const Ring &ring);
std::vector<Ring> mirror_x(const std::vector<Ring> &rings);

MeshDef anchor_mesh(const std::string &name, Vec3 at);

// Throws when a face has (almost) no area: the game divides by its normal's length.
void check_no_degenerate(const MeshDef &mesh);
