// Member reading and the loaders built on it: names without regard to case,
// the empty member, members that are corrupt or short, and what each loader
// gives for a missing or rejected member.

#include "assets/archive.h"

#include "assets/ffres.h"
#include "support/fake_message_box.h"
#include "zip_builder.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

std::string wav_bytes(int samples) {
    auto u32 = [](unsigned v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    std::string fmt = u32(1 | 1 << 16) + u32(11025) + u32(11025) + u32(1 | 8 << 16);
    std::string data(size_t(samples), '\x80');
    return "RIFF" + u32(unsigned(4 + 8 + fmt.size() + 8 + data.size())) + "WAVE" + "fmt " +
           u32(unsigned(fmt.size())) + fmt + "data" + u32(unsigned(data.size())) + data;
}

class ArchiveTest : public ::testing::Test {
  protected:
    void open(const std::vector<ZipMember> &members) {
        g_fake_archive.present = true;
        g_fake_archive.bytes = zip_build(members);
        zip = unzOpen2("DATAZIP", ffres_filefunc());
        ASSERT_NE(zip, nullptr);
    }
    void SetUp() override { g_fake_box = FakeMessageBox(); }
    void TearDown() override {
        if (zip)
            unzClose(zip);
        g_fake_archive = FakeArchive();
    }
    unzFile zip = nullptr;
};

TEST_F(ArchiveTest, ReadsWholeMembersWithATrailingZero) {
    std::string big(100000, 0);
    for (size_t i = 0; i < big.size(); i++)
        big[i] = char(i * 31 % 251);
    open({{"stage1.txt", "100 0\r\n", false}, {"jet.png", big, true}, {"empty.txt", ""}});

    int size = -1;
    char *text = archive_read_member(zip, "stage1.txt", &size);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(size, 7);
    EXPECT_STREQ(text, "100 0\r\n") << "usable as a string";
    std::free(text);

    char *stored = archive_read_member(zip, "jet.png", &size);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(size, int(big.size()));
    EXPECT_EQ(std::memcmp(stored, big.data(), big.size()), 0);
    EXPECT_EQ(stored[big.size()], 0);
    std::free(stored);

    char *empty = archive_read_member(zip, "empty.txt", &size);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(empty[0], 0);
    std::free(empty);

    char *no_size = archive_read_member(zip, "stage1.txt", nullptr);
    EXPECT_NE(no_size, nullptr);
    std::free(no_size);
}

TEST_F(ArchiveTest, NamesMatchWithoutRegardToCase) {
    open({{"f14tomcat.3ds", "model"}, {"Sun.PNG", "sun"}});
    for (const char *name : {"F14TOMCAT.3DS", "f14Tomcat.3ds", "sun.png", "SUN.png"}) {
        char *buf = archive_read_member(zip, name, nullptr);
        EXPECT_NE(buf, nullptr) << name;
        std::free(buf);
    }
    EXPECT_EQ(archive_read_member(zip, "f14tomcat", nullptr), nullptr);
    EXPECT_EQ(archive_read_member(zip, "missing.txt", nullptr), nullptr);
    EXPECT_EQ(g_fake_box.calls, 0) << "a missing member is silent";
}

TEST_F(ArchiveTest, CorruptOrShortMembersCountAsMissing) {
    const std::string data = "the quick brown fox";
    unsigned long crc = crc32(0, reinterpret_cast<const Bytef *>(data.data()), uInt(data.size()));
    ZipMember bad_crc{"badcrc.txt", data};
    bad_crc.forge = true;
    bad_crc.forged_crc = crc ^ 1;
    bad_crc.forged_size = data.size();
    ZipMember good{"good.txt", data};
    good.forge = true;
    good.forged_crc = crc;
    good.forged_size = data.size();
    ZipMember longer{"longer.txt", data};
    longer.forge = true;
    longer.forged_crc = crc;
    longer.forged_size = data.size() + 5;
    open({bad_crc, good, longer});

    char *ok = archive_read_member(zip, "good.txt", nullptr);
    ASSERT_NE(ok, nullptr) << "the forging itself is sound";
    EXPECT_EQ(std::string(ok), data);
    std::free(ok);
    EXPECT_EQ(archive_read_member(zip, "badcrc.txt", nullptr), nullptr);
    EXPECT_EQ(archive_read_member(zip, "longer.txt", nullptr), nullptr);
}

TEST_F(ArchiveTest, ImplausibleSizesAreRefusedBeforeAllocating) {
    // A deflated member of a few bytes cannot hold gigabytes.
    ZipMember huge{"huge.bin", "x"};
    huge.forge = true;
    huge.forged_size = 0x7ffffff0ul;
    open({huge});
    EXPECT_EQ(archive_read_member(zip, "huge.bin", nullptr), nullptr);
}

Mix_Music *kept_music = nullptr;

class LoaderTest : public ArchiveTest {
  protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
        Mix_OpenAudio(22050, AUDIO_U8, 1, 1024);
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_Quit();
        ArchiveTest::TearDown();
    }
};

