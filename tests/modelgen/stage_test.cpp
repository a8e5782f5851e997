// The shipped stage script: its text layout, the game's parser reading it to
// 47 rows, and the shape of the stage (counts, ranges, the telling rows).
#include "chunk_tree.h"

#include "assets/stage_script.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::string stage_text() {
    std::vector<uint8_t> b = read_whole_file(std::string(QUORRIN_SOURCE_DIR) + "/data/stage1.txt");
    return std::string(b.begin(), b.end());
}

std::vector<StageEntry> parsed_rows() {
    std::string text = stage_text();
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back(0);
    stage_script_parse(buf.data());
    std::vector<StageEntry> rows;
    for (StageEntry *e = g_stage_head; e; e = e->next)
        rows.push_back(*e);
    return rows;
}

TEST(StageScript, TextIsFixedWidthRowsWithCrLfAndTheBuildCopiesItExactly) {
    std::string text = stage_text();
    EXPECT_EQ(text.size(), 3598u);
    EXPECT_EQ(text.find('\t'), std::string::npos);
    std::vector<uint8_t> built =
        read_whole_file(std::string(QUORRIN_BINARY_DIR) + "/data/stage1.txt");
    EXPECT_EQ(std::string(built.begin(), built.end()), text);
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "last line without CR LF";
        std::string line = text.substr(at, end - at);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "bare line end";
        lines.push_back(line);
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 47u);
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        EXPECT_EQ(lines[i].size(), 76u) << "row " << i + 1;
        EXPECT_EQ(lines[i].find('e'), std::string::npos) << "exponent in row " << i + 1;
    }
    EXPECT_EQ(lines.back(), "11500 -1");
    // Right-aligned columns: every row's columns end at the same places.
    for (size_t i = 1; i + 1 < lines.size(); i++)
        for (size_t c = 0; c < 76; c++)
            if (lines[0][c] != ' ' && (c + 1 == 76 || lines[0][c + 1] == ' ')) {
                EXPECT_NE(lines[i][c], ' ') << "row " << i + 1 << " column end " << c;
            }
}

TEST(StageScript, ParsesToTheStagesShape) {
    std::vector<StageEntry> rows = parsed_rows();
    ASSERT_EQ(rows.size(), 47u);
    const StageEntry &end = rows.back();
    EXPECT_EQ(end.trigger, 11500.0f);
    EXPECT_EQ(end.fire_distance, -1.0f);
    rows.pop_back();

    std::map<float, int> per_trigger, per_fire, per_z;
    std::map<int, int> per_kind;
    float last = 0;
    for (const StageEntry &r : rows) {
        EXPECT_GE(r.trigger, last) << "triggers must not decrease";
        last = r.trigger;
        per_trigger[r.trigger]++;
        per_fire[r.fire_distance]++;
        per_kind[r.kind]++;
        per_z[r.offset[2]]++;
        EXPECT_GE(r.trigger, 1000.0f);
        EXPECT_LE(r.trigger, 9500.0f);
        EXPECT_GE(r.offset[0], -100.0f);
        EXPECT_LE(r.offset[0], 500.0f);
        EXPECT_GE(r.offset[1], 2.0f);
        EXPECT_LE(r.offset[1], 50.0f);
        EXPECT_GE(r.vel[0], -10.0f);
        EXPECT_LE(r.vel[0], 3.2f);
        EXPECT_TRUE(r.vel[1] == -0.1f || r.vel[1] == 0.0f || r.vel[1] == 1.0f);
        EXPECT_GE(r.vel[2], -16.0f);
        EXPECT_LE(r.vel[2], 3.0f);
        EXPECT_LE(std::abs(r.acc[0]), 0.001f);
        EXPECT_LE(std::abs(r.acc[1]), 0.01f);
        if (r.offset[2] > 0) { // starts behind: must overtake the player
            EXPECT_GE(r.vel[2], -16.0f);
            EXPECT_LE(r.vel[2], -13.0f);
        }
        if (r.fire_distance > 0) {
            EXPECT_GE(r.trigger, 3000.0f) << "no armed row before the first armed one";
        }
    }
    EXPECT_EQ(per_trigger.size(), 25u);
    EXPECT_EQ(per_trigger[1000.0f], 13);
    for (const auto &t : per_trigger)
        if (t.first > 1000.0f) {
            EXPECT_GE(t.second, 1);
            EXPECT_LE(t.second, 5);
        }
    EXPECT_EQ(per_fire, (std::map<float, int>{{0.0f, 30}, {10.0f, 13}, {50.0f, 3}}));
    EXPECT_EQ(per_kind, (std::map<int, int>{{1, 20}, {2, 20}, {3, 6}}));
    EXPECT_EQ(per_z, (std::map<float, int>{
                         {-1000.0f, 29}, {-800.0f, 1}, {-500.0f, 1}, {-100.0f, 1}, {100.0f, 14}}));
    int z_accelerated = 0;
    for (const StageEntry &r : rows)
        z_accelerated += r.acc[2] != 0;
    EXPECT_EQ(z_accelerated, 1);
}

bool row_is(const StageEntry &r, const std::array<float, 11> &v, int kind) {
    return r.trigger == v[0] && r.fire_distance == v[1] && r.offset[0] == v[2] &&
           r.offset[1] == v[3] && r.offset[2] == v[4] && r.vel[0] == v[5] && r.vel[1] == v[6] &&
           r.vel[2] == v[7] && r.acc[0] == v[8] && r.acc[1] == v[9] && r.acc[2] == v[10] &&
           r.kind == kind;
}

TEST(StageScript, KeepsTheTellingRows) {
    std::vector<StageEntry> rows = parsed_rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(row_is(rows[0], {1000, 0, 0, 20, -1000, 0, 1, 1, 0, 0, 0}, 2)) << "first row";
    struct Telling {
        std::array<float, 11> v;
        int kind;
    };
    const Telling telling[] = {
        {{2000, 0, 30, 2, 100, 0, 0, -15, 0, 0, 0}, 2},
        {{3000, 10, 0, 20, -1000, 0, 0, 3, 0, 0.001f, 0}, 3},
        {{4000, 0, -100, 20, -100, 3.2f, 0, -16, 0, 0.01f, 0.05f}, 3},
        {{7000, 10, 500, 10, -800, -10, 0, 0, 0, 0, 0}, 2},
        {{7200, 50, 0, 50, -1000, 0, 0, 1, 0, -0.005f, 0}, 2},
    };
    for (const Telling &t : telling) {
        int found = 0;
        for (const StageEntry &r : rows)
            found += row_is(r, t.v, t.kind);
        EXPECT_EQ(found, 1) << "row at " << t.v[0];
    }
    // The first armed row is the one at 3000.
    for (const StageEntry &r : rows)
        if (r.fire_distance > 0) {
            EXPECT_TRUE(row_is(r, telling[1].v, 3));
            break;
        }
}

} // namespace
