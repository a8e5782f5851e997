// minizip's file callbacks over the archive linked into the executable: the
// archive is read in place, never copied, and the stream record is the only
// allocation. The table is read-only; a write only tells the user.

#include "assets/ffres.h"

#include "platform/platform.h"

#include <climits>
#include <cstdlib>
#include <cstring>

zlib_filefunc_def g_ffres_filefunc = {
    ffres_open, ffres_read,  ffres_write,     ffres_tell,
    ffres_seek, ffres_close, ffres_testerror, nullptr,
};

zlib_filefunc_def *ffres_filefunc() {
    return &g_ffres_filefunc;
}

voidpf ZCALLBACK ffres_open(voidpf, const char *name, int) {
    int size = 0;
    const unsigned char *data = platform_find_archive(name, &size);
    if (!data)
        return nullptr;
    FfresStream *s = static_cast<FfresStream *>(std::malloc(sizeof(FfresStream)));
    if (!s)
        return nullptr;
    s->data = data;
    s->size = size;
    s->pos = 0;
    return s;
}

uLong ZCALLBACK ffres_read(voidpf, voidpf stream, void *buf, uLong n) {
    FfresStream *s = static_cast<FfresStream *>(stream);
    if (s->pos < 0 || s->pos > s->size)
        return 0;
    uLong left = uLong(s->size - s->pos);
    uLong count = n < left ? n : left;
    if (count == 0)
        return 0;
    std::memcpy(buf, s->data + s->pos, count);
    s->pos += int(count);
    return count;
}

uLong ZCALLBACK ffres_write(voidpf, voidpf, const void *, uLong) {
    platform_message_box("write not supported", "Fatal: ffres: write", MB_OK);
    return 0;
}

long ZCALLBACK ffres_tell(voidpf, voidpf stream) {
    return static_cast<FfresStream *>(stream)->pos;
}

// Positions are not clamped to the archive, only to what the int position can
// hold: a seek beyond that lands past every end, where reads give 0 bytes.
static int position_from(long long base, uLong offset) {
    if (offset > uLong(INT_MAX) || base + (long long)offset > INT_MAX)
        return INT_MAX;
    return int(base + (long long)offset);
}

long ZCALLBACK ffres_seek(voidpf, voidpf stream, uLong offset, int origin) {
    FfresStream *s = static_cast<FfresStream *>(stream);
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        s->pos = position_from(0, offset);
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        s->pos = position_from(s->pos, offset);
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        s->pos = s->size;
        break;
    default:
        break;
    }
    return 0;
}

int ZCALLBACK ffres_close(voidpf, voidpf stream) {
    std::free(stream);
    return 0;
}

int ZCALLBACK ffres_testerror(voidpf, voidpf) {
    return 0;
}