TEST_F(LoaderTest, SoundsLoadFromMembersAndBadOnesGiveNull) {
    open({{"shot.wav", wav_bytes(1000)},
          {"broken.wav", wav_bytes(1000).substr(0, 30)},
          {"notwav.wav", "this is not a sound"}});
    Mix_Chunk *chunk = archive_load_sound(zip, "SHOT.wav");
    ASSERT_NE(chunk, nullptr);
    EXPECT_GT(chunk->alen, 0u);
    Mix_FreeChunk(chunk);
    // The mixer closes the stream of a rejected sound exactly once; the
    // sanitizer build would report a second close or a leak.
    EXPECT_EQ(archive_load_sound(zip, "broken.wav"), nullptr);
    EXPECT_EQ(archive_load_sound(zip, "notwav.wav"), nullptr);
    EXPECT_EQ(archive_load_sound(zip, "missing.wav"), nullptr);
    EXPECT_EQ(g_fake_box.calls, 0);
}

TEST_F(LoaderTest, MusicThatDoesNotLoadGivesNullAndKeepsNothing) {
    open({{"final_base.ogg", "OggS but nothing more of Vorbis"}, {"text.ogg", "plain"}});
    EXPECT_EQ(archive_load_music(zip, "final_base.ogg"), nullptr);
    EXPECT_EQ(archive_load_music(zip, "text.ogg"), nullptr);
    EXPECT_EQ(archive_load_music(zip, "missing.ogg"), nullptr);
}

TEST_F(LoaderTest, ShippedMusicLoads) {
    std::string ogg = read_file_bytes(QUORRIN_BINARY_DIR "/data/final_base.ogg");
    if (ogg.empty())
        GTEST_SKIP() << "the music member has not been generated";
    open({{"final_base.ogg", ogg}});
    Mix_Music *music = archive_load_music(zip, "FINAL_BASE.OGG");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(Mix_PlayMusic(music, 0), 0) << "streams from the member buffer";
    Mix_HaltMusic();
    // As in the game, the music and the buffer it streams from are kept for
    // the whole run: freeing the music would strand its buffer.
    kept_music = music;
}

TEST_F(ArchiveTest, MissingModelGivesNullSilently) {
    open({{"fighter.3ds", "x"}});
    EXPECT_EQ(archive_load_model(zip, "missing.3ds"), nullptr);
    EXPECT_EQ(g_fake_box.calls, 0);
}

TEST_F(ArchiveTest, MissingTextureIsFatalWithExitCodeZero) {
    open({{"sun.png", "x"}});
    EXPECT_EXIT(archive_load_texture(zip, "moon.png", 0, -2, nullptr, 0x2900, 0x2600, 0x2600),
                ::testing::ExitedWithCode(0),
                "\\[Fatal\\] Corrupted EXE file, re-download please!\n\nInternal error: file not "
                "found\\.");
}

} // namespace
