// The 3DS model loader: a flat walk over chunk headers behind a small reader
// interface, so memory and files (and tests and fuzzers) share one parser.
// Models come from outside the program, so every length, count and index is
// checked against the data before it is used; bad data gives null.
#include "assets/model3ds.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

// ---------------------------------------------------------------------------
// Memory reader: reads clamp at the end and report how much they copied.

int model3ds_mem_read(void *dest, int n, Model3dsReader *reader) {
    int64_t left = int64_t(reader->size) - reader->pos;
    if (n > left)
        n = int(left);
    if (n <= 0)
        return 0;
    std::memcpy(dest, static_cast<const unsigned char *>(reader->source) + reader->pos, size_t(n));
    reader->pos += n;
    return n;
}

int model3ds_mem_seek(Model3dsReader *reader, int offset, int origin) {
    int64_t target = 0;
    if (origin == 0)
        target = offset;
    else if (origin == 1)
        target = int64_t(reader->pos) + offset;
    else if (origin == 2)
        target = reader->size;
    if (target < 0)
        target = 0;
    if (target > reader->size)
        target = reader->size;
    reader->pos = int32_t(target);
    return 0;
}

int model3ds_mem_eof(Model3dsReader *reader) {
    return reader->pos == reader->size ? 1 : 0;
}

// Bytes come back signed here, unlike the file reader's; names stay the same
// once stored as char, and only a zero byte ends one.
int model3ds_mem_getc(Model3dsReader *reader) {
    unsigned char byte = 0;
    if (reader->read(&byte, 1, reader) == 0)
        return 0;
    return int(int8_t(byte));
}

// ---------------------------------------------------------------------------
// File reader: stdio does the work; `pos` and `size` are left to the parser.

int model3ds_file_read(void *dest, int n, Model3dsReader *reader) {
    if (n <= 0)
        return n == 0 ? 1 : 0;
    return int(std::fread(dest, size_t(n), 1, static_cast<FILE *>(reader->source)));
}

int model3ds_file_seek(Model3dsReader *reader, int offset, int origin) {
    return std::fseek(static_cast<FILE *>(reader->source), offset, origin);
}

int model3ds_file_eof(Model3dsReader *reader) {
    return std::feof(static_cast<FILE *>(reader->source)) ? 1 : 0;
}

int model3ds_file_getc(Model3dsReader *reader) {
    int c = std::fgetc(static_cast<FILE *>(reader->source));
    return c == EOF ? 0 : c;
}

// ---------------------------------------------------------------------------
// Loading

Model3ds *model3ds_load_mem(const unsigned char *bytes, int32_t size) {
    if (size < 0 || (!bytes && size > 0))
        return nullptr;
    Model3dsReader reader{};
    reader.source = const_cast<unsigned char *>(bytes);
    reader.pos = 0;
    reader.size = size;
    reader.read = model3ds_mem_read;
    reader.seek = model3ds_mem_seek;
    reader.eof = model3ds_mem_eof;
    reader.getc = model3ds_mem_getc;
    return model3ds_parse(&reader);
}

Model3ds *model3ds_load_file(const char *path) {
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return nullptr;
    // The parser bounds every chunk by the length of the data, so the file
    // reader carries it too, although its operations never look at it.
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    Model3ds *model = nullptr;
    if (length >= 0 && length <= std::numeric_limits<int32_t>::max() &&
        std::fseek(file, 0, SEEK_SET) == 0) {
        Model3dsReader reader{};
        reader.source = file;
        reader.pos = 0;
        reader.size = int32_t(length);
        reader.read = model3ds_file_read;
        reader.seek = model3ds_file_seek;
        reader.eof = model3ds_file_eof;
        reader.getc = model3ds_file_getc;
        model = model3ds_parse(&reader);
    }
    std::fclose(file);
    return model;
}

void model3ds_free(Model3ds *model) {
    if (!model)
        return;
    for (int32_t i = 0; i < model->mesh_count; i++) {
        Mesh3ds &mesh = model->meshes[i];
        std::free(mesh.vertices);
        std::free(mesh.texcoords);
        std::free(mesh.vertex_normals);
        std::free(mesh.faces);
        std::free(mesh.face_normals);
        std::free(mesh.face_materials);
    }
    std::free(model->meshes);
    std::free(model->materials);
    std::free(model);
}

// ---------------------------------------------------------------------------
// The chunk walk

