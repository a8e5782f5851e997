// Start-up loading over archives rebuilt from the real members with one of
// them removed or spoiled: what must still load, and what is fatal.

#include "assets_gl_view.h"
#include "zip_builder.h"

#include <algorithm>

namespace {

const char *const MEMBERS[] = {"jet.png",
                               "jetfrom.png",
                               "jetf2.png",
                               "umi.png",
                               "sky.png",
                               "lock1.png",
                               "lock2.png",
                               "lock3.png",
                               "sight.png",
                               "landmap.png",
                               "splash3.png",
                               "splashwake1.png",
                               "splashwake3.png",
                               "smokesprites0199.png",
                               "sun.png",
                               "smokesprites0199_inv.png",
                               "smokesprites0199_burn.png",
                               "abshock.png",
                               "hud.png",
                               "title.png",
                               "endofseq.png",
                               "fighter.3ds",
                               "mig25.3ds",
                               "f14tomcat.3ds",
                               "missile.3ds",
                               "bulletfire.3ds",
                               "shot.wav",
                               "ef20003m.wav",
                               "ef20003m_4.wav",
                               "ef20003m_2.wav",
                               "ef20003m_3.wav",
                               "missile.wav",
                               "lockon16.wav",
                               "bomb1.wav",
                               "rocket1.wav",
                               "final_base.ogg",
                               "stage1.txt"};

const char FILE_NOT_FOUND[] = "\\[Fatal\\] Corrupted EXE file, re-download please!\n\n"
                              "Internal error: file not found\\.";

class AssetsRebuilt : public GlWindow {
  protected:
    // A forked child would share the parent's X connection and tear it down
    // with its fatal exit; a fresh process opens its own.
    AssetsRebuilt() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // The real members, with `drop` left out and `spoil` replaced by junk.
    void use_members(const std::vector<std::string> &drop, const std::string &spoil = "") {
        std::vector<ZipMember> members;
        for (const char *name : MEMBERS) {
            if (std::find(drop.begin(), drop.end(), name) != drop.end())
                continue;
            std::string data = read_file_bytes(std::string(QUORRIN_BINARY_DIR "/data/") + name);
            if (data.empty() && std::string(name) != "stage1.txt")
                GTEST_SKIP() << name << " has not been generated";
            if (spoil == name)
                data = "spoiled";
            members.push_back({name, data});
        }
        g_fake_archive.present = true;
        g_fake_archive.bytes = zip_build(members);
    }
    void TearDown() override {
        g_fake_archive = FakeArchive();
        GlWindow::TearDown();
    }
};

TEST_F(AssetsRebuilt, UnreadMembersAreNotNeeded) {
    use_members({"rocket1.wav", "ef20003m.wav"});
    if (IsSkipped())
        return;
    assets_load_all();
    expect_all_loaded();
}

TEST_F(AssetsRebuilt, APictureThatDoesNotDecodeGivesZeroAndLoadingGoesOn) {
    use_members({}, "hud.png");
    if (IsSkipped())
        return;
    assets_load_all();
    EXPECT_EQ(g_tex_hud, 0u);
    EXPECT_NE(g_tex_abshock, 0u);
    EXPECT_NE(g_tex_title, 0u);
    EXPECT_NE(g_stage_head, nullptr);
}

TEST_F(AssetsRebuilt, MissingTextureIsFatal) {
    use_members({"sun.png"});
    if (IsSkipped())
        return;
    EXPECT_EXIT(assets_load_all(), ::testing::ExitedWithCode(0), FILE_NOT_FOUND);
}

TEST_F(AssetsRebuilt, MissingStageScriptIsFatal) {
    use_members({"stage1.txt"});
    if (IsSkipped())
        return;
    EXPECT_EXIT(assets_load_all(), ::testing::ExitedWithCode(0), FILE_NOT_FOUND);
}

} // namespace
