// A busy frame at 800 by 600: the player, 30 enemy aircraft, 20 missiles with
// trails, three hits' explosions and debris smoke, four islands (about 1,000
// records), drawn with the real assets. Reports the median milliseconds per
// frame over 200 frames and the share of it spent in the object pass.
#include "assets/assets.h"
#include "core/game.h"
#include "core/objects.h"
#include "core/startup.h"
#include "render/model_draw.h"
#include "render/render.h"
#include "assets/model3ds.h"
#include "render/render_local.h"
#include "support/game_window.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const int FRAMES = 200;

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double unit() {
    return (std::rand() & 0x7fff) / 32767.0;
}

GameObject *spawn(Model3ds *model, int kind, int side, float x, float y, float dz) {
    GameObject *o = object_spawn(model, kind, side);
    o->pos[0] = x;
    o->pos[1] = y;
    o->pos[2] = g_player.pos[2] + dz;
    return o;
}

void open_window() {
    if (!game_window_open()) {
        std::fprintf(stderr, "render_bench: %s\n", SDL_GetError());
        std::exit(1);
    }
    assets_load_all();
}

// The scene of a hectic moment, newest records first as the game would hold them.
void build_world() {
    std::srand(1);
    g_title_mode = 0;
    game_reset(); // player, four islands
    g_player.angles[0] = 5;
    g_player.angles[2] = -10;
    g_player.a = 1.0f; // afterburner: the longest player flames
    Model3ds *enemies[] = {g_model_fighter, g_model_mig25, g_model_f14};
    for (int i = 0; i < 30; i++) {
        GameObject *o = spawn(enemies[i % 3], OBJ_AIRCRAFT, SIDE_ENEMY, unit() * 300 - 150,
                              unit() * 60 + 5, -60 - unit() * 700);
        o->angles[1] = 180;
    }
    const float now = (float)(SDL_GetTicks() / 1000.0);
    for (int i = 0; i < 20; i++) {
        const float x = unit() * 200 - 100, y = unit() * 40 + 5, z = -20 - unit() * 400;
        // Trails: a puff every 40 ms over the last second.
        for (int p = 0; p < 25; p++) {
            GameObject *puff = spawn(nullptr, OBJ_TRAIL_SMOKE, SIDE_NONE, x, y, z + p * 4);
            puff->birth = now - p * 0.04f;
            puff->lifetime = 1;
        }
        GameObject *m = spawn(g_model_missile, OBJ_MISSILE, SIDE_PLAYER, x, y, z);
        m->angles[0] = unit() * 20 - 10;
    }
    for (int h = 0; h < 3; h++) {
        const float x = unit() * 200 - 100, y = unit() * 40 + 10, z = -200 - unit() * 300;
        for (int p = 0; p < 150; p++) {
            GameObject *s = spawn(nullptr, OBJ_DEBRIS_SMOKE, SIDE_NONE, x + unit() * 60 - 30,
                                  y + unit() * 40 - 20, z + unit() * 60 - 30);
            s->a = 3 + unit() * 4;
            s->birth = now - unit() * 1.5f;
            s->lifetime = 2;
        }
        GameObject *e = spawn(nullptr, OBJ_EXPLOSION, SIDE_NONE, x, y, z);
        e->birth = now - 0.3f;
        e->lifetime = 2;
    }
}

int records() {
    int n = 0;
    for (GameObject *o = g_object_list; o; o = o->next)
        n++;
    return n;
}

void setup_once() {
    static bool done = false;
    if (done)
        return;
    done = true;
    open_window();
    build_world();
}

