// Builds meshes from cross-sections. Every closed part is oriented by its
// signed volume after it is built, so a part described back to front or
// mirrored still ends up wound outwards (the game culls back faces). Only
// plain arithmetic goes into the vertices (no libm), so every machine writes
// the same bytes.
#include "shapes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// cos and sin of the fraction k/n of a turn, by their series in double
// precision: exact to the last float bit and the same on every machine.
void turn_cos_sin(int k, int n, float &c, float &s) {
    const double PI = 3.14159265358979323846;
    double a = 2 * PI * (k % n) / n;
    if (a > PI)
        a -= 2 * PI;
    double term_c = 1, term_s = a, sum_c = 0, sum_s = 0;
    for (int i = 0; i < 20; i++) {
        sum_c += term_c;
        sum_s += term_s;
        term_c *= -a * a / ((2 * i + 1) * (2 * i + 2));
        term_s *= -a * a / ((2 * i + 2) * (2 * i + 3));
    }
    c = float(sum_c);
    s = float(sum_s);
}

Vec3 sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

uint16_t add_vertex(MeshDef &mesh, Vec3 v) {
    if (mesh.vertices.size() >= 65535)
        throw std::runtime_error("too many vertices in " + mesh.name);
    mesh.vertices.push_back(v);
    return uint16_t(mesh.vertices.size() - 1);
}

void add_face(MeshDef &mesh, uint16_t a, uint16_t b, uint16_t c, int material) {
    mesh.faces.push_back({a, b, c});
    mesh.face_materials.push_back(material);
}

// Six times the volume enclosed by faces [first, end) seen from the part's centre.
double part_volume(const MeshDef &mesh, size_t first_vertex, size_t first_face) {
    Vec3 c{0, 0, 0};
    for (size_t i = first_vertex; i < mesh.vertices.size(); i++) {
        c.x += mesh.vertices[i].x;
        c.y += mesh.vertices[i].y;
        c.z += mesh.vertices[i].z;
    }
    float n = float(mesh.vertices.size() - first_vertex);
    c = {c.x / n, c.y / n, c.z / n};
    double volume = 0;
    for (size_t j = first_face; j < mesh.faces.size(); j++) {
        const auto &f = mesh.faces[j];
        Vec3 a = sub(mesh.vertices[f[0]], c), b = sub(mesh.vertices[f[1]], c),
             d = sub(mesh.vertices[f[2]], c);
        volume += dot(a, cross(b, d));
    }
    return volume;
}

void orient_outwards(MeshDef &mesh, size_t first_vertex, size_t first_face) {
    if (part_volume(mesh, first_vertex, first_face) >= 0)
        return;
    for (size_t j = first_face; j < mesh.faces.size(); j++)
        std::swap(mesh.faces[j][1], mesh.faces[j][2]);
}

} // namespace

Ring section_ring(int points, float cx, float cy, float z, float w, float top, float bottom,
                  float squareness) {
    Ring ring;
    for (int k = 0; k < points; k++) {
        float c, s;
        turn_cos_sin(k, points, c, s);
        // Squareness blends the circle's point with the square's in the same direction.
        float reach = std::max(std::fabs(c), std::fabs(s));
        float blend = 1 - squareness;
        c = c * (1 - blend) + c / reach * blend;
        s = s * (1 - blend) + s / reach * blend;
        float x = cx + w * c;
        float y = cy + (s >= 0 ? top : bottom) * s;
        ring.push_back({x, y, z});
    }
    return ring;
}

Ring foil_section(Vec3 le, Vec3 chord_dir, Vec3 thick_dir, float chord, float thickness) {
    auto at = [&](float along, float up) {
        return Vec3{le.x + chord_dir.x * along + thick_dir.x * up,
                    le.y + chord_dir.y * along + thick_dir.y * up,
                    le.z + chord_dir.z * along + thick_dir.z * up};
    };
    return {at(0, 0), at(0.4f * chord, thickness / 2), at(chord, 0),
            at(0.4f * chord, -thickness / 2)};
}

