// The in-memory form of a model before it is written: materials with their
// three colours, and named triangle meshes whose faces each name a material.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Vec3 {
    float x, y, z;
};

struct MaterialDef {
    std::string name;
    std::array<uint8_t, 3> ambient, diffuse, specular;
};

struct MeshDef {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<std::array<uint16_t, 3>> faces;
    std::vector<int> face_materials; // index into ModelDef::materials, one per face
};

struct ModelDef {
    std::string file_name;
    std::vector<MaterialDef> materials;
    std::vector<MeshDef> meshes;
};

// The whole file as the game reads it: main chunk, version 3, editor chunk,
// every material, then every mesh with one assignment per material it uses.
std::vector<uint8_t> model_write_3ds(const ModelDef &model);
