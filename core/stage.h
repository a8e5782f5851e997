// The stage spawner: releases the stage script's rows as the distance grows.
#pragma once

struct StageEntry;

extern StageEntry *g_stage_cursor;

// 1 when the cursor reached the end row.
int stage_spawn_due();
