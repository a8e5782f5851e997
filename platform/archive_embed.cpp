// Finds the data archive that the build links into the executable (see
// datazip.S). The symbols are weak so that test programs without an archive
// link too, and then see it as missing.

#include "platform/platform.h"

#include <cstring>

extern "C" {
extern const unsigned char quorrin_datazip_begin[] __attribute__((weak));
extern const unsigned char quorrin_datazip_end[] __attribute__((weak));
}

const unsigned char *platform_find_archive(const char *name, int *size) {
    if (!name || std::strcmp(name, "DATAZIP") != 0)
        return nullptr;
    if (!quorrin_datazip_begin || !quorrin_datazip_end)
        return nullptr;
    if (size)
        *size = int(quorrin_datazip_end - quorrin_datazip_begin);
    return quorrin_datazip_begin;
}
