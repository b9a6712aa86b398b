// SPDX-License-Identifier: GPL-3.0-or-later
// The extraction command "x -jf0 archive destination\ member".

#include "library_calls.h"
#include "lzh_writer.h"
#include "temporary_machine.h"

#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace kor::testing;

namespace {

namespace fs = std::filesystem;

constexpr const char* archivePath = "C:\\ARC\\TEST.LZH";

std::string cp932(std::string_view utf8) {
    return kor::platform::toCp932(utf8).value();
}

std::string picture(std::size_t length, char seed) {
    std::string bytes(length, '\0');
    for (std::size_t index = 0; index < length; ++index)
        bytes[index] = static_cast<char>(seed + index * 7 % 251);
    return bytes.replace(0, 2, "BM");
}

class Extraction : public ::testing::Test {
  protected:
    void writeArchive(const std::vector<LzhMember>& members) {
        m_machine.writeFile(archivePath, makeLzhArchive(members));
    }
    // "x -jf0 C:\ARC\TEST.LZH C:\WINDOWS\  member", as the programs build it.
    CommandResult extract(std::string_view member) {
        return runCommand(std::string("x -jf0 ") + archivePath + " C:\\WINDOWS\\  " +
                          std::string(member));
    }
    std::set<std::string> windowsFolder() { return treeBelow(m_machine.host("C:\\WINDOWS")); }
    // Everything on drive C: but the archive and the empty system folder.
    std::set<std::string> driveC() {
        auto entries = treeBelow(m_machine.root() / "c");
        for (const char* known : {"ARC", "ARC/TEST.LZH", "WINDOWS", "WINDOWS/SYSTEM"})
            entries.erase(known);
        return entries;
    }

    TemporaryMachine m_machine;
};

TEST_F(Extraction, MemberIsWrittenIntoTheDestination) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "the picture"}});
    const CommandResult result = extract("LOGO.BMP");
    EXPECT_EQ(result.status, 0) << result.report;
    EXPECT_FALSE(result.report.empty());
    EXPECT_EQ(m_machine.readFile("C:\\WINDOWS\\LOGO.BMP"), "the picture");
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"LOGO.BMP", "SYSTEM"}));
}

TEST_F(Extraction, MemberNameIsMatchedWithoutRegardToCase) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "x"}});
    EXPECT_EQ(extract("logo.bmp").status, 0);
    EXPECT_TRUE(m_machine.exists("C:\\WINDOWS\\LOGO.BMP"));
}

TEST_F(Extraction, FoldersOfTheMemberAreLeftOut) {
    writeArchive({{.storedName = "PICS\\NIGHT\\LOGO.BMP", .data = "level 0"},
                  {.storedName = "PICS\\DAY\\LOGOW.BMP", .data = "level 2", .headerLevel = 2}});
    EXPECT_EQ(extract("PICS\\NIGHT\\LOGO.BMP").status, 0);
    EXPECT_EQ(extract("PICS\\DAY\\LOGOW.BMP").status, 0);
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"LOGO.BMP", "LOGOW.BMP", "SYSTEM"}));
    EXPECT_EQ(m_machine.readFile("C:\\WINDOWS\\LOGOW.BMP"), "level 2");
}

TEST_F(Extraction, DestinationIsAWindowsPathInAnyCaseOrADriveRoot) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "x"}});
    EXPECT_EQ(runCommand(std::string("x -jf0 ") + archivePath + " c:\\windows\\ LOGO.BMP").status,
              0);
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"LOGO.BMP", "SYSTEM"}));
    EXPECT_EQ(runCommand(std::string("x -jf0 ") + archivePath + " C:\\ LOGO.BMP").status, 0);
    EXPECT_EQ(m_machine.readFile("C:\\LOGO.BMP"), "x");
}

TEST_F(Extraction, TrailByteThatLooksLikeBackslashIsNotAFolder) {
    writeArchive({{.storedName = cp932("表.BMP"), .data = "x"}});
    ASSERT_EQ(cp932("表.BMP").substr(0, 2), "\x95\x5C");
    EXPECT_EQ(extract(cp932("表.BMP")).status, 0);
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"表.BMP", "SYSTEM"}));
}

TEST_F(Extraction, QuotedArgumentsHoldBlanks) {
    const std::string member = cp932("ロゴ 集\\朝 の ロゴ.BMP");
    m_machine.writeFile("C:\\MY ARCS\\ロゴ 集.LZH",
                        makeLzhArchive({{.storedName = member, .data = "morning"}}));
    ASSERT_TRUE(fs::create_directories(m_machine.host("C:\\WIN DIR")));
    const CommandResult result =
        runCommand(cp932("x -jf0 \"C:\\MY ARCS\\ロゴ 集.LZH\" "
                         "\"C:\\WIN DIR\\\"  \"ロゴ 集\\朝 の ロゴ.BMP\""));
    EXPECT_EQ(result.status, 0) << result.report;
    EXPECT_EQ(m_machine.readFile("C:\\WIN DIR\\朝 の ロゴ.BMP"), "morning");
}

