// Reading archive members into memory and turning them into models, sounds,
// music and textures.
#pragma once

#include <minizip/unzip.h>

struct Model3ds;
struct Mix_Chunk;
struct _Mix_Music;
struct pngInfo;

// The whole member plus a terminating 0 byte, owned by the caller; null when
// the member is missing or cannot be read whole.
char *archive_read_member(unzFile zip, const char *name, int *size);
Model3ds *archive_load_model(unzFile zip, const char *name);
Mix_Chunk *archive_load_sound(unzFile zip, const char *name);
_Mix_Music *archive_load_music(unzFile zip, const char *name);
// Fatal when the member is missing; 0 when it does not decode.
unsigned archive_load_texture(unzFile zip, const char *name, int mipmap, int trans, pngInfo *info,
                              int wrap, int minfilter, int magfilter);
