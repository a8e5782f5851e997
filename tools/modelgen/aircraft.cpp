// The three aircraft. Each body is one mesh: a lofted fuselage, its canopy
// and the flying surfaces; the engines are their own meshes, ending at the
// nozzles where the flame anchors sit. Noses point along -z, y is up.
#include "models.h"
#include "shapes.h"

namespace {

const MaterialDef GREY_BODY{"Material", {20, 20, 20}, {204, 204, 204}, {255, 255, 255}};
const Vec3 AFT{0, 0, 1}, UP{0, 1, 0}, SIDE{1, 0, 0};

struct Foil {
    Vec3 leading;
    float chord, thickness;
};

// A flying surface from its root outwards; thick_dir is across the surface.
void add_surface(MeshDef &mesh, const std::vector<Foil> &stations, Vec3 thick_dir, int material) {
    std::vector<Ring> rings;
    for (const Foil &f : stations)
        rings.push_back(foil_section(f.leading, AFT, thick_dir, f.chord, f.thickness));
    add_loft(mesh, rings, flat_end(), flat_end(), material);
}

// The same surface on both sides of the centre line.
void add_surface_pair(MeshDef &mesh, const std::vector<Foil> &right, Vec3 thick_dir, int material) {
    add_surface(mesh, right, thick_dir, material);
    std::vector<Foil> left = right;
    for (Foil &f : left)
        f.leading.x = -f.leading.x;
    add_surface(mesh, left, thick_dir, material);
}

struct Station {
    float z, w, top, bottom, cy, squareness;
};

std::vector<Ring> fuselage_rings(int points, const std::vector<Station> &stations) {
    std::vector<Ring> rings;
    for (const Station &s : stations)
        rings.push_back(section_ring(points, 0, s.cy, s.z, s.w, s.top, s.bottom, s.squareness));
    return rings;
}

// An engine: rings from the intake back to the nozzle, closed at the nozzle
// by a slightly recessed fan just ahead of the flame anchor. The skin takes
// the body's material, the nozzle face `nozzle_material`.
MeshDef engine(const std::string &name, const std::vector<Station> &rings_def, float cx_nozzle,
               float cx_front, Vec3 anchor, int material, int nozzle_material) {
    MeshDef mesh;
    mesh.name = name;
    std::vector<Ring> rings;
    for (size_t i = 0; i < rings_def.size(); i++) {
        const Station &s = rings_def[i];
        float t = rings_def.size() > 1 ? float(i) / float(rings_def.size() - 1) : 1.0f;
        float cx = cx_front + (cx_nozzle - cx_front) * t;
        rings.push_back(section_ring(12, cx, s.cy, s.z, s.w, s.top, s.bottom, s.squareness));
    }
    add_loft(mesh, rings, open_end(), point_end({anchor.x, anchor.y, anchor.z - 0.04f}), material);
    // The fan's faces were added last, one per ring point.
    size_t dark = rings.back().size();
    for (size_t j = mesh.faces.size() - dark; j < mesh.faces.size(); j++)
        mesh.face_materials[j] = nozzle_material;
    return mesh;
}

} // namespace

