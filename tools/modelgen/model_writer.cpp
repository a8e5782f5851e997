// Our own small 3DS writer: only the chunks the game's loader reads, laid out
// so that its flat walk (which trusts sizes only for skipped chunks) sees
// every chunk exactly where it expects it.
#include "model_def.h"

#include <cstring>
#include <stdexcept>

namespace {

// Chunk lengths count the header and everything nested, so each chunk's
// length is patched in when it is closed.
class ChunkWriter {
  public:
    void begin(uint16_t id) {
        u16(id);
        open_.push_back(bytes_.size());
        u32(0);
    }
    void end() {
        size_t at = open_.back();
        open_.pop_back();
        uint32_t length = uint32_t(bytes_.size() - at + 2);
        for (int i = 0; i < 4; i++)
            bytes_[at + i] = uint8_t(length >> (8 * i));
    }
    void u8(uint8_t v) { bytes_.push_back(v); }
    void u16(uint16_t v) {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
    }
    void u32(uint32_t v) {
        u16(uint16_t(v));
        u16(uint16_t(v >> 16));
    }
    void f32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        u32(v);
    }
    void text(const std::string &s) {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        u8(0);
    }
    std::vector<uint8_t> take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
    std::vector<size_t> open_;
};

const uint16_t MAIN = 0x4D4D, VERSION = 0x0002, EDITOR = 0x3D3D, MATERIAL = 0xAFFF,
               MAT_NAME = 0xA000, MAT_AMBIENT = 0xA010, MAT_DIFFUSE = 0xA020, MAT_SPECULAR = 0xA030,
               COLOR_24 = 0x0011, OBJECT = 0x4000, TRIMESH = 0x4100, VERTICES = 0x4110,
               FACES = 0x4120, FACE_MATERIAL = 0x4130;

void colour(ChunkWriter &w, uint16_t id, const std::array<uint8_t, 3> &rgb) {
    w.begin(id);
    w.begin(COLOR_24);
    for (uint8_t c : rgb)
        w.u8(c);
    w.end();
    w.end();
}

void check(const ModelDef &model) {
    for (const MaterialDef &m : model.materials)
        if (m.name.size() > 16)
            throw std::runtime_error("material name too long: " + m.name);
    for (const MeshDef &mesh : model.meshes) {
        if (mesh.name.size() > 17)
            throw std::runtime_error("mesh name too long: " + mesh.name);
        if (mesh.vertices.size() > 65535 || mesh.faces.size() > 65535)
            throw std::runtime_error("mesh too large: " + mesh.name);
        if (mesh.face_materials.size() != mesh.faces.size())
            throw std::runtime_error("face without material: " + mesh.name);
        for (const auto &f : mesh.faces)
            for (uint16_t i : f)
                if (i >= mesh.vertices.size())
                    throw std::runtime_error("face index out of range: " + mesh.name);
        for (int m : mesh.face_materials)
            if (m < 0 || m >= int(model.materials.size()))
                throw std::runtime_error("bad material index: " + mesh.name);
    }
}

} // namespace

std::vector<uint8_t> model_write_3ds(const ModelDef &model) {
    check(model);
    ChunkWriter w;
    w.begin(MAIN);
    w.begin(VERSION);
    w.u32(3);
    w.end();
    w.begin(EDITOR);
    for (const MaterialDef &m : model.materials) {
        w.begin(MATERIAL);
        w.begin(MAT_NAME);
        w.text(m.name);
        w.end();
        colour(w, MAT_AMBIENT, m.ambient);
        colour(w, MAT_DIFFUSE, m.diffuse);
        colour(w, MAT_SPECULAR, m.specular);
        w.end();
    }
    for (const MeshDef &mesh : model.meshes) {
        w.begin(OBJECT);
        w.text(mesh.name);
        w.begin(TRIMESH);
        w.begin(VERTICES);
        w.u16(uint16_t(mesh.vertices.size()));
        for (const Vec3 &v : mesh.vertices) {
            w.f32(v.x);
            w.f32(v.y);
            w.f32(v.z);
        }
        w.end();
        // An anchor mesh carries its one vertex and no face list at all.
        if (!mesh.faces.empty()) {
            w.begin(FACES);
            w.u16(uint16_t(mesh.faces.size()));
            for (const auto &f : mesh.faces) {
                w.u16(f[0]);
                w.u16(f[1]);
                w.u16(f[2]);
                w.u16(0);
            }
            for (size_t m = 0; m < model.materials.size(); m++) {
                std::vector<uint16_t> used;
                for (size_t j = 0; j < mesh.faces.size(); j++)
                    if (mesh.face_materials[j] == int(m))
                        used.push_back(uint16_t(j));
                if (used.empty())
                    continue;
                w.begin(FACE_MATERIAL);
                w.text(model.materials[m].name);
                w.u16(uint16_t(used.size()));
                for (uint16_t j : used)
                    w.u16(j);
                w.end();
            }
            w.end();
        }
        w.end();
        w.end();
    }
    w.end();
    w.end();
    return w.take();
}
