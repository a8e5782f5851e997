// Packs the game's data members into the ZIP archive that the executable embeds.
// Members go in the order given, with one fixed timestamp, so the same members
// always give the same archive bytes.
//
// usage: pack_archive OUT.zip [-s] FILE [[-s] FILE ...]   (-s: store, else deflate)

#include <minizip/zip.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool read_file(const char *path, std::vector<unsigned char> &out) {
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string base_name(const char *path) {
    const char *slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.zip [-s] FILE ...\n", argv[0]);
        return 2;
    }
    std::string tmp = std::string(argv[1]) + ".tmp";
    zipFile zip = zipOpen(tmp.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        std::fprintf(stderr, "pack_archive: cannot create %s\n", tmp.c_str());
        return 1;
    }
    bool ok = true;
    bool store_next = false;
    for (int i = 2; i < argc && ok; ++i) {
        if (std::strcmp(argv[i], "-s") == 0) {
            store_next = true;
            continue;
        }
        std::vector<unsigned char> bytes;
        if (!read_file(argv[i], bytes)) {
            std::fprintf(stderr, "pack_archive: cannot read %s\n", argv[i]);
            ok = false;
            break;
        }
        zip_fileinfo info;
        std::memset(&info, 0, sizeof info);
        // 2008-01-01 00:00:00, for every member and every build.
        info.tmz_date.tm_year = 2008;
        info.tmz_date.tm_mday = 1;
        int method = store_next ? 0 : Z_DEFLATED;
        int level = store_next ? 0 : Z_BEST_COMPRESSION;
        std::string name = base_name(argv[i]);
        ok = zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                 level) == ZIP_OK &&
             (bytes.empty() ||
              zipWriteInFileInZip(zip, bytes.data(), unsigned(bytes.size())) == ZIP_OK) &&
             zipCloseFileInZip(zip) == ZIP_OK;
        if (!ok)
            std::fprintf(stderr, "pack_archive: cannot pack %s\n", argv[i]);
        store_next = false;
    }
    if (zipClose(zip, nullptr) != ZIP_OK)
        ok = false;
    if (!ok || std::rename(tmp.c_str(), argv[1]) != 0) {
        std::remove(tmp.c_str());
        return 1;
    }
    return 0;
}
