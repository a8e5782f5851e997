// One frame of the world: a single walk over g_object_list, newest first, that
// culls, moves, steers, collides and expires records, and is the only code that
// removes them. Records the walk pushes at the head wait for the next frame.
//
// Side tables, filled before the walk, keep the pass linear in the number of
// records: the aircraft in list order (the only records a missile can hit; none
// is added during the walk), filed by place in a grid of cells, and the guided
// missiles (the only records whose target a removal may have to clear). When
// memory for them cannot be had, the pass walks the list instead, to the same
// effect: a frame under memory pressure is slower, never different or fatal.
#include "core/objects.h"

#include <SDL/SDL_mixer.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "assets/assets.h"
#include "core/frame.h"
#include "core/game.h"
#include "core/land.h"
#include "core/locks.h"
#include "core/player.h"
#include "core/random.h"
#include "core/vecmath.h"

static const float CULL_AHEAD = 1000.0f;
static const float CULL_BEHIND = 64.0f;
static const float FLAME_STEP = 0.05f;
static const float MISSILE_GAIN = 0.1f;
static const float ENEMY_MISSILE_SPEED = 5.0f;
static const float HIT_RADIUS = 1.0f;
static const float TRAIL_SPACING = 0.01f;
static const float TRAIL_LIFETIME = 1.0f;
static const float EXPLOSION_LIFETIME = 2.0f;
static const float DEBRIS_SMOKE_LIFETIME = 2.0f;
static const int DEBRIS_PIECES = 7;
static const float DEBRIS_SPEED = 4.0f;
static const float DEBRIS_GRAVITY = -0.4f;
static const float DEBRIS_BUDGET = 10.0f;
static const double DEBRIS_PUFF_COST = 1.4;
static const float HIT_SOUND_FAR = 255.0f;
static const float RAIL_OFFSET = 0.7f;
static const float ENEMY_MISSILE_THRUST = 0.07f;
// A new missile's remembered distance: far enough that proximity cannot fire
// before the missile has moved.
static const float TARGET_MARGIN = 5.0f;

// A table of plain values that grows with the nothrow allocator and keeps its
// memory from frame to frame.
template <typename T> struct SideTable {
    static_assert(std::is_trivial<T>::value, "the memory is taken raw");
    T *items = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    // Room for n items; false when the memory cannot be had.
    bool reserve(size_t n) {
        if (n <= capacity)
            return true;
        size_t grown = capacity ? capacity : 64;
        while (grown < n) {
            if (grown > SIZE_MAX / 2 / sizeof(T))
                return false;
            grown *= 2;
        }
        T *more = static_cast<T *>(::operator new(grown * sizeof(T), std::nothrow));
        if (!more)
            return false;
        if (count)
            memcpy(more, items, count * sizeof(T));
        ::operator delete(items);
        items = more;
        capacity = grown;
        return true;
    }
    bool push(T value) {
        if (!reserve(count + 1))
            return false;
        items[count++] = value;
        return true;
    }
    T &operator[](size_t i) { return items[i]; }
    T *begin() { return items; }
    T *end() { return items + count; }
};

static bool s_tables; // the side tables hold this pass; when not, the list is walked
static SideTable<GameObject *> s_aircraft; // list order; null once removed
static SideTable<GameObject *> s_guided;   // records with a target; null once removed

// The grid: cells at least as wide as the hit radius, so every aircraft within
// reach of a point lies in the point's cell or a neighbour. An aircraft holds one
// of two places during the walk, where it starts and where its integration
// takes it, and is filed under both.
static const double CELL_SIZE = 2.0;
struct CellEntry {
    int next;     // the next entry of the bucket, -1 at the end
    int aircraft; // index into s_aircraft
};
static SideTable<int> s_buckets; // first entry of each bucket, -1 when empty
static SideTable<CellEntry> s_cell_entries;

static long long cell_of(float v) {
    double c = std::floor(v / CELL_SIZE);
    // Far or undefined places share the outermost cells; that keeps neighbours.
    if (!(c > -1e9))
        c = -1e9;
    if (c > 1e9)
        c = 1e9;
    return (long long)c;
}

