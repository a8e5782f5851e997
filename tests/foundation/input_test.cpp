// Input state: the press edge that player control sees for exactly one frame,
// and the mouse motion sums in half-window units.

#include "core/input.h"
#include "core/startup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
std::vector<std::pair<int, int>> g_warps;
}

// Link-time stand-in: records where the pointer is sent.
extern "C" void SDL_WarpMouse(Uint16 x, Uint16 y) {
    g_warps.push_back({x, y});
}

namespace {

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(g_keys, 0, sizeof g_keys);
        std::memset(g_keys_edge, 0, sizeof g_keys_edge);
        std::memset(g_mouse_buttons, 0, sizeof g_mouse_buttons);
        std::memset(g_mouse_edge, 0, sizeof g_mouse_edge);
        g_mouse_dx = g_mouse_dy = 0;
        g_screen_w = 800;
        g_screen_h = 600;
        g_warps.clear();
    }
    static void key(Uint8 type, int sym) {
        SDL_Event e{};
        e.type = type;
        // Stored bytewise: a number outside SDL's list is no valid SDLKey.
        std::memcpy(&e.key.keysym.sym, &sym, sizeof sym);
        input_handle_event(&e);
    }
    static void button(Uint8 type, int b, int x = 400, int y = 300) {
        SDL_Event e{};
        e.type = type;
        e.button.button = Uint8(b);
        e.button.x = Uint16(x);
        e.button.y = Uint16(y);
        input_handle_event(&e);
    }
    static void motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = Uint16(x);
        e.motion.y = Uint16(y);
        input_handle_event(&e);
    }
    static void frame() {
        SDL_Event e{};
        e.type = SDL_USEREVENT;
        input_handle_event(&e);
    }
};

TEST_F(Input, KeyEdgesAcrossFrames) {
    // A press and release between two frames is seen once, then gone.
    key(SDL_KEYDOWN, SDLK_w);
    key(SDL_KEYUP, SDLK_w);
    EXPECT_EQ(g_keys_edge[SDLK_w], INPUT_PRESSED);
    frame();
    EXPECT_EQ(g_keys_edge[SDLK_w], INPUT_UP);

    // Held through frames; the release shows one frame late. The first and
    // the last entry of the table too.
    for (const int k : {(int)SDLK_s, 0, INPUT_KEYS - 1}) {
        std::vector<int> seen;
        key(SDL_KEYDOWN, k);
        seen.push_back(g_keys_edge[k]);
        frame();
        seen.push_back(g_keys_edge[k]);
        frame();
        seen.push_back(g_keys_edge[k]);
        key(SDL_KEYUP, k);
        seen.push_back(g_keys_edge[k]);
        frame();
        seen.push_back(g_keys_edge[k]);
        EXPECT_EQ(seen,
                  (std::vector<int>{INPUT_PRESSED, INPUT_HELD, INPUT_HELD, INPUT_HELD, INPUT_UP}))
            << "key " << k;
    }

    // A second key-down while held is a fresh press again.
    key(SDL_KEYDOWN, SDLK_SPACE);
    frame();
    EXPECT_EQ(g_keys_edge[SDLK_SPACE], INPUT_HELD);
    key(SDL_KEYDOWN, SDLK_SPACE);
    EXPECT_EQ(g_keys_edge[SDLK_SPACE], INPUT_PRESSED);
}

TEST_F(Input, ButtonsAndWheel) {
    // The left button, and the last of the table (SDL's second extra button).
    for (const int b : {SDL_BUTTON_LEFT, INPUT_BUTTONS - 1}) {
        button(SDL_MOUSEBUTTONDOWN, b);
        EXPECT_EQ(g_mouse_edge[b], INPUT_PRESSED);
        frame();
        EXPECT_EQ(g_mouse_edge[b], INPUT_HELD) << b;
        button(SDL_MOUSEBUTTONUP, b);
        EXPECT_EQ(g_mouse_edge[b], INPUT_HELD);
        frame();
        EXPECT_EQ(g_mouse_edge[b], INPUT_UP) << b;
    }

    // A wheel notch comes as down and up together, yet a down alone never holds.
    button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP);
    EXPECT_EQ(g_mouse_edge[SDL_BUTTON_WHEELUP], INPUT_PRESSED);
    frame();
    EXPECT_EQ(g_mouse_edge[SDL_BUTTON_WHEELUP], INPUT_UP);
    EXPECT_EQ(g_mouse_buttons[SDL_BUTTON_WHEELUP], 0);
}

