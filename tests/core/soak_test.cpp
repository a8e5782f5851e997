// Ten minutes of scripted play over the shipped stage: a pilot weaves, fires,
// launches at the locks that the test takes as the renderer would, changes
// throttle and restarts now and then. The world must stay consistent and small.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_set>

#include "assets/stage_script.h"
#include "core/game.h"
#include "core/input.h"
#include "core/locks.h"
#include "core/objects.h"
#include "core/player.h"
#include "core/stage.h"
#include "fakes.h"
#include "world.h"

namespace {

const int FRAMES = 30000;
const int KEY_BACK = 8, KEY_SPACE = 32, KEY_W = 119, KEY_S = 115;

void parse_shipped_stage() {
    if (g_stage_head)
        return; // parsed once; the rows live for the whole run
    std::ifstream in(QUORRIN_SOURCE_DIR "/data/stage1.txt", std::ios::binary);
    ASSERT_TRUE(in) << "the stage script is missing";
    std::stringstream text;
    text << in.rdbuf();
    static std::string keep;
    keep = text.str();
    stage_script_parse(&keep[0]);
    ASSERT_NE(g_stage_head, nullptr);
}

// Edge state of a key that is down while `down` holds, as the input layer keeps it.
void drive(unsigned char &edge, bool down) {
    edge = !down ? INPUT_UP : edge == INPUT_UP ? INPUT_PRESSED : INPUT_HELD;
}

// Locks as the renderer takes them: enemy aircraft ahead, near the sight.
void acquire_locks() {
    for (GameObject *o = g_object_list; o; o = o->next) {
        if (o->kind != OBJ_AIRCRAFT || o->side != SIDE_ENEMY)
            continue;
        float ahead = g_player.pos[2] - o->pos[2];
        if (ahead <= 0 || ahead > 1000 || std::fabs(o->pos[0] - g_player.pos[0]) > ahead * 0.3f ||
            std::fabs(o->pos[1] - g_player.pos[1]) > ahead * 0.3f)
            continue;
        GameObject **empty = nullptr;
        bool held = false;
        for (GameObject *&slot : g_locks) {
            held |= slot == o;
            if (!slot && !empty)
                empty = &slot;
        }
        if (!held && empty)
            *empty = o;
    }
}

void expect_references_live() {
    std::unordered_set<const GameObject *> live;
    for (GameObject *o = g_object_list; o; o = o->next)
        ASSERT_TRUE(live.insert(o).second) << "a record is linked twice";
    for (GameObject *slot : g_locks) {
        if (slot) {
            ASSERT_TRUE(live.count(slot)) << "a lock outlived its record";
        }
    }
    for (GameObject *o = g_object_list; o; o = o->next) {
        if (o->target) {
            ASSERT_TRUE(live.count(o->target)) << "a target outlived its record";
        }
    }
    ASSERT_EQ(world_list().back(), &g_player);
}

} // namespace

TEST(Soak, TenMinutesOfPlayOverTheShippedStage) {
    world_clear();
    parse_shipped_stage();
    g_title_mode = 1;
    srand(20261208);
    size_t most = 0;
    int ends = 0, restarts = 0, kills = 0;
    for (int f = 0; f < FRAMES; f++) {
        fake::ticks += 20;
        int phase = f % 3000; // a new game every minute, some after the stage's end
        drive(g_keys_edge[KEY_SPACE], f < 2);
        drive(g_keys_edge[KEY_BACK], phase == 2999 && f % 9000 != 8999);
        drive(g_keys_edge[KEY_W], f % 400 < 40);
        drive(g_keys_edge[KEY_S], f % 700 >= 300 && f % 700 < 420);
        drive(g_mouse_edge[SDL_BUTTON_LEFT], (f / 90) % 3 == 0);
        drive(g_mouse_edge[SDL_BUTTON_RIGHT], f % 24 < 2);
        g_mouse_dx += 0.25f * std::sin(f * 0.011f) + 0.05f * std::sin(f * 0.13f);
        g_mouse_dy += 0.15f * std::sin(f * 0.007f + 1.0f);
        restarts += g_keys_edge[KEY_BACK] == INPUT_PRESSED;

        ASSERT_EQ(player_control(), 0);
        if (!g_title_mode) {
            if (!g_stage_over && stage_spawn_due()) {
                g_stage_over = 1;
                g_stage_over_time = (float)(fake::ticks / 1000.0);
                ends++;
            }
            int before = g_score;
            objects_update();
            kills += g_score != before;
            acquire_locks();
        }
        most = std::max(most, world_list().size());
        if (f % 500 == 0)
            expect_references_live();
    }
    expect_references_live();
    EXPECT_GE(ends, 5);
    EXPECT_GE(restarts, 5);
    EXPECT_GT(kills, 0);
    EXPECT_LT(most, 2000u); // about 530 in this flight
    RecordProperty("most_records", (int)most);
    RecordProperty("kills", kills);
    RecordProperty("stage_ends", ends);
    world_clear();
}