// Swing wings at mid sweep from a long glove, a flat "pancake" between two
// widely spaced nacelles, twin fins on the nacelles, big stabilators.
ModelDef build_f14tomcat() {
    ModelDef model;
    model.file_name = "f14tomcat.3ds";
    model.materials = {{"glass", {30, 91, 127}, {60, 183, 255}, {255, 255, 255}},
                       {"body", {20, 20, 20}, {204, 204, 204}, {255, 255, 255}},
                       {"engine", {9, 9, 9}, {90, 90, 90}, {255, 255, 255}}};
    const int GLASS = 0, BODY = 1, ENGINE = 2;
    const Vec3 jet_r{0.315f, 0.132f, 1.791f}, jet_l{-0.311f, 0.132f, 1.791f};

    MeshDef body;
    body.name = "body";
    add_loft(body,
             fuselage_rings(12, {{-2.35f, 0.07f, 0.07f, 0.06f, 0.10f, 1.0f},
                                 {-2.00f, 0.13f, 0.12f, 0.10f, 0.12f, 1.0f},
                                 {-1.55f, 0.16f, 0.15f, 0.13f, 0.14f, 0.9f},
                                 {-1.10f, 0.19f, 0.16f, 0.14f, 0.15f, 0.8f},
                                 {-0.70f, 0.42f, 0.15f, 0.11f, 0.14f, 0.45f},
                                 {-0.10f, 0.62f, 0.13f, 0.09f, 0.13f, 0.35f},
                                 {0.60f, 0.58f, 0.11f, 0.07f, 0.13f, 0.35f},
                                 {1.30f, 0.34f, 0.08f, 0.05f, 0.13f, 0.4f},
                                 {1.85f, 0.20f, 0.04f, 0.03f, 0.13f, 0.4f}}),
             point_end({0, 0.09f, -2.70f}), point_end({0, 0.13f, 2.05f}), BODY);
    add_loft(body,
             fuselage_rings(8, {{-1.85f, 0.07f, 0.05f, 0.04f, 0.25f, 1.0f},
                                {-1.60f, 0.10f, 0.09f, 0.05f, 0.26f, 1.0f},
                                {-1.30f, 0.11f, 0.10f, 0.05f, 0.27f, 1.0f},
                                {-1.00f, 0.09f, 0.07f, 0.05f, 0.27f, 1.0f}}),
             point_end({0, 0.22f, -2.05f}), point_end({0, 0.27f, -0.70f}), GLASS);
    // A Phoenix missile on the belly.
    add_loft(body,
             fuselage_rings(6, {{-0.60f, 0.05f, 0.05f, 0.05f, -0.02f, 1.0f},
                                {0.50f, 0.05f, 0.05f, 0.05f, -0.02f, 1.0f}}),
             point_end({0, -0.02f, -0.85f}), point_end({0, -0.02f, 0.55f}), BODY);
    add_surface_pair(body,
                     {{{0.45f, 0.12f, -0.30f}, 1.00f, 0.05f},
                      {{1.05f, 0.12f, 0.15f}, 0.75f, 0.035f},
                      {{2.05f, 0.12f, 0.85f}, 0.40f, 0.02f}},
                     UP, BODY);
    add_surface_pair(body,
                     {{{0.40f, 0.10f, 1.15f}, 0.70f, 0.04f}, {{1.25f, 0.10f, 1.70f}, 0.28f, 0.02f}},
                     UP, BODY);
    add_surface_pair(body,
                     {{{0.33f, 0.26f, 0.75f}, 0.85f, 0.05f}, {{0.45f, 1.05f, 1.45f}, 0.38f, 0.02f}},
                     SIDE, BODY);
    model.meshes.push_back(body);
    model.meshes.push_back(anchor_mesh("jet.r", jet_r));
    model.meshes.push_back(anchor_mesh("jet.l", jet_l));
    const std::vector<Station> nacelle = {{-0.95f, 0.05f, 0.05f, 0.05f, 0.13f, 1.0f},
                                          {-0.40f, 0.17f, 0.17f, 0.17f, 0.12f, 0.5f},
                                          {1.791f, 0.13f, 0.13f, 0.13f, 0.132f, 1.0f}};
    model.meshes.push_back(engine("engine.r", nacelle, jet_r.x, 0.20f, jet_r, BODY, ENGINE));
    model.meshes.push_back(engine("engine.l", nacelle, jet_l.x, -0.20f, jet_l, BODY, ENGINE));
    return model;
}

