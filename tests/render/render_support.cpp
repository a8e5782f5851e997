// The window, textures, world reset and the mixer, clock and swap stand-ins
// that the renderer's tests share.
#include "render_support.h"

#include "assets/assets.h"
#include "core/game.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/startup.h"
#include "render/render.h"
#include "support/game_window.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <cstdlib>
#include <cstring>
#include <ostream>

std::vector<std::string> g_mix_calls;
int g_swaps;
unsigned g_ticks;

// Link-time stand-ins: the test program's own definitions win over the
// shared libraries', so the renderer's sound, clock and swap calls land here.
extern "C" {
Uint32 SDL_GetTicks(void) {
    return g_ticks;
}
int Mix_PlayChannelTimed(int channel, Mix_Chunk *chunk, int loops, int ticks) {
    g_mix_calls.push_back("Mix_PlayChannelTimed(" + std::to_string(channel) + "," +
                          (chunk == g_snd_lockon ? "lockon" : "other") + "," +
                          std::to_string(loops) + "," + std::to_string(ticks) + ")");
    return 0;
}
int Mix_Volume(int channel, int volume) {
    g_mix_calls.push_back("Mix_Volume(" + std::to_string(channel) + "," + std::to_string(volume) +
                          ")");
    return 0;
}
int Mix_VolumeMusic(int volume) {
    g_mix_calls.push_back("Mix_VolumeMusic(" + std::to_string(volume) + ")");
    return 0;
}
int Mix_SetDistance(int channel, Uint8 distance) {
    g_mix_calls.push_back("Mix_SetDistance(" + std::to_string(channel) + "," +
                          std::to_string(distance) + ")");
    return 1;
}
void SDL_GL_SwapBuffers(void) {
    g_swaps++;
    glFinish();
}
}

void gl_open() {
    static bool open = false;
    if (open)
        return;
    open = true;
    ASSERT_TRUE(game_window_open()) << SDL_GetError();
}

unsigned texture_make(int w, int h, const std::vector<unsigned char> &rgba) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

unsigned texture_solid(int r, int g, int b, int a) {
    return texture_make(1, 1,
                        {(unsigned char)r, (unsigned char)g, (unsigned char)b, (unsigned char)a});
}

unsigned texture_corners(const std::array<Rgba, 4> &c) {
    std::vector<unsigned char> rgba;
    for (const Rgba &p : c)
        rgba.insert(rgba.end(), p.begin(), p.end());
    return texture_make(2, 2, rgba);
}

unsigned texture_naming(int blue, int clear_rows) {
    std::vector<unsigned char> rgba(256 * 256 * 4);
    for (int y = 0; y < 256; y++) {
        for (int x = 0; x < 256; x++) {
            unsigned char *p = &rgba[4 * (y * 256 + x)];
            p[0] = x;
            p[1] = y;
            p[2] = blue;
            p[3] = y < clear_rows ? 0 : 255;
        }
    }
    return texture_make(256, 256, rgba);
}

SlotTexture::SlotTexture(unsigned *slot, unsigned texture) : slot_(slot), saved_(*slot) {
    *slot = texture;
}

SlotTexture::~SlotTexture() {
    glDeleteTextures(1, slot_);
    *slot_ = saved_;
}

void textures_solid() {
    unsigned *all[] = {&g_tex_jet,       &g_tex_jetfrom,    &g_tex_jetf2,   &g_tex_sea,
                       &g_tex_sky,       &g_tex_lock1,      &g_tex_lock2,   &g_tex_lock3,
                       &g_tex_sight,     &g_tex_landmap,    &g_tex_smoke,   &g_tex_sun,
                       &g_tex_smoke_inv, &g_tex_smoke_burn, &g_tex_abshock, &g_tex_hud,
                       &g_tex_title,     &g_tex_endofseq};
    int n = 1;
    for (unsigned *t : all) {
        // Distinct colours, none of them grey, so fog and textures tell apart.
        *t = texture_solid((n * 37) % 200 + 40, (n * 91) % 180, (n * 53) % 160 + 90);
        n++;
    }
}

