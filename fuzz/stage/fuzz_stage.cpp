// Feeds arbitrary bytes to the stage script parser as the member reader would
// hand them over (with a terminating 0), then walks and frees the list.

#include "assets/stage_script.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = static_cast<char *>(std::malloc(size + 1));
    if (!text)
        return 0;
    std::memcpy(text, data, size);
    text[size] = 0;
    stage_script_parse(text);

    // Every line holds at most one row, and only the last row may end the stage.
    size_t lines = 1;
    for (size_t i = 0; i < size; i++)
        lines += data[i] == '\n' || data[i] == '\r';
    size_t rows = 0;
    for (StageEntry *e = g_stage_head; e;) {
        StageEntry *next = e->next;
        if (next && e->fire_distance == -1.0f)
            __builtin_trap();
        std::free(e);
        e = next;
        rows++;
    }
    if (rows > lines)
        __builtin_trap();
    g_stage_head = nullptr;
    std::free(text);
    return 0;
}
