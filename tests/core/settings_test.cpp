// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include "temporary_machine.h"

#include <gtest/gtest.h>

namespace kor::core {
namespace {

using testing::TemporaryMachine;

Settings readFresh(std::string windowsDirectory = "C:\\WINDOWS") {
    Settings settings;
    settings.settingsDirectory = std::move(windowsDirectory);
    EXPECT_TRUE(readSettings(settings).ok());
    return settings;
}

TEST(Settings, WithoutIniDirectoriesDefaultToTheSettingsDirectory) {
    TemporaryMachine machine;
    const Settings settings = readFresh();
    EXPECT_EQ(settings.Dir, "C:\\WINDOWS\\");
    EXPECT_EQ(settings.MDir, "C:\\WINDOWS\\");
    EXPECT_EQ(settings.EDir, "C:\\WINDOWS\\");
    for (const std::string* value : {&settings.FileName, &settings.MFileName, &settings.EFileName,
                                     &settings.DirOnly, &settings.MDirOnly, &settings.EDirOnly,
                                     &settings.ArcCheck, &settings.pc98Check, &settings.sizecheck})
        EXPECT_EQ(*value, "");
    EXPECT_FALSE(isBmpMode(settings));
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\KOR.INI")) << "reading never creates the file";
}

TEST(Settings, SettingsDirectoryGetsOneTrailingBackslash) {
    struct Case {
        std::string reported;
        std::string expected;
    };
    for (const Case& c : {Case{"C:\\WINDOWS", "C:\\WINDOWS\\"},
                          Case{"C:\\WINDOWS\\", "C:\\WINDOWS\\"}, Case{"C:\\", "C:\\"}}) {
        Settings settings;
        settings.settingsDirectory = c.reported;
        prepareSettingsPath(settings);
        EXPECT_EQ(settings.settingsDirectory, c.expected);
        EXPECT_EQ(settings.iniPath, c.expected + "KOR.INI");
    }
}

TEST(Settings, ReadsAFileWrittenOnWindows) {
    TemporaryMachine machine;
    // CRLF lines, CP932 bytes, keys in any order and case, blanks around "=".
    // "C:\壁紙\表" holds 0x5C as the trail byte of 表 (0x95 0x5C).
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "[savedir]\r\n"
                                              "arccheck=on\r\n"
                                              "DIRONLY = C:\\\x95\xC7\x8E\x86\\\x95\x5C\r\n"
                                              "MDirOnly=D:\\LOGOS\r\n"
                                              "Dir=\r\n"
                                              "pc98Check=ON\r\n"
                                              "SizeCheck=on\r\n");
    const Settings settings = readFresh();
    EXPECT_TRUE(isBmpMode(settings));
    EXPECT_EQ(settings.DirOnly, "C:\\壁紙\\表");
    EXPECT_EQ(settings.MDirOnly, "D:\\LOGOS");
    EXPECT_EQ(settings.EDirOnly, "");
    EXPECT_EQ(settings.Dir, "") << "a key present with no value is empty, not the default";
    EXPECT_EQ(settings.MDir, "C:\\WINDOWS\\");
    EXPECT_EQ(settings.pc98Check, "ON");
    EXPECT_FALSE(isOn(settings.pc98Check)) << "flags are exact, case-sensitive \"on\"";
    EXPECT_TRUE(isOn(settings.sizecheck));
}

TEST(Settings, CapitalOnIsArchiveMode) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "[SaveDir]\r\nArcCheck=ON\r\n");
    EXPECT_FALSE(isBmpMode(readFresh()));
}

TEST(Settings, ALongValueReadsBackWhole) {
    TemporaryMachine machine;
    const std::string longDirectory = "C:\\" + std::string(200, 'P');
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "[SaveDir]\r\nDirOnly=" + longDirectory + "\r\n");
    EXPECT_EQ(readFresh().DirOnly, longDirectory);
}

TEST(Settings, JunkLinesAndOtherSectionsAreIgnored) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "garbage without equals\r\n"
                                              "[Other]\r\nDirOnly=C:\\WRONG\r\n"
                                              "\x01\x02\r\n"
                                              "[SaveDir]\r\n=no key\r\nDirOnly=C:\\RIGHT\r\n");
    EXPECT_EQ(readFresh().DirOnly, "C:\\RIGHT");
}

TEST(Settings, InvalidShiftJisStopsReadingAtThatKey) {
    TemporaryMachine machine;
    // 0x81 0x20 is a lead byte followed by a byte that cannot trail it.
    machine.writeFile("C:\\WINDOWS\\KOR.INI",
                      "[SaveDir]\r\nFileName=A.LZH\r\nMDir=C:\\\x81\x20\r\nEDirOnly=C:\\E\r\n");
    Settings settings;
    settings.settingsDirectory = "C:\\WINDOWS";
    settings.EDirOnly = "kept";
    const auto read = readSettings(settings);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().path().find("KOR.INI"), std::string::npos) << read.error().text();
    EXPECT_EQ(settings.FileName, "A.LZH") << "keys before the fault keep their new values";
    EXPECT_EQ(settings.EDirOnly, "kept") << "keys after it keep their old ones";
}

