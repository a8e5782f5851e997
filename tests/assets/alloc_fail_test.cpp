// Allocation failures in the stage parser and the member reader, made with the
// linker's --wrap of malloc and calloc: the parse keeps the rows read so far,
// and a member without memory counts as missing.

#include "assets/archive.h"
#include "assets/ffres.h"
#include "assets/stage_script.h"
#include "zip_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {
int allocations_left = -1; // -1: no limit

bool allocation_fails() {
    if (allocations_left < 0)
        return false;
    if (allocations_left == 0)
        return true;
    allocations_left--;
    return false;
}
} // namespace

extern "C" {
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);
void *__wrap_malloc(size_t size) {
    return allocation_fails() ? nullptr : __real_malloc(size);
}
void *__wrap_calloc(size_t count, size_t size) {
    return allocation_fails() ? nullptr : __real_calloc(count, size);
}
}

namespace {

TEST(AllocationFailure, StageParseKeepsTheRowsReadSoFar) {
    char text[] = "1 0 1 1 1 1 1 1 1 1 1 1\n2 0 2 2 2 2 2 2 2 2 2 2\n3 0 3 3 3 3 3 3 3 3 3 3\n"
                  "4 -1\n";
    allocations_left = 2;
    stage_script_parse(text);
    allocations_left = -1;
    ASSERT_NE(g_stage_head, nullptr);
    ASSERT_NE(g_stage_head->next, nullptr);
    EXPECT_EQ(g_stage_head->next->trigger, 2.0f);
    EXPECT_EQ(g_stage_head->next->kind, 2);
    EXPECT_EQ(g_stage_head->next->next, nullptr);
    std::free(g_stage_head->next);
    std::free(g_stage_head);
    g_stage_head = nullptr;
}

TEST(AllocationFailure, MemberWithoutMemoryCountsAsMissing) {
    g_fake_archive.present = true;
    g_fake_archive.bytes = zip_build({{"stage1.txt", "1 -1\r\n"}});
    unzFile zip = unzOpen2("DATAZIP", ffres_filefunc());
    ASSERT_NE(zip, nullptr);
    int size = -1;
    allocations_left = 0;
    char *text = archive_read_member(zip, "stage1.txt", &size);
    allocations_left = -1;
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(size, -1) << "no size for a member that was not read";

    text = archive_read_member(zip, "stage1.txt", &size);
    ASSERT_NE(text, nullptr) << "the archive is still usable afterwards";
    EXPECT_STREQ(text, "1 -1\r\n");
    std::free(text);
    unzClose(zip);
    g_fake_archive = FakeArchive();
}

} // namespace