// A large-winged twin-fin fighter: slim nose and bubble canopy, boxy intakes
// becoming the engine nacelles, a dorsal spine between them.
ModelDef build_fighter() {
    ModelDef model;
    model.file_name = "fighter.3ds";
    model.materials = {GREY_BODY, {"Material.001", {18, 84, 127}, {37, 168, 255}, {255, 255, 255}}};
    const int BODY = 0, GLASS = 1;
    const Vec3 jet_r{0.226f, -0.006f, 2.111f}, jet_l{-0.213f, -0.006f, 2.111f};

    MeshDef body;
    body.name = "body";
    add_loft(body,
             fuselage_rings(8, {{-2.55f, 0.10f, 0.10f, 0.09f, 0.02f, 1.0f},
                                {-1.75f, 0.20f, 0.17f, 0.15f, 0.05f, 0.9f},
                                {-0.80f, 0.22f, 0.18f, 0.16f, 0.05f, 0.8f}}),
             point_end({0, -0.02f, -3.05f}), point_end({0, 0.05f, 0.40f}), BODY);
    add_loft(body,
             fuselage_rings(8, {{-2.05f, 0.09f, 0.07f, 0.04f, 0.18f, 1.0f},
                                {-1.70f, 0.13f, 0.14f, 0.04f, 0.19f, 1.0f},
                                {-1.30f, 0.12f, 0.12f, 0.04f, 0.20f, 1.0f}}),
             point_end({0, 0.16f, -2.30f}), point_end({0, 0.19f, -0.95f}), GLASS);
    add_loft(body,
             fuselage_rings(4, {{-0.95f, 0.14f, 0.12f, 0.10f, 0.18f, 1.0f},
                                {1.40f, 0.12f, 0.10f, 0.10f, 0.10f, 1.0f}}),
             point_end({0, 0.18f, -1.25f}), point_end({0, 0.05f, 2.00f}), BODY);
    add_surface_pair(body,
                     {{{0.40f, 0.00f, -0.45f}, 1.75f, 0.07f},
                      {{1.05f, 0.00f, 0.35f}, 1.00f, 0.045f},
                      {{1.75f, 0.00f, 1.05f}, 0.40f, 0.02f}},
                     UP, BODY);
    add_surface_pair(body,
                     {{{0.40f, 0.00f, 1.40f}, 0.75f, 0.04f}, {{1.20f, 0.00f, 1.95f}, 0.32f, 0.02f}},
                     UP, BODY);
    add_surface_pair(body,
                     {{{0.34f, 0.15f, 0.80f}, 0.90f, 0.05f}, {{0.42f, 1.00f, 1.50f}, 0.38f, 0.02f}},
                     SIDE, BODY);
    model.meshes.push_back(body);
    model.meshes.push_back(anchor_mesh("jet.r", jet_r));
    model.meshes.push_back(anchor_mesh("jet.l", jet_l));
    // Intake: a tiny recessed ring behind a square lip, so the duct reads as a dark face.
    const std::vector<Station> nacelle = {{-0.85f, 0.02f, 0.02f, 0.02f, 0.02f, 1.0f},
                                          {-1.05f, 0.17f, 0.20f, 0.14f, 0.02f, 0.25f},
                                          {0.50f, 0.19f, 0.19f, 0.15f, 0.00f, 0.5f},
                                          {2.111f, 0.12f, 0.12f, 0.12f, -0.006f, 1.0f}};
    model.meshes.push_back(engine("Tube.001", nacelle, jet_r.x, 0.40f, jet_r, BODY, BODY));
    model.meshes.push_back(engine("Tube", nacelle, jet_l.x, -0.40f, jet_l, BODY, BODY));
    return model;
}

