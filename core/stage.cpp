// The stage spawner: walks the stage script from a cursor and releases every
// row whose trigger distance the player has passed, strictly in script order.
// A row with a negative fire distance is the end row; the cursor stays on it.
#include "core/stage.h"

#include "assets/assets.h"
#include "assets/stage_script.h"
#include "core/objects.h"
#include "core/vecmath.h"

StageEntry *g_stage_cursor;

// Row kind 0 is an incoming missile; any kind without a model of its own flies
// as an aircraft with the missile model.
static Model3ds *row_model(int kind) {
    switch (kind) {
    case 1:
        return g_model_f14;
    case 2:
        return g_model_fighter;
    case 3:
        return g_model_mig25;
    default:
        return g_model_missile;
    }
}

static void release_row(const StageEntry *row) {
    GameObject *obj = object_spawn(row_model(row->kind), OBJ_AIRCRAFT, SIDE_ENEMY);
    if (!obj)
        return;
    for (int i = 0; i < 3; i++) {
        obj->pos[i] = g_player.pos[i] + row->offset[i];
        obj->vel[i] = row->vel[i];
        obj->acc[i] = row->acc[i];
    }
    obj->spawn_z = g_player.pos[2];
    obj->fire_distance = row->fire_distance;
    if (row->kind == 0) {
        obj->kind = OBJ_MISSILE;
        obj->target = &g_player;
        // The margin keeps the first proximity test from firing.
        obj->b = vec_distance(g_player.pos, obj->pos) + 5.0f;
    }
}

int stage_spawn_due() {
    while (g_stage_cursor) {
        StageEntry *row = g_stage_cursor;
        float distance = -g_player.pos[2];
        if (!(distance > row->trigger))
            return 0;
        if (row->fire_distance < 0)
            return 1;
        release_row(row);
        g_stage_cursor = row->next;
    }
    return 0;
}
