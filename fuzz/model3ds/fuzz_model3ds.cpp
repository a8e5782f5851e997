// Fuzz target for the 3DS loader: every input goes through both readers (the
// file one over an in-memory stream), which must agree, and an accepted model
// must keep the promises the drawing code relies on.
#include "assets/model3ds.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "model3ds fuzz: %s\n", what);
        std::abort();
    }
}

void check_model(const Model3ds *m) {
    for (int32_t i = 0; i < m->mesh_count; i++) {
        const Mesh3ds &mesh = m->meshes[i];
        check(std::memchr(mesh.name, 0, sizeof mesh.name) != nullptr, "mesh name not ended");
        check(!mesh.face_count || (mesh.faces && mesh.face_normals && mesh.face_materials),
              "face arrays missing");
        check(!mesh.vertex_count || (mesh.vertices && mesh.vertex_normals),
              "vertex arrays missing");
        for (int k = 0; k < mesh.face_count * 3; k++)
            check(mesh.faces[k] < mesh.vertex_count, "face index out of range");
        for (int f = 0; f < mesh.face_count; f++)
            check(mesh.face_materials[f] >= 0 && mesh.face_materials[f] < m->material_count,
                  "face material out of range");
        // Touch every element so the sanitizer sees any short array.
        volatile float sum = 0;
        for (int k = 0; k < mesh.vertex_count * 3; k++)
            sum = sum + mesh.vertices[k] + mesh.vertex_normals[k];
        for (int k = 0; k < mesh.face_count * 3; k++)
            sum = sum + mesh.face_normals[k];
        if (mesh.texcoords)
            for (int k = 0; k < mesh.vertex_count * 2; k++)
                sum = sum + mesh.texcoords[k];
    }
    for (int32_t i = 0; i < m->material_count; i++)
        check(std::memchr(m->materials[i].name, 0, sizeof m->materials[i].name) != nullptr,
              "material name not ended");
}

Model3ds *parse_as_file(const uint8_t *data, size_t size) {
    if (size == 0)
        return model3ds_load_mem(data, 0); // fmemopen refuses an empty buffer
    FILE *stream = fmemopen(const_cast<uint8_t *>(data), size, "rb");
    if (!stream)
        return nullptr;
    Model3dsReader reader{};
    reader.source = stream;
    reader.size = int32_t(size);
    reader.read = model3ds_file_read;
    reader.seek = model3ds_file_seek;
    reader.eof = model3ds_file_eof;
    reader.getc = model3ds_file_getc;
    Model3ds *model = model3ds_parse(&reader);
    std::fclose(stream);
    return model;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1 << 20))
        return 0;
    Model3ds *from_mem = model3ds_load_mem(data, int32_t(size));
    Model3ds *from_file = parse_as_file(data, size);
    check(!from_mem == !from_file, "readers disagree on refusal");
    if (from_mem) {
        check_model(from_mem);
        check(from_mem->mesh_count == from_file->mesh_count &&
                  from_mem->material_count == from_file->material_count,
              "readers disagree on counts");
        for (int32_t i = 0; i < from_mem->mesh_count; i++) {
            const Mesh3ds &a = from_mem->meshes[i], &b = from_file->meshes[i];
            check(a.vertex_count == b.vertex_count && a.face_count == b.face_count &&
                      std::strcmp(a.name, b.name) == 0,
                  "readers disagree on a mesh");
        }
    }
    model3ds_free(from_mem);
    model3ds_free(from_file);
    return 0;
}
