// The missile (a finned round body about one unit long, its flame anchor at
// the nozzle) and the gun tracer (a stretched double cone).
#include "models.h"
#include "shapes.h"

namespace {

const MaterialDef GREY{"Material", {20, 20, 20}, {204, 204, 204}, {255, 255, 255}};

const float BODY_RADIUS = 0.045f;
const float NOSE_TIP_Z = -0.5f, NOSE_BASE_Z = -0.34f, TAIL_Z = 0.49f;

// One tail fin standing out from the body along `out`; `thick` is across it.
MeshDef fin(const std::string &name, Vec3 out, Vec3 thick) {
    MeshDef mesh;
    mesh.name = name;
    auto along = [&](float r, float z) { return Vec3{out.x * r, out.y * r, z}; };
    const Vec3 aft{0, 0, 1};
    Ring root = foil_section(along(0.03f, 0.28f), aft, thick, 0.19f, 0.012f);
    Ring tip = foil_section(along(0.14f, 0.40f), aft, thick, 0.08f, 0.006f);
    add_loft(mesh, {root, tip}, flat_end(), flat_end(), 0);
    return mesh;
}

} // namespace

ModelDef build_missile() {
    ModelDef model;
    model.file_name = "missile.3ds";
    model.materials = {GREY};
    model.meshes.push_back(anchor_mesh("jet.", {0, 0, 0.490f}));
    model.meshes.push_back(fin("Plane.003", {1, 0, 0}, {0, 1, 0}));
    model.meshes.push_back(fin("Plane.002", {0, 1, 0}, {1, 0, 0}));
    model.meshes.push_back(fin("Plane.001", {-1, 0, 0}, {0, 1, 0}));
    model.meshes.push_back(fin("Plane", {0, -1, 0}, {1, 0, 0}));

    // The body: a pointed nose cone on a straight tube, the nozzle slightly
    // recessed so that the flame seems to leave from inside it.
    MeshDef body;
    body.name = "Cylinder";
    Ring front = section_ring(12, 0, 0, NOSE_BASE_Z, BODY_RADIUS, BODY_RADIUS, BODY_RADIUS);
    Ring back = section_ring(12, 0, 0, TAIL_Z, BODY_RADIUS, BODY_RADIUS, BODY_RADIUS);
    add_loft(body, {front, back}, point_end({0, 0, NOSE_TIP_Z}), point_end({0, 0, TAIL_Z - 0.02f}),
             0);
    model.meshes.push_back(body);
    return model;
}

ModelDef build_bulletfire() {
    ModelDef model;
    model.file_name = "bulletfire.3ds";
    model.materials = {{"Material.001", {172, 178, 109}, {246, 255, 155}, {255, 255, 255}}};
    MeshDef tracer;
    tracer.name = "Plane";
    // Long and thin, so that at gun speed it reads as a streak, not a dot.
    Ring waist = section_ring(4, 0, 0, -0.1f, 0.06f, 0.06f, 0.06f);
    add_loft(tracer, {waist}, point_end({0, 0, -0.6f}), point_end({0, 0, 0.5f}), 0);
    model.meshes.push_back(tracer);
    return model;
}
