// A strict reader of 3DS files for the tests: unlike the game's flat walk it
// follows the nesting, so a chunk whose length disagrees with its contents is
// caught, and it records what each model holds in the order it was written.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TreeMaterial {
    std::string name;
    std::array<uint8_t, 3> ambient{}, diffuse{}, specular{};
    int colours_set = 0;
};

struct TreeAssignment {
    std::string material;
    std::vector<uint16_t> faces;
};

struct TreeMesh {
    std::string name;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<uint16_t, 3>> faces;
    std::vector<uint16_t> flags;
    std::vector<TreeAssignment> assignments;
    bool has_texcoords = false;
};

struct TreeModel {
    uint32_t version = 0;
    std::vector<uint16_t> top_ids;    // chunks directly inside the main chunk
    std::vector<uint16_t> editor_ids; // chunks directly inside the editor chunk
    std::vector<TreeMaterial> materials;
    std::vector<TreeMesh> meshes;
    std::string error; // empty when the file read cleanly
};

TreeModel chunk_tree_read(const std::vector<uint8_t> &bytes);
std::vector<uint8_t> read_whole_file(const std::string &path);
