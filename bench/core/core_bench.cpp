// objects_update over busy worlds of 100, 1,000 and 10,000 records: missiles
// with their trails, enemy aircraft, islands and effects, each frame on a world
// built afresh so that every frame measured is alike. The clock and the mixer
// are stand-ins defined here, as in the tests.
#include <benchmark/benchmark.h>

#include <SDL/SDL_mixer.h>

#include <cstdlib>

#include "core/objects.h"

static Uint32 s_ticks = 100000;

extern "C" Uint32 SDL_GetTicks(void) {
    return s_ticks;
}
extern "C" int Mix_PlayChannelTimed(int, Mix_Chunk *, int, int) {
    return -1;
}
extern "C" int Mix_SetDistance(int, Uint8) {
    return 0;
}

static float uniform(float lo, float hi) {
    return lo + (hi - lo) * (float)(std::rand() & 0x7fff) / 32767.0f;
}

static void clear_world() {
    GameObject *o = g_object_list;
    while (o != &g_player) {
        GameObject *next = o->next;
        delete o;
        o = next;
    }
    g_object_list = &g_player;
}

static GameObject *add(int kind, int side, float x, float y, float z) {
    GameObject *o = object_spawn(nullptr, kind, side);
    o->pos[0] = x;
    o->pos[1] = y;
    o->pos[2] = z;
    return o;
}

// A world of n records in the shares of a busy moment of play: 1% missiles,
// each with the 50 trail puffs of its last second, 5% enemy aircraft, a few
// islands, and the rest explosions, debris smoke and shock rings.
static void build_world(int n) {
    clear_world();
    std::srand(1);
    float now = s_ticks / 1000.0f;
    g_player = GameObject();
    g_player.kind = OBJ_AIRCRAFT;
    g_player.side = SIDE_PLAYER;
    g_player.pos[1] = 20;
    g_player.vel[2] = -9.7f;
    g_player.a = g_player.b = 0.5f;

    int islands = 4 + n / 1000;
    int enemies = n / 20;
    int missiles = n / 100 > 0 ? n / 100 : 1;
    int effects = n - 1 - islands - enemies - missiles * 51;
    for (int i = 0; i < islands; i++)
        add(OBJ_ISLAND, SIDE_NONE, uniform(-500, 500), 0, uniform(-1500, -100))->land_slot = i % 4;
    GameObject **enemy = new GameObject *[enemies + 1];
    for (int i = 0; i < enemies; i++) {
        GameObject *e = add(OBJ_AIRCRAFT, SIDE_ENEMY, uniform(-400, 400), uniform(10, 100),
                            uniform(-900, -100));
        e->vel[0] = uniform(-1, 1);
        e->vel[2] = uniform(-9, 3);
        e->fire_distance = 10;
        e->has_fired = 1;
        enemy[i] = e;
    }
    for (int i = 0; i < missiles; i++) {
        int side = i % 4 == 3 ? SIDE_ENEMY : SIDE_PLAYER;
        GameObject *m =
            add(OBJ_MISSILE, side, uniform(-400, 400), uniform(10, 100), uniform(-600, -20));
        m->vel[2] = uniform(-12, -6);
        m->acc[2] = -0.07f;
        if (i % 2 == 0) {
            m->target = side == SIDE_ENEMY || enemies == 0 ? &g_player : enemy[i % enemies];
            m->b = 1e9f;
        }
        for (int p = 0; p < 50; p++) {
            GameObject *puff =
                add(OBJ_TRAIL_SMOKE, SIDE_NONE, m->pos[0], m->pos[1], m->pos[2] + p * 2.0f);
            puff->lifetime = 1.0f;
            puff->birth = now - 1.02f + p * 0.02f;
        }
    }
    const int effect_kinds[3] = {OBJ_EXPLOSION, OBJ_DEBRIS_SMOKE, OBJ_SHOCK};
    for (int i = 0; i < effects; i++) {
        GameObject *fx = add(effect_kinds[i % 3], SIDE_NONE, uniform(-400, 400), uniform(0, 100),
                             uniform(-900, 50));
        fx->lifetime = 2.0f;
        fx->birth = now - uniform(0, 2.02f);
        fx->a = uniform(0, 10);
    }
    delete[] enemy;
}

static void BM_ObjectsUpdate(benchmark::State &state) {
    int n = (int)state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        build_world(n);
        s_ticks += 20;
        state.ResumeTiming();
        objects_update();
    }
    state.counters["records"] = n;
    state.counters["per_record"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    clear_world();
}
BENCHMARK(BM_ObjectsUpdate)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
