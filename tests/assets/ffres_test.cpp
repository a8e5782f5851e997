// The read-only file callbacks: positions, short reads, every seek origin, the
// write message, and minizip reading a real archive through them.

#include "assets/ffres.h"

#include "support/fake_message_box.h"
#include "zip_builder.h"

#include "platform/platform.h"

#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <climits>
#include <cstring>

namespace {

const unsigned char BYTES[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

FfresStream stream_over(const unsigned char *data, int size) {
    return FfresStream{data, size, 0};
}

TEST(FfresRead, DeliversUpToTheEndAndThenNothing) {
    FfresStream s = stream_over(BYTES, 16);
    unsigned char buf[10] = {};
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 4), 4u);
    EXPECT_EQ(s.pos, 4);
    EXPECT_EQ(buf[3], 3);

    s.pos = 13;
    std::memset(buf, 0xee, sizeof buf);
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 10), 3u);
    EXPECT_EQ(s.pos, 16);
    EXPECT_EQ(buf[0], 13);
    EXPECT_EQ(buf[2], 15);
    EXPECT_EQ(buf[3], 0xee) << "nothing is written past the short count";

    EXPECT_EQ(ffres_read(nullptr, &s, buf, 10), 0u);
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 0), 0u);
    EXPECT_EQ(ffres_testerror(nullptr, &s), 0) << "a short read leaves no error state";
}

TEST(FfresRead, PositionsOutsideTheDataReadNothing) {
    FfresStream s = stream_over(BYTES, 16);
    unsigned char buf[4] = {0xee, 0xee, 0xee, 0xee};
    s.pos = -5;
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 4), 0u);
    s.pos = 100;
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 4), 0u);
    EXPECT_EQ(buf[0], 0xee);
    unsigned char all[16];
    s.pos = 0;
    EXPECT_EQ(ffres_read(nullptr, &s, all, ULONG_MAX), 16u) << "a huge count is cut to the rest";
    EXPECT_EQ(all[15], 15);
}

TEST(FfresSeek, EveryOrigin) {
    FfresStream s = stream_over(BYTES, 16);
    EXPECT_EQ(ffres_seek(nullptr, &s, 5, ZLIB_FILEFUNC_SEEK_SET), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), 5);
    EXPECT_EQ(ffres_seek(nullptr, &s, 3, ZLIB_FILEFUNC_SEEK_CUR), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), 8);
    EXPECT_EQ(ffres_seek(nullptr, &s, 100, ZLIB_FILEFUNC_SEEK_END), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), 16) << "the end offset is not added";
    EXPECT_EQ(ffres_seek(nullptr, &s, 2, ZLIB_FILEFUNC_SEEK_SET), 0);
    EXPECT_EQ(ffres_seek(nullptr, &s, 7, 3), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), 2) << "an unknown origin leaves the position";
}

TEST(FfresSeek, PastTheEndIsAcceptedAndReadsNothing) {
    FfresStream s = stream_over(BYTES, 16);
    unsigned char buf[4];
    EXPECT_EQ(ffres_seek(nullptr, &s, 26, ZLIB_FILEFUNC_SEEK_SET), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), 26);
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 4), 0u);

    // Offsets beyond what the position can hold land past every end instead
    // of wrapping round to a position inside the data.
    EXPECT_EQ(ffres_seek(nullptr, &s, 0x100000004ul, ZLIB_FILEFUNC_SEEK_SET), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), INT_MAX);
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 4), 0u);
    s.pos = INT_MAX - 1;
    EXPECT_EQ(ffres_seek(nullptr, &s, 10, ZLIB_FILEFUNC_SEEK_CUR), 0);
    EXPECT_EQ(ffres_tell(nullptr, &s), INT_MAX);
    EXPECT_EQ(ffres_read(nullptr, &s, buf, 4), 0u);
}

TEST(FfresWrite, ShowsTheMessageAndWritesNothing) {
    g_fake_box = FakeMessageBox();
    FfresStream s = stream_over(BYTES, 16);
    EXPECT_EQ(ffres_write(nullptr, &s, "xyz", 3), 0u);
    EXPECT_EQ(g_fake_box.calls, 1);
    EXPECT_EQ(g_fake_box.text, "write not supported");
    EXPECT_EQ(g_fake_box.caption, "Fatal: ffres: write");
    EXPECT_EQ(g_fake_box.style, unsigned(MB_OK));
    EXPECT_EQ(s.pos, 0);
    EXPECT_EQ(BYTES[0], 0);
}

