// The 3DS loader on data that breaks its rules (refused or repaired, never
// read out of bounds), and on models made by other tools and by our own.
#include "assets/model3ds.h"
#include "model3ds_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const Rgb kA = {20, 20, 20}, kD = {204, 204, 204}, kS = {255, 255, 255};
const std::vector<float> kTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

Bytes with_object(std::vector<Chunk> mesh_kids) {
    return model_file({material("m", kA, kD, kS), object("o", std::move(mesh_kids))}).bytes();
}

TEST(Model3dsBadInput, ChunkLengthsOutsideTheData) {
    for (int64_t length : {0, 5}) {
        Chunk c = chunk(0x1234, {1, 2, 3});
        c.length_override = length;
        EXPECT_FALSE(load(model_file({c}).bytes())) << length;
        Chunk entered = chunk(0x3D3D);
        entered.length_override = length;
        EXPECT_FALSE(load(entered.bytes())) << length;
    }
    Chunk past = chunk(0x1234, {1, 2, 3});
    past.length_override = 10;
    EXPECT_FALSE(load(past.bytes()));
    past.length_override = 0xFFFFFFFF;
    EXPECT_FALSE(load(past.bytes()));
    EXPECT_FALSE(load_via_file(past.bytes()));
}

TEST(Model3dsBadInput, CountsThatRunPastTheirChunk) {
    EXPECT_FALSE(load(with_object({vertex_list(kTriangle, 4)})));
    EXPECT_FALSE(load(with_object({vertex_list(kTriangle), face_list({0, 1, 2}, {}, 2)})));
    EXPECT_FALSE(load(
        with_object({vertex_list(kTriangle), face_list({0, 1, 2}, {assignment("m", {0}, 2)})})));
    EXPECT_FALSE(load(with_object({vertex_list(kTriangle), texcoord_list({0, 0, 1, 0}, 3)})));
    // Colour and version chunks too short for what they hold.
    Chunk colour = chunk(0xA010, {0x11, 0, 9, 0, 0, 0, 1, 2});
    EXPECT_FALSE(load(model_file({chunk(0xAFFF), colour}).bytes()));
    EXPECT_FALSE(load(chunk(0x0002, {3, 0}).bytes()));
    // The same counts within bounds load.
    EXPECT_TRUE(
        load(with_object({vertex_list(kTriangle), face_list({0, 1, 2}, {assignment("m", {0})}),
                          texcoord_list({0, 0, 1, 0, 0, 1}, 3)})));
}

TEST(Model3dsBadInput, IndicesOutOfRange) {
    EXPECT_FALSE(load(with_object({vertex_list(kTriangle), face_list({0, 1, 3})})));
    EXPECT_FALSE(load(with_object({face_list({0, 1, 2})}))); // faces but no vertices
    EXPECT_FALSE(
        load(with_object({vertex_list(kTriangle), face_list({0, 1, 2}, {assignment("m", {1})})})));
    // An assignment before its mesh's face list names faces that are not there.
    EXPECT_FALSE(
        load(with_object({vertex_list(kTriangle), assignment("m", {0}), face_list({0, 1, 2})})));
    // A face list that comes before the vertex list is still checked.
    EXPECT_FALSE(load(with_object({face_list({0, 1, 5}), vertex_list(kTriangle)})));
    ModelPtr late = load(with_object({face_list({0, 1, 2}), vertex_list(kTriangle)}));
    ASSERT_TRUE(late);
    EXPECT_FLOAT_EQ(late->meshes[0].face_normals[2], 1.0f);
}

