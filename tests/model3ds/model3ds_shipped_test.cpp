// The five models the game ships, as our generator writes them: the meshes,
// materials and flame anchors that the renderer looks up by name.
#include "assets/model3ds.h"
#include "model3ds_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct MeshWant {
    const char *name;
    int vertices, faces;
};

struct MaterialWant {
    const char *name;
    Rgb ambient, diffuse, specular;
};

struct ModelWant {
    const char *file;
    std::vector<MaterialWant> materials;
    std::vector<MeshWant> meshes;
    std::vector<float> anchors; // x y z of each "jet." mesh's vertex, in mesh order
};

const Rgb kW = {255, 255, 255};

const std::vector<ModelWant> kShipped = {
    {"bulletfire.3ds",
     {{"Material.001", {172, 178, 109}, {246, 255, 155}, kW}},
     {{"Plane", 6, 8}},
     {}},
    {"f14tomcat.3ds",
     {{"glass", {30, 91, 127}, {60, 183, 255}, kW},
      {"body", {20, 20, 20}, {204, 204, 204}, kW},
      {"engine", {9, 9, 9}, {90, 90, 90}, kW}},
     {{"body", 214, 392},
      {"jet.r", 1, 0},
      {"jet.l", 1, 0},
      {"engine.r", 37, 60},
      {"engine.l", 37, 60}},
     {0.315f, 0.132f, 1.791f, -0.311f, 0.132f, 1.791f}},
    {"fighter.3ds",
     {{"Material", {20, 20, 20}, {204, 204, 204}, kW},
      {"Material.001", {18, 84, 127}, {37, 168, 255}, kW}},
     {{"body", 118, 200}, {"jet.r", 1, 0}, {"jet.l", 1, 0}, {"Tube.001", 49, 84}, {"Tube", 49, 84}},
     {0.226f, -0.006f, 2.111f, -0.213f, -0.006f, 2.111f}},
    {"mig25.3ds",
     {{"Material", {20, 20, 20}, {204, 204, 204}, kW},
      {"Material.001", {22, 83, 127}, {44, 166, 255}, kW}},
     {{"body", 158, 274}, {"jet.r", 1, 0}, {"jet.l", 1, 0}, {"Tube.001", 37, 60}, {"Tube", 37, 60}},
     {0.201f, 0.031f, 1.305f, -0.207f, 0.031f, 1.305f}},
    {"missile.3ds",
     {{"Material", {20, 20, 20}, {204, 204, 204}, kW}},
     {{"jet.", 1, 0},
      {"Plane.003", 8, 12},
      {"Plane.002", 8, 12},
      {"Plane.001", 8, 12},
      {"Plane", 8, 12},
      {"Cylinder", 26, 48}},
     {0, 0, 0.490f}},
};

std::string shipped_path(const char *file) {
    return std::string(QUORRIN_BINARY_DIR) + "/data/" + file;
}

bool generated(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

TEST(Model3dsShipped, EachModelHasItsMeshesMaterialsAndAnchors) {
    for (const ModelWant &want : kShipped) {
        SCOPED_TRACE(want.file);
        std::string path = shipped_path(want.file);
        if (!generated(path))
            GTEST_SKIP() << path << " not generated";
        ModelPtr m = model3ds_load_file(path.c_str());
        ASSERT_TRUE(m);

        ASSERT_EQ(m->material_count, int(want.materials.size()));
        for (size_t i = 0; i < want.materials.size(); i++) {
            const Material3ds &got = m->materials[i];
            const MaterialWant &w = want.materials[i];
            EXPECT_STREQ(got.name, w.name);
            for (auto [have, rgb] :
                 {std::pair{got.ambient, w.ambient}, std::pair{got.diffuse, w.diffuse},
                  std::pair{got.specular, w.specular}}) {
                EXPECT_EQ(have[0], rgb.r) << w.name;
                EXPECT_EQ(have[1], rgb.g) << w.name;
                EXPECT_EQ(have[2], rgb.b) << w.name;
            }
        }

        ASSERT_EQ(m->mesh_count, int(want.meshes.size()));
        size_t anchor = 0;
        for (size_t i = 0; i < want.meshes.size(); i++) {
            const Mesh3ds &mesh = m->meshes[i];
            EXPECT_STREQ(mesh.name, want.meshes[i].name);
            EXPECT_EQ(mesh.vertex_count, want.meshes[i].vertices) << mesh.name;
            EXPECT_EQ(mesh.face_count, want.meshes[i].faces) << mesh.name;
            EXPECT_EQ(mesh.texcoords, nullptr) << mesh.name;
            if (std::string(mesh.name).rfind("jet.", 0) == 0 && mesh.vertex_count == 1) {
                ASSERT_LT(anchor + 2, want.anchors.size());
                for (int k = 0; k < 3; k++) {
                    EXPECT_NEAR(mesh.vertices[k], want.anchors[anchor + k], 1e-3f) << mesh.name;
                    EXPECT_EQ(mesh.vertex_normals[k], 0.0f) << mesh.name;
                }
                anchor += 3;
            }
        }
        EXPECT_EQ(anchor, want.anchors.size());
    }
}

// The two-material bodies use both of their materials.
TEST(Model3dsShipped, BodiesUseBothMaterials) {
    for (const char *file : {"f14tomcat.3ds", "fighter.3ds", "mig25.3ds"}) {
        std::string path = shipped_path(file);
        if (!generated(path))
            GTEST_SKIP() << path << " not generated";
        ModelPtr m = model3ds_load_file(path.c_str());
        ASSERT_TRUE(m);
        const Mesh3ds &body = m->meshes[0];
        std::vector<int> uses(size_t(m->material_count), 0);
        for (int f = 0; f < body.face_count; f++)
            uses[size_t(body.face_materials[f])]++;
        int used = 0;
        for (int n : uses)
            used += n > 0;
        EXPECT_EQ(used, 2) << file;
    }
}

} // namespace
