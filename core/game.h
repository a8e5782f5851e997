// Game states and the game-state globals that the simulation keeps and the
// renderer reads. Title, play and end follow from g_title_mode and g_stage_over.
#pragma once

constexpr int MAX_MISSILES = 50;

extern int g_title_mode;
extern int g_stage_over;
extern float g_stage_over_time;
extern int g_score;
extern int g_missile_count;
extern int g_engine_channel;
extern float g_cam_shake;

// Starts a new game; the records alive in the world stay.
void game_reset();
