// The PNG texture loader: PNG bytes or files in, OpenGL textures (or raw
// pixels) out. The game binds its textures from memory; the file entries,
// mipmap builders and alpha modes make it a small texture library of its own.
#pragma once

#include <cstdio>

// mipmap: a value of 0 or more is the level that receives the image.
enum {
    PNG_NOMIPMAPS = 0,
    PNG_BUILDMIPMAPS = -1,  // whole chain, 2 by 2 averaging
    PNG_SIMPLEMIPMAPS = -2, // whole chain, top-left pixel of each 2 by 2 block
};

// trans: where the uploaded alpha comes from.
enum {
    PNG_CALLBACK = -3, // the alpha callback, per pixel
    PNG_ALPHA = -2,    // the image's own alpha (alpha channel, or a palette's transparency)
    PNG_SOLID = -1,    // no alpha
    PNG_STENCIL = 0,   // transparent where the pixel equals the stencil colour
    PNG_BLEND1 = 1,    // 1 to 7: alpha from the sum, or the sum of squares, of r, g, b
    PNG_BLEND2 = 2,
    PNG_BLEND3 = 3,
    PNG_BLEND4 = 4,
    PNG_BLEND5 = 5,
    PNG_BLEND6 = 6,
    PNG_BLEND7 = 7,
};

struct pngInfo {
    unsigned Width; // as stored in the file, before any stretch
    unsigned Height;
    unsigned Depth; // bits per sample in the file
    unsigned Alpha; // 8 when uploaded with an alpha channel, else 0
};

struct pngRawInfo {
    unsigned Width;
    unsigned Height;
    unsigned Depth;
    unsigned Alpha;
    unsigned Components;    // samples per pixel as stored (indices count as one)
    unsigned char *Data;    // the rows, owned by the caller (free)
    unsigned char *Palette; // palette images: 3 bytes per entry, owned by the caller; else null
};

typedef unsigned char (*pngAlphaCallback)(unsigned char red, unsigned char green,
                                          unsigned char blue);

// A new texture holding the PNG at data; 0 when none was made. It stays bound
// to GL_TEXTURE_2D. The caller keeps the bytes.
unsigned pngBindMem(const void *data, int size, int mipmap, int trans, pngInfo *info, int wrapst,
                    int minfilter, int magfilter);

// Into the texture bound now: 1 on success, 0 on failure.
int pngLoad(const char *filename, int mipmap, int trans, pngInfo *info);
int pngLoadF(FILE *file, int mipmap, int trans, pngInfo *info);
// A new texture from a file, as pngBindMem.
unsigned pngBind(const char *filename, int mipmap, int trans, pngInfo *info, int wrapst,
                 int minfilter, int magfilter);
unsigned pngBindF(FILE *file, int mipmap, int trans, pngInfo *info, int wrapst, int minfilter,
                  int magfilter);

// Decodes without touching OpenGL: 1 on success, 0 on failure.
int pngLoadRaw(const char *filename, pngRawInfo *raw);
int pngLoadRawF(FILE *file, pngRawInfo *raw);

void pngSetStencil(unsigned char red, unsigned char green, unsigned char blue);
// Null restores DefaultAlphaCallback.
void pngSetAlphaCallback(pngAlphaCallback callback);
unsigned char DefaultAlphaCallback(unsigned char red, unsigned char green, unsigned char blue);
// v > 0 fixes the screen gamma at 2.2 / v and stops "VIEWING_GAMMA" from
// counting; anything else restores 2.2 and lets the variable count again.
void pngSetViewingGamma(double viewingGamma);
// Nonzero: rows are stored bottom row first.
void pngSetStandardOrientation(int standardOrientation);

// Uploads level 0 and every halved level down to 1 by 1 into the bound
// texture; filter 1 averages 2 by 2 blocks, 0 picks their top-left pixel.
// 1 on success, 0 when the scratch buffer cannot be had.
int Build2DMipmaps(int components, int width, int height, unsigned format,
                   const unsigned char *data, int filter);
// One halved level of source into dest (which may be source itself); 0 when
// the image is 1 by 1 and the chain is complete.
int HalfSize(int components, int width, int height, const unsigned char *source,
             unsigned char *dest, int filter);
