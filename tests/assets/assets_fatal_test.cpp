// The fatal paths of start-up loading that come before any texture: no
// archive, bytes that hold none, and a model that is missing or refused. Each
// shows its box and ends the process with exit code 0.

#include "assets/assets.h"

#include "zip_builder.h"

#include <gtest/gtest.h>

namespace {

const char RESOURCE_NOT_FOUND[] = "\\[Fatal\\] Corrupted EXE file, re-download please!\n\n"
                                  "Internal error: resource not found\\.";
const char FILE_NOT_FOUND[] = "\\[Fatal\\] Corrupted EXE file, re-download please!\n\n"
                              "Internal error: file not found\\.";

// The smallest refused model: a main chunk whose length cannot hold its header.
const std::string REFUSED_MODEL("\x4d\x4d\x03\x00\x00\x00", 6);

TEST(AssetsFatal, MissingArchive) {
    g_fake_archive = FakeArchive();
    EXPECT_EXIT(assets_load_all(), ::testing::ExitedWithCode(0), RESOURCE_NOT_FOUND);
}

TEST(AssetsFatal, BytesThatHoldNoArchive) {
    g_fake_archive.present = true;
    g_fake_archive.bytes.assign(1000, 'Z');
    EXPECT_EXIT(assets_load_all(), ::testing::ExitedWithCode(0), RESOURCE_NOT_FOUND);
    g_fake_archive = FakeArchive();
}

TEST(AssetsFatal, MissingModel) {
    g_fake_archive.present = true;
    g_fake_archive.bytes = zip_build({{"stage1.txt", "1 -1\r\n"}});
    EXPECT_EXIT(assets_load_all(), ::testing::ExitedWithCode(0), FILE_NOT_FOUND);
    g_fake_archive = FakeArchive();
}

TEST(AssetsFatal, RefusedModel) {
    g_fake_archive.present = true;
    g_fake_archive.bytes = zip_build({{"fighter.3ds", REFUSED_MODEL}, {"stage1.txt", "1 -1\r\n"}});
    EXPECT_EXIT(assets_load_all(), ::testing::ExitedWithCode(0), FILE_NOT_FOUND);
    g_fake_archive = FakeArchive();
}

} // namespace
