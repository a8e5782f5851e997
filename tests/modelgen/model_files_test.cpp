// The generated models against the table the game is built for: materials,
// meshes and anchors exactly, faces valid and wound outwards, and the same
// counts seen by three other readers (the game's loader, lib3ds, assimp).
#include "chunk_tree.h"
#include "support/run_program.h"

#include "assets/model3ds.h"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>
#include <sstream>

namespace {

struct Material {
    const char *name;
    std::array<uint8_t, 3> ambient, diffuse, specular;
};
struct Mesh {
    const char *name;
    int vertices, faces;
    std::array<float, 3> anchor; // meaningful for "jet." meshes only
};
struct Expected {
    const char *file;
    std::vector<Material> materials;
    std::vector<Mesh> meshes;
    float min_length, max_length;
};

const std::array<uint8_t, 3> WHITE{255, 255, 255};
const Material GREY{"Material", {20, 20, 20}, {204, 204, 204}, WHITE};

const std::vector<Expected> MODELS = {
    {"bulletfire.3ds",
     {{"Material.001", {172, 178, 109}, {246, 255, 155}, WHITE}},
     {{"Plane", 6, 8, {}}},
     0.5f,
     1.5f},
    {"f14tomcat.3ds",
     {{"glass", {30, 91, 127}, {60, 183, 255}, WHITE},
      {"body", {20, 20, 20}, {204, 204, 204}, WHITE},
      {"engine", {9, 9, 9}, {90, 90, 90}, WHITE}},
     {{"body", 214, 392, {}},
      {"jet.r", 1, 0, {0.315f, 0.132f, 1.791f}},
      {"jet.l", 1, 0, {-0.311f, 0.132f, 1.791f}},
      {"engine.r", 37, 60, {}},
      {"engine.l", 37, 60, {}}},
     4.0f,
     5.5f},
    {"fighter.3ds",
     {GREY, {"Material.001", {18, 84, 127}, {37, 168, 255}, WHITE}},
     {{"body", 118, 200, {}},
      {"jet.r", 1, 0, {0.226f, -0.006f, 2.111f}},
      {"jet.l", 1, 0, {-0.213f, -0.006f, 2.111f}},
      {"Tube.001", 49, 84, {}},
      {"Tube", 49, 84, {}}},
     4.0f,
     5.5f},
    {"mig25.3ds",
     {GREY, {"Material.001", {22, 83, 127}, {44, 166, 255}, WHITE}},
     {{"body", 158, 274, {}},
      {"jet.r", 1, 0, {0.201f, 0.031f, 1.305f}},
      {"jet.l", 1, 0, {-0.207f, 0.031f, 1.305f}},
      {"Tube.001", 37, 60, {}},
      {"Tube", 37, 60, {}}},
     4.0f,
     5.5f},
    {"missile.3ds",
     {GREY},
     {{"jet.", 1, 0, {0, 0, 0.490f}},
      {"Plane.003", 8, 12, {}},
      {"Plane.002", 8, 12, {}},
      {"Plane.001", 8, 12, {}},
      {"Plane", 8, 12, {}},
      {"Cylinder", 26, 48, {}}},
     0.9f,
     1.1f},
};

// Names the parameter in test output instead of dumping its bytes.
void PrintTo(const Expected &e, std::ostream *os) {
    *os << e.file;
}

bool is_anchor(const std::string &name) {
    return name.compare(0, 4, "jet.") == 0;
}

std::string data_path(const std::string &file) {
    return std::string(QUORRIN_BINARY_DIR) + "/data/" + file;
}

using V3 = std::array<double, 3>;
V3 vsub(V3 a, V3 b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
V3 vcross(V3 a, V3 b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double vdot(V3 a, V3 b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
V3 vertex(const TreeMesh &m, int i) {
    return {m.vertices[i][0], m.vertices[i][1], m.vertices[i][2]};
}

// Faces grouped into parts that share vertices.
std::vector<std::vector<int>> connected_parts(const TreeMesh &mesh) {
    std::vector<int> parent(mesh.vertices.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    for (const auto &f : mesh.faces) {
        parent[root(f[1])] = root(f[0]);
        parent[root(f[2])] = root(f[0]);
    }
    std::map<int, std::vector<int>> parts;
    for (size_t j = 0; j < mesh.faces.size(); j++)
        parts[root(mesh.faces[j][0])].push_back(int(j));
    std::vector<std::vector<int>> out;
    for (auto &p : parts)
        out.push_back(p.second);
    return out;
}

class ModelFile : public testing::TestWithParam<Expected> {
  protected:
    void SetUp() override {
        bytes = read_whole_file(data_path(GetParam().file));
        ASSERT_FALSE(bytes.empty()) << "not generated: " << GetParam().file;
        model = chunk_tree_read(bytes);
        ASSERT_EQ(model.error, "");
    }
    std::vector<uint8_t> bytes;
    TreeModel model;
};

TEST_P(ModelFile, LayoutMaterialsAndMeshesAsTheGameExpects) {
    const Expected &e = GetParam();
    EXPECT_EQ(model.version, 3u);
    ASSERT_EQ(model.top_ids, (std::vector<uint16_t>{0x0002, 0x3D3D}));
    // Every material comes before the first object.
    std::vector<uint16_t> editor(e.materials.size(), 0xAFFF);
    editor.insert(editor.end(), e.meshes.size(), 0x4000);
    EXPECT_EQ(model.editor_ids, editor);

    ASSERT_EQ(model.materials.size(), e.materials.size());
    for (size_t i = 0; i < e.materials.size(); i++) {
        const TreeMaterial &m = model.materials[i];
        EXPECT_EQ(m.name, e.materials[i].name);
        EXPECT_EQ(m.colours_set, 3) << m.name;
        EXPECT_EQ(m.ambient, e.materials[i].ambient) << m.name;
        EXPECT_EQ(m.diffuse, e.materials[i].diffuse) << m.name;
        EXPECT_EQ(m.specular, e.materials[i].specular) << m.name;
    }
    ASSERT_EQ(model.meshes.size(), e.meshes.size());
    for (size_t i = 0; i < e.meshes.size(); i++) {
        const TreeMesh &m = model.meshes[i];
        EXPECT_EQ(m.name, e.meshes[i].name);
        EXPECT_EQ(int(m.vertices.size()), e.meshes[i].vertices) << m.name;
        EXPECT_EQ(int(m.faces.size()), e.meshes[i].faces) << m.name;
        EXPECT_FALSE(m.has_texcoords) << m.name;
        if (is_anchor(m.name)) {
            ASSERT_EQ(m.vertices.size(), 1u);
            EXPECT_EQ(m.vertices[0], e.meshes[i].anchor) << m.name; // bit for bit
        }
    }
}

TEST_P(ModelFile, EveryFaceValidFlaggedZeroAndInExactlyOneAssignment) {
    for (const TreeMesh &m : model.meshes) {
        std::vector<int> times(m.faces.size(), 0);
        std::set<std::string> materials_named;
        for (const TreeAssignment &a : m.assignments) {
            EXPECT_TRUE(materials_named.insert(a.material).second) << m.name;
            bool known = false;
            for (const TreeMaterial &mat : model.materials)
                known |= mat.name == a.material;
            EXPECT_TRUE(known) << a.material;
            for (uint16_t j : a.faces) {
                ASSERT_LT(j, m.faces.size()) << m.name;
                times[j]++;
            }
        }
        for (size_t j = 0; j < m.faces.size(); j++) {
            EXPECT_EQ(times[j], 1) << m.name << " face " << j;
            EXPECT_EQ(m.flags[j], 0) << m.name;
            for (uint16_t v : m.faces[j])
                ASSERT_LT(v, m.vertices.size()) << m.name;
        }
    }
}

TEST_P(ModelFile, PartsAreConsistentlyWoundOutwardsWithoutZeroAreaFaces) {
    for (const TreeMesh &m : model.meshes) {
        for (const auto &f : m.faces) {
            V3 n = vcross(vsub(vertex(m, f[1]), vertex(m, f[0])),
                          vsub(vertex(m, f[2]), vertex(m, f[1])));
            EXPECT_GT(std::sqrt(vdot(n, n)), 1e-6) << m.name;
        }
        for (const std::vector<int> &part : connected_parts(m)) {
            // Neighbouring faces run along a shared edge in opposite directions;
            // the same directed edge twice means one of them is flipped.
            std::map<std::pair<int, int>, int> edges;
            std::set<int> used;
            for (int j : part)
                for (int k = 0; k < 3; k++) {
                    int a = m.faces[j][k], b = m.faces[j][(k + 1) % 3];
                    int &seen = edges[std::make_pair(a, b)];
                    EXPECT_EQ(++seen, 1) << m.name << " edge " << a << "-" << b;
                    used.insert(a);
                }
            V3 centre{0, 0, 0};
            for (int v : used)
                for (int c = 0; c < 3; c++)
                    centre[c] += m.vertices[v][c] / double(used.size());
            double volume = 0;
            for (int j : part) {
                const auto &f = m.faces[j];
                volume +=
                    vdot(vsub(vertex(m, f[0]), centre),
                         vcross(vsub(vertex(m, f[1]), centre), vsub(vertex(m, f[2]), centre)));
            }
            EXPECT_GT(volume, 0) << m.name << ": a part is wound inwards";
        }
    }
}

TEST_P(ModelFile, NoseForwardLengthAsIntendedAnchorsAtTheNozzles) {
    const Expected &e = GetParam();
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const TreeMesh &m : model.meshes)
        if (!is_anchor(m.name))
            for (const auto &v : m.vertices)
                for (int c = 0; c < 3; c++) {
                    lo[c] = std::min(lo[c], v[c]);
                    hi[c] = std::max(hi[c], v[c]);
                }
    float length = hi[2] - lo[2];
    EXPECT_GE(length, e.min_length);
    EXPECT_LE(length, e.max_length);
    EXPECT_GT(-lo[2], hi[2]) << "the nose must point along -z";
    EXPECT_LT(hi[0] - lo[0], length) << "wider than long";
    for (const TreeMesh &a : model.meshes) {
        if (!is_anchor(a.name))
            continue;
        // The flame leaves from the back of the model, close to some part of it.
        EXPECT_GT(a.vertices[0][2], (lo[2] + hi[2]) / 2) << a.name;
        double nearest = 1e9;
        for (const TreeMesh &m : model.meshes)
            if (!is_anchor(m.name))
                for (const auto &v : m.vertices) {
                    V3 d = vsub({v[0], v[1], v[2]}, vertex(a, 0));
                    nearest = std::min(nearest, std::sqrt(vdot(d, d)));
                }
        EXPECT_LT(nearest, 0.1) << a.name;
    }
}

TEST_P(ModelFile, GameLoaderReadsTheSameMeshes) {
    Model3ds *loaded = model3ds_load_mem(bytes.data(), int32_t(bytes.size()));
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->mesh_count, int(model.meshes.size()));
    ASSERT_EQ(loaded->material_count, int(model.materials.size()));
    for (int i = 0; i < loaded->mesh_count; i++) {
        const Mesh3ds &m = loaded->meshes[i];
        EXPECT_EQ(std::string(m.name), model.meshes[i].name);
        EXPECT_EQ(m.vertex_count, model.meshes[i].vertices.size());
        EXPECT_EQ(m.face_count, model.meshes[i].faces.size());
        for (int j = 0; j < m.face_count; j++) {
            ASSERT_GE(m.face_materials[j], 0);
            ASSERT_LT(m.face_materials[j], loaded->material_count);
        }
    }
    model3ds_free(loaded);
}

TEST_P(ModelFile, Lib3dsReadsTheSameCounts) {
    Lib3dsFile *file = lib3ds_file_load(data_path(GetParam().file).c_str());
    ASSERT_NE(file, nullptr);
    std::map<std::string, const Lib3dsMesh *> meshes;
    for (Lib3dsMesh *m = file->meshes; m; m = m->next)
        meshes[m->name] = m;
    EXPECT_EQ(meshes.size(), model.meshes.size());
    for (const TreeMesh &mine : model.meshes) {
        ASSERT_TRUE(meshes.count(mine.name)) << mine.name;
        const Lib3dsMesh *theirs = meshes[mine.name];
        EXPECT_EQ(theirs->points, mine.vertices.size()) << mine.name;
        EXPECT_EQ(theirs->faces, mine.faces.size()) << mine.name;
        EXPECT_EQ(theirs->texels, 0u) << mine.name;
        for (const TreeAssignment &a : mine.assignments)
            for (uint16_t j : a.faces)
                EXPECT_EQ(std::string(theirs->faceL[j].material), a.material);
    }
    int materials = 0;
    for (Lib3dsMaterial *m = file->materials; m; m = m->next) {
        materials++;
        for (const TreeMaterial &mine : model.materials) {
            if (mine.name != m->name)
                continue;
            for (int c = 0; c < 3; c++) {
                EXPECT_NEAR(m->ambient[c], mine.ambient[c] / 255.0f, 1e-6f) << mine.name;
                EXPECT_NEAR(m->diffuse[c], mine.diffuse[c] / 255.0f, 1e-6f) << mine.name;
                EXPECT_NEAR(m->specular[c], mine.specular[c] / 255.0f, 1e-6f) << mine.name;
            }
        }
    }
    EXPECT_EQ(materials, int(model.materials.size()));
    lib3ds_file_free(file);
}

// assimp splits meshes by material and drops those without faces (the anchors).
TEST_P(ModelFile, AssimpReadsTheSameTotals) {
    ProgramRun assimp = run_program({"assimp", "info", data_path(GetParam().file)}, true);
    if (!assimp.started)
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    ASSERT_EQ(assimp.exit_code, 0) << assimp.output;
    std::map<std::string, long> seen;
    std::istringstream lines(assimp.output);
    for (std::string line; std::getline(lines, line);) {
        char key[64];
        long value;
        if (std::sscanf(line.c_str(), " %63[A-Za-z]: %ld", key, &value) == 2 && !seen.count(key))
            seen[key] = value;
    }
    ASSERT_TRUE(seen.count("Faces")) << assimp.output;
    // Each per-material piece keeps the vertices its faces use.
    long faces = 0, vertices = 0, split_meshes = 0;
    for (const TreeMesh &m : model.meshes) {
        faces += long(m.faces.size());
        split_meshes += long(m.assignments.size());
        for (const TreeAssignment &a : m.assignments) {
            std::set<uint16_t> used;
            for (uint16_t j : a.faces)
                used.insert(m.faces[j].begin(), m.faces[j].end());
            vertices += long(used.size());
        }
    }
    EXPECT_EQ(seen["Faces"], faces);
    EXPECT_EQ(seen["Vertices"], vertices);
    EXPECT_EQ(seen["Meshes"], split_meshes);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ModelFile, testing::ValuesIn(MODELS),
                         [](const testing::TestParamInfo<Expected> &info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
