// Face and vertex normals of a loaded 3DS model, in single precision. The
// vertex normal is renormalised after every face it takes, so later faces
// weigh more than a plain mean would give them, and the shading shows it.
#include "assets/model3ds.h"

#include <cmath>
#include <cstdlib>

// Null for an empty array, so "no faces" and "no normals" look alike.
static float *alloc_floats(size_t count) {
    return count ? static_cast<float *>(std::calloc(count, sizeof(float))) : nullptr;
}

// Scales v to unit length; a zero (or non-finite) length gives the zero
// vector rather than a division by zero.
static void normalise(float *v) {
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f) {
        v[0] = v[0] / length;
        v[1] = v[1] / length;
        v[2] = v[2] / length;
    } else {
        v[0] = v[1] = v[2] = 0.0f;
    }
}

void model3ds_face_normals(Model3ds *model) {
    for (int32_t m = 0; m < model->mesh_count; m++) {
        Mesh3ds &mesh = model->meshes[m];
        std::free(mesh.face_normals);
        mesh.face_normals = alloc_floats(size_t(mesh.face_count) * 3);
        if (!mesh.face_normals)
            continue;
        for (int f = 0; f < mesh.face_count; f++) {
            const uint16_t *face = &mesh.faces[f * 3];
            float *n = &mesh.face_normals[f * 3];
            if (face[0] >= mesh.vertex_count || face[1] >= mesh.vertex_count ||
                face[2] >= mesh.vertex_count)
                continue; // left at zero; the loader never hands out such a face
            const float *p0 = &mesh.vertices[face[0] * 3];
            const float *p1 = &mesh.vertices[face[1] * 3];
            const float *p2 = &mesh.vertices[face[2] * 3];
            float a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
            float b[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
            n[0] = a[1] * b[2] - a[2] * b[1];
            n[1] = a[2] * b[0] - a[0] * b[2];
            n[2] = a[0] * b[1] - a[1] * b[0];
            normalise(n);
        }
    }
}

void model3ds_vertex_normals(Model3ds *model) {
    for (int32_t m = 0; m < model->mesh_count; m++) {
        Mesh3ds &mesh = model->meshes[m];
        std::free(mesh.vertex_normals);
        mesh.vertex_normals = alloc_floats(size_t(mesh.vertex_count) * 3);
        if (!mesh.vertex_normals || !mesh.face_normals)
            continue;
        for (int f = 0; f < mesh.face_count; f++) {
            const float *fn = &mesh.face_normals[f * 3];
            for (int k = 0; k < 3; k++) {
                uint16_t i = mesh.faces[f * 3 + k];
                if (i >= mesh.vertex_count)
                    continue;
                float *vn = &mesh.vertex_normals[i * 3];
                vn[0] += fn[0];
                vn[1] += fn[1];
                vn[2] += fn[2];
                normalise(vn);
            }
        }
    }
}