// A long, heavy interceptor: narrow nose and small canopy, huge box intakes
// blending into a wide flat body, thin trapezoid wings, canted twin fins.
ModelDef build_mig25() {
    ModelDef model;
    model.file_name = "mig25.3ds";
    model.materials = {GREY_BODY, {"Material.001", {22, 83, 127}, {44, 166, 255}, {255, 255, 255}}};
    const int BODY = 0, GLASS = 1;
    const Vec3 jet_r{0.201f, 0.031f, 1.305f}, jet_l{-0.207f, 0.031f, 1.305f};

    MeshDef body;
    body.name = "body";
    add_loft(body,
             fuselage_rings(12, {{-3.30f, 0.10f, 0.10f, 0.09f, 0.05f, 1.0f},
                                 {-2.05f, 0.19f, 0.17f, 0.15f, 0.07f, 1.0f},
                                 {-1.80f, 0.52f, 0.21f, 0.19f, 0.05f, 0.2f},
                                 {-0.40f, 0.54f, 0.21f, 0.17f, 0.05f, 0.25f},
                                 {0.70f, 0.47f, 0.17f, 0.14f, 0.05f, 0.3f},
                                 {1.20f, 0.38f, 0.12f, 0.12f, 0.04f, 0.5f}}),
             point_end({0, 0.03f, -3.90f}), point_end({0, 0.04f, 1.30f}), BODY);
    // The canopy: a faceted shell sitting in the nose, its edges below the skin.
    add_sheet(body,
              {{{-0.06f, 0.17f, -2.85f}, {0.0f, 0.21f, -2.85f}, {0.06f, 0.17f, -2.85f}},
               {{-0.13f, 0.18f, -2.50f}, {0.0f, 0.33f, -2.50f}, {0.13f, 0.18f, -2.50f}},
               {{-0.12f, 0.20f, -2.10f}, {0.0f, 0.30f, -2.10f}, {0.12f, 0.20f, -2.10f}}},
              {0, 2, -2.5f}, GLASS);
    add_loft(body,
             fuselage_rings(5, {{-2.00f, 0.08f, 0.08f, 0.06f, 0.23f, 1.0f},
                                {-1.50f, 0.14f, 0.08f, 0.06f, 0.23f, 1.0f},
                                {-0.50f, 0.15f, 0.08f, 0.06f, 0.22f, 1.0f},
                                {0.50f, 0.13f, 0.07f, 0.06f, 0.19f, 1.0f},
                                {1.10f, 0.08f, 0.05f, 0.05f, 0.16f, 1.0f}}),
             point_end({0, 0.25f, -2.15f}), point_end({0, 0.15f, 1.45f}), BODY);
    // Wings with a straight trailing edge and anhedral, fins canted well out.
    add_surface_pair(
        body, {{{0.50f, 0.20f, -0.35f}, 1.60f, 0.06f}, {{2.00f, 0.02f, 0.70f}, 0.55f, 0.02f}}, UP,
        BODY);
    add_surface_pair(body,
                     {{{0.42f, 0.05f, 0.70f}, 0.70f, 0.04f}, {{1.20f, 0.00f, 1.25f}, 0.32f, 0.02f}},
                     UP, BODY);
    add_surface_pair(body,
                     {{{0.40f, 0.22f, 0.15f}, 1.05f, 0.05f}, {{0.78f, 1.10f, 0.85f}, 0.50f, 0.02f}},
                     SIDE, BODY);
    model.meshes.push_back(body);
    model.meshes.push_back(anchor_mesh("jet.r", jet_r));
    model.meshes.push_back(anchor_mesh("jet.l", jet_l));
    const std::vector<Station> nacelle = {{0.10f, 0.05f, 0.05f, 0.05f, 0.03f, 1.0f},
                                          {0.70f, 0.19f, 0.15f, 0.15f, 0.035f, 0.8f},
                                          {1.305f, 0.17f, 0.14f, 0.14f, 0.031f, 1.0f}};
    model.meshes.push_back(engine("Tube.001", nacelle, jet_r.x, 0.12f, jet_r, BODY, BODY));
    model.meshes.push_back(engine("Tube", nacelle, jet_l.x, -0.12f, jet_l, BODY, BODY));
    return model;
}
