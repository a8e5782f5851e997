// The lock-on table: the renderer fills it, player control fires at it, the
// simulation empties slots of what it removes, a new game clears it.
#pragma once

struct GameObject;

constexpr int LOCK_SLOTS = 32;

extern GameObject *g_locks[LOCK_SLOTS];
