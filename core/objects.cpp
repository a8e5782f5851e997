// The world's records and their list. The player is a static record that sits
// at the tail from the start, so the list is never empty and the player is
// always the last record a pass visits. Only objects_update unlinks records.
#include "core/objects.h"

#include <new>

#include "core/frame.h"

GameObject g_player;
GameObject *g_object_list = &g_player;

GameObject *object_create(Model3ds *model, int kind, int side) {
    // Value-initialised: every field the caller does not set starts at zero.
    GameObject *obj = new (std::nothrow) GameObject();
    if (!obj)
        return nullptr;
    obj->model = model;
    obj->kind = kind;
    obj->side = side;
    obj->birth = (float)time_seconds();
    return obj;
}

GameObject *object_spawn(Model3ds *model, int kind, int side) {
    GameObject *obj = object_create(model, kind, side);
    if (!obj)
        return nullptr;
    obj->next = g_object_list;
    g_object_list = obj;
    return obj;
}

void object_integrate(GameObject *obj) {
    // Position first: the acceleration shows in the position one frame later.
    for (int i = 0; i < 3; i++)
        obj->pos[i] += obj->vel[i];
    for (int i = 0; i < 3; i++)
        obj->vel[i] += obj->acc[i];
}