TEST(FfresTable, HoldsTheSevenCallbacks) {
    zlib_filefunc_def *f = ffres_filefunc();
    EXPECT_EQ(f, &g_ffres_filefunc);
    EXPECT_EQ(f->zopen_file, ffres_open);
    EXPECT_EQ(f->zread_file, ffres_read);
    EXPECT_EQ(f->zwrite_file, ffres_write);
    EXPECT_EQ(f->ztell_file, ffres_tell);
    EXPECT_EQ(f->zseek_file, ffres_seek);
    EXPECT_EQ(f->zclose_file, ffres_close);
    EXPECT_EQ(f->zerror_file, ffres_testerror);
    EXPECT_EQ(f->opaque, nullptr);
}

class FfresOpen : public ::testing::Test {
  protected:
    void SetUp() override {
        g_fake_archive = FakeArchive();
        g_fake_box = FakeMessageBox();
    }
    void TearDown() override { g_fake_archive = FakeArchive(); }
};

TEST_F(FfresOpen, GivesAStreamAtTheStartWhateverTheMode) {
    g_fake_archive.present = true;
    g_fake_archive.bytes.assign(BYTES, BYTES + 16);
    for (int mode : {0, 5, 2, 13}) {
        auto *s = static_cast<FfresStream *>(ffres_open(nullptr, "DATAZIP", mode));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->data, g_fake_archive.bytes.data());
        EXPECT_EQ(s->size, 16);
        EXPECT_EQ(s->pos, 0);
        EXPECT_EQ(ffres_close(nullptr, s), 0);
    }
}

TEST_F(FfresOpen, MissingArchiveGivesNullAndNoMessage) {
    EXPECT_EQ(ffres_open(nullptr, "DATAZIP", 5), nullptr);
    g_fake_archive.present = true;
    EXPECT_EQ(ffres_open(nullptr, "OTHER", 5), nullptr);
    EXPECT_EQ(g_fake_box.calls, 0);
}

TEST_F(FfresOpen, MinizipReadsAMemberThroughTheCallbacks) {
    std::string text(5000, 'a');
    for (size_t i = 0; i < text.size(); i++)
        text[i] = char('a' + i * 7 % 26);
    g_fake_archive.present = true;
    g_fake_archive.bytes = zip_build({{"first.txt", "hello", true}, {"second.txt", text}});

    unzFile zip = unzOpen2("DATAZIP", ffres_filefunc());
    ASSERT_NE(zip, nullptr);
    unz_global_info global;
    ASSERT_EQ(unzGetGlobalInfo(zip, &global), UNZ_OK);
    EXPECT_EQ(global.number_entry, 2u);
    ASSERT_EQ(unzLocateFile(zip, "second.txt", 2), UNZ_OK);
    ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
    std::string got(text.size(), 0);
    EXPECT_EQ(unzReadCurrentFile(zip, &got[0], unsigned(got.size())), int(text.size()));
    EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK);
    EXPECT_EQ(got, text);
    EXPECT_EQ(unzClose(zip), UNZ_OK);
    EXPECT_EQ(g_fake_box.calls, 0);
}

TEST_F(FfresOpen, BytesThatHoldNoArchiveGiveNull) {
    g_fake_archive.present = true;
    EXPECT_EQ(unzOpen2("DATAZIP", ffres_filefunc()), nullptr) << "empty";
    g_fake_archive.bytes.assign(BYTES, BYTES + 16);
    EXPECT_EQ(unzOpen2("DATAZIP", ffres_filefunc()), nullptr) << "not a ZIP";
    std::vector<unsigned char> zip = zip_build({{"a.txt", "abc"}});
    g_fake_archive.bytes.assign(zip.begin(), zip.begin() + zip.size() / 2);
    EXPECT_EQ(unzOpen2("DATAZIP", ffres_filefunc()), nullptr) << "cut in half";
    g_fake_archive.present = false;
    EXPECT_EQ(unzOpen2("DATAZIP", ffres_filefunc()), nullptr) << "missing";
}

} // namespace
