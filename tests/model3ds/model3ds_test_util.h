// Shared by the loader's tests: owning model handles, loads through either
// reader, and readers set up by hand.
#pragma once

#include "assets/model3ds.h"
#include "writer3ds.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

// Frees the model when the last copy goes; null stands for a refused load.
struct ModelPtr : std::shared_ptr<Model3ds> {
    ModelPtr(Model3ds *m = nullptr) : std::shared_ptr<Model3ds>(m, model3ds_free) {}
};

struct TempFile {
    std::string path;
    explicit TempFile(const Bytes &bytes) {
        char name[] = "/tmp/model3ds_test_XXXXXX";
        int fd = mkstemp(name);
        path = name;
        if (fd >= 0) {
            if (!bytes.empty() && write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
                path.clear();
            close(fd);
        }
    }
    ~TempFile() { std::remove(path.c_str()); }
};

inline ModelPtr load(const Bytes &bytes) {
    return model3ds_load_mem(bytes.data(), int32_t(bytes.size()));
}

inline ModelPtr load_via_file(const Bytes &bytes) {
    TempFile file(bytes);
    return model3ds_load_file(file.path.c_str());
}

inline Model3dsReader memory_reader(const unsigned char *bytes, int32_t size) {
    Model3dsReader r{};
    r.source = const_cast<unsigned char *>(bytes);
    r.size = size;
    r.read = model3ds_mem_read;
    r.seek = model3ds_mem_seek;
    r.eof = model3ds_mem_eof;
    r.getc = model3ds_mem_getc;
    return r;
}

inline Model3dsReader file_reader(FILE *stream) {
    Model3dsReader r{};
    r.source = stream;
    r.read = model3ds_file_read;
    r.seek = model3ds_file_seek;
    r.eof = model3ds_file_eof;
    r.getc = model3ds_file_getc;
    return r;
}