TEST(Model3dsBadInput, ChunksBeforeTheirOwner) {
    for (Chunk early :
         {vertex_list(kTriangle), face_list({}), assignment("m", {}), texcoord_list({}, 0)})
        EXPECT_FALSE(load(model_file({material("m", kA, kD, kS), early}).bytes())) << early.id;
    Bytes name;
    put_name(name, "m");
    for (Chunk early : {chunk(0xA000, name), colour_chunk(0xA010, kA), colour_chunk(0xA020, kA),
                        colour_chunk(0xA030, kA)})
        EXPECT_FALSE(load(model_file({early, material("m", kA, kD, kS)}).bytes())) << early.id;
    // Texture coordinates need the vertex count they are read by.
    EXPECT_FALSE(load(with_object({texcoord_list({}, 0), vertex_list(kTriangle)})));
    // A second list for the same mesh would leave the first one's checks stale.
    EXPECT_FALSE(load(with_object({vertex_list(kTriangle), vertex_list(kTriangle)})));
    EXPECT_FALSE(
        load(with_object({vertex_list(kTriangle), face_list({0, 1, 2}), face_list({0, 1, 2})})));
    EXPECT_FALSE(load(with_object({vertex_list(kTriangle), texcoord_list({0, 0, 1, 0, 0, 1}, 3),
                                   texcoord_list({0, 0, 1, 0, 0, 1}, 3)})));
}

TEST(Model3dsBadInput, LongNamesAreCut) {
    std::string object_name(30, 'o'), material_name(25, 'M'), long_name(300, 'L');
    Bytes file = model_file({material(material_name, kA, kD, kS), material(long_name, kA, kD, kS),
                             object(object_name,
                                    {vertex_list(kTriangle),
                                     face_list({0, 1, 2, 2, 1, 0}, {assignment(material_name, {0}),
                                                                    assignment(long_name, {1})})})})
                     .bytes();
    for (ModelPtr m : {load(file), load_via_file(file)}) {
        ASSERT_TRUE(m);
        EXPECT_EQ(std::string(m->meshes[0].name), object_name.substr(0, 17));
        EXPECT_EQ(std::string(m->materials[0].name), material_name.substr(0, 16));
        EXPECT_EQ(std::string(m->materials[1].name), long_name.substr(0, 16));
        // Assignments still find the material by its whole name.
        EXPECT_EQ(m->meshes[0].face_materials[0], 0);
        EXPECT_EQ(m->meshes[0].face_materials[1], 1);
    }
    // A name that runs to the end of its chunk ends there.
    Chunk open_name = chunk(0x4000, {'a', 'b', 'c'});
    ModelPtr m = load(open_name.bytes());
    ASSERT_TRUE(m);
    EXPECT_STREQ(m->meshes[0].name, "abc");
}

TEST(Model3dsBadInput, UnsetMaterialsGetDefinedValues) {
    // A face no assignment names takes the first material.
    ModelPtr m =
        load(model_file({material("first", kA, kD, kS), material("second", kA, kD, kS),
                         object("o", {vertex_list({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}),
                                      face_list({0, 1, 2, 0, 2, 3}, {assignment("second", {1})})})})
                 .bytes());
    ASSERT_TRUE(m);
    EXPECT_EQ(m->meshes[0].face_materials[0], 0);
    EXPECT_EQ(m->meshes[0].face_materials[1], 1);

    // Faces and no material at all: a neutral grey one is added.
    m = load(object("o", {vertex_list(kTriangle), face_list({0, 1, 2})}).bytes());
    ASSERT_TRUE(m);
    ASSERT_EQ(m->material_count, 1);
    EXPECT_STREQ(m->materials[0].name, "");
    EXPECT_EQ(m->meshes[0].face_materials[0], 0);
    Material3ds grey = m->materials[0];

    // A material without colour chunks has that same grey; without faces no
    // material is added.
    m = load(model_file({chunk(0xAFFF), object("jet.", {vertex_list({0, 0, 0.49f})})}).bytes());
    ASSERT_TRUE(m);
    ASSERT_EQ(m->material_count, 1);
    EXPECT_EQ(std::memcmp(m->materials[0].ambient, grey.ambient, 9), 0);
    EXPECT_STREQ(m->materials[0].name, "");
    EXPECT_EQ(grey.ambient[0], grey.ambient[2]);
    EXPECT_EQ(grey.diffuse[0], grey.diffuse[1]);
    EXPECT_TRUE(load(object("jet.", {vertex_list({0, 0, 0.49f})}).bytes()));
    EXPECT_EQ(load(object("jet.", {vertex_list({0, 0, 0.49f})}).bytes())->material_count, 0);
}

