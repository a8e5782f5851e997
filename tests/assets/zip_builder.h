// Small ZIP archives made in the tests with minizip's own writer, held in
// memory, and a stand-in for the embedded archive that serves them.
#pragma once

#include <string>
#include <vector>

struct ZipMember {
    std::string name;
    std::string data;
    bool stored = false;
    // Written raw with this checksum and declared size instead of the true ones.
    bool forge = false;
    unsigned long forged_crc = 0;
    unsigned long forged_size = 0;
};

std::vector<unsigned char> zip_build(const std::vector<ZipMember> &members);
std::string read_file_bytes(const std::string &path);

// What platform_find_archive gives for "DATAZIP" in the test programs that
// link fake_archive.cpp; absent while `present` is false.
struct FakeArchive {
    bool present = false;
    std::vector<unsigned char> bytes;
};
extern FakeArchive g_fake_archive;
