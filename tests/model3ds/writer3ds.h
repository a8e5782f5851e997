// A tiny 3DS writer for the loader's tests: chunks are built as a tree and
// flattened with their lengths filled in, so each test states only the
// chunks it cares about and can still break any byte on purpose.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct Chunk {
    uint16_t id = 0;
    Bytes data;
    std::vector<Chunk> kids;
    int64_t length_override = -1; // written instead of the true length when set

    Bytes bytes() const {
        Bytes body = data;
        for (const Chunk &kid : kids) {
            Bytes k = kid.bytes();
            body.insert(body.end(), k.begin(), k.end());
        }
        // Made at its full size: the six-byte header, then the body.
        Bytes out(6 + body.size());
        uint32_t length = length_override >= 0 ? uint32_t(length_override) : uint32_t(out.size());
        out[0] = uint8_t(id);
        out[1] = uint8_t(id >> 8);
        for (int i = 0; i < 4; ++i)
            out[size_t(2 + i)] = uint8_t(length >> (8 * i));
        std::copy(body.begin(), body.end(), out.begin() + 6);
        return out;
    }
};

inline void put16(Bytes &b, unsigned v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

inline void put_float(Bytes &b, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

inline void put_name(Bytes &b, const std::string &name) {
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
}

inline Chunk chunk(uint16_t id, Bytes data = {}, std::vector<Chunk> kids = {}) {
    Chunk c;
    c.id = id;
    c.data = std::move(data);
    c.kids = std::move(kids);
    return c;
}

struct Rgb {
    uint8_t r, g, b;
};

inline Chunk colour_chunk(uint16_t id, Rgb c, uint16_t sub_id = 0x0011) {
    return chunk(id, {}, {chunk(sub_id, {c.r, c.g, c.b})});
}

inline Chunk material(const std::string &name, Rgb ambient, Rgb diffuse, Rgb specular) {
    Bytes n;
    put_name(n, name);
    return chunk(0xAFFF, {},
                 {chunk(0xA000, n), colour_chunk(0xA010, ambient), colour_chunk(0xA020, diffuse),
                  colour_chunk(0xA030, specular)});
}

inline Chunk vertex_list(const std::vector<float> &xyz, int count = -1) {
    Bytes d;
    put16(d, count >= 0 ? unsigned(count) : unsigned(xyz.size() / 3));
    for (float f : xyz)
        put_float(d, f);
    return chunk(0x4110, d);
}

inline Chunk assignment(const std::string &material_name, const std::vector<unsigned> &faces,
                        int count = -1) {
    Bytes d;
    put_name(d, material_name);
    put16(d, count >= 0 ? unsigned(count) : unsigned(faces.size()));
    for (unsigned f : faces)
        put16(d, f);
    return chunk(0x4130, d);
}

inline Chunk face_list(const std::vector<unsigned> &indices, std::vector<Chunk> assignments = {},
                       int count = -1) {
    Bytes d;
    put16(d, count >= 0 ? unsigned(count) : unsigned(indices.size() / 3));
    for (size_t i = 0; i < indices.size(); i++) {
        put16(d, indices[i]);
        if (i % 3 == 2)
            put16(d, 0); // flags
    }
    return chunk(0x4120, d, std::move(assignments));
}

inline Chunk texcoord_list(const std::vector<float> &uv, unsigned own_count) {
    Bytes d;
    put16(d, own_count);
    for (float f : uv)
        put_float(d, f);
    return chunk(0x4140, d);
}

inline Chunk object(const std::string &name, std::vector<Chunk> mesh_kids) {
    Bytes n;
    put_name(n, name);
    return chunk(0x4000, n, {chunk(0x4100, {}, std::move(mesh_kids))});
}

// Main chunk, version 3, editor chunk holding the given materials and objects.
inline Chunk model_file(std::vector<Chunk> editor_kids) {
    Bytes version;
    put16(version, 3);
    put16(version, 0);
    return chunk(0x4D4D, {}, {chunk(0x0002, version), chunk(0x3D3D, {}, std::move(editor_kids))});
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
