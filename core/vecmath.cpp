// The angle convention of the whole game. All sums, square roots and
// trigonometry run in double precision on the float inputs, and every result
// is stored as a float; degrees convert with VEC_PI both ways.
#include "core/vecmath.h"

#include <cmath>

static double to_radians(float degrees) {
    return degrees / 180.0 * (double)VEC_PI;
}

static double to_degrees(double radians) {
    return radians / (double)VEC_PI * 180.0;
}

// The tail direction of a model with pitch p and yaw y (radians).
static void back_vector(double p, double y, float *out) {
    out[0] = (float)(std::cos(p) * std::sin(y));
    out[1] = (float)-std::sin(p);
    out[2] = (float)(std::cos(p) * std::cos(y));
}

void vec_from_angles(const float *angles, float *up, float *back) {
    if (!angles)
        return;
    double y = to_radians(angles[1]);
    if (back)
        back_vector(to_radians(angles[0]), y, back);
    // Up is the back vector of the nose raised a quarter turn less.
    if (up)
        back_vector(((double)angles[0] - 90.0) / 180.0 * (double)VEC_PI, y, up);
}

void vec_to_angles(const float *v, float *out) {
    if (!v || !out)
        return;
    double x = v[0], y = v[1], z = v[2];
    out[0] = (float)-(to_degrees(std::atan2(std::sqrt(x * x + z * z), y)) - 90.0);
    out[1] = (float)-to_degrees(std::atan2(x, -z));
    out[2] = (float)std::sqrt(x * x + y * y + z * z);
}

float vec_length(const float *v) {
    double x = v[0], y = v[1], z = v[2];
    return (float)std::sqrt(x * x + y * y + z * z);
}

void vec_normalize(float *v) {
    if (!v)
        return;
    float len = vec_length(v);
    for (int i = 0; i < 3; i++)
        v[i] /= len;
}

float vec_distance(const float *a, const float *b) {
    double dx = (double)a[0] - b[0];
    double dy = (double)a[1] - b[1];
    double dz = (double)a[2] - b[2];
    return (float)std::sqrt(dx * dx + dy * dy + dz * dz);
}
