// World objects: one record for every live thing in the world, kept in one
// singly linked list, newest first, whose fixed tail is the static player.
#pragma once

struct Model3ds;

enum {
    OBJ_AIRCRAFT = 0,
    OBJ_MISSILE = 1,
    OBJ_BULLET = 2,
    OBJ_ISLAND = 3,
    // 4 is not a kind.
    OBJ_TRAIL_SMOKE = 5,
    OBJ_EXPLOSION = 6,
    OBJ_DEBRIS = 7,
    OBJ_DEBRIS_SMOKE = 8,
    OBJ_SHOCK = 9,
};

enum {
    SIDE_NONE = 0,
    SIDE_PLAYER = 1,
    SIDE_ENEMY = 2,
};

struct GameObject {
    float pos[3];        // units; y is up, the player flies towards -z
    float vel[3];        // units per frame
    float acc[3];        // units per frame per frame
    float angles[3];     // pitch, yaw, roll in degrees
    Model3ds *model;     // shared, never owned; null for islands and sprites
    int kind;            // OBJ_*
    int side;            // SIDE_*
    GameObject *target;  // missiles: what they home on; null flies unguided
    int land_slot;       // islands: heightmap 0 to 3
    float birth;         // game clock at creation, seconds
    float a;             // by kind: player flame level, missile last puff time, puff size
    float b;             // by kind: player flame goal, missile last distance, debris budget
    int missile_assigned; // a player missile has taken this lock
    float fire_distance; // enemy aircraft: arms its one launch when above 0
    float spawn_z;       // enemy aircraft: the player's z when it was spawned
    int has_fired;       // enemy aircraft: its missile is gone
    float lifetime;      // seconds from birth; 0 or below lives for ever
    GameObject *next;    // next older record
};

extern GameObject g_player;
extern GameObject *g_object_list;

// A zeroed record with model, kind, side and birth set; not linked. Null when
// memory runs out.
GameObject *object_create(Model3ds *model, int kind, int side);
// object_create, then pushed at the head of g_object_list.
GameObject *object_spawn(Model3ds *model, int kind, int side);
// One explicit Euler step: pos += vel, then vel += acc.
void object_integrate(GameObject *obj);

// One frame of the world: culling, motion, homing, hits, effects, launches.
void objects_update();
