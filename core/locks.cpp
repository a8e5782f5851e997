// The lock-on table. It owns nothing: its slots point into g_object_list, and
// the simulation empties a slot before it frees the record the slot holds.
#include "core/locks.h"

GameObject *g_locks[LOCK_SLOTS];
