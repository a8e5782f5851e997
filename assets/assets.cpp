// The asset table: every model, sound, the music, the textures and the stage
// list, loaded once at start-up in one pass over the embedded archive and kept
// in globals for the whole run. Anything the game cannot play without is fatal.

#include "assets/assets.h"

#include "assets/archive.h"
#include "assets/ffres.h"
#include "assets/model3ds.h"
#include "assets/png.h"
#include "assets/stage_script.h"
#include "core/startup.h"

#include <GL/gl.h>

#include <cstdlib>

Model3ds *g_model_fighter = nullptr;
Model3ds *g_model_mig25 = nullptr;
Model3ds *g_model_f14 = nullptr;
Model3ds *g_model_missile = nullptr;
Model3ds *g_model_bullet = nullptr;

Mix_Chunk *g_snd_shot = nullptr;
Mix_Chunk *g_snd_engine[3] = {nullptr, nullptr, nullptr};
Mix_Chunk *g_snd_missile = nullptr;
Mix_Chunk *g_snd_lockon = nullptr;
Mix_Chunk *g_snd_bomb = nullptr;
Mix_Music *g_music = nullptr;

unsigned g_tex_jet = 0;
unsigned g_tex_jetfrom = 0;
unsigned g_tex_jetf2 = 0;
unsigned g_tex_sea = 0;
unsigned g_tex_sky = 0;
unsigned g_tex_lock1 = 0;
unsigned g_tex_lock2 = 0;
unsigned g_tex_lock3 = 0;
unsigned g_tex_sight = 0;
unsigned g_tex_landmap = 0;
unsigned g_tex_splash3 = 0;
unsigned g_tex_splashwake1 = 0;
unsigned g_tex_splashwake3 = 0;
unsigned g_tex_smoke = 0;
unsigned g_tex_sun = 0;
unsigned g_tex_smoke_inv = 0;
unsigned g_tex_smoke_burn = 0;
unsigned g_tex_abshock = 0;
unsigned g_tex_hud = 0;
unsigned g_tex_title = 0;
unsigned g_tex_endofseq = 0;

static const char MISSING_ARCHIVE[] =
    "Corrupted EXE file, re-download please!\n\nInternal error: resource not found.";
static const char MISSING_MEMBER[] =
    "Corrupted EXE file, re-download please!\n\nInternal error: file not found.";

struct ModelRow {
    Model3ds **global;
    const char *member;
    const char *display_name;
};

static const ModelRow MODELS[] = {
    {&g_model_fighter, "fighter.3ds", "F15"},      {&g_model_mig25, "mig25.3ds", "MiG25"},
    {&g_model_f14, "f14tomcat.3ds", "F14tomcat"},  {&g_model_missile, "missile.3ds", "missile"},
    {&g_model_bullet, "bulletfire.3ds", "bullet"},
};

struct SoundRow {
    Mix_Chunk **global;
    const char *member;
};

static const SoundRow SOUNDS[] = {
    {&g_snd_shot, "shot.wav"},
    {&g_snd_engine[0], "ef20003m_4.wav"},
    {&g_snd_engine[1], "ef20003m_2.wav"},
    {&g_snd_engine[2], "ef20003m_3.wav"},
    {&g_snd_missile, "missile.wav"},
    {&g_snd_lockon, "lockon16.wav"},
    {&g_snd_bomb, "bomb1.wav"},
};

struct TextureRow {
    unsigned *global;
    const char *member;
    int wrap;
    int filter;
};

static const TextureRow TEXTURES[] = {
    {&g_tex_jet, "jet.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_jetfrom, "jetfrom.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_jetf2, "jetf2.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_sea, "umi.png", GL_REPEAT, GL_LINEAR},
    {&g_tex_sky, "sky.png", GL_CLAMP_TO_EDGE, GL_LINEAR},
    {&g_tex_lock1, "lock1.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_lock2, "lock2.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_lock3, "lock3.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_sight, "sight.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_landmap, "landmap.png", GL_REPEAT, GL_NEAREST},
    {&g_tex_splash3, "splash3.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_splashwake1, "splashwake1.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_splashwake3, "splashwake3.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_smoke, "smokesprites0199.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_sun, "sun.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_smoke_inv, "smokesprites0199_inv.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_smoke_burn, "smokesprites0199_burn.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_abshock, "abshock.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_hud, "hud.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_title, "title.png", GL_CLAMP, GL_NEAREST},
    {&g_tex_endofseq, "endofseq.png", GL_CLAMP, GL_NEAREST},
};

void assets_load_all() {
    unzFile zip = unzOpen2("DATAZIP", ffres_filefunc());
    if (!zip)
        fatal_error(MISSING_ARCHIVE);

    // The game draws and spawns every model, so one it cannot load is as
    // fatal as a missing texture.
    for (const ModelRow &row : MODELS) {
        Model3ds *model = archive_load_model(zip, row.member);
        if (!model)
            fatal_error(MISSING_MEMBER);
        model->name = row.display_name;
        *row.global = model;
    }
    for (const SoundRow &row : SOUNDS)
        *row.global = archive_load_sound(zip, row.member);
    g_music = archive_load_music(zip, "final_base.ogg");
    for (const TextureRow &row : TEXTURES)
        *row.global = archive_load_texture(zip, row.member, PNG_NOMIPMAPS, PNG_ALPHA, nullptr,
                                           row.wrap, row.filter, row.filter);

    char *stage = archive_read_member(zip, "stage1.txt", nullptr);
    if (!stage)
        fatal_error(MISSING_MEMBER);
    stage_script_parse(stage);
    std::free(stage);

    unzClose(zip);
}
