// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile.h"

#include "temporary_machine.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace kor::platform {
namespace {

using testing::TemporaryMachine;

constexpr const char* iniPath = "C:\\WINDOWS\\KOR.INI";

std::string read(std::string_view key, std::string_view fallback = "<absent>") {
    const Result<std::string> value = readProfileString("SaveDir", key, fallback, iniPath);
    return value.ok() ? value.value() : "<error: " + value.error().text() + ">";
}

TEST(Profile, FirstWriteCreatesFileAndSection) {
    TemporaryMachine machine;

    ASSERT_TRUE(writeProfileString("SaveDir", "Dir", "C:\\PICS", iniPath).ok());

    EXPECT_EQ(machine.readFile(iniPath), "[SaveDir]\r\nDir=C:\\PICS\r\n");
    EXPECT_EQ(read("Dir"), "C:\\PICS");
}

TEST(Profile, AbsentFileSectionOrKeyGivesTheFallback) {
    TemporaryMachine machine;
    EXPECT_EQ(read("Dir", "C:\\WINDOWS\\"), "C:\\WINDOWS\\");

    machine.writeFile(iniPath, "[Other]\r\nDir=elsewhere\r\n");
    EXPECT_EQ(read("Dir", "C:\\WINDOWS\\"), "C:\\WINDOWS\\");

    machine.writeFile(iniPath, "[SaveDir]\r\nFileName=A.LZH\r\n");
    EXPECT_EQ(read("Dir", "C:\\WINDOWS\\"), "C:\\WINDOWS\\");
    EXPECT_EQ(readProfileString("SaveDir", "Dir", "fallback", "Q:\\KOR.INI").valueOr(""),
              "fallback");
}

TEST(Profile, EmptyValueIsNotTheFallback) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[SaveDir]\r\nDir=\r\n");

    EXPECT_EQ(read("Dir"), "");
}

TEST(Profile, SectionAndKeyMatchWithoutRegardToCase) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[savedir]\r\nARCCHECK=on\r\n");

    EXPECT_EQ(read("ArcCheck"), "on");
    ASSERT_TRUE(writeProfileString("SAVEDIR", "arccheck", "off", iniPath).ok());
    EXPECT_EQ(machine.readFile(iniPath), "[savedir]\r\narccheck=off\r\n");
}

TEST(Profile, TrimsBlanksAndMatchingQuotes) {
    TemporaryMachine machine;
    machine.writeFile(iniPath,
                      "  [ SaveDir ]  \r\n\tDir \t=  C:\\MY PICS \t\r\nFileName=\"A B.LZH\"\r\n"
                      "MDir='x'\r\nEDir=\"unbalanced\r\n");

    EXPECT_EQ(read("Dir"), "C:\\MY PICS");
    EXPECT_EQ(read("FileName"), "A B.LZH");
    EXPECT_EQ(read("MDir"), "x");
    EXPECT_EQ(read("EDir"), "\"unbalanced");
}

TEST(Profile, FirstSectionAndFirstKeyWin) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[SaveDir]\r\nDir=first\r\nDir=second\r\n[SaveDir]\r\nDir=third\r\n"
                               "sizecheck=on\r\n");

    EXPECT_EQ(read("Dir"), "first");
    EXPECT_EQ(read("sizecheck"), "<absent>");
}

TEST(Profile, ReplacingAKeyKeepsEveryOtherLineByteForByte) {
    TemporaryMachine machine;
    const std::string before = "; written by hand\r\n"
                               "[Other]\r\nDir=other\r\n\r\n"
                               "[SaveDir]\r\n"
                               "FileName=A.LZH\r\n"
                               "junk without equals \xFF\xFE\r\n"
                               "Dir = C:\\OLD\r\n"
                               "ArcCheck=on\n"
                               "\r\n"
                               "[Last]\r\nx=1";
    machine.writeFile(iniPath, before);

    ASSERT_TRUE(writeProfileString("SaveDir", "Dir", "C:\\NEW", iniPath).ok());

    std::string expected = before;
    expected.replace(expected.find("Dir = C:\\OLD"), 12, "Dir=C:\\NEW");
    EXPECT_EQ(machine.readFile(iniPath), expected);
    EXPECT_EQ(read("ArcCheck"), "on");
}

