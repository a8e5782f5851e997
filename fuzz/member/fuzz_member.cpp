// Opens the fuzz input as the embedded archive, through the same callbacks the
// game uses, and reads every member it lists with the member reader. The
// platform and the loaders that member reading never reaches are stand-ins.

#include "assets/archive.h"
#include "assets/ffres.h"
#include "assets/model3ds.h"
#include "assets/png.h"
#include "core/startup.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const unsigned char *g_input;
static int g_input_size;

const unsigned char *platform_find_archive(const char *name, int *size) {
    if (std::strcmp(name, "DATAZIP") != 0)
        return nullptr;
    *size = g_input_size;
    return g_input;
}

int platform_message_box(const char *, const char *, unsigned) {
    __builtin_trap();
}
void fatal_error(const char *) {
    __builtin_trap();
}
Model3ds *model3ds_load_mem(const unsigned char *, int32_t) {
    __builtin_trap();
}
unsigned pngBindMem(const void *, int, int, int, pngInfo *, int, int, int) {
    __builtin_trap();
}

// Enough members to reach every path; more only slows each run down.
static const int MAX_MEMBERS = 64;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 0x7fffffff)
        return 0;
    // An empty input still needs a valid pointer, as a linked archive has one.
    static const unsigned char empty = 0;
    g_input = size ? data : &empty;
    g_input_size = int(size);

    unzFile zip = unzOpen2("DATAZIP", ffres_filefunc());
    if (!zip)
        return 0;
    std::vector<std::string> names;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && int(names.size()) < MAX_MEMBERS;
         rc = unzGoToNextFile(zip)) {
        char name[256];
        unz_file_info info;
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK)
            names.push_back(name);
    }
    names.push_back("missing member");
    for (const std::string &name : names) {
        int member_size = -1;
        char *buf = archive_read_member(zip, name.c_str(), &member_size);
        if (buf) {
            if (member_size < 0 || buf[member_size] != 0)
                __builtin_trap();
            std::free(buf);
        }
    }
    unzClose(zip);
    return 0;
}
