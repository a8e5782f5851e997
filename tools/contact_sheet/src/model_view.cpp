// Reading and drawing models for the contact sheet. The reader follows the
// game's flat chunk walk (entered chunks, read chunks, everything else
// skipped), refusing data that would index out of range.
#include "model_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

struct Cursor {
    const std::vector<uint8_t> &data;
    size_t pos;
    bool ok = true;
    uint32_t take(int n) {
        if (pos + n > data.size()) {
            ok = false;
            pos = data.size();
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < n; i++)
            v |= uint32_t(data[pos + i]) << (8 * i);
        pos += n;
        return v;
    }
    float f32() {
        uint32_t v = take(4);
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    std::string name() {
        std::string s;
        while (pos < data.size() && data[pos])
            s += char(data[pos++]);
        pos++;
        return s;
    }
};

struct RawMesh {
    std::string name;
    std::vector<float> vertices;
    std::vector<uint16_t> faces;
    std::vector<int> materials;
};

struct RawMaterial {
    std::string name;
    Rgb diffuse{200, 200, 200};
};

} // namespace

bool view_model_load(const std::string &path, ViewModel &out, std::string &error) {
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "missing";
        return false;
    }
    std::vector<uint8_t> data;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.insert(data.end(), buf, buf + n);
    std::fclose(f);

    std::vector<RawMesh> meshes;
    std::vector<RawMaterial> mats;
    Cursor c{data, 0};
    while (c.pos + 6 <= data.size()) {
        uint32_t id = c.take(2), length = c.take(4);
        size_t body = c.pos;
        switch (id) {
        case 0x4D4D:
        case 0x3D3D:
        case 0x4100:
            continue;
        case 0xAFFF:
            mats.emplace_back();
            continue;
        case 0x4000:
            meshes.push_back({c.name(), {}, {}, {}});
            continue;
        case 0xA000:
            if (!mats.empty())
                mats.back().name = c.name();
            break;
        case 0xA020:
            c.pos += 6;
            if (!mats.empty())
                mats.back().diffuse = {uint8_t(c.take(1)), uint8_t(c.take(1)), uint8_t(c.take(1))};
            break;
        case 0x4110:
            if (!meshes.empty()) {
                int count = int(c.take(2));
                for (int i = 0; i < count * 3; i++)
                    meshes.back().vertices.push_back(c.f32());
            }
            break;
        case 0x4120:
            if (!meshes.empty()) {
                int count = int(c.take(2));
                for (int i = 0; i < count; i++) {
                    for (int k = 0; k < 3; k++)
                        meshes.back().faces.push_back(uint16_t(c.take(2)));
                    c.take(2);
                }
                meshes.back().materials.assign(count, -1);
            }
            continue; // its material assignments follow as chunks of their own
        case 0x4130:
            if (!meshes.empty()) {
                std::string m = c.name();
                int index = -1;
                for (size_t i = 0; i < mats.size() && index < 0; i++)
                    if (mats[i].name == m)
                        index = int(i);
                int count = int(c.take(2));
                for (int i = 0; i < count; i++) {
                    uint16_t face = uint16_t(c.take(2));
                    if (face < meshes.back().materials.size())
                        meshes.back().materials[face] = index;
                }
            }
            break;
        default:
            break;
        }
        if (length < 6) {
            error = "chunk shorter than its header";
            return false;
        }
        c.pos = body + length - 6;
    }
    if (!c.ok) {
        error = "truncated";
        return false;
    }

    out = ViewModel{};
    out.meshes = int(meshes.size());
    for (const RawMesh &m : meshes) {
        size_t nv = m.vertices.size() / 3;
        out.vertices += int(nv);
        if (m.name.compare(0, 4, "jet.") == 0) {
            if (nv > 0)
                out.anchors.push_back({m.vertices[0], m.vertices[1], m.vertices[2]});
            continue;
        }
        for (size_t j = 0; j + 2 < m.faces.size(); j += 3) {
            ViewTriangle t;
            for (int k = 0; k < 3; k++) {
                if (m.faces[j + k] >= nv) {
                    error = "face index out of range in " + m.name;
                    return false;
                }
                std::memcpy(t.p[k], &m.vertices[m.faces[j + k] * 3], sizeof t.p[k]);
            }
            int mat = m.materials[j / 3];
            // A face no assignment names is drawn magenta so it cannot go unnoticed.
            t.colour = mat >= 0 ? mats[mat].diffuse : Rgb{255, 0, 255};
            out.triangles.push_back(t);
        }
    }
    return true;
}

namespace {

struct View {
    float m[3][3]; // rows: screen right, screen up, towards the viewer
    void apply(const float *p, float *o) const {
        for (int r = 0; r < 3; r++)
            o[r] = m[r][0] * p[0] + m[r][1] * p[1] + m[r][2] * p[2];
    }
};

View make_view(float yaw_deg, float pitch_deg) {
    // The camera sits on the side given by yaw about y (0: on the left, looking
    // along +x), raised by pitch, looking at the origin.
    float yaw = yaw_deg * 3.14159265f / 180, pitch = pitch_deg * 3.14159265f / 180;
    float to_eye[3] = {-std::cos(pitch) * std::cos(yaw), std::sin(pitch),
                       -std::cos(pitch) * std::sin(yaw)};
    float up0[3] = {0, 1, 0};
    if (std::fabs(to_eye[1]) > 0.99f) {
        up0[1] = 0;
        up0[2] = -1;
    }
    // right = up0 x to_eye, up = to_eye x right.
    float right[3] = {up0[1] * to_eye[2] - up0[2] * to_eye[1],
                      up0[2] * to_eye[0] - up0[0] * to_eye[2],
                      up0[0] * to_eye[1] - up0[1] * to_eye[0]};
    float rl = std::sqrt(right[0] * right[0] + right[1] * right[1] + right[2] * right[2]);
    for (float &v : right)
        v /= rl;
    float up[3] = {to_eye[1] * right[2] - to_eye[2] * right[1],
                   to_eye[2] * right[0] - to_eye[0] * right[2],
                   to_eye[0] * right[1] - to_eye[1] * right[0]};
    View v;
    for (int i = 0; i < 3; i++) {
        v.m[0][i] = right[i];
        v.m[1][i] = up[i];
        v.m[2][i] = to_eye[i];
    }
    return v;
}

} // namespace

