// Opens the packed archive with minizip's reader, as the game does, and holds
// every member to the asset tables: names, storage method, picture sizes and
// channels, sound formats, the music's signature, model and stage shapes.
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const char kArchive[] = QUORRIN_BINARY_DIR "/datazip.zip";

struct Png {
    const char *name;
    unsigned width, height;
    int color_type; // 2 RGB, 6 RGBA
};

const Png kPngs[] = {
    {"jet.png", 64, 256, 6},
    {"jetfrom.png", 256, 256, 6},
    {"jetf2.png", 256, 256, 6},
    {"umi.png", 256, 256, 6},
    {"sky.png", 1024, 256, 6},
    {"lock1.png", 32, 32, 6},
    {"lock2.png", 64, 64, 6},
    {"lock3.png", 32, 32, 6},
    {"sight.png", 64, 64, 6},
    {"landmap.png", 1, 64, 2},
    {"splash3.png", 256, 256, 6},
    {"splashwake1.png", 256, 256, 6},
    {"splashwake3.png", 256, 256, 6},
    {"smokesprites0199.png", 256, 256, 6},
    {"sun.png", 256, 256, 6},
    {"smokesprites0199_inv.png", 256, 256, 6},
    {"smokesprites0199_burn.png", 256, 256, 6},
    {"abshock.png", 256, 256, 6},
    {"hud.png", 256, 256, 6},
    {"title.png", 1024, 1024, 2},
    {"endofseq.png", 256, 256, 6},
};

struct Wav {
    const char *name;
    unsigned channels, rate, bits;
};

const Wav kWavs[] = {
    {"shot.wav", 2, 44100, 16},       {"ef20003m.wav", 1, 11025, 16},
    {"ef20003m_4.wav", 1, 11025, 16}, {"ef20003m_2.wav", 1, 11025, 16},
    {"ef20003m_3.wav", 1, 11025, 16}, {"missile.wav", 2, 44100, 16},
    {"lockon16.wav", 2, 44100, 16},   {"bomb1.wav", 2, 44100, 16},
    {"rocket1.wav", 1, 22050, 8},
};

const char *const kModels[] = {"fighter.3ds", "mig25.3ds", "f14tomcat.3ds", "missile.3ds",
                               "bulletfire.3ds"};
const std::set<std::string> kStored = {"jet.png", "lock1.png", "umi.png"};

struct Member {
    int method = -1;
    bool encrypted = false;
    unsigned long dos_date = 0;
    std::vector<unsigned char> bytes;
    bool crc_ok = false;
};

