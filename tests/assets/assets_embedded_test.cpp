// The shipped archive, linked into this test as into the game, loads whole,
// and every asset global holds the member it is meant to: each is told apart
// from the others by loading that member again, straight from the archive.

#include "assets_gl_view.h"

#include "assets/archive.h"
#include "assets/ffres.h"
#include "assets/png.h"

#include <cstring>
#include <set>

namespace {

const struct {
    Model3ds **global;
    const char *member;
    const char *name;
} MODELS[] = {
    {&g_model_fighter, "fighter.3ds", "F15"},      {&g_model_mig25, "mig25.3ds", "MiG25"},
    {&g_model_f14, "f14tomcat.3ds", "F14tomcat"},  {&g_model_missile, "missile.3ds", "missile"},
    {&g_model_bullet, "bulletfire.3ds", "bullet"},
};

const struct {
    Mix_Chunk **global;
    const char *member;
} SOUNDS[] = {
    {&g_snd_shot, "shot.wav"},
    {&g_snd_engine[0], "ef20003m_4.wav"},
    {&g_snd_engine[1], "ef20003m_2.wav"},
    {&g_snd_engine[2], "ef20003m_3.wav"},
    {&g_snd_missile, "missile.wav"},
    {&g_snd_lockon, "lockon16.wav"},
    {&g_snd_bomb, "bomb1.wav"},
};

const struct {
    unsigned *global;
    const char *member;
    GLint wrap, filter, width, height;
} TEXTURES[] = {
    {&g_tex_jet, "jet.png", GL_CLAMP, GL_NEAREST, 64, 256},
    {&g_tex_jetfrom, "jetfrom.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_jetf2, "jetf2.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_sea, "umi.png", GL_REPEAT, GL_LINEAR, 256, 256},
    {&g_tex_sky, "sky.png", GL_CLAMP_TO_EDGE, GL_LINEAR, 1024, 256},
    {&g_tex_lock1, "lock1.png", GL_CLAMP, GL_NEAREST, 32, 32},
    {&g_tex_lock2, "lock2.png", GL_CLAMP, GL_NEAREST, 64, 64},
    {&g_tex_lock3, "lock3.png", GL_CLAMP, GL_NEAREST, 32, 32},
    {&g_tex_sight, "sight.png", GL_CLAMP, GL_NEAREST, 64, 64},
    {&g_tex_landmap, "landmap.png", GL_REPEAT, GL_NEAREST, 1, 64},
    {&g_tex_splash3, "splash3.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_splashwake1, "splashwake1.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_splashwake3, "splashwake3.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_smoke, "smokesprites0199.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_sun, "sun.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_smoke_inv, "smokesprites0199_inv.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_smoke_burn, "smokesprites0199_burn.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_abshock, "abshock.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_hud, "hud.png", GL_CLAMP, GL_NEAREST, 256, 256},
    {&g_tex_title, "title.png", GL_CLAMP, GL_NEAREST, 1024, 1024},
    {&g_tex_endofseq, "endofseq.png", GL_CLAMP, GL_NEAREST, 256, 256},
};

GLint tex_param(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint level_param(int level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

// Level 0 of the bound texture as RGBA bytes.
std::vector<unsigned char> texels() {
    std::vector<unsigned char> rgba(4 * level_param(0, GL_TEXTURE_WIDTH) *
                                    level_param(0, GL_TEXTURE_HEIGHT));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// The member uploaded afresh, its own alpha kept and no mipmaps.
std::vector<unsigned char> member_texels(unzFile zip, const char *member) {
    int size = 0;
    char *bytes = archive_read_member(zip, member, &size);
    unsigned tex = bytes ? pngBindMem(bytes, size, PNG_NOMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP,
                                      GL_NEAREST, GL_NEAREST)
                         : 0;
    std::free(bytes);
    std::vector<unsigned char> rgba = tex ? texels() : std::vector<unsigned char>();
    glDeleteTextures(1, &tex);
    return rgba;
}

// Mesh by mesh, the vertex and face counts.
std::vector<int> mesh_counts(const Model3ds *model) {
    std::vector<int> counts;
    for (int i = 0; i < model->mesh_count; i++)
        counts.insert(counts.end(), {model->meshes[i].vertex_count, model->meshes[i].face_count});
    return counts;
}

using AssetsEmbedded = GlWindow;

TEST_F(AssetsEmbedded, EveryGlobalHoldsItsMemberWithItsParameters) {
    assets_load_all();
    unzFile zip = unzOpen2("DATAZIP", ffres_filefunc());
    ASSERT_NE(zip, nullptr);

    // Each set keeps the members apart: two alike would hide a swap.
    std::set<std::vector<int>> models;
    for (const auto &row : MODELS) {
        SCOPED_TRACE(row.member);
        Model3ds *member = archive_load_model(zip, row.member);
        ASSERT_NE(member, nullptr);
        ASSERT_NE(*row.global, nullptr);
        EXPECT_STREQ((*row.global)->name, row.name);
        EXPECT_EQ(mesh_counts(*row.global), mesh_counts(member));
        EXPECT_TRUE(models.insert(mesh_counts(member)).second);
        model3ds_free(member);
    }

    std::set<std::string> sounds;
    for (const auto &row : SOUNDS) {
        SCOPED_TRACE(row.member);
        Mix_Chunk *member = archive_load_sound(zip, row.member);
        ASSERT_NE(member, nullptr);
        ASSERT_NE(*row.global, nullptr);
        std::string samples(reinterpret_cast<char *>(member->abuf), member->alen);
        const Mix_Chunk *chunk = *row.global;
        EXPECT_EQ(chunk->alen, member->alen);
        EXPECT_TRUE(std::string(reinterpret_cast<char *>(chunk->abuf), chunk->alen) == samples)
            << "the samples are another member's";
        EXPECT_TRUE(sounds.insert(samples).second);
        Mix_FreeChunk(member);
    }
    // The only Ogg Vorbis member.
    EXPECT_EQ(Mix_GetMusicType(g_music), MUS_OGG);

    std::set<std::vector<unsigned char>> pictures;
    for (const auto &row : TEXTURES) {
        SCOPED_TRACE(row.member);
        std::vector<unsigned char> member = member_texels(zip, row.member);
        ASSERT_NE(*row.global, 0u);
        glBindTexture(GL_TEXTURE_2D, *row.global);
        EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_S), row.wrap);
        EXPECT_EQ(tex_param(GL_TEXTURE_WRAP_T), row.wrap);
        EXPECT_EQ(tex_param(GL_TEXTURE_MIN_FILTER), row.filter);
        EXPECT_EQ(tex_param(GL_TEXTURE_MAG_FILTER), row.filter);
        EXPECT_EQ(level_param(0, GL_TEXTURE_WIDTH), row.width);
        EXPECT_EQ(level_param(0, GL_TEXTURE_HEIGHT), row.height);
        EXPECT_EQ(level_param(1, GL_TEXTURE_WIDTH), 0) << "no mipmaps";
        EXPECT_TRUE(texels() == member) << "the picture is another member's";
        EXPECT_TRUE(pictures.insert(member).second);
    }
    unzClose(zip);
}

TEST_F(AssetsEmbedded, AResizeLeavesEveryAssetAlone) {
    assets_load_all();
    expect_all_loaded();
    unsigned sea = g_tex_sea;
    Model3ds *f14 = g_model_f14;
    g_screen_w = 640;
    g_screen_h = 480;
    video_init();
    EXPECT_EQ(g_tex_sea, sea);
    EXPECT_TRUE(glIsTexture(sea));
    EXPECT_EQ(g_model_f14, f14);
}

} // namespace