void view_model_render(Canvas &canvas, const ViewModel &model, int x0, int y0, int w, int h,
                       float yaw, float pitch) {
    View view = make_view(yaw, pitch);
    std::vector<std::array<float, 9>> tris;
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (const ViewTriangle &t : model.triangles) {
        std::array<float, 9> s;
        for (int k = 0; k < 3; k++) {
            view.apply(t.p[k], &s[k * 3]);
            for (int a = 0; a < 2; a++) {
                lo[a] = std::min(lo[a], s[k * 3 + a]);
                hi[a] = std::max(hi[a], s[k * 3 + a]);
            }
        }
        tris.push_back(s);
    }
    if (tris.empty())
        return;
    float scale = 0.9f * std::min(w / (hi[0] - lo[0]), h / (hi[1] - lo[1]));
    float cx = (lo[0] + hi[0]) / 2, cy = (lo[1] + hi[1]) / 2;
    auto to_px = [&](float sx, float sy, float &px, float &py) {
        px = x0 + w / 2.0f + (sx - cx) * scale;
        py = y0 + h / 2.0f - (sy - cy) * scale;
    };
    std::vector<float> depth(size_t(w) * h, -std::numeric_limits<float>::infinity());
    // One light for every view, fixed to the model: from ahead, above and the left.
    const float sun[3] = {-0.40f, 0.80f, -0.45f};
    float light[3];
    view.apply(sun, light);
    float ll = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
    for (float &c : light)
        c /= ll;
    for (size_t i = 0; i < tris.size(); i++) {
        const float *s = tris[i].data();
        float e1[3] = {s[3] - s[0], s[4] - s[1], s[5] - s[2]};
        float e2[3] = {s[6] - s[0], s[7] - s[1], s[8] - s[2]};
        float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                      e1[0] * e2[1] - e1[1] * e2[0]};
        if (n[2] <= 0)
            continue; // back face: culled as the game culls it
        float nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        float lambert = std::max(0.0f, (n[0] * light[0] + n[1] * light[1] + n[2] * light[2]) / nl);
        float shade = 0.22f + 0.78f * lambert;
        Rgb c = model.triangles[i].colour;
        Rgb lit{uint8_t(std::min(255.0f, c.r * shade)), uint8_t(std::min(255.0f, c.g * shade)),
                uint8_t(std::min(255.0f, c.b * shade))};
        float px[3], py[3];
        for (int k = 0; k < 3; k++)
            to_px(s[k * 3], s[k * 3 + 1], px[k], py[k]);
        int minx = std::max(0, int(std::floor(std::min({px[0], px[1], px[2]}))) - x0);
        int maxx = std::min(w - 1, int(std::ceil(std::max({px[0], px[1], px[2]}))) - x0);
        int miny = std::max(0, int(std::floor(std::min({py[0], py[1], py[2]}))) - y0);
        int maxy = std::min(h - 1, int(std::ceil(std::max({py[0], py[1], py[2]}))) - y0);
        float area = (px[1] - px[0]) * (py[2] - py[0]) - (px[2] - px[0]) * (py[1] - py[0]);
        if (std::fabs(area) < 1e-9f)
            continue;
        for (int j = miny; j <= maxy; j++)
            for (int i2 = minx; i2 <= maxx; i2++) {
                float qx = x0 + i2 + 0.5f, qy = y0 + j + 0.5f;
                float w0 = ((px[1] - qx) * (py[2] - qy) - (px[2] - qx) * (py[1] - qy)) / area;
                float w1 = ((px[2] - qx) * (py[0] - qy) - (px[0] - qx) * (py[2] - qy)) / area;
                float w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0)
                    continue;
                float z = w0 * s[2] + w1 * s[5] + w2 * s[8];
                float &d = depth[size_t(j) * w + i2];
                if (z <= d)
                    continue;
                d = z;
                canvas.put(x0 + i2, y0 + j, lit);
            }
    }
    // Flame anchors: a dot, and a short line where the flame tube would run (+z).
    for (const auto &a : model.anchors) {
        float s[3], tail[3], e[3] = {a[0], a[1], a[2] + 0.6f};
        view.apply(a.data(), s);
        view.apply(e, tail);
        float px, py, tx, ty;
        to_px(s[0], s[1], px, py);
        to_px(tail[0], tail[1], tx, ty);
        for (int k = 0; k <= 20; k++)
            canvas.put(int(px + (tx - px) * k / 20), int(py + (ty - py) * k / 20), {255, 160, 40});
        canvas.fill_rect(int(px) - 2, int(py) - 2, 5, 5, {255, 120, 0});
    }
}
