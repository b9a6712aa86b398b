// SPDX-License-Identifier: GPL-3.0-or-later
// Writes an LZH archive of many small stored members, for measuring the
// programs on big archives with outside tools (heaptrack, /usr/bin/time -v).
//
//     make_lzh_archive COUNT PATH

#include "lzh_writer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_lzh_archive COUNT PATH\n");
        return 2;
    }
    const std::size_t count = std::strtoul(argv[1], nullptr, 10);
    std::vector<kor::testing::LzhMember> members;
    members.reserve(count);
    char name[32];
    for (std::size_t i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, "M%07zu.BMP", i);
        members.push_back({name, "BM" + std::to_string(i)});
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << kor::testing::makeLzhArchive(members);
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_lzh_archive: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