enum : uint16_t {
    CHUNK_MAIN = 0x4D4D,
    CHUNK_EDITOR = 0x3D3D,
    CHUNK_VERSION = 0x0002,
    CHUNK_MATERIAL = 0xAFFF,
    CHUNK_MAT_NAME = 0xA000,
    CHUNK_MAT_AMBIENT = 0xA010,
    CHUNK_MAT_DIFFUSE = 0xA020,
    CHUNK_MAT_SPECULAR = 0xA030,
    CHUNK_OBJECT = 0x4000,
    CHUNK_TRIMESH = 0x4100,
    CHUNK_VERTICES = 0x4110,
    CHUNK_FACES = 0x4120,
    CHUNK_FACE_MATERIAL = 0x4130,
    CHUNK_TEXCOORDS = 0x4140,
};

static const int kChunkHeader = 6; // 16-bit id and 32-bit length

// A colour that no chunk sets: OpenGL's own material defaults for ambient and
// diffuse, and a dim specular, so an unset colour looks like plain grey.
static const unsigned char kDefaultAmbient[3] = {51, 51, 51};
static const unsigned char kDefaultDiffuse[3] = {204, 204, 204};
static const unsigned char kDefaultSpecular[3] = {51, 51, 51};

struct ChunkWalk {
    Model3dsReader *reader;
    int64_t at;  // our own count of the reader's position
    int64_t end; // length of the data
    Model3ds *model;
    int32_t mesh_capacity;
    int32_t material_capacity;
    // Full material names: the records cut long names, but an assignment must
    // still find the material it names exactly.
    std::vector<std::string> material_names;
    // The first material of each name, so that an assignment is one look-up
    // however many materials came before.
    std::unordered_map<std::string, int32_t> first_named;
    bool has_vertices; // which lists the newest mesh already has
    bool has_faces;
    bool has_texcoords;
};

static uint16_t le16(const unsigned char *p) {
    return uint16_t(p[0] | (p[1] << 8));
}

