// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kor::platform {
namespace {

// The libraries the programs load by name are found on kor_platform's run
// path, wherever the loading program lies; a missing one says where it was
// looked for.
TEST(LoadedLibrary, OpensByNameFromTheRunPathOrSaysWhereItLooked) {
    struct Case {
        const char* fileName;
        const char* symbol; // nullptr: cannot be loaded
    };
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    // (The desktop face is left out: Qt, once loaded, is not made to be
    // unloaded, and the programs never do. kor_x11_message_test loads it.)
    for (const Case& c :
         {Case{"libunlha32.so", "UnlhaCheckArchive"}, Case{"libkor_no_such_library.so", nullptr}}) {
        std::string error;
        const LoadedLibrary library = LoadedLibrary::openByName(c.fileName, error);
        if (c.symbol) {
            EXPECT_TRUE(library) << c.fileName << ": " << error;
            EXPECT_NE(library.symbol(c.symbol), nullptr) << c.fileName;
        } else {
            EXPECT_FALSE(library);
            EXPECT_NE(error.find(c.fileName), std::string::npos) << error;
            EXPECT_NE(error.find(program.string()), std::string::npos) << error;
        }
    }
}

} // namespace
} // namespace kor::platform