void add_loft(MeshDef &mesh, const std::vector<Ring> &rings, LoftCap front, LoftCap back,
              int material) {
    size_t first_vertex = mesh.vertices.size(), first_face = mesh.faces.size();
    size_t n = rings.front().size();
    std::vector<std::vector<uint16_t>> ids;
    for (const Ring &ring : rings) {
        if (ring.size() != n)
            throw std::runtime_error("loft rings differ in size in " + mesh.name);
        ids.emplace_back();
        for (const Vec3 &v : ring)
            ids.back().push_back(add_vertex(mesh, v));
    }
    for (size_t i = 0; i + 1 < rings.size(); i++)
        for (size_t k = 0; k < n; k++) {
            size_t k1 = (k + 1) % n;
            uint16_t a = ids[i][k], b = ids[i][k1], c = ids[i + 1][k1], d = ids[i + 1][k];
            add_face(mesh, a, b, c, material);
            add_face(mesh, a, c, d, material);
        }
    const auto &head = ids.front(), &tail = ids.back();
    if (front.kind == LoftEnd::Point) {
        uint16_t t = add_vertex(mesh, front.point);
        for (size_t k = 0; k < n; k++)
            add_face(mesh, t, head[(k + 1) % n], head[k], material);
    } else if (front.kind == LoftEnd::Flat) {
        for (size_t k = 1; k + 1 < n; k++)
            add_face(mesh, head[0], head[k + 1], head[k], material);
    }
    if (back.kind == LoftEnd::Point) {
        uint16_t t = add_vertex(mesh, back.point);
        for (size_t k = 0; k < n; k++)
            add_face(mesh, t, tail[k], tail[(k + 1) % n], material);
    } else if (back.kind == LoftEnd::Flat) {
        for (size_t k = 1; k + 1 < n; k++)
            add_face(mesh, tail[0], tail[k], tail[k + 1], material);
    }
    orient_outwards(mesh, first_vertex, first_face);
}

void add_sheet(MeshDef &mesh, const std::vector<Ring> &rows, Vec3 outside, int material) {
    size_t first_face = mesh.faces.size();
    size_t n = rows.front().size();
    std::vector<std::vector<uint16_t>> ids;
    for (const Ring &row : rows) {
        ids.emplace_back();
        for (const Vec3 &v : row)
            ids.back().push_back(add_vertex(mesh, v));
    }
    for (size_t i = 0; i + 1 < rows.size(); i++)
        for (size_t k = 0; k + 1 < n; k++) {
            uint16_t a = ids[i][k], b = ids[i][k + 1], c = ids[i + 1][k + 1], d = ids[i + 1][k];
            add_face(mesh, a, b, c, material);
            add_face(mesh, a, c, d, material);
        }
    // A sheet has no inside: it faces the point given, judged over all its faces.
    double facing = 0;
    for (size_t j = first_face; j < mesh.faces.size(); j++) {
        const auto &f = mesh.faces[j];
        Vec3 p0 = mesh.vertices[f[0]];
        Vec3 normal = cross(sub(mesh.vertices[f[1]], p0), sub(mesh.vertices[f[2]], p0));
        facing += dot(normal, sub(outside, p0));
    }
    if (facing < 0)
        for (size_t j = first_face; j < mesh.faces.size(); j++)
            std::swap(mesh.faces[j][1], mesh.faces[j][2]);
}

Ring mirror_x(const Ring &ring) {
    Ring out;
    for (const Vec3 &v : ring)
        out.push_back({-v.x, v.y, v.z});
    return out;
}

std::vector<Ring> mirror_x(const std::vector<Ring> &rings) {
    std::vector<Ring> out;
    for (const Ring &r : rings)
        out.push_back(mirror_x(r));
    return out;
}

MeshDef anchor_mesh(const std::string &name, Vec3 at) {
    MeshDef mesh;
    mesh.name = name;
    mesh.vertices.push_back(at);
    return mesh;
}

void check_no_degenerate(const MeshDef &mesh) {
    for (const auto &f : mesh.faces) {
        Vec3 p0 = mesh.vertices[f[0]];
        Vec3 n = cross(sub(mesh.vertices[f[1]], p0), sub(mesh.vertices[f[2]], mesh.vertices[f[1]]));
        if (std::sqrt(dot(n, n)) < 1e-6f)
            throw std::runtime_error("face of no area in " + mesh.name);
    }
}