static uint32_t le32(const unsigned char *p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

static float le_float(const unsigned char *p) {
    uint32_t bits = le32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Reads n bytes that must lie before `limit`.
static bool take(ChunkWalk &w, void *dest, int64_t n, int64_t limit) {
    if (n < 0 || n > limit - w.at)
        return false;
    if (n > 0)
        w.reader->read(dest, int(n), w.reader);
    w.at += n;
    return true;
}

static bool skip(ChunkWalk &w, int64_t n, int64_t limit) {
    if (n < 0 || n > limit - w.at)
        return false;
    if (n > 0)
        w.reader->seek(w.reader, int(n), 1);
    w.at += n;
    return true;
}

static bool take_u16(ChunkWalk &w, uint16_t *value, int64_t limit) {
    unsigned char bytes[2] = {0, 0};
    if (!take(w, bytes, 2, limit))
        return false;
    *value = le16(bytes);
    return true;
}

// A zero-terminated name read byte by byte; the end of its chunk ends it too.
static std::string take_name(ChunkWalk &w, int64_t limit) {
    std::string name;
    while (w.at < limit) {
        int c = w.reader->getc(w.reader);
        w.at++;
        if (c == 0)
            break;
        name.push_back(char(c));
    }
    return name;
}

// Copies at most size - 1 bytes and always ends the record with a zero.
static void copy_name(char *dest, size_t size, const std::string &name) {
    size_t n = name.size() < size - 1 ? name.size() : size - 1;
    std::memcpy(dest, name.data(), n);
    dest[n] = 0;
}

// Grows an array of records by one zeroed record, doubling its capacity.
template <typename T> static T *grow(T **array, int32_t *count, int32_t *capacity) {
    if (*count == *capacity) {
        int32_t wanted = *capacity ? *capacity * 2 : 4;
        T *bigger = static_cast<T *>(std::realloc(*array, sizeof(T) * size_t(wanted)));
        if (!bigger)
            return nullptr;
        *array = bigger;
        *capacity = wanted;
    }
    T *added = &(*array)[*count];
    std::memset(added, 0, sizeof(T));
    (*count)++;
    return added;
}

static Material3ds *add_material(ChunkWalk &w) {
    Model3ds *m = w.model;
    Material3ds *mat = grow(&m->materials, &m->material_count, &w.material_capacity);
    if (!mat)
        return nullptr;
    std::memcpy(mat->ambient, kDefaultAmbient, 3);
    std::memcpy(mat->diffuse, kDefaultDiffuse, 3);
    std::memcpy(mat->specular, kDefaultSpecular, 3);
    return mat;
}

static Material3ds *last_material(ChunkWalk &w) {
    Model3ds *m = w.model;
    return m->material_count ? &m->materials[m->material_count - 1] : nullptr;
}

static Mesh3ds *last_mesh(ChunkWalk &w) {
    Model3ds *m = w.model;
    return m->mesh_count ? &m->meshes[m->mesh_count - 1] : nullptr;
}

// Only the newest material is ever renamed, and no later one exists, so if it
// was the first of its old name, no other material has that name.
static void rename_last_material(ChunkWalk &w, const std::string &name) {
    int32_t last = w.model->material_count - 1;
    std::string &old = w.material_names.back();
    auto named = w.first_named.find(old);
    if (named != w.first_named.end() && named->second == last)
        w.first_named.erase(named);
    old = name;
    w.first_named.emplace(name, last); // keeps an earlier material of that name
}

static bool read_colour(ChunkWalk &w, unsigned char *colour, int64_t chunk_end) {
    // The first sub-chunk is taken to be a 24-bit colour without a look at its id.
    return skip(w, kChunkHeader, chunk_end) && take(w, colour, 3, chunk_end);
}

static bool read_vertices(ChunkWalk &w, Mesh3ds *mesh, int64_t chunk_end) {
    uint16_t count = 0;
    if (w.has_vertices || !take_u16(w, &count, chunk_end) || int64_t(count) * 12 > chunk_end - w.at)
        return false;
    w.has_vertices = true;
    mesh->vertex_count = count;
    if (count == 0)
        return true;
    std::vector<unsigned char> raw(size_t(count) * 12);
    mesh->vertices = static_cast<float *>(std::malloc(sizeof(float) * 3 * count));
    if (!mesh->vertices)
        return false;
    take(w, raw.data(), int64_t(raw.size()), chunk_end);
    for (size_t i = 0; i < size_t(count) * 3; i++)
        mesh->vertices[i] = le_float(&raw[i * 4]);
    return true;
}

static bool read_faces(ChunkWalk &w, Mesh3ds *mesh, int64_t chunk_end) {
    uint16_t count = 0;
    if (w.has_faces || !take_u16(w, &count, chunk_end) || int64_t(count) * 8 > chunk_end - w.at)
        return false;
    w.has_faces = true;
    mesh->face_count = count;
    if (count == 0)
        return true;
    std::vector<unsigned char> raw(size_t(count) * 8);
    mesh->faces = static_cast<uint16_t *>(std::malloc(sizeof(uint16_t) * 3 * count));
    // Zeroed, so that a face no assignment names has the first material.
    mesh->face_materials = static_cast<int32_t *>(std::calloc(count, sizeof(int32_t)));
    if (!mesh->faces || !mesh->face_materials)
        return false;
    take(w, raw.data(), int64_t(raw.size()), chunk_end);
    for (size_t f = 0; f < count; f++)
        for (size_t k = 0; k < 3; k++) // the 16-bit flags after the indices are not used
            mesh->faces[f * 3 + k] = le16(&raw[f * 8 + k * 2]);
    return true;
}

static bool read_face_materials(ChunkWalk &w, Mesh3ds *mesh, int64_t chunk_end) {
    std::string name = take_name(w, chunk_end);
    auto named = w.first_named.find(name);
    int32_t found = named == w.first_named.end() ? -1 : named->second;
    uint16_t count = 0;
    if (found < 0 || !take_u16(w, &count, chunk_end) || int64_t(count) * 2 > chunk_end - w.at)
        return false;
    std::vector<unsigned char> raw(size_t(count) * 2);
    take(w, raw.data(), int64_t(raw.size()), chunk_end);
    for (size_t i = 0; i < count; i++) {
        uint16_t face = le16(&raw[i * 2]);
        if (face >= mesh->face_count)
            return false;
        mesh->face_materials[face] = found;
    }
    return true;
}

static bool read_texcoords(ChunkWalk &w, Mesh3ds *mesh, int64_t chunk_end) {
    // The chunk's own count is passed over: there is one pair per vertex.
    uint32_t count = mesh->vertex_count;
    if (!w.has_vertices || w.has_texcoords || !skip(w, 2, chunk_end) ||
        int64_t(count) * 8 > chunk_end - w.at)
        return false;
    w.has_texcoords = true;
    if (count == 0)
        return true;
    std::vector<unsigned char> raw(size_t(count) * 8);
    mesh->texcoords = static_cast<float *>(std::malloc(sizeof(float) * 2 * count));
    if (!mesh->texcoords)
        return false;
    take(w, raw.data(), int64_t(raw.size()), chunk_end);
    for (size_t i = 0; i < size_t(count) * 2; i++)
        mesh->texcoords[i] = le_float(&raw[i * 4]);
    return true;
}

// Acts on one chunk whose header has been read; false refuses the model.
static bool walk_chunk(ChunkWalk &w, uint16_t id, int64_t chunk_end) {
    switch (id) {
    case CHUNK_MAIN:
    case CHUNK_EDITOR:
    case CHUNK_TRIMESH:
        return true;
    case CHUNK_VERSION:
        return skip(w, 4, chunk_end);
    case CHUNK_MATERIAL:
        if (!add_material(w))
            return false;
        w.material_names.emplace_back();
        w.first_named.emplace(std::string(), w.model->material_count - 1);
        return true;
    case CHUNK_MAT_NAME: {
        Material3ds *mat = last_material(w);
        if (!mat)
            return false;
        std::string name(size_t(chunk_end - w.at), '\0');
        take(w, &name[0], int64_t(name.size()), chunk_end);
        name.resize(std::strlen(name.c_str())); // the name ends at its zero byte
        copy_name(mat->name, sizeof mat->name, name);
        rename_last_material(w, name);
        return true;
    }
    case CHUNK_MAT_AMBIENT:
    case CHUNK_MAT_DIFFUSE:
    case CHUNK_MAT_SPECULAR: {
        Material3ds *mat = last_material(w);
        if (!mat)
            return false;
        unsigned char *colour = id == CHUNK_MAT_AMBIENT   ? mat->ambient
                                : id == CHUNK_MAT_DIFFUSE ? mat->diffuse
                                                          : mat->specular;
        return read_colour(w, colour, chunk_end);
    }
    case CHUNK_OBJECT: {
        std::string name = take_name(w, chunk_end);
        Model3ds *m = w.model;
        Mesh3ds *mesh = grow(&m->meshes, &m->mesh_count, &w.mesh_capacity);
        if (!mesh)
            return false;
        copy_name(mesh->name, sizeof mesh->name, name);
        w.has_vertices = w.has_faces = w.has_texcoords = false;
        return true;
    }
    case CHUNK_VERTICES:
        return last_mesh(w) && read_vertices(w, last_mesh(w), chunk_end);
    case CHUNK_FACES:
        return last_mesh(w) && read_faces(w, last_mesh(w), chunk_end);
    case CHUNK_FACE_MATERIAL:
        return last_mesh(w) && read_face_materials(w, last_mesh(w), chunk_end);
    case CHUNK_TEXCOORDS:
        return last_mesh(w) && read_texcoords(w, last_mesh(w), chunk_end);
    default:
        return skip(w, chunk_end - w.at, chunk_end);
    }
}

static bool walk(ChunkWalk &w) {
    for (;;) {
        int64_t chunk_start = w.at;
        unsigned char header[kChunkHeader] = {0};
        int64_t left = w.end - w.at;
        w.reader->read(header, 2, w.reader);
        w.at += left < 2 ? left : 2;
        if (w.reader->eof(w.reader))
            return true;
        // Fewer than a header's bytes left over: stray bytes, not a chunk.
        if (!take(w, header + 2, 4, w.end))
            return true;
        uint32_t length = le32(header + 2);
        if (length < kChunkHeader || length > w.end - chunk_start)
            return false;
        if (!walk_chunk(w, le16(header), chunk_start + length))
            return false;
    }
}

// What the drawing code relies on: every face index names a vertex, and
// every face material names a material.
static bool repair(Model3ds *model) {
    bool has_faces = false;
    for (int32_t i = 0; i < model->mesh_count; i++) {
        const Mesh3ds &mesh = model->meshes[i];
        for (int32_t k = 0; k < mesh.face_count * 3; k++)
            if (mesh.faces[k] >= mesh.vertex_count)
                return false;
        has_faces = has_faces || mesh.face_count > 0;
    }
    if (has_faces && model->material_count == 0) {
        Material3ds *grey = static_cast<Material3ds *>(std::calloc(1, sizeof(Material3ds)));
        if (!grey)
            return false;
        std::memcpy(grey->ambient, kDefaultAmbient, 3);
        std::memcpy(grey->diffuse, kDefaultDiffuse, 3);
        std::memcpy(grey->specular, kDefaultSpecular, 3);
        std::free(model->materials);
        model->materials = grey;
        model->material_count = 1;
    }
    return true;
}

static bool normals_present(const Model3ds *model) {
    for (int32_t i = 0; i < model->mesh_count; i++) {
        const Mesh3ds &mesh = model->meshes[i];
        if ((mesh.face_count && !mesh.face_normals) || (mesh.vertex_count && !mesh.vertex_normals))
            return false;
    }
    return true;
}

Model3ds *model3ds_parse(Model3dsReader *reader) {
    Model3ds *model = static_cast<Model3ds *>(std::calloc(1, sizeof(Model3ds)));
    if (!model)
        return nullptr;
    ChunkWalk w{};
    w.reader = reader;
    w.at = reader->pos;
    w.end = reader->size;
    w.model = model;
    bool ok = walk(w) && repair(model);
    if (ok) {
        model3ds_face_normals(model);
        model3ds_vertex_normals(model);
        ok = normals_present(model);
    }
    if (!ok) {
        model3ds_free(model);
        return nullptr;
    }
    return model;
}
