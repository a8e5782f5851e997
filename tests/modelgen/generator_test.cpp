// The model generator run by hand: the same source gives the same bytes, the
// build's copies are those bytes, and it fails loudly when it cannot write.
#include "chunk_tree.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char *FILES[] = {"f14tomcat.3ds", "fighter.3ds", "mig25.3ds", "missile.3ds",
                       "bulletfire.3ds"};

int run(std::vector<std::string> args) {
    args.insert(args.begin(), MODELGEN_EXE);
    return run_program(args).exit_code;
}

std::string temp_dir() {
    char pattern[] = "/tmp/modelgen_test_XXXXXX";
    const char *dir = mkdtemp(pattern);
    return dir ? dir : "";
}

TEST(ModelGenerator, TwoRunsGiveTheBuildsBytes) {
    std::string a = temp_dir(), b = temp_dir();
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    ASSERT_EQ(run({a}), 0);
    ASSERT_EQ(run({b}), 0);
    for (const char *f : FILES) {
        std::vector<uint8_t> first = read_whole_file(a + "/" + f);
        ASSERT_FALSE(first.empty()) << f;
        EXPECT_EQ(first, read_whole_file(b + "/" + f)) << f;
        EXPECT_EQ(first, read_whole_file(std::string(QUORRIN_BINARY_DIR) + "/data/" + f)) << f;
        std::remove((a + "/" + f).c_str());
        std::remove((b + "/" + f).c_str());
    }
    rmdir(a.c_str());
    rmdir(b.c_str());
}

TEST(ModelGenerator, RefusesAMissingFolderAndBadArguments) {
    EXPECT_EQ(run({"/nonexistent/folder/for/models"}), 1);
    EXPECT_EQ(run({}), 2);
}

TEST(ChunkTree, CatchesLengthsThatDisagreeWithTheContents) {
    std::vector<uint8_t> good =
        read_whole_file(std::string(QUORRIN_BINARY_DIR) + "/data/bulletfire.3ds");
    ASSERT_GT(good.size(), 40u);
    EXPECT_EQ(chunk_tree_read(good).error, "");
    std::vector<uint8_t> bad = good;
    bad[8]++; // the version chunk's length, inside the main chunk
    EXPECT_NE(chunk_tree_read(bad).error, "");
    bad = good;
    bad.push_back(0);
    EXPECT_NE(chunk_tree_read(bad).error, "");
}

} // namespace