TEST(Settings, WriteCreatesTheFileWithTheBytesWindowsWrites) {
    TemporaryMachine machine;
    Settings settings;
    settings.settingsDirectory = "C:\\WINDOWS";
    ASSERT_TRUE(writeSetting(settings, "DirOnly", "C:\\壁紙\\表").ok());
    ASSERT_TRUE(writeSetting(settings, "ArcCheck", "on").ok());
    ASSERT_TRUE(writeSetting(settings, "DirOnly", "").ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\KOR.INI"), "[SaveDir]\r\nDirOnly=\r\nArcCheck=on\r\n");
    ASSERT_TRUE(writeSetting(settings, "MDirOnly", "C:\\壁紙\\表").ok());
    EXPECT_EQ(
        machine.readFile("C:\\WINDOWS\\KOR.INI"),
        "[SaveDir]\r\nDirOnly=\r\nArcCheck=on\r\nMDirOnly=C:\\\x95\xC7\x8E\x86\\\x95\x5C\r\n");
    EXPECT_EQ(settings.settingsDirectory, "C:\\WINDOWS\\");
}

TEST(Settings, WrittenValuesReadBack) {
    TemporaryMachine machine;
    Settings written;
    written.settingsDirectory = "C:\\WINDOWS";
    const std::string longValue = "D:\\" + std::string(300, 'x') + "\\ロゴ";
    ASSERT_TRUE(writeSetting(written, "EDirOnly", longValue).ok());
    ASSERT_TRUE(writeSetting(written, "Dir", "").ok());
    const Settings settings = readFresh();
    EXPECT_EQ(settings.EDirOnly, longValue);
    EXPECT_EQ(settings.Dir, "");
}

TEST(Settings, AValueThatWouldBreakTheFileIsRefused) {
    TemporaryMachine machine;
    const std::string before = "[SaveDir]\r\nDirOnly=C:\\PICS\r\n";
    machine.writeFile("C:\\WINDOWS\\KOR.INI", before);
    Settings settings;
    settings.settingsDirectory = "C:\\WINDOWS";
    for (std::string_view value : {std::string_view("C:\\A\r\nArcCheck=on"),
                                   std::string_view("C:\\A\nB"), std::string_view("C:\\A\0B", 6)}) {
        EXPECT_FALSE(writeSetting(settings, "DirOnly", value).ok());
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\KOR.INI"), before);
    }
}

TEST(Settings, AnArchivePairIsWrittenWholeOrNotAtAll) {
    TemporaryMachine machine;
    const std::string before = "[SaveDir]\r\nMDir=C:\\OLD\r\nMFileName=old.lzh\r\n";
    machine.writeFile("C:\\WINDOWS\\KOR.INI", before);
    Settings settings;
    settings.settingsDirectory = "C:\\WINDOWS";

    for (std::string_view refused : {"two\nlines.lzh", "🙂.lzh"}) {
        EXPECT_FALSE(writeSettings(settings, {{"MDir", "D:\\ARC"}, {"MFileName", refused}}).ok());
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\KOR.INI"), before);
    }
    ASSERT_TRUE(writeSettings(settings, {{"MDir", "D:\\ARC"}, {"MFileName", "ロゴ.lzh"}}).ok());
    const Settings read = readFresh();
    EXPECT_EQ(read.MDir, "D:\\ARC");
    EXPECT_EQ(read.MFileName, "ロゴ.lzh");
}

TEST(Settings, SettingValueFindsEveryKeyWithoutRegardToCase) {
    Settings settings;
    for (std::string_view key : SettingKeys)
        ASSERT_NE(settingValue(settings, key), nullptr) << key;
    *settingValue(settings, "PC98CHECK") = "on";
    EXPECT_EQ(settings.pc98Check, "on");
    EXPECT_EQ(settingValue(settings, "Unknown"), nullptr);
}

struct SourceCase {
    const char* key;
    const char* value;
    bool accepted;
};

class SourceValue : public ::testing::TestWithParam<SourceCase> {};

// KOR.INI names only the emulated machine: nothing it holds may reach a host
// folder outside the drives.
TEST_P(SourceValue, OnlyNamesTheMachine) {
    Settings settings;
    settings.iniPath = "C:\\WINDOWS\\KOR.INI";
    // As read from a file without them: an archive's folder is the Windows
    // directory.
    settings.Dir = settings.MDir = settings.EDir = "C:\\WINDOWS";
    *settingValue(settings, GetParam().key) = GetParam().value;

    const platform::Status checked = checkSourceSettings(settings);

    if (GetParam().accepted) {
        EXPECT_TRUE(checked.ok()) << checked.error().text();
    } else {
        ASSERT_FALSE(checked.ok());
        EXPECT_EQ(checked.error().code(), EINVAL);
        EXPECT_EQ(checked.error().path(), std::string("C:\\WINDOWS\\KOR.INI [SaveDir] ") +
                                              GetParam().key + "=" + GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SourceValue,
    ::testing::Values(
        SourceCase{"DirOnly", "C:\\PICS", true}, SourceCase{"MDir", "D:", true},
        SourceCase{"EDir", "\\ARC\\..\\X", true}, SourceCase{"Dir", "C:/a/b", true},
        SourceCase{"FileName", "LOGO.LZH", true}, SourceCase{"EFileName", "表示.LZH", true},
        SourceCase{"MDirOnly", "", true}, SourceCase{"DirOnly", "/home/x", false},
        SourceCase{"Dir", "/etc", false}, SourceCase{"EDirOnly", "C:\\A\x1B[2J", false},
        SourceCase{"MDir", "C:\\A\tB", false}, SourceCase{"FileName", "/abs/host/x.lzh", false},
        SourceCase{"MFileName", "..\\X.LZH", false}, SourceCase{"EFileName", "C:X.LZH", false},
        SourceCase{"FileName", "X\x7F.LZH", false}));

} // namespace
} // namespace kor::core
