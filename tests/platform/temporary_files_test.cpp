// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/temporary_files.h"

#include "temporary_machine.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace kor::platform {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryMachine;

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void makeOlder(const fs::path& path) {
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
}

TEST(TemporaryFiles, NamesArePlainEightDotThreeAndNeverShared) {
    TemporaryMachine machine;
    std::vector<TemporaryFile> files;
    std::set<std::string> paths;
    for (int i = 0; i < 50; ++i) {
        auto file = TemporaryFile::create("C:\\WINDOWS");
        ASSERT_TRUE(file.ok()) << file.error().text();
        const std::string name = file.value().path().substr(std::string("C:\\WINDOWS\\").size());
        EXPECT_TRUE(isTemporaryName(name)) << name;
        EXPECT_EQ(name.size(), 12u) << name;
        paths.insert(file.value().path());
        files.push_back(std::move(file).value());
    }
    EXPECT_EQ(paths.size(), 50u);
    files.clear();
    EXPECT_EQ(namesIn(machine.host("C:\\WINDOWS")), std::set<std::string>{"SYSTEM"});
}

TEST(TemporaryFiles, CommitGivesTheNameAndLeavesNothingElse) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\KEPT.TXT", "the user's");
    for (const auto replace : {TemporaryFile::Replace::No, TemporaryFile::Replace::Yes}) {
        auto file = TemporaryFile::create("C:\\WINDOWS");
        ASSERT_TRUE(file.ok());
        ASSERT_TRUE(file.value().write("new").ok());
        const Status committed = file.value().commitAs("C:\\WINDOWS\\KEPT.TXT", replace);
        EXPECT_EQ(committed.ok(), replace == TemporaryFile::Replace::Yes);
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\KEPT.TXT"),
                  replace == TemporaryFile::Replace::Yes ? "new" : "the user's");
    }
    EXPECT_EQ(namesIn(machine.host("C:\\WINDOWS")), (std::set<std::string>{"KEPT.TXT", "SYSTEM"}));
}

// What a run that died left, what a live run holds, and what is not ours.
TEST(TemporaryFiles, OnlyStaleOnesOfOursAreRemoved) {
    TemporaryMachine machine;
    const fs::path windows = machine.host("C:\\WINDOWS");
    for (const char* name : {"~KORAB12.TMP", "~kor0000.tmp", "~KORZZZZ.TMP", "~KORAB1.TMP",
                             "~KORAB12.TMP.BAK", "LOGO.BMP"}) {
        machine.writeFile(std::string("C:\\WINDOWS\\") + name, "x");
        makeOlder(windows / name);
    }
    fs::create_directory(windows / "~KORDIR1.TMP");
    machine.writeFile("C:\\WINDOWS\\~KORDIR1.TMP\\A.BMP", "x");
    makeOlder(windows / "~KORDIR1.TMP");
    // A folder with folders in it is no extraction's: left alone, whole.
    fs::create_directories(windows / "~KORDIR2.TMP" / "SUB");
    machine.writeFile("C:\\WINDOWS\\~KORDIR2.TMP\\SUB\\LETTER.TXT", "x");
    makeOlder(windows / "~KORDIR2.TMP");
    // A run that is still alive holds its file locked.
    const int held = ::open((windows / "~KORZZZZ.TMP").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // One made by this very run, although nobody holds it any more.
    { auto ours = TemporaryFile::create("C:\\WINDOWS"); }
    machine.writeFile("C:\\WINDOWS\\~KORNEW1.TMP", "made after this process began");

    removeStaleTemporaries("C:\\WINDOWS");
    ::close(held);
    EXPECT_EQ(namesIn(windows),
              (std::set<std::string>{"~KORZZZZ.TMP", "~KORAB1.TMP", "~KORAB12.TMP.BAK", "LOGO.BMP",
                                     "~KORNEW1.TMP", "~KORDIR2.TMP", "SYSTEM"}));
    EXPECT_TRUE(fs::exists(windows / "~KORDIR2.TMP" / "SUB" / "LETTER.TXT"));
}

TEST(TemporaryFiles, FoldersGoWithEverythingInThem) {
    TemporaryMachine machine;
    std::string path;
    {
        auto folder = TemporaryFolder::create("C:\\WINDOWS");
        ASSERT_TRUE(folder.ok()) << folder.error().text();
        path = folder.value().path();
        machine.writeFile(path + "\\A.BMP", "x");
    }
    EXPECT_FALSE(machine.exists(path));
    EXPECT_FALSE(TemporaryFolder::create("C:\\NO\\SUCH").ok());
}

} // namespace
} // namespace kor::platform
