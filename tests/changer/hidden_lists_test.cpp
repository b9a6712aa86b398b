// SPDX-License-Identifier: GPL-3.0-or-later
#include "hidden_lists.h"

#include "platform/machine.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kor::changer {
namespace {

using testing::TemporaryMachine;

class HiddenLists : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.addDrive('D');
        std::filesystem::create_directories(machine.host("C:\\PICS"));
        std::filesystem::create_directories(machine.host("D:\\LOGOS"));
        driveList.onChange = [this] {
            events.push_back("drive changed " + std::string(1, driveList.drive()));
            auto shown = folderList.setPath(std::string(1, driveList.drive()) + ":");
            events.push_back("drive changed ends");
            return shown;
        };
        folderList.onChange = [this] {
            events.push_back("folder changed " + folderList.path());
            return platform::Status{};
        };
    }

    TemporaryMachine machine;
    DriveList driveList{'C'};
    DirectoryList folderList{"C:\\"};
    std::vector<std::string> events;
};

TEST_F(HiddenLists, AnotherDriveRunsBothEventsInWindowsOrder) {
    ASSERT_TRUE(platform::Machine::current().setCurrentDirectory("D:\\LOGOS").ok());
    ASSERT_TRUE(driveList.setDrive("D:\\LOGOS").ok());
    ASSERT_TRUE(folderList.setPath("D:\\").ok());
    EXPECT_EQ(events, (std::vector<std::string>{"drive changed D", "folder changed D:\\LOGOS",
                                                "drive changed ends", "folder changed D:\\"}));
}

TEST_F(HiddenLists, PointingAtWhatIsShownRunsNoEvent) {
    ASSERT_TRUE(driveList.setDrive("c:\\pics").ok());
    ASSERT_TRUE(folderList.setPath("C:\\").ok());
    EXPECT_TRUE(events.empty());
    ASSERT_TRUE(folderList.setPath("C:\\PICS").ok());
    ASSERT_TRUE(folderList.setPath("c:\\pics").ok());
    EXPECT_EQ(events, (std::vector<std::string>{"folder changed C:\\PICS"}));
}

TEST_F(HiddenLists, ABadPlaceFailsAndChangesNothing) {
    const auto unmapped = driveList.setDrive("Q:\\PICS");
    ASSERT_FALSE(unmapped.ok());
    EXPECT_NE(unmapped.error().text().find("Q:"), std::string::npos);
    EXPECT_EQ(driveList.drive(), 'C');

    const auto missing = folderList.setPath("C:\\GONE");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().text().find("C:\\GONE"), std::string::npos);
    EXPECT_EQ(folderList.path(), "C:\\");
    EXPECT_TRUE(events.empty());
}

TEST_F(HiddenLists, FileListShowsOnlyVisibleFilesInOrder) {
    machine.writeFile("C:\\PICS\\b.bmp", "b");
    machine.writeFile("C:\\PICS\\A.BMP", "a");
    machine.writeFile("C:\\PICS\\NOEXT", "n");
    machine.writeFile("C:\\PICS\\.hidden", "h");
    std::filesystem::create_directories(machine.host("C:\\PICS\\SUB"));
    FileList fileList;
    ASSERT_TRUE(fileList.setPath("C:\\PICS").ok());
    EXPECT_EQ(fileList.entries().toVector(), (std::vector<std::string>{"A.BMP", "b.bmp", "NOEXT"}));
    EXPECT_FALSE(fileList.setPath("C:\\GONE").ok());
    EXPECT_EQ(fileList.path(), "C:\\PICS") << "a failed listing keeps the last one";
}

} // namespace
} // namespace kor::changer