void world_clear() {
    std::memset(&g_player, 0, sizeof g_player);
    g_object_list = &g_player;
    for (auto &slot : g_locks)
        slot = nullptr;
    g_title_mode = 0;
    g_stage_over = 0;
    g_stage_over_time = 0;
    g_score = 0;
    g_missile_count = 0;
    g_engine_channel = 0;
    g_cam_shake = 0;
    g_cam_prev_eye[0] = g_cam_prev_eye[1] = g_cam_prev_eye[2] = 0;
    g_mix_calls.clear();
    g_swaps = 0;
    g_ticks = 0;
}

void world_link(std::vector<GameObject *> records) {
    GameObject *next = &g_player;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        (*it)->next = next;
        next = *it;
    }
    g_object_list = next;
}

Rgba pixel(int x, int y) {
    unsigned char p[4];
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

Rgba pixel_ndc(double x, double y) {
    return pixel((int)((x + 1) / 2 * g_screen_w), (int)((y + 1) / 2 * g_screen_h));
}

::testing::AssertionResult rgb_near(Rgba got, Rgba want, int tol) {
    for (int i = 0; i < 3; i++) {
        if (std::abs(got[i] - want[i]) > tol)
            return ::testing::AssertionFailure()
                   << "got " << got[0] << ',' << got[1] << ',' << got[2] << ", want " << want[0]
                   << ',' << want[1] << ',' << want[2];
    }
    return ::testing::AssertionSuccess();
}

float depth_at(int x, int y) {
    float d;
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
    return d;
}

std::vector<double> rand_sequence(unsigned seed, int n) {
    std::srand(seed);
    std::vector<double> v;
    for (int i = 0; i < n; i++)
        v.push_back((std::rand() & 0x7fff) / 32767.0);
    std::srand(seed);
    return v;
}

double next_random() {
    return (std::rand() & 0x7fff) / 32767.0;
}

static const GLenum ENABLES[] = {
    GL_LIGHTING,      GL_LIGHT0,     GL_TEXTURE_2D,     GL_BLEND,
    GL_DEPTH_TEST,    GL_FOG,        GL_CULL_FACE,      GL_TEXTURE_GEN_S,
    GL_TEXTURE_GEN_T, GL_ALPHA_TEST, GL_COLOR_MATERIAL, GL_NORMALIZE,
};

GlState gl_state() {
    GlState s;
    for (GLenum e : ENABLES)
        s.enables.push_back(glIsEnabled(e));
    glGetIntegerv(GL_BLEND_SRC, &s.blend_src);
    glGetIntegerv(GL_BLEND_DST, &s.blend_dst);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depth_mask);
    glGetFloatv(GL_CURRENT_COLOR, s.color);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelview_depth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projection_depth);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &s.attrib_depth);
    glGetDoublev(GL_MODELVIEW_MATRIX, s.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, s.projection);
    return s;
}

bool GlState::operator==(const GlState &o) const {
    return enables == o.enables && blend_src == o.blend_src && blend_dst == o.blend_dst &&
           depth_mask == o.depth_mask && std::memcmp(color, o.color, sizeof color) == 0 &&
           texture == o.texture && modelview_depth == o.modelview_depth &&
           projection_depth == o.projection_depth && attrib_depth == o.attrib_depth &&
           std::memcmp(modelview, o.modelview, sizeof modelview) == 0 &&
           std::memcmp(projection, o.projection, sizeof projection) == 0;
}

void PrintTo(const GlState &s, std::ostream *os) {
    *os << "enables";
    for (auto e : s.enables)
        *os << ' ' << int(e);
    *os << " blend " << s.blend_src << '/' << s.blend_dst << " depthmask " << int(s.depth_mask)
        << " colour " << s.color[0] << ',' << s.color[1] << ',' << s.color[2] << ',' << s.color[3]
        << " texture " << s.texture << " stacks " << s.modelview_depth << '/' << s.projection_depth
        << '/' << s.attrib_depth << " mv[12..14] " << s.modelview[12] << ',' << s.modelview[13]
        << ',' << s.modelview[14];
}

void GlTest::SetUp() {
    gl_open();
    if (HasFatalFailure())
        return;
    static bool textures = false;
    if (!textures) {
        textures = true;
        textures_solid();
    }
    world_clear();
    // A frame leaves fog on; a test that draws no frame wants the pictures' own colours.
    glDisable(GL_FOG);
    glLoadIdentity();
}