TEST(Profile, NewKeyFollowsTheLastKeyOfItsSection) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[SaveDir]\r\nDir=C:\\A\r\n\r\n[Other]\r\nk=v\r\n");

    ASSERT_TRUE(writeProfileString("SaveDir", "FileName", "B.LZH", iniPath).ok());
    ASSERT_TRUE(writeProfileString("Third", "pc98Check", "on", iniPath).ok());

    EXPECT_EQ(machine.readFile(iniPath), "[SaveDir]\r\nDir=C:\\A\r\nFileName=B.LZH\r\n\r\n"
                                         "[Other]\r\nk=v\r\n[Third]\r\npc98Check=on\r\n");
}

TEST(Profile, WritingToAFileWithoutFinalLineBreakEndsThatLine) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[SaveDir]\r\nDir=C:\\A");

    ASSERT_TRUE(writeProfileString("SaveDir", "EDir", "", iniPath).ok());

    EXPECT_EQ(machine.readFile(iniPath), "[SaveDir]\r\nDir=C:\\A\r\nEDir=\r\n");
    EXPECT_EQ(read("EDir"), "");
}

TEST(Profile, LongValuesReadWhole) {
    TemporaryMachine machine;
    const std::string longDirectory = "C:\\" + std::string(200, 'D');

    ASSERT_TRUE(writeProfileString("SaveDir", "DirOnly", longDirectory, iniPath).ok());

    EXPECT_EQ(read("DirOnly"), longDirectory);
}

TEST(Profile, JapaneseValuesAreCp932OnDisk) {
    TemporaryMachine machine;

    ASSERT_TRUE(writeProfileString("SaveDir", "DirOnly", "C:\\表紙\\ソフト", iniPath).ok());

    EXPECT_EQ(machine.readFile(iniPath),
              "[SaveDir]\r\nDirOnly=C:\\\x95\x5C\x8E\x86\\\x83\x5C\x83\x74\x83\x67\r\n");
    EXPECT_EQ(read("DirOnly"), "C:\\表紙\\ソフト");
}

// Notepad of later Windows saves UTF-8 with a byte order mark: such a file is
// read as UTF-8, and a write puts it back in CP932, as Windows 95 reads it.
TEST(Profile, AFileMarkedAsUtf8IsReadAsUtf8AndWrittenBackInCp932) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "\xEF\xBB\xBF[SaveDir]\r\nDirOnly=C:\\表紙\r\nEDirOnly=C:\\😀\r\n");
    EXPECT_TRUE(hasUtf8Mark(iniPath));
    EXPECT_EQ(read("DirOnly"), "C:\\表紙");
    EXPECT_EQ(read("EDirOnly").substr(0, 7), "<error:") << "not text Windows 95 can hold";
    EXPECT_FALSE(writeProfileString("SaveDir", "MDirOnly", "C:\\X", iniPath).ok());

    machine.writeFile(iniPath, "\xEF\xBB\xBF[SaveDir]\r\nDirOnly=C:\\表紙\r\n");
    ASSERT_TRUE(writeProfileString("SaveDir", "MDirOnly", "C:\\X", iniPath).ok());
    EXPECT_EQ(machine.readFile(iniPath),
              "[SaveDir]\r\nDirOnly=C:\\\x95\x5C\x8E\x86\r\nMDirOnly=C:\\X\r\n");
    EXPECT_FALSE(hasUtf8Mark(iniPath));
}

TEST(Profile, TrailBytesAreNeverFoldedLikeLetters) {
    TemporaryMachine machine;
    // ヂ is 0x83 0x61 and ア is 0x83 0x41: folding the trail byte 'a' to 'A'
    // would make ヂ's line answer for ア.
    machine.writeFile(iniPath, "[SaveDir]\r\n\x83\x61=dji\r\n\x83\x41=a\r\n");

    EXPECT_EQ(read("ア"), "a");
    EXPECT_EQ(read("ヂ"), "dji");
}

