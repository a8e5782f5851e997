// The stage script: one row per enemy in the order they come, and an end row.
#pragma once

struct StageEntry {
    float trigger;       // distance flown (-z) at which the row falls due
    float offset[3];     // from the player's position when spawned
    float vel[3];        // world axes, units per frame
    float acc[3];        // units per frame per frame
    int kind;            // 0 incoming missile, 1 F-14, 2 fighter, 3 MiG-25
    float fire_distance; // 0 never fires, above 0 fires once, -1 ends the stage
    StageEntry *next;
};

extern StageEntry *g_stage_head;

// Parses the script text (changed in place) into g_stage_head.
void stage_script_parse(char *text);
