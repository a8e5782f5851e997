// The strict chunk reader: every chunk must fit inside its parent, and every
// chunk whose data is read must hold exactly that data.
#include "chunk_tree.h"

#include <cstdio>
#include <cstring>

namespace {

struct Reader {
    const std::vector<uint8_t> &b;
    TreeModel &model;

    bool fail(const std::string &why, size_t at) {
        if (model.error.empty())
            model.error = why + " at byte " + std::to_string(at);
        return false;
    }
    uint32_t num(size_t at, int n) const {
        uint32_t v = 0;
        for (int i = 0; i < n; i++)
            v |= uint32_t(b[at + i]) << (8 * i);
        return v;
    }
    // A zero-terminated name starting at `at`, which must end before `end`.
    bool name(size_t &at, size_t end, std::string &out) {
        size_t z = at;
        while (z < end && b[z])
            z++;
        if (z >= end)
            return fail("unterminated name", at);
        out.assign(reinterpret_cast<const char *>(&b[at]), z - at);
        at = z + 1;
        return true;
    }
    bool colour(size_t at, size_t end, std::array<uint8_t, 3> &out) {
        if (end - at != 9 || num(at, 2) != 0x0011 || num(at + 2, 4) != 9)
            return fail("colour is not one 24-bit colour sub-chunk", at);
        for (int i = 0; i < 3; i++)
            out[i] = b[at + 6 + i];
        return true;
    }

    // Walks the chunks in [at, end) as children of `parent`.
    bool children(size_t at, size_t end, uint16_t parent) {
        while (at < end) {
            if (end - at < 6)
                return fail("stray bytes", at);
            uint16_t id = uint16_t(num(at, 2));
            uint32_t length = num(at + 2, 4);
            if (length < 6 || length > end - at)
                return fail("chunk length out of bounds", at);
            size_t data = at + 6, stop = at + length;
            if (parent == 0x4D4D)
                model.top_ids.push_back(id);
            if (parent == 0x3D3D)
                model.editor_ids.push_back(id);
            if (!chunk(id, data, stop))
                return false;
            at = stop;
        }
        return true;
    }

    bool chunk(uint16_t id, size_t at, size_t end) {
        switch (id) {
        case 0x4D4D:
        case 0x3D3D:
        case 0x4100:
            return children(at, end, id);
        case 0x0002:
            if (end - at != 4)
                return fail("version chunk size", at);
            model.version = num(at, 4);
            return true;
        case 0xAFFF:
            model.materials.emplace_back();
            return children(at, end, id);
        case 0xA000:
            if (model.materials.empty())
                return fail("material name outside a material", at);
            if (!name(at, end, model.materials.back().name) || at != end)
                return fail("material name chunk size", at);
            return true;
        case 0xA010:
        case 0xA020:
        case 0xA030: {
            if (model.materials.empty())
                return fail("colour outside a material", at);
            TreeMaterial &m = model.materials.back();
            m.colours_set++;
            return colour(at, end,
                          id == 0xA010   ? m.ambient
                          : id == 0xA020 ? m.diffuse
                                         : m.specular);
        }
        case 0x4000:
            model.meshes.emplace_back();
            if (!name(at, end, model.meshes.back().name))
                return false;
            return children(at, end, id);
        case 0x4110: {
            if (model.meshes.empty() || end - at < 2)
                return fail("misplaced vertex list", at);
            uint32_t n = num(at, 2);
            if (end - at != 2 + 12 * n)
                return fail("vertex list size", at);
            for (uint32_t i = 0; i < n; i++) {
                std::array<float, 3> v;
                std::memcpy(v.data(), &b[at + 2 + 12 * i], 12);
                model.meshes.back().vertices.push_back(v);
            }
            return true;
        }
        case 0x4120: {
            if (model.meshes.empty() || end - at < 2)
                return fail("misplaced face list", at);
            uint32_t n = num(at, 2);
            if (end - at < 2 + 8 * n)
                return fail("face list size", at);
            TreeMesh &mesh = model.meshes.back();
            for (uint32_t i = 0; i < n; i++) {
                size_t p = at + 2 + 8 * i;
                mesh.faces.push_back(
                    {uint16_t(num(p, 2)), uint16_t(num(p + 2, 2)), uint16_t(num(p + 4, 2))});
                mesh.flags.push_back(uint16_t(num(p + 6, 2)));
            }
            return children(at + 2 + 8 * n, end, id);
        }
        case 0x4130: {
            if (model.meshes.empty())
                return fail("misplaced material assignment", at);
            TreeAssignment a;
            if (!name(at, end, a.material) || end - at < 2)
                return fail("material assignment", at);
            uint32_t n = num(at, 2);
            if (end - at != 2 + 2 * n)
                return fail("material assignment size", at);
            for (uint32_t i = 0; i < n; i++)
                a.faces.push_back(uint16_t(num(at + 2 + 2 * i, 2)));
            model.meshes.back().assignments.push_back(a);
            return true;
        }
        case 0x4140:
            if (!model.meshes.empty())
                model.meshes.back().has_texcoords = true;
            return true;
        default:
            return true; // not ours to judge: passed over like the game does
        }
    }
};

} // namespace

TreeModel chunk_tree_read(const std::vector<uint8_t> &bytes) {
    TreeModel model;
    Reader r{bytes, model};
    if (bytes.size() < 6 || r.num(0, 2) != 0x4D4D) {
        model.error = "no main chunk";
        return model;
    }
    if (r.num(2, 4) != bytes.size()) {
        model.error = "main chunk does not span the file";
        return model;
    }
    r.children(0, bytes.size(), 0);
    return model;
}

std::vector<uint8_t> read_whole_file(const std::string &path) {
    std::vector<uint8_t> out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}
