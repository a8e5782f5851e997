// Shared ground for the renderer's tests: an 800 by 600 OpenGL window in the
// state video_init leaves, small textures whose colours say which one was
// drawn and which way round, a clean world, and stand-ins for the mixer, the
// clock and the buffer swap.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

struct GameObject;

// Every mixer call the renderer made, as "Mix_Volume(-1,102)" and the like.
extern std::vector<std::string> g_mix_calls;
// Buffer swaps seen; the stand-in keeps the back buffer readable.
extern int g_swaps;
// What SDL_GetTicks answers: the game clock stands where a test puts it.
extern unsigned g_ticks;

using Rgba = std::array<int, 4>;

// Opens the window once per process and runs video_init.
void gl_open();
// A texture of w by h pixels, top row first, nearest filtering, clamped.
unsigned texture_make(int w, int h, const std::vector<unsigned char> &rgba);
unsigned texture_solid(int r, int g, int b, int a = 255);
// Four colours, one a corner: top left, top right, bottom left, bottom right.
unsigned texture_corners(const std::array<Rgba, 4> &c);
// 256 by 256 texels that name themselves: red the column, green the row, blue
// the mark that tells this picture from others; the top clear_rows see-through.
unsigned texture_naming(int blue, int clear_rows = 0);

// Puts a texture in one of the game's slots for a scope, then deletes it and
// puts the slot's own texture back.
class SlotTexture {
  public:
    SlotTexture(unsigned *slot, unsigned texture);
    ~SlotTexture();
    SlotTexture(const SlotTexture &) = delete;
    SlotTexture &operator=(const SlotTexture &) = delete;

  private:
    unsigned *slot_;
    unsigned saved_;
};
// Gives every texture global a solid texture of its own colour.
void textures_solid();
// The world as before the first game: only the player, all zero, title off,
// an empty lock table, no shake, no mixer calls.
void world_clear();
// Links the records in front of the player, the first one the head.
void world_link(std::vector<GameObject *> records);
// The back buffer's pixel at window coordinates (origin bottom left).
Rgba pixel(int x, int y);
// The pixel at a point in normalized device coordinates.
Rgba pixel_ndc(double x, double y);
// Red, green and blue each within tol of the wanted colour (blending rounds).
::testing::AssertionResult rgb_near(Rgba got, Rgba want, int tol = 2);
// The depth buffer at window coordinates: 0 at the near plane, 1 cleared.
float depth_at(int x, int y);
// The first n random units (rand's low 15 bits / 32767) after srand(seed);
// then seeds again, so the code under test draws those same values.
std::vector<double> rand_sequence(unsigned seed, int n);
double next_random();

// The drawing state that every step of a frame must leave as it found it.
struct GlState {
    std::vector<unsigned char> enables;
    int blend_src = 0, blend_dst = 0;
    unsigned char depth_mask = 0;
    float color[4] = {};
    int texture = 0;
    int modelview_depth = 0, projection_depth = 0, attrib_depth = 0;
    double modelview[16] = {}, projection[16] = {};
    bool operator==(const GlState &o) const;
};
GlState gl_state();
void PrintTo(const GlState &s, std::ostream *os);

class GlTest : public ::testing::Test {
  protected:
    void SetUp() override;
};