TEST_F(Extraction, LogoSizedMembersAreWrittenWhole) {
    const std::string pc = picture(129078, 'a');
    const std::string pc98 = picture(128118, 'b');
    writeArchive({{.storedName = "PC.BMP", .data = pc},
                  {.storedName = "PC98.BMP", .data = pc98, .headerLevel = 2}});
    const auto members = listMembers(archivePath);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].originalSize, 129078u);
    EXPECT_EQ(members[1].originalSize, 128118u);
    EXPECT_EQ(extract("PC.BMP").status, 0);
    EXPECT_EQ(extract("PC98.BMP").status, 0);
    EXPECT_EQ(m_machine.readFile("C:\\WINDOWS\\PC.BMP"), pc);
    EXPECT_EQ(m_machine.readFile("C:\\WINDOWS\\PC98.BMP"), pc98);
}

TEST_F(Extraction, ExistingFileIsNeverReplaced) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "new"}});
    m_machine.writeFile("C:\\WINDOWS\\logo.bmp", "the user's own");
    const CommandResult result = extract("LOGO.BMP");
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.report.find("exists"), std::string::npos) << result.report;
    EXPECT_EQ(m_machine.readFile("C:\\WINDOWS\\logo.bmp"), "the user's own");
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"logo.bmp", "SYSTEM"}));
}

TEST_F(Extraction, CrcErrorLeavesNothingBehind) {
    std::string archive = makeLzhArchive({{.storedName = "LOGO.BMP", .data = "the picture"}});
    archive[archive.size() - 3] ^= 0x01; // a byte of the member's data
    m_machine.writeFile(archivePath, archive);
    ASSERT_NE(UnlhaCheckArchive(archivePath, 1), 0) << "the headers are sound";
    const CommandResult result = extract("LOGO.BMP");
    EXPECT_NE(result.status, 0);
    // In English on the first line, in Japanese (CP932) on the second.
    EXPECT_NE(
        result.report.find("CRC error\r\n" + kor::platform::toCp932("CRC が一致しません").value()),
        std::string::npos)
        << result.report;
    EXPECT_EQ(windowsFolder(), std::set<std::string>{"SYSTEM"});
}

// Folders are left out, so a path that leads out of the destination writes
// only its last part, inside; a last part that is no file name is refused.
TEST_F(Extraction, HostileNamesNeverLeaveTheDestination) {
    struct Case {
        std::string name;
        std::string written; // empty: refused
    };
    const std::vector<Case> cases = {{"..\\EVIL.BMP", "EVIL.BMP"},
                                     {"../EVIL.BMP", "EVIL.BMP"},
                                     {"SUB\\..\\..\\EVIL.BMP", "EVIL.BMP"},
                                     {"C:\\EVIL.BMP", "EVIL.BMP"},
                                     {"\\EVIL.BMP", "EVIL.BMP"},
                                     {"/EVIL.BMP", "EVIL.BMP"},
                                     {"C:EVIL.BMP", ""},
                                     {"SUB\\..", ""},
                                     {"SUB\\", ""},
                                     {"..", ""},
                                     {"EVIL\x1B]2;X.BMP", ""},
                                     {"SUB\\A:B.BMP", ""},
                                     {"EVIL|.BMP", ""},
                                     {"SUB\\.", ""}};
    for (const int level : {0, 2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE("level " + std::to_string(level) + " member " + c.name);
            writeArchive({{.storedName = c.name, .data = "evil", .headerLevel = level}});
            // lhasa may not even read some of these headers.
            for (const ListedMember& listed : listMembers(archivePath)) {
                const CommandResult result = extract("\"" + listed.name + "\"");
                EXPECT_EQ(result.status == 0, !c.written.empty()) << result.report;
                if (result.status == 0) {
                    EXPECT_EQ(windowsFolder(), (std::set<std::string>{c.written, "SYSTEM"}));
                }
                for (const std::string& file : driveC()) {
                    EXPECT_TRUE(file == "WINDOWS/" + c.written) << file;
                }
                if (!c.written.empty())
                    fs::remove(m_machine.host("C:\\WINDOWS") / c.written);
            }
        }
    }
}

TEST_F(Extraction, OneHostileMemberFailsTheWholeCommand) {
    writeArchive(
        {{.storedName = "GOOD.BMP", .data = "good"}, {.storedName = "EVIL|.BMP", .data = "evil"}});
    EXPECT_NE(extract("*.*").status, 0);
    EXPECT_TRUE(driveC().empty());
}

TEST_F(Extraction, SeveralMembersInOneCommand) {
    writeArchive({{.storedName = "A.BMP", .data = "a"},
                  {.storedName = "B.BMP", .data = "b"},
                  {.storedName = "C.TXT", .data = "c"}});
    EXPECT_EQ(extract("A.BMP B.BMP").status, 0);
    EXPECT_EQ(extract("*.TXT").status, 0);
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"A.BMP", "B.BMP", "C.TXT", "SYSTEM"}));
}

