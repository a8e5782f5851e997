// Replaces the embedded archive in test programs (a link-time seam): the
// callbacks then read whatever archive the test has built.

#include "zip_builder.h"

#include "platform/platform.h"

#include <cstring>

FakeArchive g_fake_archive;

const unsigned char *platform_find_archive(const char *name, int *size) {
    if (!g_fake_archive.present || !name || std::strcmp(name, "DATAZIP") != 0)
        return nullptr;
    if (size)
        *size = int(g_fake_archive.bytes.size());
    // A non-null pointer even for an empty archive, as a linked one would be.
    static const unsigned char empty = 0;
    return g_fake_archive.bytes.empty() ? &empty : g_fake_archive.bytes.data();
}
