// What the gl tests share: a window with an OpenGL context and an open mixer,
// and a look at every asset global at once.
#pragma once

#include "assets/assets.h"
#include "assets/model3ds.h"
#include "assets/stage_script.h"
#include "support/game_window.h"
#include "core/startup.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

inline std::vector<unsigned *> all_textures() {
    return {&g_tex_jet,       &g_tex_jetfrom,     &g_tex_jetf2,       &g_tex_sea,   &g_tex_sky,
            &g_tex_lock1,     &g_tex_lock2,       &g_tex_lock3,       &g_tex_sight, &g_tex_landmap,
            &g_tex_splash3,   &g_tex_splashwake1, &g_tex_splashwake3, &g_tex_smoke, &g_tex_sun,
            &g_tex_smoke_inv, &g_tex_smoke_burn,  &g_tex_abshock,     &g_tex_hud,   &g_tex_title,
            &g_tex_endofseq};
}

// One window for the whole program, opened before the first test.
class GlWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { s_ready = game_window_open(); }
    static void TearDownTestSuite() {
        if (!s_ready)
            return;
        Mix_CloseAudio();
        SDL_Quit();
        s_ready = false;
    }
    void SetUp() override {
        ASSERT_TRUE(s_ready) << SDL_GetError();
        for (unsigned *tex : all_textures())
            *tex = 0;
        g_stage_head = nullptr;
    }
    static inline bool s_ready = false;
};

inline void expect_all_loaded() {
    struct {
        Model3ds *model;
        const char *name;
    } models[] = {{g_model_fighter, "F15"},
                  {g_model_mig25, "MiG25"},
                  {g_model_f14, "F14tomcat"},
                  {g_model_missile, "missile"},
                  {g_model_bullet, "bullet"}};
    for (auto &m : models) {
        ASSERT_NE(m.model, nullptr) << m.name;
        EXPECT_STREQ(m.model->name, m.name);
        EXPECT_GT(m.model->mesh_count, 0) << m.name;
    }
    for (Mix_Chunk *chunk : {g_snd_shot, g_snd_engine[0], g_snd_engine[1], g_snd_engine[2],
                             g_snd_missile, g_snd_lockon, g_snd_bomb}) {
        ASSERT_NE(chunk, nullptr);
        EXPECT_GT(chunk->alen, 0u);
    }
    EXPECT_NE(g_music, nullptr);
    for (unsigned *tex : all_textures()) {
        EXPECT_NE(*tex, 0u);
        EXPECT_TRUE(glIsTexture(*tex));
    }
    int rows = 0;
    const StageEntry *last = nullptr;
    for (const StageEntry *e = g_stage_head; e; e = e->next, rows++)
        last = e;
    EXPECT_GT(rows, 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->fire_distance, -1.0f) << "the list ends with the end row";
}