// The whole frame as the game draws it, swap included.
void BM_Frame(benchmark::State &state) {
    setup_once();
    std::vector<double> times;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        render_frame();
        glFinish();
        const double ms = ms_since(t0);
        times.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    state.counters["median_ms"] = median(times);
    state.counters["records"] = records();
}
BENCHMARK(BM_Frame)->Iterations(FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same frame cut at the object pass, the GL pipeline drained at each cut.
void BM_FrameSplit(benchmark::State &state) {
    setup_once();
    std::vector<double> frame, objects;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const float t = (float)(SDL_GetTicks() / 1000.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        camera_load();
        sky_draw(t);
        sun_draw();
        glFinish();
        const auto t1 = Clock::now();
        objects_draw(t);
        glFinish();
        objects.push_back(ms_since(t1));
        overlay_open();
        play_overlay_draw(t);
        glPopAttrib();
        SDL_GL_SwapBuffers();
        glFinish();
        frame.push_back(ms_since(t0));
        state.SetIterationTime(frame.back() / 1000);
    }
    state.counters["median_ms"] = median(frame);
    state.counters["objects_ms"] = median(objects);
    state.counters["objects_share"] = median(objects) / median(frame);
}
BENCHMARK(BM_FrameSplit)->Iterations(FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

// Where the object pass goes: every model's bodies alone, and its flames alone.
void models(benchmark::State &state, int mode) {
    setup_once();
    std::vector<double> times;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera_load();
        glFinish();
        const auto t0 = Clock::now();
        for (GameObject *o = g_object_list; o; o = o->next) {
            if (!o->model)
                continue;
            glPushMatrix();
            glTranslatef(o->pos[0], o->pos[1], o->pos[2] - g_player.pos[2]);
            glRotatef(o->angles[1], 0, 1, 0);
            glRotatef(o->angles[0], 1, 0, 0);
            glRotatef(o->angles[2], 0, 0, 1);
            model_draw(o->model, mode, 0.075f, 1.5f, 0.5f);
            glPopMatrix();
        }
        glFinish();
        times.push_back(ms_since(t0));
        state.SetIterationTime(times.back() / 1000);
    }
    state.counters["median_ms"] = median(times);
}
void BM_ModelBodies(benchmark::State &state) {
    models(state, MODEL_DRAW_BODIES);
}
void BM_ModelFlames(benchmark::State &state) {
    models(state, MODEL_DRAW_FLAMES);
}
BENCHMARK(BM_ModelBodies)->Iterations(FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelFlames)->Iterations(FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

// What-ifs, for the report only (the game keeps its own drawing): bodies with
// one material per run of faces in one begin/end pair, and the smoke sprites
// with their state set once instead of an attribute push each.
void BM_BodiesBatched(benchmark::State &state) {
    setup_once();
    std::vector<double> times;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera_load();
        glFinish();
        const auto t0 = Clock::now();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glEnable(GL_LIGHTING);
        for (GameObject *o = g_object_list; o; o = o->next) {
            if (!o->model)
                continue;
            glPushMatrix();
            glTranslatef(o->pos[0], o->pos[1], o->pos[2] - g_player.pos[2]);
            glRotatef(o->angles[1], 0, 1, 0);
            glRotatef(o->angles[0], 1, 0, 0);
            glRotatef(o->angles[2], 0, 0, 1);
            for (int i = 0; i < o->model->mesh_count; i++) {
                const Mesh3ds &m = o->model->meshes[i];
                if (!strncmp(m.name, "jet.", 4) || !m.face_count)
                    continue;
                int last = -1;
                glBegin(GL_TRIANGLES);
                for (int f = 0; f < m.face_count; f++) {
                    if (m.face_materials[f] != last) {
                        glEnd();
                        last = m.face_materials[f];
                        const Material3ds &mat = o->model->materials[last];
                        model_set_material_color(GL_FRONT, GL_AMBIENT, mat.ambient);
                        model_set_material_color(GL_FRONT, GL_DIFFUSE, mat.diffuse);
                        model_set_material_color(GL_FRONT, GL_SPECULAR, mat.specular);
                        glMaterialf(GL_FRONT, GL_SHININESS, 32);
                        glBegin(GL_TRIANGLES);
                    }
                    glNormal3fv(&m.face_normals[3 * f]);
                    for (int v = 0; v < 3; v++)
                        glVertex3fv(&m.vertices[3 * m.faces[3 * f + v]]);
                }
                glEnd();
            }
            glPopMatrix();
        }
        glPopAttrib();
        glFinish();
        times.push_back(ms_since(t0));
        state.SetIterationTime(times.back() / 1000);
    }
    state.counters["median_ms"] = median(times);
}
BENCHMARK(BM_BodiesBatched)->Iterations(FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SmokeStateOnce(benchmark::State &state) {
    setup_once();
    std::vector<double> times;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera_load();
        glFinish();
        const float t = (float)(SDL_GetTicks() / 1000.0);
        const auto t0 = Clock::now();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glDepthMask(GL_FALSE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (GameObject *o = g_object_list; o; o = o->next) {
            if (o->kind != OBJ_TRAIL_SMOKE && o->kind != OBJ_DEBRIS_SMOKE)
                continue;
            const float size = o->kind == OBJ_TRAIL_SMOKE ? 0.5f : o->a;
            glPushMatrix();
            glTranslatef(o->pos[0], o->pos[1], o->pos[2] - g_player.pos[2]);
            glScalef(size, size, size);
            glBindTexture(GL_TEXTURE_2D,
                          o->kind == OBJ_TRAIL_SMOKE ? g_tex_smoke : g_tex_smoke_inv);
            glColor4f(1, 1, 1, 1 - (t - o->birth));
            centred_quad();
            glPopMatrix();
        }
        glPopAttrib();
        glFinish();
        times.push_back(ms_since(t0));
        state.SetIterationTime(times.back() / 1000);
    }
    state.counters["median_ms"] = median(times);
}
BENCHMARK(BM_SmokeStateOnce)->Iterations(FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

// The object pass over the records of one kind alone (the player kept last).
void BM_ObjectsOfKind(benchmark::State &state) {
    setup_once();
    const int kind = (int)state.range(0);
    std::vector<GameObject *> all;
    for (GameObject *o = g_object_list; o; o = o->next)
        all.push_back(o);
    GameObject *head = &g_player;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (*it != &g_player && (*it)->kind == kind) {
            (*it)->next = head;
            head = *it;
        }
    }
    g_object_list = head;
    const float saved_a = g_player.a;
    std::vector<double> times;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera_load();
        glFinish();
        const auto t0 = Clock::now();
        objects_draw((float)(SDL_GetTicks() / 1000.0));
        glFinish();
        times.push_back(ms_since(t0));
        state.SetIterationTime(times.back() / 1000);
    }
    state.counters["median_ms"] = median(times);
    int n = 0;
    for (GameObject *o = g_object_list; o; o = o->next)
        n++;
    state.counters["records"] = n;
    // Put the whole list back as it was.
    for (size_t i = 0; i + 1 < all.size(); i++)
        all[i]->next = all[i + 1];
    g_object_list = all.front();
    g_player.a = saved_a;
}
BENCHMARK(BM_ObjectsOfKind)
    ->Arg(OBJ_AIRCRAFT)
    ->Arg(OBJ_MISSILE)
    ->Arg(OBJ_ISLAND)
    ->Arg(OBJ_TRAIL_SMOKE)
    ->Arg(OBJ_EXPLOSION)
    ->Arg(OBJ_DEBRIS_SMOKE)
    ->Iterations(FRAMES)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
