// Archive members into memory, and the four loaders that turn them into game
// assets. A member is inflated once, straight into the buffer its consumer
// reads; anything short of the whole, intact member counts as missing.

#include "assets/archive.h"

#include "assets/model3ds.h"
#include "core/startup.h"

#include "assets/png.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <climits>
#include <cstdlib>

// Deflate cannot expand data by more than about 1032 to 1; a header that
// claims more is corrupt, and believing it would mean a huge allocation.
static const unsigned long MAX_DEFLATE_RATIO = 1032;

static bool plausible_size(const unz_file_info &info) {
    if (info.uncompressed_size >= unsigned(INT_MAX))
        return false;
    if (info.compression_method == 0)
        return info.uncompressed_size == info.compressed_size;
    return info.uncompressed_size <= info.compressed_size * MAX_DEFLATE_RATIO + 64;
}

char *archive_read_member(unzFile zip, const char *name, int *size) {
    if (unzLocateFile(zip, name, 2) != UNZ_OK)
        return nullptr;
    unz_file_info info;
    if (unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return nullptr;
    if (!plausible_size(info))
        return nullptr;
    int n = int(info.uncompressed_size);
    char *buf = static_cast<char *>(std::malloc(size_t(n) + 1));
    if (!buf)
        return nullptr;
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        std::free(buf);
        return nullptr;
    }
    int got = n > 0 ? unzReadCurrentFile(zip, buf, unsigned(n)) : 0;
    // The checksum is only verified once the whole member has been read.
    int closed = unzCloseCurrentFile(zip);
    if (got != n || closed != UNZ_OK) {
        std::free(buf);
        return nullptr;
    }
    buf[n] = 0;
    if (size)
        *size = n;
    return buf;
}

Model3ds *archive_load_model(unzFile zip, const char *name) {
    int size = 0;
    char *buf = archive_read_member(zip, name, &size);
    if (!buf)
        return nullptr;
    Model3ds *model = model3ds_load_mem(reinterpret_cast<const unsigned char *>(buf), size);
    std::free(buf);
    return model;
}

Mix_Chunk *archive_load_sound(unzFile zip, const char *name) {
    int size = 0;
    char *buf = archive_read_member(zip, name, &size);
    if (!buf)
        return nullptr;
    Mix_Chunk *chunk = nullptr;
    SDL_RWops *rw = SDL_RWFromMem(buf, size);
    if (rw)
        chunk = Mix_LoadWAV_RW(rw, 1); // the mixer closes the stream, loaded or not
    std::free(buf);
    return chunk;
}

Mix_Music *archive_load_music(unzFile zip, const char *name) {
    int size = 0;
    char *buf = archive_read_member(zip, name, &size);
    if (!buf)
        return nullptr;
    // The music streams from the buffer while it plays: on success both the
    // buffer and the stream live as long as the music, that is for good.
    SDL_RWops *rw = SDL_RWFromMem(buf, size);
    Mix_Music *music = rw ? Mix_LoadMUS_RW(rw) : nullptr;
    if (!music) {
        if (rw)
            SDL_RWclose(rw);
        std::free(buf);
    }
    return music;
}

unsigned archive_load_texture(unzFile zip, const char *name, int mipmap, int trans, pngInfo *info,
                              int wrap, int minfilter, int magfilter) {
    int size = 0;
    char *buf = archive_read_member(zip, name, &size);
    if (!buf)
        fatal_error("Corrupted EXE file, re-download please!\n\nInternal error: file not found.");
    unsigned tex = pngBindMem(buf, size, mipmap, trans, info, wrap, minfilter, magfilter);
    std::free(buf);
    return tex;
}
