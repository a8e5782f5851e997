// Vector maths on three floats and the game's angle convention: the back
// vector of (pitch, yaw) is (cos p sin y, -sin p, cos p cos y), +z at zero.
#pragma once

// Degrees convert with this single-precision pi, as the game always has.
constexpr float VEC_PI = 3.1415925f;

void vec_from_angles(const float *angles, float *up, float *back);
void vec_to_angles(const float *v, float *out);
float vec_length(const float *v);
void vec_normalize(float *v);
// Distance between the first three floats at a and at b (records pass pos).
float vec_distance(const float *a, const float *b);