static size_t bucket_of(long long x, long long y, long long z) {
    unsigned long long h = (unsigned long long)x * 73856093ull ^
                           (unsigned long long)y * 19349663ull ^
                           (unsigned long long)z * 83492791ull;
    return (size_t)(h ^ (h >> 29)) & (s_buckets.count - 1);
}

// Room for it was made: every aircraft is filed under at most two places.
static void file_aircraft(int index, const float *p) {
    size_t b = bucket_of(cell_of(p[0]), cell_of(p[1]), cell_of(p[2]));
    s_cell_entries.push({s_buckets[b], index});
    s_buckets[b] = (int)s_cell_entries.count - 1;
}

// Fills the side tables; false when they cannot hold this pass.
static bool gather_side_tables() {
    s_aircraft.count = s_guided.count = s_cell_entries.count = 0;
    for (GameObject *o = g_object_list; o; o = o->next) {
        if (o->kind == OBJ_AIRCRAFT && !s_aircraft.push(o))
            return false;
        if (o->target && !s_guided.push(o))
            return false;
    }
    size_t aircraft = s_aircraft.count;
    if (aircraft > INT_MAX / 4) // entries are counted in int
        return false;
    size_t buckets = 64;
    while (buckets < 4 * aircraft)
        buckets *= 2;
    if (!s_buckets.reserve(buckets) || !s_cell_entries.reserve(2 * aircraft))
        return false;
    s_buckets.count = buckets;
    for (int &first : s_buckets)
        first = -1;
    for (size_t i = 0; i < s_aircraft.count; i++) {
        const GameObject *a = s_aircraft[i];
        float moved[3];
        for (int k = 0; k < 3; k++)
            moved[k] = a->pos[k] + a->vel[k]; // as object_integrate will place it
        file_aircraft((int)i, a->pos);
        if (cell_of(moved[0]) != cell_of(a->pos[0]) || cell_of(moved[1]) != cell_of(a->pos[1]) ||
            cell_of(moved[2]) != cell_of(a->pos[2]))
            file_aircraft((int)i, moved);
    }
    return true;
}

// Unlinks obj. pred is its predecessor, or null when obj is the head or
// follows records pushed at the head during this pass; then it is searched.
// Returns the predecessor found (null when obj was the head).
static GameObject *unlink(GameObject *obj, GameObject *pred) {
    if (!pred) {
        if (g_object_list == obj) {
            g_object_list = obj->next;
            return nullptr;
        }
        pred = g_object_list;
        while (pred->next != obj)
            pred = pred->next;
    }
    pred->next = obj->next;
    return pred;
}

static void release_lock(GameObject *obj) {
    for (int i = 0; i < LOCK_SLOTS; i++) {
        if (g_locks[i] == obj) {
            g_locks[i] = nullptr;
            return;
        }
    }
}

// Nothing may point at obj once it is freed: targets and side tables let go.
// obj is already unlinked.
static void forget(GameObject *obj) {
    if (!s_tables) {
        for (GameObject *o = g_object_list; o; o = o->next)
            if (o->target == obj)
                o->target = nullptr;
        return;
    }
    for (GameObject *&g : s_guided) {
        if (g == obj)
            g = nullptr;
        else if (g && g->target == obj)
            g->target = nullptr;
    }
    if (obj->kind == OBJ_AIRCRAFT) {
        for (GameObject *&a : s_aircraft)
            if (a == obj)
                a = nullptr;
    }
}

// The removal rule; returns the predecessor the walk goes on from. A recycled
// island is freed only after its successor is placed.
static GameObject *remove_record(GameObject *obj, GameObject *pred, bool recycle = false) {
    pred = unlink(obj, pred);
    release_lock(obj);
    forget(obj);
    if (recycle)
        island_spawn(obj->land_slot);
    delete obj;
    return pred;
}

static GameObject *spawn_effect(int kind, const float *pos, float lifetime) {
    GameObject *fx = object_spawn(nullptr, kind, SIDE_NONE);
    if (!fx)
        return nullptr;
    for (int i = 0; i < 3; i++)
        fx->pos[i] = pos[i];
    fx->lifetime = lifetime;
    return fx;
}

