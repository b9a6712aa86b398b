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
        Drive1.onChange = [this] {
            events.push_back("Drive1_Change " + std::string(1, Drive1.drive()));
            auto shown = Dir1.setPath(std::string(1, Drive1.drive()) + ":");
            events.push_back("Drive1_Change ends");
            return shown;
        };
        Dir1.onChange = [this] {
            events.push_back("Dir1_Change " + Dir1.path());
            return platform::Status{};
        };
    }

    TemporaryMachine machine;
    DriveList Drive1{'C'};
    DirectoryList Dir1{"C:\\"};
    std::vector<std::string> events;
};

TEST_F(HiddenLists, AnotherDriveRunsBothEventsInWindowsOrder) {
    ASSERT_TRUE(platform::Machine::current().setCurrentDirectory("D:\\LOGOS").ok());
    ASSERT_TRUE(Drive1.setDrive("D:\\LOGOS").ok());
    ASSERT_TRUE(Dir1.setPath("D:\\").ok());
    EXPECT_EQ(events, (std::vector<std::string>{"Drive1_Change D", "Dir1_Change D:\\LOGOS",
                                                "Drive1_Change ends", "Dir1_Change D:\\"}));
}

TEST_F(HiddenLists, PointingAtWhatIsShownRunsNoEvent) {
    ASSERT_TRUE(Drive1.setDrive("c:\\pics").ok());
    ASSERT_TRUE(Dir1.setPath("C:\\").ok());
    EXPECT_TRUE(events.empty());
    ASSERT_TRUE(Dir1.setPath("C:\\PICS").ok());
    ASSERT_TRUE(Dir1.setPath("c:\\pics").ok());
    EXPECT_EQ(events, (std::vector<std::string>{"Dir1_Change C:\\PICS"}));
}

TEST_F(HiddenLists, ABadPlaceFailsAndChangesNothing) {
    const auto unmapped = Drive1.setDrive("Q:\\PICS");
    ASSERT_FALSE(unmapped.ok());
    EXPECT_NE(unmapped.error().text().find("Q:"), std::string::npos);
    EXPECT_EQ(Drive1.drive(), 'C');

    const auto missing = Dir1.setPath("C:\\GONE");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().text().find("C:\\GONE"), std::string::npos);
    EXPECT_EQ(Dir1.path(), "C:\\");
    EXPECT_TRUE(events.empty());
}

TEST_F(HiddenLists, FileListShowsOnlyVisibleFilesInOrder) {
    machine.writeFile("C:\\PICS\\b.bmp", "b");
    machine.writeFile("C:\\PICS\\A.BMP", "a");
    machine.writeFile("C:\\PICS\\NOEXT", "n");
    machine.writeFile("C:\\PICS\\.hidden", "h");
    std::filesystem::create_directories(machine.host("C:\\PICS\\SUB"));
    FileList File1;
    ASSERT_TRUE(File1.setPath("C:\\PICS").ok());
    EXPECT_EQ(File1.entries().toVector(), (std::vector<std::string>{"A.BMP", "b.bmp", "NOEXT"}));
    EXPECT_FALSE(File1.setPath("C:\\GONE").ok());
    EXPECT_EQ(File1.path(), "C:\\PICS") << "a failed listing keeps the last one";
}

} // namespace
} // namespace kor::changer
