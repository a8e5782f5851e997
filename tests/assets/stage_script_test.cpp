// The stage script text: line ends, column runs, the end row, and text that
// breaks the shipped script's shape (blank lines, short rows, nothing at all).

#include "assets/stage_script.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Parses a copy of the text and hands back the rows, freeing the list.
std::vector<StageEntry> parse(const std::string &text) {
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back(0);
    stage_script_parse(buf.data());
    std::vector<StageEntry> rows;
    for (StageEntry *e = g_stage_head; e;) {
        StageEntry *next = e->next;
        rows.push_back(*e);
        std::free(e);
        e = next;
    }
    g_stage_head = nullptr;
    return rows;
}

void expect_example_row(const StageEntry &e) {
    EXPECT_EQ(e.trigger, 100.0f);
    EXPECT_EQ(e.fire_distance, 0.0f);
    EXPECT_EQ(e.offset[0], 1.0f);
    EXPECT_EQ(e.offset[1], 2.0f);
    EXPECT_EQ(e.offset[2], 3.0f);
    EXPECT_EQ(e.vel[0], 4.0f);
    EXPECT_EQ(e.vel[1], 5.0f);
    EXPECT_EQ(e.vel[2], 6.0f);
    EXPECT_EQ(e.acc[0], 7.0f);
    EXPECT_EQ(e.acc[1], 8.0f);
    EXPECT_EQ(e.acc[2], 9.0f);
    EXPECT_EQ(e.kind, 2);
}

void expect_end_row(const StageEntry &e, float trigger) {
    EXPECT_EQ(e.trigger, trigger);
    EXPECT_EQ(e.fire_distance, -1.0f);
    EXPECT_EQ(e.offset[0], 0.0f);
    EXPECT_EQ(e.vel[2], 0.0f);
    EXPECT_EQ(e.kind, 0);
    EXPECT_EQ(e.next, nullptr);
}

TEST(StageScript, TheExampleInEveryLayout) {
    const char *texts[] = {
        "100 0 1 2 3 4 5 6 7 8 9 2\r\n11500 -1\r\n",
        "100 0 1 2 3 4 5 6 7 8 9 2\n11500 -1\n",
        "100 0 1 2 3 4 5 6 7 8 9 2\r11500 -1",
        "100 0 1 2 3 4 5 6 7 8 9 2\r\n\r\n\n\r11500 -1\r\n\r\n",
        "   100    0 1.0  2 3   4 5 6 7 8 9    2\r\n    11500   -1.0\r\n",
        "100 0 1 2 3 4 5 6 7 8 9 2 13 14\r\n11500 -1 7 7\r\n",
        "\r\n  \r\n100 0 1 2 3 4 5 6 7 8 9 2\r\n     \r\n11500 -1",
    };
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        std::vector<StageEntry> rows = parse(text);
        ASSERT_EQ(rows.size(), 2u);
        expect_example_row(rows[0]);
        expect_end_row(rows[1], 11500.0f);
    }
}

TEST(StageScript, ReadingStopsAtTheEndRowOnly) {
    std::vector<StageEntry> rows =
        parse("1 -2 1 2 3 4 5 6 7 8 9 3\n2 -1\n3 0 1 1 1 1 1 1 1 1 1 1\n");
    ASSERT_EQ(rows.size(), 2u) << "nothing after the end row";
    EXPECT_EQ(rows[0].fire_distance, -2.0f);
    EXPECT_EQ(rows[0].acc[2], 9.0f) << "a row of -2 is read in full";
    EXPECT_EQ(rows[0].kind, 3);
    expect_end_row(rows[1], 2.0f);

    rows = parse("1 0 1 2 3 4 5 6 7 8 9 1\n2 10 1 2 3 4 5 6 7 8 9 2");
    ASSERT_EQ(rows.size(), 2u) << "no end row: the list ends with the last row";
    EXPECT_EQ(rows[1].fire_distance, 10.0f);
    EXPECT_EQ(rows[1].kind, 2);
}

TEST(StageScript, ColumnsAsStrtodAndStrtolReadThem) {
    std::vector<StageEntry> rows = parse("1.5e3 +10 -0.25 x 3abc 0 0 0 0 0.001 0 2.9\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].trigger, 1500.0f);
    EXPECT_EQ(rows[0].fire_distance, 10.0f);
    EXPECT_EQ(rows[0].offset[0], -0.25f);
    EXPECT_EQ(rows[0].offset[1], 0.0f) << "a column that is no number reads as 0";
    EXPECT_EQ(rows[0].offset[2], 3.0f);
    EXPECT_EQ(rows[0].acc[1], 0.001f);
    EXPECT_EQ(rows[0].kind, 2) << "the kind is an integer column";

    rows = parse("1\t2 -1\n");
    ASSERT_EQ(rows.size(), 1u) << "a tab does not separate columns";
    EXPECT_EQ(rows[0].trigger, 1.0f);
    EXPECT_EQ(rows[0].fire_distance, -1.0f);
}

TEST(StageScript, ShortRowsReadMissingColumnsAsZero) {
    std::vector<StageEntry> rows = parse("100 10 5 6\n200\n300 -1\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].offset[0], 5.0f);
    EXPECT_EQ(rows[0].offset[1], 6.0f);
    EXPECT_EQ(rows[0].offset[2], 0.0f);
    EXPECT_EQ(rows[0].kind, 0);
    EXPECT_EQ(rows[1].trigger, 200.0f);
    EXPECT_EQ(rows[1].fire_distance, 0.0f);
    expect_end_row(rows[2], 300.0f);
}

TEST(StageScript, TextsWithoutRowsGiveAnEmptyList) {
    for (const char *text : {"", "\r\n", "   ", " \n \r\n\n"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(parse(text).empty());
    }
}

TEST(StageScript, ManyRowsKeepTheirOrder) {
    std::string text;
    for (int i = 0; i < 5000; i++)
        text += std::to_string(i) + " 0 0 0 0 0 0 0 0 0 0 " + std::to_string(i % 4) + "\r\n";
    text += "99999 -1\r\n";
    std::vector<StageEntry> rows = parse(text);
    ASSERT_EQ(rows.size(), 5001u);
    for (int i = 0; i < 5000; i++)
        ASSERT_EQ(rows[size_t(i)].trigger, float(i));
    EXPECT_EQ(rows[4999].kind, 3);
    expect_end_row(rows[5000], 99999.0f);
}

} // namespace