TEST_F(Extraction, TwoMembersForOneFileNameFailTheCommand) {
    writeArchive({{.storedName = "ONE\\LOGO.BMP", .data = "1"},
                  {.storedName = "TWO\\LOGO.BMP", .data = "2"}});
    EXPECT_NE(extract("*.BMP").status, 0);
    EXPECT_EQ(windowsFolder(), std::set<std::string>{"SYSTEM"});
}

TEST_F(Extraction, LaterFailureTakesBackEarlierFiles) {
    writeArchive({{.storedName = "A.BMP", .data = "a"}, {.storedName = "B.BMP", .data = "b"}});
    m_machine.writeFile("C:\\WINDOWS\\B.BMP", "mine");
    EXPECT_NE(extract("A.BMP B.BMP").status, 0);
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"B.BMP", "SYSTEM"}));
    EXPECT_EQ(m_machine.readFile("C:\\WINDOWS\\B.BMP"), "mine");
}

TEST_F(Extraction, MissingMemberFails) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "x"}});
    EXPECT_NE(extract("OTHER.BMP").status, 0);
    EXPECT_EQ(windowsFolder(), std::set<std::string>{"SYSTEM"});
}

TEST_F(Extraction, ResponseFileHoldsTheCommand) {
    writeArchive(
        {{.storedName = "LOGO.BMP", .data = "x"}, {.storedName = "LOGOW.BMP", .data = "y"}});
    m_machine.writeFile("C:\\TEMP\\$$$LHA32.$$$",
                        std::string("x -jf0 ") + archivePath + " C:\\WINDOWS\\  LOGO.BMP\r\n");
    EXPECT_EQ(runCommand("@C:\\TEMP\\$$$LHA32.$$$").status, 0);

    m_machine.writeFile("C:\\TEMP DIR\\$$$LHA32.$$$",
                        std::string("x -jf0 ") + archivePath + " C:\\WINDOWS\\  LOGOW.BMP");
    EXPECT_EQ(runCommand("\"@C:\\TEMP DIR\\$$$LHA32.$$$\"").status, 0);
    EXPECT_EQ(windowsFolder(), (std::set<std::string>{"LOGO.BMP", "LOGOW.BMP", "SYSTEM"}));
}

TEST_F(Extraction, ResponseFileMayBeAHostPath) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "x"}});
    const fs::path hostFile = m_machine.root() / "outside drives" / "$$$LHA32.$$$";
    fs::create_directories(hostFile.parent_path());
    std::ofstream(hostFile) << "x -jf0 " << archivePath << " C:\\WINDOWS\\  LOGO.BMP";
    EXPECT_EQ(runCommand("\"@" + hostFile.string() + "\"").status, 0);
    EXPECT_TRUE(m_machine.exists("C:\\WINDOWS\\LOGO.BMP"));
}

TEST_F(Extraction, MissingResponseFileFails) {
    EXPECT_NE(runCommand("@C:\\TEMP\\NONE.$$$").status, 0);
}

TEST_F(Extraction, OnlyExtractionWithoutFoldersIsUnderstood) {
    writeArchive({{.storedName = "LOGO.BMP", .data = "x"}});
    for (const std::string& command :
         {std::string("a -jf0 ") + archivePath + " C:\\WINDOWS\\ LOGO.BMP",
          std::string("x ") + archivePath + " C:\\WINDOWS\\ LOGO.BMP",
          std::string("x -jf0 -r ") + archivePath + " C:\\WINDOWS\\ LOGO.BMP",
          std::string("x -jf0 ") + archivePath + " C:\\WINDOWS LOGO.BMP",
          std::string("x -jf0 ") + archivePath + " C:\\WINDOWS\\", std::string(""),
          std::string("x -jf0 C:\\ARC\\NONE.LZH C:\\WINDOWS\\ LOGO.BMP"),
          std::string("x -jf0 ") + archivePath + " C:\\NO FOLDER\\ LOGO.BMP"}) {
        SCOPED_TRACE(command);
        const CommandResult result = runCommand(command);
        EXPECT_NE(result.status, 0);
        EXPECT_FALSE(result.report.empty());
    }
    EXPECT_EQ(windowsFolder(), std::set<std::string>{"SYSTEM"});
    EXPECT_EQ(runCommand(std::string("X -JF0 ") + archivePath + " C:\\WINDOWS\\ LOGO.BMP").status,
              0);
}

TEST_F(Extraction, ReportStaysWithinTheOutputBuffer) {
    char output[16];
    std::memset(output, '#', sizeof output);
    EXPECT_NE(Unlha(0, "nonsense that fails with a long report", output, 8), 0);
    EXPECT_EQ(output[7], '\0');
    EXPECT_EQ(output[8], '#');
}

} // namespace