// 1 when obj leaves the world this frame. Islands come back ahead instead.
static bool out_of_range(const GameObject *obj) {
    float dz = obj->pos[2] - g_player.pos[2];
    float dvz = obj->vel[2] - g_player.vel[2];
    if (obj->kind == OBJ_ISLAND)
        return dz > CULL_BEHIND;
    return (dz < -CULL_AHEAD && dvz < 0) || (dz > CULL_BEHIND && dvz >= 0);
}

static void ease_flame(GameObject *player) {
    // The second test sees the new value: a step past the goal is taken back.
    if (player->a < player->b)
        player->a += FLAME_STEP;
    if (player->a > player->b)
        player->a -= FLAME_STEP;
}

// Turns a guided missile towards its target; returns the proximity flag.
static bool home(GameObject *missile) {
    GameObject *target = missile->target;
    float s = vec_length(missile->vel);
    float v[3], angles[3];
    for (int i = 0; i < 3; i++)
        v[i] = missile->pos[i] - target->pos[i];
    vec_to_angles(v, angles);
    vec_from_angles(angles, nullptr, missile->vel);
    if (missile->side == SIDE_ENEMY && s > ENEMY_MISSILE_SPEED)
        s = ENEMY_MISSILE_SPEED;
    float speed = s + MISSILE_GAIN;
    for (int i = 0; i < 3; i++)
        missile->vel[i] *= speed;
    float d = vec_distance(target->pos, missile->pos);
    // Growing again and closer than the next frame's step: it is passing.
    bool proximity = missile->b < d && d < speed;
    missile->b = d;
    return proximity;
}

static void leave_trail(GameObject *missile, float now) {
    if (!(now > missile->a + TRAIL_SPACING))
        return;
    if (spawn_effect(OBJ_TRAIL_SMOKE, missile->pos, TRAIL_LIFETIME))
        missile->a = now;
}

static bool in_reach(const GameObject *missile, const GameObject *aircraft) {
    return aircraft->side != missile->side &&
           vec_distance(missile->pos, aircraft->pos) < HIT_RADIUS;
}

// The first aircraft in list order that the missile hits: one of the other side
// within reach, or its own target when it is passing it.
static GameObject *find_hit(const GameObject *missile, bool proximity) {
    if (!s_tables) {
        for (GameObject *h = g_object_list; h; h = h->next)
            if (h->kind == OBJ_AIRCRAFT &&
                ((proximity && h == missile->target) || in_reach(missile, h)))
                return h;
        return nullptr;
    }
    int first = INT_MAX;
    if (proximity) {
        for (size_t i = 0; i < s_aircraft.count; i++)
            if (s_aircraft[i] && s_aircraft[i] == missile->target)
                first = (int)i;
    }
    long long cx = cell_of(missile->pos[0]);
    long long cy = cell_of(missile->pos[1]);
    long long cz = cell_of(missile->pos[2]);
    for (long long x = cx - 1; x <= cx + 1; x++)
        for (long long y = cy - 1; y <= cy + 1; y++)
            for (long long z = cz - 1; z <= cz + 1; z++)
                for (int e = s_buckets[bucket_of(x, y, z)]; e >= 0; e = s_cell_entries[e].next) {
                    int i = s_cell_entries[e].aircraft;
                    const GameObject *h = s_aircraft[i];
                    if (i < first && h && in_reach(missile, h))
                        first = i;
                }
    return first == INT_MAX ? nullptr : s_aircraft[first];
}

static void scatter_debris(const float *where) {
    for (int n = 0; n < DEBRIS_PIECES; n++) {
        GameObject *piece = object_create(nullptr, OBJ_DEBRIS, SIDE_NONE);
        if (!piece)
            continue;
        for (int i = 0; i < 3; i++)
            piece->pos[i] = where[i];
        float angles[3] = {0, 0, 0};
        angles[0] = (float)(random_unit() * 90 - 90 - 30);
        angles[1] = (float)(random_unit() * 360 - 180);
        float up[3];
        vec_from_angles(angles, up, nullptr);
        for (int i = 0; i < 3; i++)
            piece->vel[i] = up[i] * DEBRIS_SPEED;
        piece->acc[1] = DEBRIS_GRAVITY;
        piece->b = DEBRIS_BUDGET;
        while (piece->b > 0) {
            object_integrate(piece);
            GameObject *puff = spawn_effect(OBJ_DEBRIS_SMOKE, piece->pos, DEBRIS_SMOKE_LIFETIME);
            if (puff)
                puff->a = piece->b;
            piece->b -= DEBRIS_PUFF_COST;
        }
        delete piece;
    }
}