TEST(Profile, ReadsFilesWithBareLineFeeds) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[SaveDir]\nDir=C:\\LF\nArcCheck=on\n");

    EXPECT_EQ(read("Dir"), "C:\\LF");
    EXPECT_EQ(read("ArcCheck"), "on");
}

TEST(Profile, RefusesLineBreaksAndNulsWithoutWriting) {
    TemporaryMachine machine;
    const std::string before = "[SaveDir]\r\nDir=C:\\A\r\n";
    machine.writeFile(iniPath, before);

    for (const std::string& value : {std::string("C:\\A\r\nArcCheck=on"), std::string("x\ny"),
                                     std::string("x\0y", 3), std::string("x\ry")}) {
        const Status status = writeProfileString("SaveDir", "Dir", value, iniPath);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().path(), iniPath);
    }
    EXPECT_FALSE(writeProfileString("SaveDir", "Dir\n", "x", iniPath).ok());
    EXPECT_FALSE(writeProfileString("Save\nDir", "Dir", "x", iniPath).ok());
    EXPECT_FALSE(writeProfileString("SaveDir", "A=B", "x", iniPath).ok());
    EXPECT_FALSE(writeProfileString("SaveDir", "Dir", "한국어", iniPath).ok());
    EXPECT_EQ(machine.readFile(iniPath), before);
}

// One replacement of the file must give the bytes that key-by-key writes give,
// so that a batch changes nothing a reader of KOR.INI could see.
TEST(Profile, SeveralKeysAtOnceGiveTheBytesOfOneWriteEach) {
    const std::vector<ProfileEntry> pair{{"Dir", "C:\\表"}, {"FileName", "ロゴ.lzh"}};
    const std::vector<ProfileEntry> repeated{{"EDir", "C:\\A"}, {"edir", "C:\\B"}, {"x", ""}};
    const struct {
        const char* name;
        std::string before; // empty: no file yet
        std::vector<ProfileEntry> entries;
    } cases[] = {
        {"no file yet", "", pair},
        {"both keys present", "[SaveDir]\r\nFileName=old.lzh\r\nDir = C:\\OLD\r\n", pair},
        {"one key new, before another section",
         "[SaveDir]\r\nDir=C:\\OLD\r\n\r\n[Other]\r\nFileName=other\r\n", pair},
        {"section absent, last line unended", "; note\r\n[Other]\r\nk=v", pair},
        {"the same key twice: the last wins", "[SaveDir]\nArcCheck=on\n", repeated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string oneByOne;
        {
            TemporaryMachine machine;
            if (!c.before.empty())
                machine.writeFile(iniPath, c.before);
            for (const ProfileEntry& entry : c.entries)
                ASSERT_TRUE(writeProfileString("SaveDir", entry.key, entry.value, iniPath).ok());
            oneByOne = machine.readFile(iniPath);
        }
        TemporaryMachine machine;
        if (!c.before.empty())
            machine.writeFile(iniPath, c.before);

        ASSERT_TRUE(writeProfileStrings("SaveDir", c.entries, iniPath).ok());

        EXPECT_EQ(machine.readFile(iniPath), oneByOne);
    }
}

TEST(Profile, OneRefusedEntryWritesNoneOfTheBatch) {
    const std::string before = "[SaveDir]\r\nDir=C:\\A\r\nFileName=a.lzh\r\n";
    const std::vector<std::vector<ProfileEntry>> batches{
        {{"Dir", "C:\\B"}, {"FileName", "two\nlines.lzh"}},
        {{"Dir", "C:\\two\rlines"}, {"FileName", "b.lzh"}},
        {{"Dir", "C:\\B"}, {"FileName", std::string_view("b\0.lzh", 6)}},
        {{"Dir", "C:\\B"}, {"FileName", "🙂.lzh"}},
        {{"Dir", "C:\\B"}, {"File=Name", "b.lzh"}},
        {{"Dir", "C:\\B"}, {" ", "b.lzh"}},
    };
    for (const auto& batch : batches) {
        TemporaryMachine machine;
        machine.writeFile(iniPath, before);
        const auto entries = [&] {
            std::vector<std::filesystem::path> names;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(machine.root()))
                names.push_back(entry.path());
            std::ranges::sort(names);
            return names;
        };
        const std::vector<std::filesystem::path> entriesBefore = entries();

        const Status status = writeProfileStrings("SaveDir", batch, iniPath);

        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().path(), iniPath);
        EXPECT_EQ(machine.readFile(iniPath), before);
        // Not even a staged copy is left beside it.
        EXPECT_EQ(entries(), entriesBefore);
    }
}

