// The 3DS loader on models written by the test: the chunk walk, both readers
// at the end of the data, and the face and vertex normals.
#include "assets/model3ds.h"
#include "model3ds_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const Rgb kGlassA = {30, 91, 127}, kGlassD = {60, 183, 255}, kWhite = {255, 255, 255};
const Rgb kBodyA = {20, 20, 20}, kBodyD = {204, 204, 204};

// A quad of two faces split over two materials, a flame anchor and a light.
Chunk sample_model() {
    return model_file({
        material("glass", kGlassA, kGlassD, kWhite),
        material("body", kBodyA, kBodyD, kWhite),
        object("body", {vertex_list({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}),
                        face_list({0, 1, 2, 0, 2, 3},
                                  {assignment("body", {1}), assignment("glass", {0})})}),
        object("jet.r", {vertex_list({0.315f, 0.132f, 1.791f})}),
        object("Light01", {}),
    });
}

void expect_rgb(const unsigned char *got, Rgb want) {
    EXPECT_EQ(got[0], want.r);
    EXPECT_EQ(got[1], want.g);
    EXPECT_EQ(got[2], want.b);
}

TEST(Model3dsWalk, ReadsMaterialsMeshesAndAssignments) {
    Bytes file = sample_model().bytes();
    for (bool from_file : {false, true}) {
        SCOPED_TRACE(from_file ? "file reader" : "memory reader");
        ModelPtr m = from_file ? load_via_file(file) : load(file);
        ASSERT_TRUE(m);
        ASSERT_EQ(m->material_count, 2);
        EXPECT_STREQ(m->materials[0].name, "glass");
        expect_rgb(m->materials[0].ambient, kGlassA);
        expect_rgb(m->materials[0].diffuse, kGlassD);
        expect_rgb(m->materials[0].specular, kWhite);
        EXPECT_STREQ(m->materials[1].name, "body");
        EXPECT_EQ(m->name, nullptr);

        ASSERT_EQ(m->mesh_count, 3);
        const Mesh3ds &body = m->meshes[0];
        EXPECT_STREQ(body.name, "body");
        ASSERT_EQ(body.vertex_count, 4);
        EXPECT_FLOAT_EQ(body.vertices[3], 1.0f);
        ASSERT_EQ(body.face_count, 2);
        EXPECT_EQ(body.faces[3], 0);
        EXPECT_EQ(body.faces[5], 3);
        EXPECT_EQ(body.face_materials[0], 0);
        EXPECT_EQ(body.face_materials[1], 1);
        EXPECT_EQ(body.texcoords, nullptr);
        EXPECT_FLOAT_EQ(body.face_normals[2], 1.0f);
        EXPECT_FLOAT_EQ(body.vertex_normals[2], 1.0f);

        // The flame anchor: one vertex, no faces, and a zero vertex normal.
        const Mesh3ds &jet = m->meshes[1];
        EXPECT_STREQ(jet.name, "jet.r");
        ASSERT_EQ(jet.vertex_count, 1);
        EXPECT_FLOAT_EQ(jet.vertices[2], 1.791f);
        EXPECT_EQ(jet.face_count, 0);
        EXPECT_EQ(jet.face_normals, nullptr);
        EXPECT_EQ(jet.vertex_normals[0], 0.0f);
        EXPECT_EQ(jet.vertex_normals[1], 0.0f);
        EXPECT_EQ(jet.vertex_normals[2], 0.0f);

        // A named object that is no triangle mesh still adds an empty mesh.
        const Mesh3ds &light = m->meshes[2];
        EXPECT_STREQ(light.name, "Light01");
        EXPECT_EQ(light.vertex_count, 0);
        EXPECT_EQ(light.face_count, 0);
        EXPECT_EQ(light.vertices, nullptr);
        EXPECT_EQ(light.faces, nullptr);
        EXPECT_EQ(light.face_materials, nullptr);
    }
}

TEST(Model3dsWalk, FlatWalkQuirks) {
    // A known id inside an unknown chunk is skipped with it.
    Chunk hidden = chunk(0xB000, {}, {material("hidden", kBodyA, kBodyD, kWhite)});
    ModelPtr m = load(model_file({hidden, material("seen", kBodyA, kBodyD, kWhite)}).bytes());
    ASSERT_TRUE(m);
    ASSERT_EQ(m->material_count, 1);
    EXPECT_STREQ(m->materials[0].name, "seen");

    // No main chunk: the chunks are walked all the same.
    m = load(object("loose", {vertex_list({1, 2, 3})}).bytes());
    ASSERT_TRUE(m);
    ASSERT_EQ(m->mesh_count, 1);
    EXPECT_FLOAT_EQ(m->meshes[0].vertices[1], 2.0f);

    // The colour sub-chunk's id is not looked at; the name ends at its zero byte.
    Bytes name = {'a', 'b', 0, 'x', 'y'};
    Chunk odd = chunk(0xAFFF, {}, {chunk(0xA000, name), colour_chunk(0xA020, {1, 2, 3}, 0x0012)});
    m = load(model_file({odd}).bytes());
    ASSERT_TRUE(m);
    EXPECT_STREQ(m->materials[0].name, "ab");
    expect_rgb(m->materials[0].diffuse, {1, 2, 3});

    // Texture coordinates: one pair per vertex, whatever their own count says.
    m = load(
        object("uv", {vertex_list({0, 0, 0, 1, 0, 0}), texcoord_list({0.25f, 0.5f, 0.75f, 1}, 99)})
            .bytes());
    ASSERT_TRUE(m);
    ASSERT_NE(m->meshes[0].texcoords, nullptr);
    EXPECT_FLOAT_EQ(m->meshes[0].texcoords[3], 1.0f);
}

