// Every asset of the game, loaded once at start-up and kept for the whole run.
#pragma once

#include <SDL/SDL_mixer.h>

struct Model3ds;

extern Model3ds *g_model_fighter;
extern Model3ds *g_model_mig25;
extern Model3ds *g_model_f14;
extern Model3ds *g_model_missile;
extern Model3ds *g_model_bullet;

extern Mix_Chunk *g_snd_shot;
extern Mix_Chunk *g_snd_engine[3]; // by throttle state
extern Mix_Chunk *g_snd_missile;
extern Mix_Chunk *g_snd_lockon;
extern Mix_Chunk *g_snd_bomb;
extern Mix_Music *g_music;

extern unsigned g_tex_jet;
extern unsigned g_tex_jetfrom;
extern unsigned g_tex_jetf2;
extern unsigned g_tex_sea;
extern unsigned g_tex_sky;
extern unsigned g_tex_lock1;
extern unsigned g_tex_lock2;
extern unsigned g_tex_lock3;
extern unsigned g_tex_sight;
extern unsigned g_tex_landmap;
extern unsigned g_tex_splash3;
extern unsigned g_tex_splashwake1;
extern unsigned g_tex_splashwake3;
extern unsigned g_tex_smoke;
extern unsigned g_tex_sun;
extern unsigned g_tex_smoke_inv;
extern unsigned g_tex_smoke_burn;
extern unsigned g_tex_abshock;
extern unsigned g_tex_hud;
extern unsigned g_tex_title;
extern unsigned g_tex_endofseq;

void assets_load_all();