// Every member of the archive, read in full; empty if the archive is absent.
const std::map<std::string, Member> &members() {
    static std::map<std::string, Member> all = [] {
        std::map<std::string, Member> out;
        unzFile uf = unzOpen64(kArchive);
        if (!uf)
            return out;
        for (int rc = unzGoToFirstFile(uf); rc == UNZ_OK; rc = unzGoToNextFile(uf)) {
            unz_file_info64 info;
            char name[256];
            if (unzGetCurrentFileInfo64(uf, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK)
                break;
            Member m;
            m.method = int(info.compression_method);
            m.encrypted = info.flag & 1;
            m.dos_date = info.dosDate;
            m.bytes.resize(size_t(info.uncompressed_size));
            if (unzOpenCurrentFile(uf) == UNZ_OK) {
                int got = m.bytes.empty()
                              ? 0
                              : unzReadCurrentFile(uf, m.bytes.data(), unsigned(m.bytes.size()));
                m.crc_ok = unzCloseCurrentFile(uf) == UNZ_OK && got == int(m.bytes.size());
            }
            out[name] = m;
        }
        unzClose(uf);
        return out;
    }();
    return all;
}

std::vector<std::string> expected_names() {
    std::vector<std::string> names;
    for (const Png &p : kPngs)
        names.push_back(p.name);
    for (const char *m : kModels)
        names.push_back(m);
    for (const Wav &w : kWavs)
        names.push_back(w.name);
    names.push_back("final_base.ogg");
    names.push_back("stage1.txt");
    return names;
}

unsigned be32(const std::vector<unsigned char> &b, size_t at) {
    return unsigned(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

unsigned le32(const std::vector<unsigned char> &b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | unsigned(b[at + 3]) << 24;
}

unsigned le16(const std::vector<unsigned char> &b, size_t at) {
    return unsigned(b[at] | b[at + 1] << 8);
}

TEST(ArchiveMembers, HoldsExactlyTheThirtySevenMembersOfTheTable) {
    ASSERT_FALSE(members().empty()) << "cannot open " << kArchive;
    std::vector<std::string> names = expected_names();
    ASSERT_EQ(names.size(), 37u);
    for (const std::string &n : names)
        EXPECT_EQ(members().count(n), 1u) << "missing member " << n;
    for (const auto &[n, m] : members())
        EXPECT_NE(std::find(names.begin(), names.end(), n), names.end())
            << "unexpected member " << n;
    EXPECT_EQ(members().size(), 37u);
}

TEST(ArchiveMembers, ThreeStoredTheRestDeflatedNoneEncryptedAllIntact) {
    unsigned long first_date = members().empty() ? 0 : members().begin()->second.dos_date;
    for (const auto &[n, m] : members()) {
        SCOPED_TRACE(n);
        EXPECT_EQ(m.method, kStored.count(n) ? 0 : 8);
        EXPECT_FALSE(m.encrypted);
        EXPECT_TRUE(m.crc_ok) << "member does not read back with a good CRC";
        // One fixed timestamp for all, so the archive does not depend on the clock.
        EXPECT_EQ(m.dos_date, first_date);
    }
}

TEST(ArchiveMembers, PicturesHaveTheTableSizesAndChannels) {
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Png &p : kPngs) {
        auto it = members().find(p.name);
        if (it == members().end())
            continue; // reported by the membership test
        SCOPED_TRACE(p.name);
        const std::vector<unsigned char> &b = it->second.bytes;
        ASSERT_GE(b.size(), 33u);
        EXPECT_TRUE(std::equal(sig, sig + 8, b.begin()));
        EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
        EXPECT_EQ(be32(b, 16), p.width);
        EXPECT_EQ(be32(b, 20), p.height);
        EXPECT_EQ(b[24], 8) << "bit depth";
        EXPECT_EQ(b[25], p.color_type) << "colour type";
        EXPECT_EQ(b[28], 0) << "interlace";
    }
}

TEST(ArchiveMembers, SoundsHaveTheShippedFormats) {
    for (const Wav &w : kWavs) {
        auto it = members().find(w.name);
        if (it == members().end())
            continue;
        SCOPED_TRACE(w.name);
        const std::vector<unsigned char> &b = it->second.bytes;
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(le16(b, 20), 1u) << "PCM";
        EXPECT_EQ(le16(b, 22), w.channels);
        EXPECT_EQ(le32(b, 24), w.rate);
        EXPECT_EQ(le16(b, 34), w.bits);
    }
    auto music = members().find("final_base.ogg");
    if (music != members().end()) {
        const std::vector<unsigned char> &b = music->second.bytes;
        ASSERT_GE(b.size(), 36u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "OggS");
        EXPECT_EQ(std::string(b.begin() + 28, b.begin() + 35), "\x01vorbis");
    }
}

TEST(ArchiveMembers, ModelsAreWholeMainChunks) {
    for (const char *name : kModels) {
        auto it = members().find(name);
        if (it == members().end())
            continue;
        SCOPED_TRACE(name);
        const std::vector<unsigned char> &b = it->second.bytes;
        ASSERT_GE(b.size(), 6u);
        EXPECT_EQ(le16(b, 0), 0x4D4Du);
        EXPECT_EQ(le32(b, 2), b.size()) << "main chunk length";
    }
}

TEST(ArchiveMembers, StageScriptEndsWithTheEndRowInCrLfLines) {
    auto it = members().find("stage1.txt");
    if (it == members().end())
        GTEST_SKIP() << "stage1.txt is missing (reported by the membership test)";
    const std::string text(it->second.bytes.begin(), it->second.bytes.end());
    const std::string end_row = "11500 -1\r\n";
    ASSERT_GE(text.size(), end_row.size() + 2);
    EXPECT_EQ(text.substr(text.size() - end_row.size()), end_row);
    EXPECT_EQ(text[text.size() - end_row.size() - 1], '\n') << "the end row is a line of its own";
    size_t lines = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
            ++lines;
        } else if (text[i] == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at byte " << i;
        }
        EXPECT_NE(text[i], '\t');
    }
    EXPECT_EQ(lines, 47u) << "46 rows and the end row";
}

} // namespace
