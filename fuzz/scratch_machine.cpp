// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratch_machine.h"

#include "diskimage/image_drives.h"
#include "platform/machine.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace kor::fuzz {

namespace fs = std::filesystem;

namespace {

class ScratchRoot {
  public:
    ScratchRoot() {
        std::string pattern = (fs::temp_directory_path() / "kor-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            fail("cannot create the scratch drive root");
        m_root = pattern;
    }
    ~ScratchRoot() {
        std::error_code error;
        fs::current_path(fs::temp_directory_path(error), error);
        fs::remove_all(m_root, error);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    const fs::path& root() const { return m_root; }

  private:
    fs::path m_root;
};

} // namespace

const fs::path& freshScratchMachine() {
    static const ScratchRoot scratch;
    const fs::path& root = scratch.root();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root, error))
        fs::remove_all(entry.path(), error);
    fs::create_directories(root / "c" / "WINDOWS" / "SYSTEM", error);
    if (error)
        fail("cannot prepare the scratch drive C:");
    platform::Machine::setCurrent(platform::Machine(root, "C:\\WINDOWS"));
    platform::Machine::setImageOpener(diskimage::openImageDrive);
    return root;
}

void writeHostFile(const fs::path& path, const void* bytes, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    file.close();
    if (!file)
        fail("cannot write an input file on the scratch drive");
}

void fail(const char* what) {
    std::fprintf(stderr, "KOR fuzz: %s\n", what);
    std::abort();
}

} // namespace kor::fuzz
