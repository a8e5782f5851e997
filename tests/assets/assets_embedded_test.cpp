// The shipped archive, linked into this test as into the game, loads whole:
// every model, sound, the music, all textures and the stage list.

#include "assets_gl_view.h"

namespace {

using AssetsEmbedded = GlWindow;

TEST_F(AssetsEmbedded, EveryAssetGlobalIsSet) {
    assets_load_all();
    expect_all_loaded();
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, g_tex_title);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_GT(width, 0);

    // A resize runs the video set-up again and leaves the assets alone.
    unsigned sea = g_tex_sea;
    Model3ds *f14 = g_model_f14;
    g_screen_w = 640;
    g_screen_h = 480;
    video_init();
    EXPECT_EQ(g_tex_sea, sea);
    EXPECT_EQ(g_model_f14, f14);
}

} // namespace