// ---------------------------------------------------------------------------
// Models made elsewhere

// What the drawing code relies on, and normals that are unit length or zero.
void expect_sane(const Model3ds &m) {
    EXPECT_GE(m.mesh_count, 0);
    EXPECT_GE(m.material_count, 0);
    for (int32_t i = 0; i < m.mesh_count; i++) {
        const Mesh3ds &mesh = m.meshes[i];
        ASSERT_NE(std::memchr(mesh.name, 0, sizeof mesh.name), nullptr);
        for (int k = 0; k < mesh.face_count * 3; k++)
            ASSERT_LT(mesh.faces[k], mesh.vertex_count) << mesh.name;
        for (int f = 0; f < mesh.face_count; f++) {
            ASSERT_GE(mesh.face_materials[f], 0);
            ASSERT_LT(mesh.face_materials[f], m.material_count);
        }
        for (int k = 0; k < mesh.face_count + mesh.vertex_count; k++) {
            const float *n = k < mesh.face_count ? &mesh.face_normals[k * 3]
                                                 : &mesh.vertex_normals[(k - mesh.face_count) * 3];
            float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            EXPECT_TRUE(length == 0.0f || std::fabs(length - 1.0f) < 1e-4f)
                << mesh.name << " " << length;
        }
    }
}

void list_files(const std::string &dir, std::vector<std::string> *out) {
    DIR *d = opendir(dir.c_str());
    if (!d)
        return;
    while (dirent *e = readdir(d)) {
        std::string name = e->d_name, path = dir + "/" + name;
        struct stat st;
        if (name[0] == '.' || stat(path.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            list_files(path, out);
        else if (name != "LICENSE" && name.find(".md") == std::string::npos &&
                 name.find(".txt") == std::string::npos)
            out->push_back(path);
    }
    closedir(d);
}

Bytes read_all(const std::string &path) {
    Bytes bytes;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(uint8_t(c));
        std::fclose(f);
    }
    return bytes;
}

TEST(Model3dsOutsideData, EveryPublicModelLoadsSanely) {
    std::vector<std::string> files;
    list_files(QUORRIN_TESTDATA_DIR "/3ds", &files);
    ASSERT_GE(files.size(), 20u) << "the public 3DS models are missing under " QUORRIN_TESTDATA_DIR
                                    "/3ds";
    for (const std::string &path : files) {
        SCOPED_TRACE(path);
        Bytes bytes = read_all(path);
        ModelPtr mem = load(bytes), file = model3ds_load_file(path.c_str());
        // All are well formed (the empty one is an empty chunk sequence).
        ASSERT_TRUE(mem);
        ASSERT_TRUE(file);
        expect_sane(*mem);
        EXPECT_EQ(mem->mesh_count, file->mesh_count);
        EXPECT_EQ(mem->material_count, file->material_count);
        EXPECT_EQ(bytes.empty(), mem->mesh_count == 0);
        // Every way of cutting it short is refused or loads sanely.
        for (size_t cut = 1; cut < bytes.size(); cut += 1 + bytes.size() / 97) {
            ModelPtr part = model3ds_load_mem(bytes.data(), int32_t(cut));
            if (part)
                expect_sane(*part);
        }
    }
}

TEST(Model3dsOutsideData, FelsHasOneTexturelessMesh) {
    ModelPtr m = model3ds_load_file(QUORRIN_TESTDATA_DIR "/3ds/fels.3ds");
    ASSERT_TRUE(m) << "fels.3ds missing under " QUORRIN_TESTDATA_DIR "/3ds";
    ASSERT_EQ(m->mesh_count, 1);
    EXPECT_STREQ(m->meshes[0].name, "Default");
    EXPECT_EQ(m->meshes[0].vertex_count, 386);
    EXPECT_EQ(m->meshes[0].face_count, 768);
    EXPECT_EQ(m->meshes[0].texcoords, nullptr);
}

} // namespace
