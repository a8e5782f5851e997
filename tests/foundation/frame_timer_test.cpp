// The frame flag protocol between SDL's timer thread and the main thread: at
// most one frame event is ever queued, and none is ever lost, whatever the
// push does and however the two threads interleave.

#include "core/frame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {
std::atomic<int> g_queued{0};
std::atomic<int> g_pushes{0};
std::atomic<int> g_max_queued{0};
bool g_push_fails = false;
std::function<void()> g_during_push;
} // namespace

// Link-time stand-in for SDL's queue: counts the frame events in it.
extern "C" int SDL_PushEvent(SDL_Event *event) {
    EXPECT_EQ(event->type, SDL_USEREVENT);
    EXPECT_EQ(event->user.code, 0);
    EXPECT_EQ(event->user.data1, nullptr);
    g_pushes++;
    if (g_push_fails)
        return -1;
    int now = ++g_queued;
    int seen = g_max_queued;
    while (now > seen && !g_max_queued.compare_exchange_weak(seen, now)) {
    }
    if (g_during_push)
        g_during_push();
    return 0;
}

namespace {

class FrameTimer : public ::testing::Test {
  protected:
    void SetUp() override {
        g_frame_pending = 0;
        g_queued = 0;
        g_pushes = 0;
        g_max_queued = 0;
        g_push_fails = false;
        g_during_push = nullptr;
    }
    // What the main thread does with one frame event: run it, clear the flag.
    static void run_frame() {
        g_queued--;
        __atomic_store_n(&g_frame_pending, 0, __ATOMIC_SEQ_CST);
    }
};

TEST_F(FrameTimer, OneEventAtATimeAndTicksDropWhilePending) {
    EXPECT_EQ(frame_timer_callback(20, nullptr), 20u);
    EXPECT_EQ(g_frame_pending, 1);
    EXPECT_EQ(frame_timer_callback(20, nullptr), 20u);
    EXPECT_EQ(frame_timer_callback(20, nullptr), 20u);
    EXPECT_EQ(g_pushes, 1);
    EXPECT_EQ(g_queued, 1);
    run_frame();
    frame_timer_callback(20, nullptr);
    EXPECT_EQ(g_pushes, 2);
    EXPECT_EQ(g_frame_pending, 1);
}

TEST_F(FrameTimer, AFailedPushDoesNotFreezeFrames) {
    g_push_fails = true;
    frame_timer_callback(20, nullptr);
    EXPECT_EQ(g_frame_pending, 0) << "nothing queued, so the next tick must try again";
    g_push_fails = false;
    frame_timer_callback(20, nullptr);
    EXPECT_EQ(g_queued, 1);
    EXPECT_EQ(g_frame_pending, 1);
}

TEST_F(FrameTimer, AFrameThatEndsBeforeThePushReturnsIsNotLost) {
    // The main thread takes the event and finishes the whole frame while the
    // timer thread is still inside the push.
    g_during_push = [] { run_frame(); };
    frame_timer_callback(20, nullptr);
    g_during_push = nullptr;
    EXPECT_EQ(g_queued, 0);
    EXPECT_EQ(g_frame_pending, 0) << "the flag would stay set with no frame to clear it";
    frame_timer_callback(20, nullptr);
    EXPECT_EQ(g_queued, 1);
}

TEST_F(FrameTimer, ThreadsNeverQueueTwoOrStall) {
    std::atomic<bool> stop{false};
    std::thread timer([&] {
        while (!stop)
            frame_timer_callback(20, nullptr);
    });
    int frames = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (frames < 20000 && std::chrono::steady_clock::now() < deadline) {
        if (g_queued > 0) {
            run_frame();
            frames++;
        }
    }
    EXPECT_EQ(frames, 20000) << "frames stalled";
    stop = true;
    timer.join();
    EXPECT_EQ(g_max_queued, 1);
    // Quiescent: either a frame is queued and the flag is set, or neither.
    EXPECT_EQ(g_frame_pending, g_queued.load());
}

} // namespace