TEST(Model3dsWalk, AssignmentNamesMatchExactlyAndTakeTheFirst) {
    auto with_assignment = [](const std::string &name) {
        return model_file({material("Paint", kBodyA, kBodyD, kWhite),
                           material("Paint", kGlassA, kGlassD, kWhite),
                           object("o", {vertex_list({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                        face_list({0, 1, 2}, {assignment(name, {0})})})})
            .bytes();
    };
    ModelPtr m = load(with_assignment("Paint"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->meshes[0].face_materials[0], 0);
    EXPECT_FALSE(load(with_assignment("paint")));
    EXPECT_FALSE(load(with_assignment("Pain")));

    // A material named twice goes by its last name.
    Bytes a, b;
    put_name(a, "a");
    put_name(b, "b");
    Chunk renamed = chunk(0xAFFF, {}, {chunk(0xA000, a), chunk(0xA000, b)});
    auto assign = [&](const std::string &name) {
        return model_file({renamed, material("a", kBodyA, kBodyD, kWhite),
                           object("o", {vertex_list({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                        face_list({0, 1, 2}, {assignment(name, {0})})})})
            .bytes();
    };
    m = load(assign("a"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->meshes[0].face_materials[0], 1);
    m = load(assign("b"));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->meshes[0].face_materials[0], 0);
}

TEST(Model3dsWalk, HighBytesInNamesSurviveBothReaders) {
    // The memory reader's getc gives such bytes as negative values; they must
    // neither end a name nor change it.
    std::string name = "Caf\xC8\xFF";
    Bytes file = model_file({material(name, kBodyA, kBodyD, kWhite),
                             object(name, {vertex_list({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                           face_list({0, 1, 2}, {assignment(name, {0})})})})
                     .bytes();
    for (ModelPtr m : {load(file), load_via_file(file)}) {
        ASSERT_TRUE(m);
        EXPECT_EQ(std::string(m->meshes[0].name), name);
        EXPECT_EQ(std::string(m->materials[0].name), name);
    }
}

// ---------------------------------------------------------------------------
// Readers at the end of the data

TEST(Model3dsReaders, MemoryReaderClampsAtBothEnds) {
    unsigned char bytes[6] = {1, 2, 3, 4, 0xC8, 0x7F};
    Model3dsReader r = memory_reader(bytes, 6);
    unsigned char out[4] = {0, 0, 0, 0};
    r.pos = 4;
    EXPECT_EQ(r.read(out, 4, &r), 2);
    EXPECT_EQ(out[0], 0xC8);
    EXPECT_EQ(r.pos, 6);
    EXPECT_EQ(r.eof(&r), 1);
    EXPECT_EQ(r.getc(&r), 0);

    EXPECT_EQ(r.seek(&r, -100, 1), 0);
    EXPECT_EQ(r.pos, 0);
    EXPECT_EQ(r.eof(&r), 0);
    r.seek(&r, 100, 1);
    EXPECT_EQ(r.pos, 6);
    r.seek(&r, -10, 2);
    EXPECT_EQ(r.pos, 6);
    r.seek(&r, 3, 0);
    EXPECT_EQ(r.pos, 3);
    r.seek(&r, 3, 7);
    EXPECT_EQ(r.pos, 0);
    r.seek(&r, 4, 0);
    EXPECT_EQ(r.getc(&r), -56);
    EXPECT_EQ(r.getc(&r), 127);
    EXPECT_EQ(r.read(out, -3, &r), 0);
    EXPECT_EQ(r.pos, 6);
}

TEST(Model3dsReaders, FileReaderSeesTheEndOnlyAfterRunningIntoIt) {
    TempFile file({1, 2, 0xC8});
    FILE *stream = std::fopen(file.path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    Model3dsReader r = file_reader(stream);
    unsigned char out[4];
    EXPECT_EQ(r.read(out, 2, &r), 1);
    EXPECT_EQ(r.getc(&r), 200);
    EXPECT_EQ(r.eof(&r), 0); // every byte read, but no read has failed yet
    EXPECT_EQ(r.getc(&r), 0);
    EXPECT_EQ(r.eof(&r), 1);
    EXPECT_EQ(r.seek(&r, -3, 1), 0);
    EXPECT_EQ(r.eof(&r), 0);
    EXPECT_EQ(r.read(out, 4, &r), 0);
    EXPECT_EQ(r.eof(&r), 1);
    std::fclose(stream);
}

TEST(Model3dsReaders, StrayBytesAfterTheLastChunkEndTheWalk) {
    Bytes clean = sample_model().bytes();
    for (size_t stray = 0; stray <= 5; stray++) {
        SCOPED_TRACE(stray);
        Bytes file = clean;
        file.insert(file.end(), stray, 0x4D);
        for (ModelPtr m : {load(file), load_via_file(file)}) {
            ASSERT_TRUE(m);
            EXPECT_EQ(m->mesh_count, 3);
            EXPECT_EQ(m->material_count, 2);
        }
    }
}

TEST(Model3dsReaders, EmptyTruncatedAndMissingData) {
    ModelPtr empty = load({});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->mesh_count, 0);
    EXPECT_EQ(empty->meshes, nullptr);
    EXPECT_TRUE(load_via_file({}));

    // Cut anywhere inside the main chunk: its length runs past the end.
    Bytes file = sample_model().bytes();
    for (size_t cut : {size_t(6), size_t(7), file.size() / 2, file.size() - 1}) {
        SCOPED_TRACE(cut);
        Bytes part(file.begin(), file.begin() + long(cut));
        EXPECT_FALSE(load(part));
        EXPECT_FALSE(load_via_file(part));
    }

    EXPECT_FALSE(ModelPtr(model3ds_load_file("/nonexistent/model.3ds")));
    EXPECT_FALSE(ModelPtr(model3ds_load_mem(file.data(), -1)));
    EXPECT_FALSE(ModelPtr(model3ds_load_mem(nullptr, 10)));
}

// ---------------------------------------------------------------------------
// Normals

// Vertex 0 at the origin and one unit along each axis; each face below has
// the normal named after it.
const std::vector<float> kCorner = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
const std::vector<unsigned> kFaceX = {0, 2, 3}, kFaceY = {0, 3, 1}, kFaceZ = {0, 1, 2};
const std::vector<unsigned> kFaceMinusZ = {0, 2, 1}, kFlat = {1, 1, 2};

ModelPtr corner_with(std::initializer_list<std::vector<unsigned>> faces) {
    std::vector<unsigned> indices;
    for (const auto &f : faces)
        indices.insert(indices.end(), f.begin(), f.end());
    return load(object("corner", {vertex_list(kCorner), face_list(indices)}).bytes());
}

void expect_vec(const float *v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v[0], x);
    EXPECT_FLOAT_EQ(v[1], y);
    EXPECT_FLOAT_EQ(v[2], z);
}

TEST(Model3dsNormals, FaceNormalFollowsTheWinding) {
    ModelPtr m = corner_with({kFaceZ, kFaceX, kFaceY, kFaceMinusZ});
    ASSERT_TRUE(m);
    const float *n = m->meshes[0].face_normals;
    expect_vec(n + 0, 0, 0, 1);
    expect_vec(n + 3, 1, 0, 0);
    expect_vec(n + 6, 0, 1, 0);
    expect_vec(n + 9, 0, 0, -1);
}

TEST(Model3dsNormals, VertexNormalIsRenormalisedAfterEveryFace) {
    ModelPtr two = corner_with({kFaceX, kFaceY});
    ASSERT_TRUE(two);
    expect_vec(two->meshes[0].vertex_normals, 0.7071068f, 0.7071068f, 0);

    // Not the mean direction (0.577, 0.577, 0.577): the last face weighs as
    // much as the two before it.
    ModelPtr three = corner_with({kFaceX, kFaceY, kFaceZ});
    ASSERT_TRUE(three);
    expect_vec(three->meshes[0].vertex_normals, 0.5f, 0.5f, 0.7071068f);
    // Vertex 3 is used by faces X and Y only.
    expect_vec(three->meshes[0].vertex_normals + 9, 0.7071068f, 0.7071068f, 0);
}

TEST(Model3dsNormals, ZeroLengthsGiveZeroNormals) {
    // A face of zero area, and a vertex whose faces cancel out.
    ModelPtr m = corner_with({kFlat, kFaceZ, kFaceMinusZ});
    ASSERT_TRUE(m);
    const Mesh3ds &mesh = m->meshes[0];
    expect_vec(mesh.face_normals, 0, 0, 0);
    expect_vec(mesh.vertex_normals, 0, 0, 0);     // +z then -z
    expect_vec(mesh.vertex_normals + 3, 0, 0, 0); // flat, +z, -z
    expect_vec(mesh.vertex_normals + 9, 0, 0, 0); // no face at all

    // Then a later face starts the sum afresh.
    m = corner_with({kFaceZ, kFaceMinusZ, kFaceX});
    ASSERT_TRUE(m);
    expect_vec(m->meshes[0].vertex_normals, 1, 0, 0);
}

TEST(Model3dsNormals, RecomputingReplacesTheArrays) {
    ModelPtr m = corner_with({kFaceZ});
    ASSERT_TRUE(m);
    m->meshes[0].vertices[3] = 0; // vertex 1 onto the origin: the face collapses
    model3ds_face_normals(m.get());
    model3ds_vertex_normals(m.get());
    expect_vec(m->meshes[0].face_normals, 0, 0, 0);
    expect_vec(m->meshes[0].vertex_normals + 6, 0, 0, 0);
}

} // namespace
