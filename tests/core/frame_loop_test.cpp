// One frame and the event loop that runs it, against the fake clock and event
// queue: the steps each game state runs, the stamp of the stage's end, the
// frame rate in the caption, and the order in which events reach the video
// set-up, the frame and input.
#include <gtest/gtest.h>

#include "assets/stage_script.h"
#include "core/frame.h"
#include "core/game.h"
#include "core/input.h"
#include "core/objects.h"
#include "core/stage.h"
#include "fakes.h"
#include "world.h"

namespace {

using Calls = std::vector<std::string>;

struct FrameLoop : ::testing::Test {
    StageEntry end_row{};
    void SetUp() override { start(0, 0); }
    void TearDown() override {
        g_stage_head = nullptr;
        world_clear();
    }
    // The player flying well past a script's end row, a frame event queued,
    // and the clock inside the second of the last caption.
    void start(int title, int over) {
        world_clear();
        g_title_mode = title;
        g_stage_over = over;
        g_stage_over_time = over ? 3.0f : 0.0f;
        g_player.pos[2] = -100;
        g_player.vel[2] = -6.3f;
        end_row.fire_distance = -1;
        g_stage_head = g_stage_cursor = &end_row;
        g_frame_pending = 1;
        g_frame_count = 0;
        g_last_second = 12;
        fake::set_time(12.25);
    }
};

SDL_Event event(Uint8 type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

SDL_Event key(SDLKey sym) {
    SDL_Event e = event(SDL_KEYDOWN);
    e.key.keysym.sym = sym;
    return e;
}

TEST_F(FrameLoop, EachStateRunsItsSteps) {
    const struct {
        const char *state;
        int title, over;
        bool space, moves;
        float over_time; // 0: the stage goes on
    } cases[] = {
        {"title", 1, 0, false, false, 0},
        // Player control leaves the title, and the rest of the frame is play.
        {"Space on the title", 1, 0, true, true, 12.25f},
        {"play, reaching the end row", 0, 0, false, true, 12.25f},
        {"end, 9 s after it", 0, 1, false, true, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        start(c.title, c.over);
        g_keys_edge[SDLK_SPACE] = c.space ? INPUT_PRESSED : INPUT_UP;
        EXPECT_EQ(frame_tick(), 0);
        EXPECT_EQ(g_player.pos[2] != -100, c.moves);
        EXPECT_EQ(g_stage_over, c.over_time != 0);
        EXPECT_EQ(g_stage_over_time, c.over_time);
        EXPECT_EQ(fake::calls, Calls{"render"});
        EXPECT_EQ(g_frame_pending, 0);
    }
}

TEST_F(FrameLoop, EscapeEndsTheLoopBeforeTheFrameDoesAnything) {
    fake::set_time(13.0); // a new second, still no caption
    fake::events = {key(SDLK_ESCAPE), event(SDL_USEREVENT), key(SDLK_a)};
    EXPECT_EQ(events_pump(), 1);
    EXPECT_EQ(fake::calls, Calls{"input key"});
    EXPECT_EQ(fake::events.size(), 1u);
    EXPECT_EQ(g_player.pos[2], -100);
    EXPECT_EQ(g_frame_pending, 1) << "the program is ending";
}

TEST_F(FrameLoop, CaptionCountsTheFramesOfTheLastWholeSecond) {
    g_title_mode = 1;
    g_last_second = 0;
    // 50 frames a second for three seconds, a stall, then one frame.
    std::vector<Uint32> ticks;
    for (Uint32 ms = 20; ms <= 3000; ms += 20)
        ticks.push_back(ms);
    ticks.push_back(7500);
    Calls captions;
    for (Uint32 ms : ticks) {
        fake::ticks = ms;
        fake::calls.clear();
        frame_tick();
        if (fake::calls.size() > 1)
            captions.push_back(std::to_string(ms) + ": " + fake::calls.back());
    }
    EXPECT_EQ(captions, (Calls{"1000: caption 50 fps", "2000: caption 50 fps",
                               "3000: caption 50 fps", "7500: caption 1 fps"}));
}

TEST_F(FrameLoop, EveryEventReachesInputAfterItsOwnStep) {
    g_title_mode = 1;
    fake::set_time(14.0);
    SDL_Event resize = event(SDL_VIDEORESIZE);
    resize.resize.w = 640;
    resize.resize.h = 480;
    fake::events = {resize, key(SDLK_a), event(SDL_USEREVENT), key(SDLK_b)};
    EXPECT_EQ(events_pump(), 0);
    EXPECT_EQ(fake::calls, (Calls{"video_init 640x480", "input resize", "input key", "render",
                                  "caption 1 fps", "input frame", "input key"}));
    EXPECT_TRUE(fake::events.empty());
    EXPECT_EQ(g_keys_edge[SDLK_a], INPUT_HELD);
    EXPECT_EQ(g_keys_edge[SDLK_b], INPUT_PRESSED) << "counts for the next frame";
}

TEST_F(FrameLoop, ClosingTheWindowEndsTheProcess) {
    fake::events = {event(SDL_QUIT), event(SDL_USEREVENT)};
    EXPECT_EXIT(events_pump(), ::testing::ExitedWithCode(0), "");
}

} // namespace