// Everything a hit does but removing the missile. The player is never removed.
static void hit(const GameObject *missile, GameObject *victim, GameObject *&walk_pred) {
    bool player = victim == &g_player;
    if (!player) {
        GameObject *pred = unlink(victim, nullptr);
        if (victim == walk_pred)
            walk_pred = pred;
        release_lock(victim);
    }
    float d = vec_distance(missile->pos, victim->pos);
    if (d > HIT_SOUND_FAR)
        d = HIT_SOUND_FAR;
    int channel = Mix_PlayChannelTimed(-1, g_snd_bomb, 0, -1);
    Mix_SetDistance(channel, (Uint8)(int)d);
    if (!player) {
        float t = 2 * vec_distance(g_player.pos, victim->pos);
        if (t > 50)
            t = 50;
        g_score += 10 * (int)(100 - t);
    }
    spawn_effect(OBJ_EXPLOSION, victim->pos, EXPLOSION_LIFETIME);
    scatter_debris(victim->pos);
    if (!player) {
        forget(victim);
        delete victim;
    }
}

static void face_flight(GameObject *obj) {
    vec_to_angles(obj->vel, obj->angles);
    obj->angles[1] *= 2; // the game has always turned models twice the heading
    obj->angles[2] = 0;  // it held the length
}

static void enemy_launch(GameObject *enemy) {
    // The player's x, not its z: the game has always compared it this way.
    if (!(enemy->fire_distance > 0 && enemy->spawn_z + enemy->fire_distance < g_player.pos[0] &&
          !enemy->has_fired))
        return;
    GameObject *missile = object_spawn(g_model_missile, OBJ_MISSILE, SIDE_ENEMY);
    if (!missile)
        return; // still armed: it tries again next frame
    Mix_PlayChannelTimed(-1, g_snd_missile, 0, -1);
    missile->pos[0] = enemy->pos[0] + RAIL_OFFSET * g_launch_side;
    missile->pos[1] = enemy->pos[1];
    missile->pos[2] = enemy->pos[2];
    g_launch_side = -g_launch_side;
    missile->acc[2] = ENEMY_MISSILE_THRUST;
    for (int i = 0; i < 3; i++)
        missile->angles[i] = enemy->angles[i];
    missile->target = &g_player;
    missile->b = vec_distance(g_player.pos, missile->pos) + TARGET_MARGIN;
    enemy->has_fired = 1;
}

void objects_update() {
    float now = (float)time_seconds();
    s_tables = gather_side_tables();

    GameObject *pred = nullptr; // see unlink
    GameObject *obj = g_object_list;
    while (obj) {
        GameObject *next;
        if (obj != &g_player && out_of_range(obj)) {
            next = obj->next;
            pred = remove_record(obj, pred, obj->kind == OBJ_ISLAND);
            obj = next;
            continue;
        }

        object_integrate(obj);
        if (obj == &g_player)
            ease_flame(obj);

        if (obj->kind == OBJ_MISSILE) {
            bool proximity = obj->target && home(obj);
            leave_trail(obj, now);
            GameObject *victim = find_hit(obj, proximity);
            if (victim) {
                hit(obj, victim, pred);
                next = obj->next;
                pred = remove_record(obj, pred);
                obj = next;
                continue;
            }
        }

        if (obj->lifetime > 0 && obj->birth + obj->lifetime < now) {
            next = obj->next;
            pred = remove_record(obj, pred);
            obj = next;
            continue;
        }

        bool enemy_aircraft = obj->kind == OBJ_AIRCRAFT && obj->side == SIDE_ENEMY;
        if (enemy_aircraft || obj->kind == OBJ_MISSILE)
            face_flight(obj);
        if (enemy_aircraft)
            enemy_launch(obj);

        pred = obj;
        obj = obj->next;
    }
}
