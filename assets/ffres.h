// Read-only minizip file callbacks over the archive embedded in the executable:
// minizip opens "DATAZIP" through them and reads the bytes in place.
#pragma once

#include <minizip/ioapi.h>

struct FfresStream {
    const unsigned char *data; // the embedded bytes; never freed
    int size;
    int pos;
};

extern zlib_filefunc_def g_ffres_filefunc;

zlib_filefunc_def *ffres_filefunc();

voidpf ZCALLBACK ffres_open(voidpf opaque, const char *name, int mode);
uLong ZCALLBACK ffres_read(voidpf opaque, voidpf stream, void *buf, uLong n);
uLong ZCALLBACK ffres_write(voidpf opaque, voidpf stream, const void *buf, uLong n);
long ZCALLBACK ffres_tell(voidpf opaque, voidpf stream);
long ZCALLBACK ffres_seek(voidpf opaque, voidpf stream, uLong offset, int origin);
int ZCALLBACK ffres_close(voidpf opaque, voidpf stream);
int ZCALLBACK ffres_testerror(voidpf opaque, voidpf stream);
