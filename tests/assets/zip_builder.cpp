// Builds test archives through a temporary file with minizip's zip API, so the
// bytes are exactly what a real ZIP writer produces.

#include "zip_builder.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

std::string read_file_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

static void write_member(zipFile zf, const ZipMember &m) {
    zip_fileinfo info = {};
    int method = m.stored || m.forge ? 0 : Z_DEFLATED;
    int raw = m.forge ? 1 : 0;
    if (zipOpenNewFileInZip2(zf, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                             Z_DEFAULT_COMPRESSION, raw) != ZIP_OK)
        throw std::runtime_error("zipOpenNewFileInZip2");
    if (!m.data.empty() &&
        zipWriteInFileInZip(zf, m.data.data(), unsigned(m.data.size())) != ZIP_OK)
        throw std::runtime_error("zipWriteInFileInZip");
    int rc =
        m.forge ? zipCloseFileInZipRaw(zf, m.forged_size, m.forged_crc) : zipCloseFileInZip(zf);
    if (rc != ZIP_OK)
        throw std::runtime_error("zipCloseFileInZip");
}

std::vector<unsigned char> zip_build(const std::vector<ZipMember> &members) {
    char path[] = "/tmp/quorrin_zip_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        throw std::runtime_error("mkstemp");
    close(fd);
    zipFile zf = zipOpen(path, APPEND_STATUS_CREATE);
    if (!zf)
        throw std::runtime_error("zipOpen");
    for (const ZipMember &m : members)
        write_member(zf, m);
    zipClose(zf, nullptr);
    std::string bytes = read_file_bytes(path);
    std::remove(path);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}