TEST(Profile, WriteFailureReportsAndKeepsTheFile) {
    TemporaryMachine machine;
    std::filesystem::create_directories(machine.host(iniPath));

    const Status status = writeProfileString("SaveDir", "Dir", "C:\\A", iniPath);

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().path(), iniPath);
    EXPECT_TRUE(std::filesystem::is_directory(machine.host(iniPath)));
    EXPECT_FALSE(readProfileString("SaveDir", "Dir", "", iniPath).ok());
}

TEST(Profile, ReadOnlyFileIsNotWritten) {
    TemporaryMachine machine;
    const std::string before = "[SaveDir]\r\nDir=C:\\A\r\n";
    machine.writeFile(iniPath, before);
    std::filesystem::permissions(machine.host(iniPath), std::filesystem::perms::owner_read);

    const Status status = writeProfileString("SaveDir", "Dir", "C:\\B", iniPath);

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code(), EACCES);
    EXPECT_EQ(status.error().message(),
              "C:\\WINDOWS\\KOR.INI\nこのﾌｧｲﾙに書き込めません。アクセスが拒否されました。");
    EXPECT_EQ(machine.readFile(iniPath), before);
}

TEST(Profile, RefusalsSayWhy) {
    TemporaryMachine machine;

    const Status lineBreak = writeProfileString("SaveDir", "Dir", "x\ny", iniPath);
    const Status korean = writeProfileString("SaveDir", "Dir", "한국어", iniPath);

    ASSERT_FALSE(lineBreak.ok());
    EXPECT_EQ(lineBreak.error().code(), EINVAL);
    EXPECT_EQ(lineBreak.error().text(),
              "cannot write C:\\WINDOWS\\KOR.INI: the value holds a line break or a NUL byte");
    ASSERT_FALSE(korean.ok());
    EXPECT_EQ(korean.error().code(), EILSEQ);
    EXPECT_EQ(korean.error().message(),
              "C:\\WINDOWS\\KOR.INI\n"
              "このﾌｧｲﾙに書き込めません。Shift-JIS で扱えない文字があります。");
}

TEST(Profile, InvalidCp932MattersOnlyInTheValueAskedFor) {
    TemporaryMachine machine;
    machine.writeFile(iniPath, "[SaveDir]\r\nDir=C:\\\x81\r\n\xFF\xFF=junk\r\nFileName=A.LZH\r\n");

    const Result<std::string> broken = readProfileString("SaveDir", "Dir", "", iniPath);

    ASSERT_FALSE(broken.ok());
    EXPECT_EQ(broken.error().path(), std::string(iniPath) + " [SaveDir] Dir");
    EXPECT_EQ(read("FileName"), "A.LZH");
}

TEST(Profile, NulByteInAValueIsRefusedNamingTheKey) {
    TemporaryMachine machine;
    const char bytes[] = "[SaveDir]\r\nDirOnly=C:\\PICS\0/etc\r\nDir=C:\\A\r\n";
    machine.writeFile(iniPath, std::string(bytes, sizeof bytes - 1));

    const Result<std::string> cut = readProfileString("SaveDir", "DirOnly", "", iniPath);

    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error().code(), EINVAL);
    EXPECT_EQ(cut.error().path(), std::string(iniPath) + " [SaveDir] DirOnly");
    EXPECT_EQ(read("Dir"), "C:\\A");
}

} // namespace
} // namespace kor::platform
