// A 3DS model as the game uses it: named triangle meshes with per-face
// materials of three 24-bit colours, and face and vertex normals.
#pragma once

#include <cstdint>

struct Material3ds {
    char name[17];
    unsigned char ambient[3];
    unsigned char diffuse[3];
    unsigned char specular[3];
};

struct Mesh3ds {
    char name[18];
    uint16_t vertex_count;
    float *vertices;       // x y z per vertex
    float *texcoords;      // u v per vertex, or null
    float *vertex_normals; // x y z per vertex
    uint16_t face_count;
    uint16_t *faces;       // three vertex indices per triangle
    float *face_normals;   // x y z per triangle
    int32_t *face_materials;
};

struct Model3ds {
    int32_t mesh_count;
    Mesh3ds *meshes;
    int32_t material_count;
    Material3ds *materials;
    const char *name; // display name, set by the asset table
};

struct Model3dsReader {
    void *source;
    int32_t pos;
    int32_t size;
    int (*read)(void *dest, int n, Model3dsReader *reader);
    int (*seek)(Model3dsReader *reader, int offset, int origin);
    int (*eof)(Model3dsReader *reader);
    int (*getc)(Model3dsReader *reader);
};

// The two readers' operations, for the loads below (and for tests).
int model3ds_mem_read(void *dest, int n, Model3dsReader *reader);
int model3ds_mem_seek(Model3dsReader *reader, int offset, int origin);
int model3ds_mem_eof(Model3dsReader *reader);
int model3ds_mem_getc(Model3dsReader *reader);
int model3ds_file_read(void *dest, int n, Model3dsReader *reader);
int model3ds_file_seek(Model3dsReader *reader, int offset, int origin);
int model3ds_file_eof(Model3dsReader *reader);
int model3ds_file_getc(Model3dsReader *reader);

Model3ds *model3ds_load_mem(const unsigned char *bytes, int32_t size);
Model3ds *model3ds_load_file(const char *path);
Model3ds *model3ds_parse(Model3dsReader *reader);
void model3ds_face_normals(Model3ds *model);
void model3ds_vertex_normals(Model3ds *model);
// Frees a model and every array it owns (refused loads, tests and tools).
void model3ds_free(Model3ds *model);