TEST_F(Input, OutOfRangeSymbolsAndButtonsChangeNothing) {
    unsigned char keys[INPUT_KEYS], edges[INPUT_KEYS];
    key(SDL_KEYDOWN, INPUT_KEYS);
    key(SDL_KEYDOWN, 1000);
    key(SDL_KEYUP, 5000);
    std::memcpy(keys, g_keys, sizeof keys);
    std::memcpy(edges, g_keys_edge, sizeof edges);
    for (int k = 0; k < INPUT_KEYS; ++k) {
        EXPECT_EQ(keys[k], 0) << k;
        EXPECT_EQ(edges[k], INPUT_UP) << k;
    }
    // The last valid index works.
    key(SDL_KEYDOWN, INPUT_KEYS - 1);
    EXPECT_EQ(g_keys_edge[INPUT_KEYS - 1], INPUT_PRESSED);

    // A button number past the table changes no state but still steers.
    button(SDL_MOUSEBUTTONDOWN, 8, 600, 300);
    button(SDL_MOUSEBUTTONDOWN, 255, 600, 300);
    for (int b = 0; b < INPUT_BUTTONS; ++b) {
        EXPECT_EQ(g_mouse_buttons[b], 0);
        EXPECT_EQ(g_mouse_edge[b], INPUT_UP);
    }
    EXPECT_FLOAT_EQ(g_mouse_dx, 1.0f);
    EXPECT_EQ(g_warps.size(), 2u);
}

TEST_F(Input, MotionInHalfWindowUnits) {
    motion(600, 150);
    EXPECT_FLOAT_EQ(g_mouse_dx, 0.5f);
    EXPECT_FLOAT_EQ(g_mouse_dy, 0.5f);
    ASSERT_EQ(g_warps.size(), 1u);
    EXPECT_EQ(g_warps[0], std::make_pair(400, 300));

    // The re-centred pointer adds exactly nothing; sums keep adding up.
    motion(400, 300);
    motion(0, 600);
    EXPECT_FLOAT_EQ(g_mouse_dx, -0.5f);
    EXPECT_FLOAT_EQ(g_mouse_dy, -0.5f);

    // Frames do not clear the sums; only player control takes them.
    frame();
    EXPECT_FLOAT_EQ(g_mouse_dx, -0.5f);

    // Button events at an offset steer like motion.
    button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 500, 300);
    EXPECT_FLOAT_EQ(g_mouse_dx, -0.25f);
}

TEST_F(Input, MotionFollowsTheWindowSize) {
    g_screen_w = 1024;
    g_screen_h = 768;
    motion(768, 192);
    EXPECT_FLOAT_EQ(g_mouse_dx, 0.5f);
    EXPECT_FLOAT_EQ(g_mouse_dy, 0.5f);
    EXPECT_EQ(g_warps.back(), std::make_pair(512, 384));

    // Odd sizes: the units use the exact half, the warp the truncated one.
    g_mouse_dx = g_mouse_dy = 0;
    g_screen_w = 801;
    g_screen_h = 601;
    motion(400, 300);
    EXPECT_FLOAT_EQ(g_mouse_dx, float(-0.5 / 400.5));
    EXPECT_FLOAT_EQ(g_mouse_dy, float(0.5 / 300.5));
    EXPECT_EQ(g_warps.back(), std::make_pair(400, 300));
}

TEST_F(Input, NullAndUnknownEventsAreIgnored) {
    input_handle_event(nullptr);
    SDL_Event e{};
    e.type = SDL_ACTIVEEVENT;
    input_handle_event(&e);
    EXPECT_EQ(g_mouse_dx, 0);
    EXPECT_TRUE(g_warps.empty());
}

} // namespace
